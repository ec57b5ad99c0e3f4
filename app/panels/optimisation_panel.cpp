#include "app/panels/optimisation_panel.h"

#include <algorithm>
#include <string>

#include "app/documents.h"
#include "app/prompts.h"
#include "app/views/code_view_commands.h"
#include "app/views/screen_view.h"
#include "core/chr_file.h"
#include "core/file_io.h"
#include "core/text_encoding.h"
#include "listing/skip_list.h"

namespace lumetra {

using platform::EventType;
using platform::kChecked;
using platform::kDefaultButton;
using platform::kHidden;
using platform::kReadOnly;
using platform::kSmooth;

namespace {

constexpr int kMinCountByte = 1, kMaxCountByte = 64;
constexpr int kProgressMaximum = 1170;  // the lines of a list without file names
// The bar paints itself at every new value (under Wine about 0.7 ms each),
// which for every column group would cost more than building the whole list:
// it moves on in sixteenths of its range, still filling as the list grows.
constexpr int kProgressStep = kProgressMaximum / 16;

constexpr const char* kExportTitle = "Сохранить файл...";
constexpr const char* kExportFilter = "RTF|*.rtf|TXT|*.txt";
constexpr int kTextFilter = 2;

// The layout rows point at these texts.
const std::array<std::string, kBufferCount> kBufferLabels = [] {
    std::array<std::string, kBufferCount> labels;
    for (int buffer = 1; buffer <= kBufferCount; ++buffer) labels[buffer - 1] = buffer_label(buffer);
    return labels;
}();

ScanChoice ticked_buffers()
{
    ScanChoice ticked{};
    for (int buffer = 1; buffer <= kScanBuffers; ++buffer) ticked[buffer - 1] = platform::is_checked(scan_box_of(buffer));
    return ticked;
}

std::vector<std::string> ticked_file_names(const App& app)
{
    std::vector<std::string> names;
    ScanChoice ticked = ticked_buffers();
    for (int buffer = 1; buffer <= kScanBuffers; ++buffer) {
        std::string name = path_to_utf8(file_name(app.store, buffer));
        if (ticked[buffer - 1] && !name.empty()) names.push_back(std::move(name));
    }
    return names;
}

// The whole document at once, with the caret at the start of line 0.
void show_list(App& app, StyledText list)
{
    platform::set_rich_text(kSkipList, list.lines, list.runs);
    app.optimisation.list = std::move(list);
}

void clear_list(App& app) { show_list(app, {}); }

// A save question for buffer 10 before it is overwritten: the scan goes on
// unless the user cancels or a chosen save did not happen.
bool may_overwrite_skip_map(App& app) { return prompt_for_one_buffer(app, kSkipMapBuffer); }

}  // namespace

std::vector<LayoutRow> optimisation_panel_rows()
{
    constexpr int p = kOptimisationPanel;
    constexpr Font m = Font::Message;
    std::vector<LayoutRow> rows = {{153, ControlKind::Frame, p, {10, 20, 200, 120}, "Буферы", 0, {}, {}, m}};
    // Two columns, odd buffers on the left.
    for (int buffer = 1; buffer <= kScanBuffers; ++buffer) {
        int column = (buffer - 1) % 2, row = (buffer - 1) / 2;
        rows.push_back({scan_box_of(buffer), ControlKind::Check, p, {30 + 100 * column, 40 + 20 * row, 70, 15},
                        kBufferLabels[buffer - 1].c_str(), buffer <= 2 ? unsigned{kChecked} : 0u, {}, {}, m});
    }
    rows.insert(rows.end(), {
        {164, ControlKind::Text, p, {10, 145, 140, 15}, "Результат помещается в", 0, {}, {}, m},
        {kSkipMapLabel, ControlKind::Text, p, {145, 145, 100, 15}, kBufferLabels[kSkipMapBuffer - 1].c_str(), 0,
         Rgb{182, 11, 63}, {}, m},
        {kScanButton, ControlKind::Button, p, {10, 164, 80, 24}, "Сканировать", kDefaultButton, {}, {}, m,
         "Поиск одинаковых байт в коде"},
        {kSkipListButton, ControlKind::Button, p, {100, 164, 110, 24}, "Список обходов", 0, {}, {}, m,
         "Создание полного списка обходов одинаковых байт"},
        {172, ControlKind::Text, p, {10, 195, 190, 15}, "Количество повторяющихся байт", 0, {}, {}, m},
        {kCountByteSpin, ControlKind::Spin, p, {190, 190, 30, 20}, "", 0, {}, {}, m, "", -1, kMinCountByte,
         kMaxCountByte, kMinCountByte},
        {kAutoScan, ControlKind::Check, p, {10, 210, 188, 15}, "Автоматическое сканирование...", 0, {}, {}, m,
         "Автоматическое сканирование перед созданием списка обходов"},
        {kSkipList, ControlKind::RichText, p, {4, 228, 218, 222}, "", kReadOnly},
        // Over the list, shown only while a list is built.
        {kSkipListLabel, ControlKind::Text, p, {10, 255, 140, 15}, "Построение списка...", kHidden, {}, {}, m},
        {kSkipListProgress, ControlKind::Progress, p, {10, 270, 210, 20}, "", kHidden | kSmooth, {}, {}, m, "", -1, 0,
         kProgressMaximum},
    });
    return rows;
}

bool create_optimisation_panel(const Settings& settings)
{
    for (const LayoutRow& row : optimisation_panel_rows()) {
        platform::ControlSpec spec = control_spec_of(row);
        if (row.id == kCountByteSpin) spec.value = std::clamp(settings.count_byte, kMinCountByte, kMaxCountByte);
        if (row.id == kAutoScan && settings.auto_scan != 0) spec.style |= kChecked;
        if (!platform::create_control(spec)) return false;
    }
    return true;
}

void store_optimisation_settings(Settings& settings)
{
    // A panel never shown keeps the settings as its controls would have taken them.
    const bool shown = platform::control_exists(kCountByteSpin);
    settings.count_byte =
        std::clamp(shown ? platform::value(kCountByteSpin) : settings.count_byte, kMinCountByte, kMaxCountByte);
    settings.auto_scan = (shown ? platform::is_checked(kAutoScan) : settings.auto_scan != 0) ? 1 : 0;
}

bool scan_repeated_bytes(App& app)
{
    if (!may_overwrite_skip_map(app)) return false;
    // The field as shown: a typed number counts even before the arrows read it.
    int count_byte = count_byte_from_text(platform::text(kCountByteSpin));
    *buffer_of(app.store, kSkipMapBuffer) = scan_repeated_bytes(app.store, ticked_buffers(), count_byte);
    // Buffer 10 is shown as if its tab had been chosen, but without the tab
    // event and without taking the focus from the panel.
    platform::set_selection(kBufferTabs, kSkipMapBuffer - 1);
    if (current_buffer(app.store) == kSkipMapBuffer) show_whole_buffer(app);
    else make_buffer_current(app, kSkipMapBuffer, false);
    return true;
}

void build_skip_list(App& app)
{
    clear_list(app);
    platform::show(kSkipList, false);
    platform::set_value(kSkipListProgress, 0);
    platform::show(kSkipListLabel, true);
    platform::show(kSkipListProgress, true);
    platform::set_text(kSkipListLabel, "Построение списка...");
    // The build takes no events: whatever the user does meanwhile waits in
    // the queue for the loop. Only the label and the bar are painted.
    platform::repaint_now(kSkipListLabel);
    platform::repaint_now(kSkipListProgress);

    int reached = 0, shown = 0;
    auto progress = [&reached, &shown](SkipListStep step, int lines) {
        if (step == SkipListStep::PageHeader) return;
        reached = lines;
        if (reached - shown < kProgressStep) return;
        platform::set_value(kSkipListProgress, reached);
        platform::repaint_now(kSkipListProgress);
        shown = reached;
    };
    StyledText list = build_skip_list(*buffer_of(app.store, kSkipMapBuffer), ticked_file_names(app),
                                      platform::text(kCountByteSpin), progress);
    if (shown != reached) platform::set_value(kSkipListProgress, reached);
    show_list(app, std::move(list));

    platform::show(kSkipListLabel, false);
    platform::show(kSkipListProgress, false);
    platform::show(kSkipList, true);
    platform::set_focus(kSkipList);
}

void show_cell_skips(App& app, int cell)
{
    if (!valid_cell(cell)) return;
    show_list(app, show_cell_skips(*buffer_of(app.store, kSkipMapBuffer), cell));
}

void export_skip_list(App& app)
{
    platform::FileChoice choice = platform::save_file_dialog({kExportTitle, kExportFilter, 1, {}});
    if (choice.path.empty()) return;
    // The chosen filter decides the format, whatever the typed extension.
    bool as_text = choice.filter_index == kTextFilter;
    std::filesystem::path path = with_default_extension(choice.path, as_text ? ".txt" : ".rtf");
    std::optional<std::string> bytes =
        as_text ? styled_text_as_txt(app.optimisation.list) : styled_text_as_rtf(app.optimisation.list);
    // Written beside the old file and moved over it: a failure leaves the old one.
    write_text_file(path, bytes);
}

void scan_box_event(App&, int, EventType)
{
    ScanChoice ticked = ticked_buffers();
    platform::enable(kScanButton, std::count(ticked.begin(), ticked.end(), true) > 1);
}

void scan_button_event(App& app, int, EventType) { scan_repeated_bytes(app); }

void skip_list_button_event(App& app, int, EventType)
{
    if (platform::is_checked(kAutoScan) && !scan_repeated_bytes(app)) return;
    build_skip_list(app);
}

void select_all_skip_list(App&, int) { select_all_text(kSkipList); }
void copy_skip_list(App&, int) { copy_selected_text(kSkipList); }
void export_skip_list_command(App& app, int) { export_skip_list(app); }

}  // namespace lumetra
