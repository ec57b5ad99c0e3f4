#include "tools/bin_panel.h"

#include <algorithm>

namespace lumetra {

using platform::EventType;
using platform::kDigitsOnly;
using platform::kDisabled;

namespace {

constexpr int kAddressDigits = 5;  // 0..99999

struct ListContents {
    int first, last;
    std::vector<std::string> items;
    int selection;
};

std::vector<ListContents> bin_lists()
{
    auto slots = bin_slot_items();
    std::vector<std::string> slot_items(slots.begin(), slots.end());
    return {
        {kFirstBinSlot, kFirstBinSlot, slot_items, 1},
        {kFirstBinSlot + 1, kLastBinSlot, slot_items, 0},
        {kBinTarget, kBinTarget, {kBinTargetItems.begin(), kBinTargetItems.end()}, 0},
        {kBinWhere, kBinWhere, {kBinWhereItems.begin(), kBinWhereItems.end()}, 0},
        {kBinHow, kBinHow, {kBinHowItems.begin(), kBinHowItems.end()}, 0},
    };
}

platform::Icon icon_of(BinIcon icon)
{
    switch (icon) {
    case BinIcon::Error: return platform::Icon::Error;
    case BinIcon::Warning: return platform::Icon::Warning;
    case BinIcon::Information: break;
    }
    return platform::Icon::Information;
}

bool show_bin_message(const BinMessage& message)
{
    auto buttons = message.question ? platform::Buttons::YesNo : platform::Buttons::Ok;
    return platform::message_box(message.title, message.text, buttons, icon_of(message.icon)) ==
           platform::Answer::Yes;
}

BinSlots slots_from_panel()
{
    BinSlots slots{};
    for (int i = 0; i < kBinSlotCount; ++i) slots[i] = std::max(0, platform::selection(kFirstBinSlot + i));
    return slots;
}

}  // namespace

std::vector<LayoutRow> bin_panel_rows()
{
    constexpr int p = kBinPanel;
    constexpr Font m = Font::Message;
    std::vector<LayoutRow> rows = {{193, ControlKind::Frame, p, {10, 22, 120, 270}, "Буферы", 0, {}, {}, m}};
    for (int i = 0; i < kBinSlotCount; ++i)
        rows.push_back({kFirstBinSlot + i, ControlKind::Combo, p, {20, 40 + 24 * i, 100, kListHeight}, "", 0, {}, {}, m});
    rows.insert(rows.end(), {
        {206, ControlKind::Frame, p, {4, 300, 220, 134}, "Преобразование и сохранение в файле", 0, {}, {}, m},
        // Column captions: the blanks put the second word over the list beneath it.
        {207, ControlKind::Text, p, {8, 316, 210, 15}, "Сохранить в                 Добавить", 0, {}, {}, m},
        {kBinTarget, ControlKind::Combo, p, {8, 330, 108, kListHeight}, "", 0, {}, {}, m},
        {kBinWhere, ControlKind::Combo, p, {120, 330, 100, kListHeight}, "", kDisabled, {}, {}, m},
        {210, ControlKind::Text, p, {8, 358, 210, 15}, "Начальный адрес   Как добавить данные", 0, {}, {}, m},
        {kBinAddress, ControlKind::Edit, p, {8, 372, 40, 20}, "0", kDisabled | kDigitsOnly, {}, {}, m},
        {kBinHow, ControlKind::Combo, p, {120, 372, 100, kListHeight}, "", kDisabled, {}, {}, m},
        {kBinGroupByCrystal, ControlKind::Check, p, {10, 400, 170, 15}, "Группировка по кристаллам", 0, {}, {}, m},
        {kBinConvert, ControlKind::Button, p, {10, 420, 210, 24}, "Преобразовать данные...", 0, {}, {}, m,
         "Преобразование данных из выбранных буферов в двоичный формат с сохранением в файле"},
    });
    return rows;
}

bool create_bin_panel()
{
    auto lists = bin_lists();
    for (const LayoutRow& row : bin_panel_rows()) {
        platform::ControlSpec spec = control_spec_of(row);
        for (const auto& list : lists)
            if (row.id >= list.first && row.id <= list.last) spec.items = list.items;
        if (row.id == kBinAddress) spec.text_limit = kAddressDigits;
        if (!platform::create_control(spec)) return false;
    }
    for (const auto& list : lists)
        for (int id = list.first; id <= list.last; ++id) platform::set_selection(id, list.selection);
    return true;
}

BinRequest bin_request_from_panel()
{
    BinRequest request;
    request.slots = slots_from_panel();
    request.group_by_crystal = platform::is_checked(kBinGroupByCrystal);
    request.mode = bin_write_mode(platform::selection(kBinTarget), platform::selection(kBinWhere),
                                  platform::selection(kBinHow));
    request.start_address = platform::text(kBinAddress);
    return request;
}

void ConvertBuffersToBin(App& app)
{
    BinRequest request = bin_request_from_panel();
    platform::FileChoice choice = platform::save_file_dialog({kBinDialogTitle, kBinDialogFilter, 1, {}});
    if (choice.path.empty()) return;
    // From here on, in the messages too, the name carries its ".bin".
    std::filesystem::path file = bin_file_name(choice.path, choice.filter_index);
    ConvertBuffersToBin(app.store, request, file, show_bin_message);
}

void bin_slot_event(App&, int, EventType type)
{
    if (type != EventType::SelectionChanged) return;
    platform::enable(kBinConvert, bin_convert_enabled(slots_from_panel()));
}

void bin_file_option_event(App&, int, EventType type)
{
    if (type != EventType::SelectionChanged) return;
    BinFileControls controls = bin_file_controls(platform::selection(kBinTarget), platform::selection(kBinWhere));
    platform::enable(kBinWhere, controls.where);
    platform::enable(kBinAddress, controls.address);
    platform::enable(kBinHow, controls.address);
}

void bin_convert_event(App& app, int, EventType) { ConvertBuffersToBin(app); }

}  // namespace lumetra
