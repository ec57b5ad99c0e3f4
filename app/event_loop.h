// The event loop: one pass per event, the command and control tables, the
// right-button popups and the quit path.
#pragma once

#include <span>

#include "app/app.h"

namespace lumetra {

using CommandHandler = void (*)(App& app, int command);
using ControlHandler = void (*)(App& app, int control, platform::EventType type);

struct CommandRow {
    int first, last;  // command numbers
    CommandHandler handler;
};

struct ControlRow {
    int first, last;  // control numbers
    bool any_type;    // otherwise a left click only
    ControlHandler handler;
};

// The tables themselves, for checks that every row reaches a handler.
std::span<const CommandRow> command_rows();
std::span<const ControlRow> control_rows();

// Any other number is ignored.
void dispatch_command(App& app, int command);
void dispatch_control(App& app, int control, platform::EventType type);

// One pass of the loop for one event, handed to the state that spans events
// when one is on (playing the animation). True when the program is to end:
// the quit path has run and the settings are saved.
bool run_pass(App& app, const platform::Event& event);

// Waits for events until the quit path ends the program.
void event_loop(App& app);

}  // namespace lumetra
