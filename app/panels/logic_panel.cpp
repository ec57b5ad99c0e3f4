#include "app/panels/logic_panel.h"

#include "app/views/screen_view.h"
#include "tools/logic.h"

namespace lumetra {

using platform::EventType;
using platform::kChecked;
using platform::kDisabled;
using platform::kGroup;

namespace {


struct InitialChoice {
    int list, buffer;
};
constexpr InitialChoice kInitialChoices[] = {{kLogicFirst, 1}, {kLogicSecond, 2}, {kLogicResult, 3}};

int chosen_buffer(int list) { return logic_list_buffer(platform::selection(list)); }

// The view follows a buffer only while its tab is the selected one; any
// other buffer shows its new picture when its tab is chosen.
void repaint_if_shown(App& app, int buffer)
{
    if (platform::selection(kBufferTabs) + 1 == buffer) paint_all_cells(app, buffer);
}

}  // namespace

std::vector<LayoutRow> logic_panel_rows()
{
    constexpr int p = kLogicPanel;
    constexpr Font m = Font::Message;
    return {
        {582, ControlKind::Frame, p, {20, 20, 170, 90}, "Логическая операция", 0, {}, {}, m},
        {kLogicAnd, ControlKind::Radio, p, {30, 40, 100, 15}, "«И»", kGroup | kChecked, {}, {}, m},
        {kLogicOr, ControlKind::Radio, p, {30, 60, 100, 15}, "«ИЛИ»", 0, {}, {}, m},
        {kLogicXor, ControlKind::Radio, p, {30, 80, 140, 15}, "«Исключающее ИЛИ»", 0, {}, {}, m},
        {586, ControlKind::Text, p, {4, 130, 70, 15}, " 1-вый буфер", 0, {}, {}, m},
        {587, ControlKind::Text, p, {4, 160, 70, 15}, " 2-рой  буфер", 0, {}, {}, m},
        {588, ControlKind::Text, p, {4, 200, 130, 15}, " Результат поместить в...", 0, {}, {}, m},
        {kLogicFirst, ControlKind::Combo, p, {140, 127, 80, 180}, "", 0, {}, {}, m},
        {kLogicSecond, ControlKind::Combo, p, {140, 157, 80, 180}, "", 0, {}, {}, m},
        {kLogicResult, ControlKind::Combo, p, {140, 197, 80, 180}, "", 0, {}, {}, m},
        {kLogicApply, ControlKind::Button, p, {20, 236, 80, 24}, "Выполнить", 0, {}, {}, m},
        {kLogicUndoButton, ControlKind::Button, p, {130, 236, 80, 24}, "Отменить...", kDisabled, {}, {}, m,
         "Отменить последнее действие"},
        {kLogicCloseButton, ControlKind::Button, p, {80, 270, 80, 24}, "Закрыть", 0, {}, {}, m},
    };
}

bool create_logic_panel()
{
    auto items = logic_list_items();
    for (const LayoutRow& row : logic_panel_rows()) {
        platform::ControlSpec spec = control_spec_of(row);
        if (row.kind == ControlKind::Combo) spec.items.assign(items.begin(), items.end());
        if (!platform::create_control(spec)) return false;
    }
    for (auto [list, buffer] : kInitialChoices) platform::set_selection(list, buffer - 1);
    return true;
}

void apply_logic_operation(App& app)
{
    LogicChoice choice;
    choice.operation = logic_operation_from_options(platform::is_checked(kLogicAnd), platform::is_checked(kLogicOr),
                                                    platform::is_checked(kLogicXor));
    choice.first = chosen_buffer(kLogicFirst);
    choice.second = chosen_buffer(kLogicSecond);
    choice.result = chosen_buffer(kLogicResult);
    if (!perform_logic_operation(app.store, app.logic_undo, choice)) return;
    platform::enable(kLogicUndoButton, app.logic_undo.available);
    repaint_if_shown(app, choice.result);
}

void undo_logic_operation(App& app)
{
    // The button is the undo state: a mode switch disables it without
    // telling the snapshot.
    if (!platform::is_enabled(kLogicUndoButton)) disable_logic_undo(app.logic_undo);
    int result = chosen_buffer(kLogicResult);
    bool restored = restore_logic_snapshot(app.store, app.logic_undo, result);
    platform::enable(kLogicUndoButton, false);
    if (restored) repaint_if_shown(app, result);
}

void logic_result_event(App& app, int, EventType type)
{
    // Another result buffer: the snapshot belongs to the old one.
    if (type != EventType::SelectionChanged) return;
    disable_logic_undo(app.logic_undo);
    platform::enable(kLogicUndoButton, false);
}

void logic_apply_event(App& app, int, EventType) { apply_logic_operation(app); }
void logic_undo_event(App& app, int, EventType) { undo_logic_operation(app); }

}  // namespace lumetra
