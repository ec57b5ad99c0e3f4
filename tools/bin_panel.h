// The BIN panel (mode 5): up to ten buffers, in slot order, written as raw
// display bytes into a new or an existing file.
#pragma once

#include <vector>

#include "app/app.h"
#include "app/layout.h"
#include "tools/bin_conversion.h"

namespace lumetra {

constexpr int kFirstBinSlot = 194;  // slot lists 194..203, index = buffer, 0 "Нет"
constexpr int kLastBinSlot = kFirstBinSlot + kBinSlotCount - 1;
constexpr int kBinGroupByCrystal = 204;
constexpr int kBinTarget = 208;   // "новом файле", "существующем"
constexpr int kBinWhere = 209;    // "в конец файла", "произвольно"
constexpr int kBinAddress = 218;  // start address, digits only
constexpr int kBinHow = 219;      // "Вставить", "Заменить"
constexpr int kBinConvert = 220;

// The contents of container 190 (its title strip and close image come with
// the other tool panels).
std::vector<LayoutRow> bin_panel_rows();
// Creates them with the list items and the first choices: slot 1 buffer 1,
// a new file.
bool create_bin_panel();

// The panel's choices as the conversion reads them.
BinRequest bin_request_from_panel();

// "Преобразовать данные...": the save dialog, then the questions, the write
// and the messages, all in this one event.
void ConvertBuffersToBin(App& app);

// Control events, as the loop's control table hands them on.
void bin_slot_event(App& app, int control, platform::EventType type);         // lists 194..203
void bin_file_option_event(App& app, int control, platform::EventType type);  // lists 208, 209
void bin_convert_event(App& app, int control, platform::EventType type);      // button 220

}  // namespace lumetra
