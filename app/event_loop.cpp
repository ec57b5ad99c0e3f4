#include "app/event_loop.h"

#include "app/about.h"
#include "app/documents.h"
#include "app/drop_and_command_line.h"
#include "app/keyboard_commands.h"
#include "app/modes.h"
#include "app/prompts.h"
#include "app/startup.h"
#include "editor/cell_editor.h"
#include "editor/screen_view.h"
#include "listing/code_view.h"
#include "listing/code_view_commands.h"
#include "listing/conversion_panel.h"
#include "tools/bin_panel.h"
#include "tools/cell_clipboard_panel.h"
#include "tools/logic_panel.h"

namespace lumetra {

using platform::Event;
using platform::EventKind;
using platform::EventType;
using platform::WindowId;

namespace {

// ---------------------------------------------------------------- commands

void request_quit(App& app, int) { app.shell.quit_request = true; }

void choose_mode(App& app, int command) { switch_mode(app, command - 15); }
void next_mode(App& app, int) { switch_mode(app, app.shell.mode % kModeCount + 1); }

void select_all_code_view(App& app, int) { SelectAllText(code_view_of(current_buffer(app.store))); }
void copy_code_view(App& app, int) { CopySelectedText(code_view_of(current_buffer(app.store))); }

constexpr CommandRow kCommands[] = {
    {1, 1, open_document},
    {2, 2, save_document},
    {3, 3, save_document_as},
    {4, 4, new_document},
    {5, 5, request_quit},
    {8, 8, show_about_window},
    {16, 20, choose_mode},
    {28, 28, next_mode},
    {30, 39, recent_file_command},
    {40, 43, cell_popup_command},
    {50, 50, select_all_code_view},
    {51, 51, copy_code_view},
    {52, 52, save_listing_command},
    {85, 89, pointer_command},
};

// ---------------------------------------------------------------- controls

void cell_clicked(App& app, int control, EventType type) { cell_image_event(app, control, type); }
void tab_selected(App& app, int, EventType) { switch_buffer(app); }
void convert_pressed(App& app, int, EventType) { ConvertCurrentBuffer(app); }

void close_tool_panel(App& app, int, EventType) { switch_mode(app, 1); }

constexpr ControlRow kControls[] = {
    {kFirstCellImage, kFirstCellImage + kCellCount - 1, true, cell_clicked},
    {kBufferTabs, kBufferTabs, true, tab_selected},
    {kConvertButton, kConvertButton, true, convert_pressed},
    {kReadOutCode, kReadOutCode, true, read_out_focused},
    {472, 472, false, close_tool_panel},  // close images of the tool panels
    {595, 595, false, close_tool_panel},
    {152, 152, false, close_tool_panel},
    {192, 192, false, close_tool_panel},
    {kLogicClose, kLogicClose, true, close_tool_panel},
    {kLogicResult, kLogicResult, true, logic_result_event},
    {kLogicApply, kLogicApply, true, logic_apply_event},
    {kLogicUndoButton, kLogicUndoButton, true, logic_undo_event},
    {kFirstBinSlot, kLastBinSlot, true, bin_slot_event},
    {kBinTarget, kBinWhere, true, bin_file_option_event},
    {kBinConvert, kBinConvert, true, bin_convert_event},
};

// ---------------------------------------------------------------- right button

void right_button_popups(App& app)
{
    auto client = platform::to_main_client(platform::pointer_position());
    platform::Point at = client.value_or(platform::Point{-1, -1});
    // The area of the code views, edges excluded.
    if (at.x > 4 && at.x < 550 && at.y > 340 && at.y < 490) {
        platform::show_popup_menu(2);
    } else if (app.shell.mode == 4 && pointer_over(kSkipList)) {
        platform::show_popup_menu(3);
    }
}

}  // namespace

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
