// The logic panel (mode 3): two operand buffers combined bit by bit into a
// result buffer, with one level of undo carried by the "Отменить..." button.
#pragma once

#include <vector>

#include "app/ids.h"
#include "app/app.h"
#include "app/layout.h"

namespace lumetra {


// The contents of container 580 (its title strip and close image come with
// the other tool panels).
std::vector<LayoutRow> logic_panel_rows();
// Creates them with the list items and the first choices: buffer 1 AND
// buffer 2 into buffer 3.
bool create_logic_panel();

// "Выполнить": reads the panel, keeps the result buffer for undo, combines,
// marks the result modified and repaints the view when it shows the result.
void apply_logic_operation(App& app);
// "Отменить...": the result buffer as it was before the last operation.
void undo_logic_operation(App& app);

// Control events, as the loop's control table hands them on.
void logic_result_event(App& app, int control, platform::EventType type);  // list 591
void logic_apply_event(App& app, int control, platform::EventType type);   // button 592
void logic_undo_event(App& app, int control, platform::EventType type);    // button 593

}  // namespace lumetra
