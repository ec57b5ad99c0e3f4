// The text dialog ("Текст…"): a line of text drawn into the current buffer
// with a font of the system's font folder or of the program's own "fonts"
// folder. While it is open the screen view previews the buffer with the text;
// OK writes it into the buffer, "Отмена" and the close box leave the buffer
// as it was.
#pragma once

#include "app/app.h"

namespace lumetra {

// kCmdText opens it with the text at the picture's corner, kCmdCellText at
// the corner of the cell the popup was opened on; an open dialog is brought
// forward.
void show_text_dialog(App& app, int command);

// Every event of the dialog's window.
void text_dialog_event(App& app, const platform::Event& event);

// Events of the main window while the dialog is open: commands and clicks
// beep and bring the dialog forward; a close request of the main window
// cancels the dialog first. True when the event is left to the main window.
bool main_event_during_text_dialog(App& app, const platform::Event& event);

}  // namespace lumetra
