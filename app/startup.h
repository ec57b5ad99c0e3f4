// Start-up in its fixed order, and the settings kept over the run.
#pragma once

#include <filesystem>
#include <vector>

#include "app/app.h"

namespace lumetra {

// A stored coordinate outside -20..3000 puts the window at 10.
int clamp_window_coordinate(int stored);

// Builds everything up to the event loop. False when the main window or one
// of its controls cannot be created: the program then ends without saving.
bool start_up(App& app, const std::vector<std::filesystem::path>& arguments);

// A tool panel (animation, logic, optimisation, BIN) with its controls, made
// the first time its mode shows it: hidden until then, they hold most of the
// window's controls, and under Wine their drop-down lists alone cost more
// than the rest of the start. Later calls find it made. False when it cannot
// be made.
bool make_tool_panel(App& app, int panel);

// The window's present position and the options the tool panels show
// (animation delay, byte count, automatic scan), the rest as read at start-up.
void save_app_settings(App& app);

}  // namespace lumetra
