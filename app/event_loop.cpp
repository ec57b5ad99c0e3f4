#include "app/event_loop.h"

#include "app/about.h"
#include "app/documents.h"
#include "app/drop_and_command_line.h"
#include "app/keyboard_commands.h"
#include "app/modes.h"
#include "app/prompts.h"
#include "app/startup.h"
#include "app/text_dialog.h"
#include "app/views/cell_editor.h"
#include "app/views/screen_view.h"
#include "app/views/code_view.h"
#include "app/views/code_view_commands.h"
#include "app/panels/conversion_panel.h"
#include "app/panels/animation_panel.h"
#include "app/panels/bin_panel.h"
#include "app/panels/cell_clipboard_panel.h"
#include "app/panels/logic_panel.h"
#include "app/panels/optimisation_panel.h"
#include "listing/skip_list.h"

namespace lumetra {

using platform::Event;
using platform::EventKind;
using platform::EventType;
using platform::WindowId;

namespace {

// ---------------------------------------------------------------- commands

void request_quit(App& app, int) { app.shell.quit_request = true; }

void choose_mode(App& app, int command) { switch_mode(app, mode_of_command(command)); }
void mode_button(App& app, int) { switch_mode(app, next_mode(app.shell.mode)); }

void select_all_code_view(App& app, int) { select_all_text(code_view_of(current_buffer(app.store))); }
void copy_code_view(App& app, int) { copy_selected_text(code_view_of(current_buffer(app.store))); }

constexpr CommandRow kCommands[] = {
    {kCmdOpen, kCmdOpen, open_document},
    {kCmdSave, kCmdSave, save_document},
    {kCmdSaveAs, kCmdSaveAs, save_document_as},
    {kCmdNew, kCmdNew, new_document},
    {kCmdClose, kCmdClose, request_quit},
    {kCmdAbout, kCmdAbout, show_about_window},
    {kCmdText, kCmdText, show_text_dialog},
    {kCmdCellText, kCmdCellText, show_text_dialog},
    {kCmdFirstMode, kCmdLastMode, choose_mode},
    {kCmdNextMode, kCmdNextMode, mode_button},
    {kCmdFirstRecent, kCmdLastRecent, recent_file_command},
    {kCmdCellCut, kCmdCellClear, cell_popup_command},
    {kCmdCodeSelectAll, kCmdCodeSelectAll, select_all_code_view},
    {kCmdCodeCopy, kCmdCodeCopy, copy_code_view},
    {kCmdCodeSave, kCmdCodeSave, save_listing_command},
    {kCmdSkipSelectAll, kCmdSkipSelectAll, select_all_skip_list},
    {kCmdSkipCopy, kCmdSkipCopy, copy_skip_list},
    {kCmdSkipExport, kCmdSkipExport, export_skip_list_command},
    {kCmdKeyCut, kCmdKeySave, pointer_command},
};

// ---------------------------------------------------------------- controls

// A cell of the screen view: the editing mode has its own rules; a click on
// the skip map lists that cell's skips; in the other modes a double click
// brings the editor back with the cell open.
void cell_clicked(App& app, int control, EventType type)
{
    int cell = cell_of_image(control);
    if (cell == kNoCell) return;
    if (app.shell.mode == Mode::Editing) {
        editing_cell_event(app, cell, type);
    } else if (app.shell.mode == Mode::Optimisation && current_buffer(app.store) == kSkipMapBuffer &&
               type == EventType::Click) {
        show_cell_skips(app, cell);
    } else if (type == EventType::DoubleClick) {
        switch_mode(app, Mode::Editing);
        open_cell_for_editing(app, cell);
    }
}
void tab_selected(App& app, int, EventType) { switch_buffer(app); }
void convert_pressed(App& app, int, EventType) { convert_current_buffer(app); }

void close_tool_panel(App& app, int, EventType) { switch_mode(app, Mode::Editing); }

constexpr ControlRow kControls[] = {
    {kFirstCellImage, kLastCellImage, true, cell_clicked},
    {kBufferTabs, kBufferTabs, true, tab_selected},
    {kConvertButton, kConvertButton, true, convert_pressed},
    {kReadOutCode, kReadOutCode, true, read_out_focused},
    {kAnimationCloseImage, kAnimationCloseImage, false, close_tool_panel},
    {kAnimationStart, kAnimationStart, true, animation_start_event},
    {kAnimationDelay, kAnimationDelay, true, animation_delay_event},
    {kLogicCloseImage, kLogicCloseImage, false, close_tool_panel},
    {kOptimisationCloseImage, kOptimisationCloseImage, false, close_tool_panel},
    {kBinCloseImage, kBinCloseImage, false, close_tool_panel},
    {kLogicCloseButton, kLogicCloseButton, true, close_tool_panel},
    {kLogicResult, kLogicResult, true, logic_result_event},
    {kLogicApply, kLogicApply, true, logic_apply_event},
    {kLogicUndoButton, kLogicUndoButton, true, logic_undo_event},
    {kFirstBinSlot, kLastBinSlot, true, bin_slot_event},
    {kBinTarget, kBinWhere, true, bin_file_option_event},
    {kBinConvert, kBinConvert, true, bin_convert_event},
    {kFirstScanBox, kLastScanBox, true, scan_box_event},
    {kScanButton, kScanButton, true, scan_button_event},
    {kSkipListButton, kSkipListButton, true, skip_list_button_event},
};

// ---------------------------------------------------------------- right button

void right_button_popups(App& app)
{
    auto client = platform::to_main_client(platform::pointer_position());
    platform::Point at = client.value_or(platform::Point{-1, -1});
    if (inside_code_view_area(at)) {
        platform::show_popup_menu(kPopupCodeView);
    } else if (app.shell.mode == Mode::Optimisation && pointer_over(kSkipList)) {
        platform::show_popup_menu(kPopupSkipList);
    }
}

}  // namespace

std::span<const CommandRow> command_rows() { return kCommands; }
std::span<const ControlRow> control_rows() { return kControls; }

void dispatch_command(App& app, int command)
{
    for (const auto& row : kCommands) {
        if (command >= row.first && command <= row.last) {
            row.handler(app, command);
            return;
        }
    }
}

void dispatch_control(App& app, int control, EventType type)
{
    for (const auto& row : kControls) {
        if (control >= row.first && control <= row.last) {
            if (row.any_type || type == EventType::Click) row.handler(app, control, type);
            return;
        }
    }
}

bool run_pass(App& app, const Event& event)
{
    // Playing takes every event, the polls' turn included; none of its
    // reactions ends the program.
    if (app.animation.playing) {
        animation_event(app, event);
        return false;
    }
    // The text dialog keeps the main window for itself (its close aside).
    if (app.text.open && event.window == WindowId::Main && !main_event_during_text_dialog(app, event)) return false;
    if (event.window == WindowId::Main) {
        switch (event.kind) {
        case EventKind::FilesDropped: files_dropped(app, event.files); break;
        case EventKind::RightButton: right_button_popups(app); break;
        case EventKind::Command: dispatch_command(app, event.number); break;
        case EventKind::Control: dispatch_control(app, event.number, event.type); break;
        default: break;
        }
        // Whether or not the event was handled.
        cell_editor_poll(app);
        hover_poll(app);
    }
    if (event.window == WindowId::About) about_window_event(app, event);
    if (event.window == WindowId::Text) text_dialog_event(app, event);
    if (event.kind == EventKind::Close && event.window == WindowId::Main) app.shell.quit_request = true;
    if (!app.shell.quit_request) return false;
    app.shell.quit_request = closing_prompt(app);
    if (!app.shell.quit_request) return false;
    save_app_settings(app);
    return true;
}

void event_loop(App& app)
{
    while (!run_pass(app, platform::wait_event())) {
    }
}

}  // namespace lumetra
