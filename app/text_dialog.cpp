#include "app/text_dialog.h"

#include <algorithm>
#include <optional>

#include "app/ids.h"
#include "app/layout.h"
#include "app/views/cell_editor.h"
#include "app/views/screen_view.h"
#include "core/raster.h"
#include "core/text_encoding.h"

namespace lumetra {

using platform::Event;
using platform::EventKind;
using platform::EventType;
using platform::kReportChanges;
using platform::WindowId;

namespace {

constexpr const char* kDialogTitle = "Текст";
constexpr int kLargestSize = 255;
constexpr int kFontListHeight = 200;

std::vector<LayoutRow> text_dialog_rows(const Settings& settings)
{
    const unsigned erase = settings.text_erase ? platform::kChecked : platform::kNoStyle;
    const int size = std::clamp(settings.text_size, 1, kLargestSize);
    return {
        {630, ControlKind::Text, 0, {10, 13, 75, 15}, "Текст:"},
        {kTextInput, ControlKind::Edit, 0, {90, 10, 220, 21}, "", kReportChanges},
        {631, ControlKind::Text, 0, {10, 41, 75, 15}, "Шрифт:"},
        {kTextFont, ControlKind::Combo, 0, {90, 38, 220, kFontListHeight}},
        {632, ControlKind::Text, 0, {10, 69, 75, 15}, "Размер:"},
        {kTextSize, ControlKind::Spin, 0, {90, 66, 60, 21}, "", kReportChanges, {}, {}, Font::Default, "", -1, 1,
         kLargestSize, size},
        {633, ControlKind::Text, 0, {10, 97, 75, 15}, "X:"},
        {kTextX, ControlKind::Spin, 0, {90, 94, 60, 21}, "", kReportChanges, {}, {}, Font::Default, "", -1, 0,
         kDisplayWidth - 1, 0},
        {634, ControlKind::Text, 0, {170, 97, 20, 15}, "Y:"},
        {kTextY, ControlKind::Spin, 0, {190, 94, 60, 21}, "", kReportChanges, {}, {}, Font::Default, "", -1, 0,
         kDisplayHeight - 1, 0},
        {kTextErase, ControlKind::Check, 0, {90, 122, 200, 18}, "Стереть", erase},
        {kTextNote, ControlKind::Text, 0, {10, 148, 300, 32}},
        {kTextOk, ControlKind::Button, 0, {140, 190, 80, 24}, "OK", platform::kDefaultButton},
        {kTextCancel, ControlKind::Button, 0, {230, 190, 80, 24}, "Отмена"},
    };
}

std::string font_name(const FontInfo& font) { return font.style.empty() ? font.family : font.family + " " + font.style; }

// The system's fonts first, then the program's own; read again only when a
// folder changed since the last time.
const std::vector<FontInfo>& font_files(FontCatalogue& catalogue)
{
    using Time = std::filesystem::file_time_type;
    const Time just_now = Time::clock::now() - std::chrono::seconds(2);
    std::vector<std::pair<std::filesystem::path, Time>> folders;
    bool changing = false;
    for (const auto& folder : platform::font_folders()) {
        std::error_code ec;
        const Time written = std::filesystem::last_write_time(folder, ec);
        folders.emplace_back(folder, ec ? Time::min() : written);
        changing = changing || (!ec && written > just_now);
    }
    if (!catalogue.folders.empty() && folders == catalogue.folders) return catalogue.files;
    catalogue.files.clear();
    for (const auto& [folder, written] : folders) {
        std::error_code ec;
        if (!std::filesystem::is_directory(folder, ec)) continue;
        for (auto& font : list_fonts(folder)) catalogue.files.push_back(std::move(font));
    }
    // A folder changed just now may change again within the same tick of its
    // clock, unseen: then the list is read again next time.
    catalogue.folders = changing ? decltype(folders){} : std::move(folders);
    return catalogue.files;
}

bool has_size(const FontInfo& font, int size)
{
    return std::find(font.sizes.begin(), font.sizes.end(), size) != font.sizes.end();
}

// Bitmap fonts come one file a size (Terminus: ter-u12n, ter-u16n, ...): the
// list names each family and style once, with the sizes of all its files.
std::vector<FontInfo> merged_by_name(const std::vector<FontInfo>& files)
{
    std::vector<FontInfo> fonts;
    for (const FontInfo& file : files) {
        auto same = std::find_if(fonts.begin(), fonts.end(), [&](const FontInfo& font) {
            return !font.sizes.empty() && !file.sizes.empty() && font_name(font) == font_name(file);
        });
        if (same == fonts.end()) {
            fonts.push_back(file);
            continue;
        }
        for (int size : file.sizes)
            if (!has_size(*same, size)) same->sizes.push_back(size);
        std::sort(same->sizes.begin(), same->sizes.end());
    }
    return fonts;
}

// The file of a listed font that holds the size (an outline font: its only one).
std::filesystem::path file_for_size(const App& app, const FontInfo& font, int size)
{
    if (font.sizes.empty()) return font.path;
    for (const FontInfo& file : app.font_files.files)
        if (has_size(file, size) && font_name(file) == font_name(font)) return file.path;
    return font.path;
}

const FontInfo* chosen_font(const App& app)
{
    int index = platform::selection(kTextFont);
    if (index < 0 || index >= static_cast<int>(app.text.fonts.size())) return nullptr;
    return &app.text.fonts[static_cast<std::size_t>(index)];
}

// The chosen font at the chosen size; the last one opened is kept while the
// fields ask for the same one again.
OpenFont* open_chosen_font(App& app, const FontInfo& font, int size, std::string& error)
{
    if (!font.sizes.empty() && !has_size(font, size)) {
        error = "У шрифта «" + font_name(font) + "» нет размера " + std::to_string(size) + ", есть только " +
                size_list(font.sizes) + ".";
        return nullptr;
    }
    const std::filesystem::path path = file_for_size(app, font, size);
    if (app.text.font && app.text.font_path == path && app.text.font_size == size) return app.text.font.get();
    app.text.font.reset();
    FontResult opened = open_font(path, size);
    if (!opened.font) {
        // The library's reason is written for the command line, in English.
        error = "Не удалось открыть шрифт «" + path_to_utf8(path) + "» размером " + std::to_string(size) +
                " пикс.: файл не читается или не является шрифтом.";
        return nullptr;
    }
    app.text.font = std::move(opened.font);
    app.text.font_path = path;
    app.text.font_size = size;
    return app.text.font.get();
}

// The current buffer with the text of the fields drawn in, or why not.
struct Drawing {
    std::optional<ScreenBuffer> picture;
    std::string error;
    std::vector<char32_t> missing;
};

Drawing draw_fields(App& app)
{
    Drawing drawing;
    const FontInfo* font = chosen_font(app);
    if (!font) {
        drawing.error = "Не выбран шрифт.";
        return drawing;
    }
    OpenFont* open = open_chosen_font(app, *font, platform::value(kTextSize), drawing.error);
    if (!open) return drawing;
    Raster raster = raster_from_screen(*buffer_of(app.store, current_buffer(app.store)));
    const Ink ink = platform::is_checked(kTextErase) ? Ink::Clear : Ink::Set;
    drawing.missing = draw_text(raster, *open, platform::text(kTextInput), platform::value(kTextX),
                                platform::value(kTextY), ink);
    drawing.picture = screen_from_raster(raster);
    return drawing;
}

std::string missing_note(const std::vector<char32_t>& missing)
{
    if (missing.empty()) return "";
    std::string note = "В шрифте нет знаков:";
    for (char32_t code : missing) note += " " + code_name(code);
    return note;
}

void show_preview(App& app)
{
    Drawing drawing = draw_fields(app);
    platform::set_text(kTextNote, drawing.picture ? missing_note(drawing.missing) : drawing.error);
    paint_picture(app, drawing.picture ? *drawing.picture : *buffer_of(app.store, current_buffer(app.store)));
}

// A bitmap font comes at its own sizes: choosing one moves the size to its
// first when the size in the field is not among them.
void font_chosen(App& app)
{
    const FontInfo* font = chosen_font(app);
    if (font && !font->sizes.empty() && !has_size(*font, platform::value(kTextSize)))
        platform::set_value(kTextSize, font->sizes.front());
    show_preview(app);
}

// The screen view shows the buffer again, as the store holds it.
void close_text_dialog(App& app)
{
    // The main window takes input again before its dialog goes, so that it
    // becomes the active window.
    platform::enable_window(WindowId::Main, true);
    platform::close_window(WindowId::Text);
    app.text = TextDialogState{};
    paint_all_cells(app, current_buffer(app.store));
}

void accept_text(App& app)
{
    Drawing drawing = draw_fields(app);
    if (!drawing.picture) {
        platform::message_box(kDialogTitle, drawing.error, platform::Buttons::Ok, platform::Icon::Error);
        return;
    }
    const int buffer = current_buffer(app.store);
    ScreenBuffer& stored = *buffer_of(app.store, buffer);
    if (stored != *drawing.picture) {
        stored = *drawing.picture;
        set_modified(app.store, buffer, true);
    }
    app.settings.text_font = path_to_utf8(file_for_size(app, *chosen_font(app), platform::value(kTextSize)));
    app.settings.text_size = platform::value(kTextSize);
    app.settings.text_erase = platform::is_checked(kTextErase) ? 1 : 0;
    close_text_dialog(app);
}

// Where a command puts the text: the popup's cell, or the picture's corner.
platform::Point text_origin(const App& app, int command)
{
    constexpr int kCellSide = 8;  // a cell is 8 x 8 pixels of the picture
    constexpr int kCellsInRow = kDisplayWidth / kCellSide;
    const int cell = app.shell.popup_target;
    if (command != kCmdCellText || !valid_cell(cell)) return {0, 0};
    return {(cell - 1) % kCellsInRow * kCellSide, (cell - 1) / kCellsInRow * kCellSide};
}

}  // namespace

void show_text_dialog(App& app, int command)
{
    if (app.text.open) {
        platform::show_window(WindowId::Text);
        return;
    }
    const std::vector<FontInfo>& files = font_files(app.font_files);
    std::vector<FontInfo> fonts = merged_by_name(files);
    if (fonts.empty()) {
        platform::message_box(kDialogTitle,
                              "Не найдено ни одного шрифта: ни в папке шрифтов системы, ни в папке fonts рядом с "
                              "программой.",
                              platform::Buttons::Ok, platform::Icon::Warning);
        return;
    }
    platform::WindowSpec spec;
    spec.id = WindowId::Text;
    spec.title = kDialogTitle;
    spec.client_w = 320;
    spec.client_h = 224;
    // Over the cell editor's corner, so that the screen view's preview stays
    // in sight (centred when that panel cannot be found).
    const platform::Rect editor = platform::control_screen_rect(kCellEditorPanel);
    spec.position = {editor.x, editor.y};
    spec.centred = editor.w == 0;
    if (!platform::create_window(spec)) return;
    std::vector<std::string> names;
    int chosen = 0;
    std::string last_name;  // the entry of the file last used
    for (const FontInfo& file : files)
        if (path_to_utf8(file.path) == app.settings.text_font) last_name = font_name(file);
    for (const FontInfo& font : fonts) {
        if (font_name(font) == last_name) chosen = static_cast<int>(names.size());
        names.push_back(font_name(font));
    }
    for (const LayoutRow& row : text_dialog_rows(app.settings)) {
        platform::ControlSpec control = control_spec_of(row, WindowId::Text);
        if (row.id == kTextFont) control.items = names;
        if (!platform::create_control(control)) {
            platform::close_window(WindowId::Text);
            return;
        }
    }
    close_open_cell(app);
    app.text.open = true;
    app.text.fonts = std::move(fonts);
    platform::set_selection(kTextFont, chosen);
    const platform::Point origin = text_origin(app, command);
    platform::set_value(kTextX, origin.x);
    platform::set_value(kTextY, origin.y);
    platform::enable_window(WindowId::Main, false);
    platform::show_window(WindowId::Text);
    platform::set_focus(kTextInput);
    font_chosen(app);
}

void text_dialog_event(App& app, const Event& event)
{
    if (!app.text.open) return;
    if (event.kind == EventKind::Close) return close_text_dialog(app);
    if (event.kind != EventKind::Control) return;
    switch (event.number) {
    case kTextOk:
        if (event.type == EventType::Click) accept_text(app);
        return;
    case kTextCancel:
        if (event.type == EventType::Click) close_text_dialog(app);
        return;
    case kTextFont:
        if (event.type == EventType::SelectionChanged) font_chosen(app);
        return;
    case kTextInput:
    case kTextSize:
    case kTextX:
    case kTextY:
        if (event.type == EventType::Changed) show_preview(app);
        return;
    case kTextErase:
        if (event.type == EventType::Click) show_preview(app);
        return;
    default:
        return;
    }
}

bool main_event_during_text_dialog(App& app, const Event& event)
{
    switch (event.kind) {
    case EventKind::Command:
    case EventKind::Control:
    case EventKind::RightButton:
    case EventKind::FilesDropped:
        platform::warning_beep();
        platform::show_window(WindowId::Text);
        return false;
    case EventKind::Close:
        close_text_dialog(app);
        return true;
    default:
        return false;
    }
}

}  // namespace lumetra
