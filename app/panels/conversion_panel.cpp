#include "app/panels/conversion_panel.h"

#include "core/text_encoding.h"
#include "app/views/code_view.h"

namespace lumetra {

using platform::kBorder;
using platform::kCentred;
using platform::kChecked;
using platform::kGroup;
using platform::kReadOnly;

std::vector<LayoutRow> conversion_panel_rows()
{
    constexpr int p = kConversionPanel;
    constexpr Font m = Font::Message;
    return {
        {p, ControlKind::Container, 0, {554, 340, 234, 150}, "", kBorder},
        {432, ControlKind::Text, p, {2, 1, 228, 15}, "Преобразование данных", kCentred, kWhite, kStripGrey},
        {420, ControlKind::Frame, p, {5, 20, 70, 50}, "Директива", 0, {}, {}, m},
        {kOptionDt, ControlKind::Radio, p, {20, 34, 50, 15}, "DT", kGroup | kChecked, {}, {}, m},
        {kOptionDb, ControlKind::Radio, p, {20, 50, 50, 15}, "DB", 0, {}, {}, m},
        {kAddFileName, ControlKind::Check, p, {10, 88, 130, 15}, "Добавить имя файла", 0, {}, {}, m},
        {kGroupByCrystal, ControlKind::Check, p, {10, 105, 170, 15}, "Группировка по кристаллам", kChecked, {}, {}, m},
        {kConvertButton, ControlKind::Button, p, {70, 122, 100, 24}, "Преобразовать", 0, {}, {}, m},
        {427, ControlKind::Frame, p, {90, 20, 130, 64}, "Длина отступов", 0, {}, {}, m},
        {428, ControlKind::Text, p, {94, 34, 80, 15}, "Первый отступ:", 0, {}, {}, m},
        {kFirstIndent, ControlKind::Spin, p, {180, 32, 30, 20}, "", kReadOnly, {}, {}, m, "", -1, 2, 20, 12},
        {430, ControlKind::Text, p, {94, 60, 80, 15}, "Второй отступ:", 0, {}, {}, m},
        {kSecondIndent, ControlKind::Spin, p, {180, 58, 30, 20}, "", kReadOnly, {}, {}, m, "", -1, 2, 20, 12},
    };
}

ListingOptions shown_listing_options()
{
    return {
        .directive = platform::is_checked(kOptionDt) ? Directive::Dt : Directive::Db,
        .add_file_name = platform::is_checked(kAddFileName),
        .group_by_crystal = platform::is_checked(kGroupByCrystal),
        .first_indent = platform::value(kFirstIndent),
        .second_indent = platform::value(kSecondIndent),
    };
}

void save_listing_options(ListingOptionsSet& options, int buffer)
{
    if (valid_buffer(buffer)) options[buffer - 1] = shown_listing_options();
}

void restore_listing_options(const ListingOptionsSet& options, int buffer)
{
    if (!valid_buffer(buffer)) return;
    const ListingOptions& o = options[buffer - 1];
    platform::set_checked(kOptionDt, o.directive == Directive::Dt);
    platform::set_checked(kOptionDb, o.directive == Directive::Db);
    platform::set_checked(kAddFileName, o.add_file_name);
    platform::set_checked(kGroupByCrystal, o.group_by_crystal);
    platform::set_value(kFirstIndent, o.first_indent);
    platform::set_value(kSecondIndent, o.second_indent);
}

void convert_current_buffer(App& app)
{
    int buffer = current_buffer(app.store);
    const ScreenBuffer* picture = buffer_of(app.store, buffer);
    if (!picture) return;
    std::vector<std::string> lines =
        generate_listing(*picture, path_to_utf8(file_name(app.store, buffer)), shown_listing_options());
    // The whole text at once: appending line by line is far too slow in a
    // rich-text control.
    platform::set_rich_text(code_view_of(buffer), lines);
    platform::set_focus(code_view_of(buffer));
}

}  // namespace lumetra
