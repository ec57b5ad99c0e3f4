// The main menu, the three popup menus, the toolbar and the shortcuts: the
// tables of command numbers, texts and icons.
#pragma once

#include <vector>

#include "app/app.h"
#include "app/ids.h"

namespace lumetra {

std::vector<platform::MenuItem> main_menu_table(const RecentFiles& recent);
std::vector<platform::MenuItem> popup_menu_table(int popup);  // 1, 2 or 3
std::vector<platform::ToolbarItem> toolbar_table();
std::vector<platform::Shortcut> shortcut_table();

// Everything above, in the order the window gets it, then the status text
// on the toolbar. False when the status text cannot be created.
bool create_menus_and_toolbar(const App& app);

}  // namespace lumetra
