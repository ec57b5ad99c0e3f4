// The animation panel (mode 2): buffers chosen in ten slot lists played one
// after another in the screen view, with a chosen delay, until the user stops
// it. Playing is a state of the program (App::animation): the start shows the
// first frame, the platform's timer brings each next one, and meanwhile the
// event loop hands every event to animation_event.
#pragma once

#include <vector>

#include "app/ids.h"
#include "app/app.h"
#include "app/layout.h"

namespace lumetra {

inline constexpr const char* kAnimationTitle = "Анимация";

// The contents of container 470 (its title strip and close image come with
// the other tool panels).
std::vector<LayoutRow> animation_panel_rows();
// Creates them with buffers 1 and 2 in the first two slots and the delay
// entry the settings name (none when the stored index names no entry).
bool create_animation_panel(const Settings& settings);
// The delay entry as chosen, for the exit: its index, or -1 when none is
// chosen, which again chooses none at the next start.
void store_animation_settings(Settings& settings);
// The delay list (502): a new choice goes into the settings at once.
void animation_delay_event(App& app, int control, platform::EventType type);

// The slots name the buffers first_buffer .. first_buffer + count - 1 in
// order and the rest none; the delay list shows the entry nearest delay_ms,
// and the settings follow it. The panel must exist.
void show_animation_buffers(App& app, int first_buffer, int count, int delay_ms);

// Shows the first frame and starts playing. When playing stops the window
// shows the buffer that was current before, whatever frame was last on
// screen. Changes no picture, modified flag or file name.
void play_animation(App& app);

// Every event while playing: the timer's next frame, or the user's event
// ignored, refused with a beep, or the end of playing.
void animation_event(App& app, const platform::Event& event);

// "Анимация" (button 505, any event): at least two used slots play,
// otherwise a warning.
void animation_start_event(App& app, int control, platform::EventType type);

}  // namespace lumetra
