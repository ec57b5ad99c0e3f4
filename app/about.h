// The About window: the program's picture, name, web page and contact.
#pragma once

#include "app/app.h"

namespace lumetra {

inline constexpr const char* kWebPage = "https://lumetra.example/";
inline constexpr const char* kContactMail = "mailto:support@lumetra.example";

// Command 8: opens the window, or brings the open one forward.
void show_about_window(App& app, int command);

// Every event of the About window: the picture lights up under the pointer,
// the links open their targets, "Ok" and the close box fade it out.
void about_window_event(App& app, const platform::Event& event);

}  // namespace lumetra
