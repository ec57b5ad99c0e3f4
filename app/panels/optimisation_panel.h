// The optimisation panel (mode 4): finds the display bytes that are the same
// in every ticked buffer, writes them as a skip map into buffer 10 and lists
// them as skips in the panel's rich-text list, which can be exported.
#pragma once

#include <vector>

#include "app/ids.h"
#include "app/app.h"
#include "app/layout.h"

namespace lumetra {

// The contents of container 150 (its title strip and close image come with
// the other tool panels).
std::vector<LayoutRow> optimisation_panel_rows();
// Creates them with buffers 1 and 2 ticked and the byte count and the
// automatic scan as the settings give them.
bool create_optimisation_panel(const Settings& settings);
// The byte count and the automatic scan back into the settings, for the exit.
void store_optimisation_settings(Settings& settings);

// "Сканировать": the ticked buffers compared into buffer 10, which becomes
// current without a tab event. False when the save question before it was
// cancelled (or its save failed) and nothing was scanned.
bool scan_repeated_bytes(App& app);
// "Список обходов": the whole skip map of buffer 10 into the list.
void build_skip_list(App& app);
// A left click on a cell of buffer 10 in this mode: its eight bytes only.
void show_cell_skips(App& app, int cell);
// The list as RTF or text, as the filter chosen in the save dialog says.
void export_skip_list(App& app);

// Control events, as the loop's control table hands them on.
void scan_box_event(App& app, int control, platform::EventType type);        // check boxes 155..163
void scan_button_event(App& app, int control, platform::EventType type);     // button 167
void skip_list_button_event(App& app, int control, platform::EventType type);  // button 169

// Commands of popup 3, also reached by the pointer keys over the list.
void select_all_skip_list(App& app, int command);  // 70
void copy_skip_list(App& app, int command);        // 71
void export_skip_list_command(App& app, int command);  // 72

}  // namespace lumetra
