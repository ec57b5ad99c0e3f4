// The BIN panel (mode 5): up to ten buffers, in slot order, written as raw
// display bytes into a new or an existing file.
#pragma once

#include <vector>

#include "app/ids.h"
#include "app/app.h"
#include "app/layout.h"
#include "tools/bin_conversion.h"

namespace lumetra {


// The contents of container 190 (its title strip and close image come with
// the other tool panels).
std::vector<LayoutRow> bin_panel_rows();
// Creates them with the list items and the first choices: slot 1 buffer 1,
// a new file.
bool create_bin_panel();

// The title, text and icon of a conversion's message; file as named in it.
struct BinMessageBox {
    std::string title, text;
    platform::Icon icon = platform::Icon::Information;
};
BinMessageBox bin_message_box(BinMessageId id, const std::filesystem::path& file);

// The panel's choices as the conversion reads them.
BinRequest bin_request_from_panel();

// "Преобразовать данные...": the save dialog, then the questions, the write
// and the messages, all in this one event.
void convert_buffers_to_bin(App& app);

// Control events, as the loop's control table hands them on.
void bin_slot_event(App& app, int control, platform::EventType type);         // lists 194..203
void bin_file_option_event(App& app, int control, platform::EventType type);  // lists 208, 209
void bin_convert_event(App& app, int control, platform::EventType type);      // button 220

}  // namespace lumetra
