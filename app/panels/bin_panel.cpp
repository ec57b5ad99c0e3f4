#include "app/panels/bin_panel.h"

#include <algorithm>

#include "app/documents.h"
#include "core/chr_file.h"
#include "core/text_encoding.h"

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

constexpr const char* kBinDialogTitle = "Сохранение преобразованого файла...";
constexpr const char* kBinDialogFilter = "Бинарные файлы (*.BIN)|*.BIN|Все файлы|*.*";

bool show_bin_message(const BinMessage& message, const std::filesystem::path& file)
{
    BinMessageBox box = bin_message_box(message.id, file);
    auto buttons = message.question ? platform::Buttons::YesNo : platform::Buttons::Ok;
    return platform::message_box(box.title, box.text, buttons, box.icon) == platform::Answer::Yes;
}

BinSlots slots_from_panel()
{
    BinSlots slots{};
    for (int i = 0; i < kBinSlotCount; ++i) slots[i] = std::max(0, platform::selection(kFirstBinSlot + i));
    return slots;
}

}  // namespace

BinMessageBox bin_message_box(BinMessageId id, const std::filesystem::path& file)
{
    using platform::Icon;
    std::string name = path_to_utf8(file);
    switch (id) {
    case BinMessageId::AskCreateMissing:
        return {"Добавление данный в файл", "Файл  \"" + name + "\"  не существует!\nСоздать его?", Icon::Warning};
    case BinMessageId::MemoryError: return {"Преобразование", "Ошибка при доступе к памяти!", Icon::Error};
    case BinMessageId::OpenError: return {kErrorTitle, "Не удалось открыть файл \n\"" + name + "\"", Icon::Error};
    case BinMessageId::EmptyAddress:
        return {"Предупреждение",
                "Поле  \"Начальный адрес\"  не заполено\nНужно указать начальный адрес добавляемых данных в файл.",
                Icon::Warning};
    case BinMessageId::AskAppendBeyondEnd:
        return {"Внимание", "Начальный адрес был задан больше текущего размера файла!\nДобавить данные в конец файла?",
                Icon::Warning};
    case BinMessageId::SaveError: return {kErrorTitle, file_error_text(write_error(file)), Icon::Error};
    case BinMessageId::Done: break;
    }
    return {"Преобразование", "Преобразование информации завершено.\nДанные были добавлены в файл\n" + name,
            Icon::Information};
}

std::vector<LayoutRow> bin_panel_rows()
{
    constexpr int p = kBinPanel;
    constexpr Font m = Font::Message;
    std::vector<LayoutRow> rows = {{193, ControlKind::Frame, p, {10, 22, 120, 270}, "Буферы", 0, {}, {}, m}};
    for (int i = 0; i < kBinSlotCount; ++i)
        rows.push_back({kFirstBinSlot + i, ControlKind::Combo, p, {20, 40 + 24 * i, 100, 180}, "", 0, {}, {}, m});
    rows.insert(rows.end(), {
        {206, ControlKind::Frame, p, {4, 300, 220, 134}, "Преобразование и сохранение в файле", 0, {}, {}, m},
        // Column captions: the blanks put the second word over the list beneath it.
        {207, ControlKind::Text, p, {8, 316, 210, 15}, "Сохранить в                 Добавить", 0, {}, {}, m},
        {kBinTarget, ControlKind::Combo, p, {8, 330, 108, 80}, "", 0, {}, {}, m},
        {kBinWhere, ControlKind::Combo, p, {120, 330, 100, 80}, "", kDisabled, {}, {}, m},
        {210, ControlKind::Text, p, {8, 358, 210, 15}, "Начальный адрес   Как добавить данные", 0, {}, {}, m},
        {kBinAddress, ControlKind::Edit, p, {8, 372, 40, 20}, "0", kDisabled | kDigitsOnly, {}, {}, m},
        {kBinHow, ControlKind::Combo, p, {120, 372, 100, 80}, "", kDisabled, {}, {}, m},
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
    request.order = platform::is_checked(kBinGroupByCrystal) ? CellOrder::GroupedByCrystal : CellOrder::Interleaved;
    request.mode = bin_write_mode(static_cast<BinTarget>(platform::selection(kBinTarget)),
                                  static_cast<BinWhere>(platform::selection(kBinWhere)),
                                  static_cast<BinHow>(platform::selection(kBinHow)));
    request.start_address = platform::text(kBinAddress);
    return request;
}

void convert_buffers_to_bin(App& app)
{
    BinRequest request = bin_request_from_panel();
    platform::FileChoice choice = platform::save_file_dialog({kBinDialogTitle, kBinDialogFilter, 1, {}});
    if (choice.path.empty()) return;
    // From here on, in the messages too, the name carries its ".bin".
    std::filesystem::path file = bin_file_name(choice.path, choice.filter_index);
    run_bin_conversion(app.store, request, file, [&file](const BinMessage& message) { return show_bin_message(message, file); });
}

void bin_slot_event(App&, int, EventType type)
{
    if (type != EventType::SelectionChanged) return;
    platform::enable(kBinConvert, bin_convert_enabled(slots_from_panel()));
}

void bin_file_option_event(App&, int, EventType type)
{
    if (type != EventType::SelectionChanged) return;
    BinFileControls controls = bin_file_controls(static_cast<BinTarget>(platform::selection(kBinTarget)),
                                                 static_cast<BinWhere>(platform::selection(kBinWhere)));
    platform::enable(kBinWhere, controls.where);
    platform::enable(kBinAddress, controls.address);
    platform::enable(kBinHow, controls.address);
}

void bin_convert_event(App& app, int, EventType) { convert_buffers_to_bin(app); }

}  // namespace lumetra
