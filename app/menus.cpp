#include "app/menus.h"

#include "app/layout.h"
#include "app/views/screen_view.h"

namespace lumetra {

using platform::MenuItem;
using platform::Shortcut;
using platform::ToolbarItem;
using platform::ToolbarItemKind;

namespace {

const MenuItem kSeparator{};

// The code view and the skip list carry the same three items, each view
// with its own command numbers from first on.
std::vector<MenuItem> text_view_popup(int first)
{
    return {{first, "Выделить всё\t\tCtrl+A", -1, {}},
            {first + 1, "Копировать\t\tCtrl+C", kImageCopy, {}},
            kSeparator,
            {first + 2, "Сохранить в файле\tAlt+S", kImageSave, {}}};
}

}  // namespace

std::vector<MenuItem> main_menu_table(const RecentFiles& recent)
{
    MenuItem recent_menu{0, "Недавние файлы", -1, {}};
    auto texts = recent_menu_texts(recent, kRecentBlanksAtStart);
    for (int i = 0; i < kRecentCount; ++i) recent_menu.items.push_back({kCmdFirstRecent + i, texts[i], -1, {}});

    return {
        {0, "Файл", -1,
         {
             {kCmdNew, "Новый\t\t\tCtrl+N", kImageNew, {}},
             {kCmdOpen, "Открыть\t\tCtrl+O", kImageOpen, {}},
             {kCmdSave, "Сохранить\t\tCtrl+S", kImageSave, {}},
             {kCmdSaveAs, "Сохранить как...\tCtrl+Shift+S", -1, {}},
             kSeparator,
             recent_menu,
             kSeparator,
             {kCmdText, "Текст…", -1, {}},
             kSeparator,
             {kCmdClose, "Закрыть", -1, {}},
         }},
        {0, "Режим", -1,
         {
             {mode_command(Mode::Editing), "Редактирование\tCtrl+1", -1, {}},
             {mode_command(Mode::Animation), "Анимация\t\tCtrl+2", -1, {}},
             {mode_command(Mode::Logic), "Лог. операции\t\tCtrl+3", -1, {}},
             {mode_command(Mode::Optimisation), "Оптимизация кода\tCtrl+4", -1, {}},
             {mode_command(Mode::Bin), "Преобразование в BIN\tCtrl+5", -1, {}},
         }},
        {0, "Справка", -1, {{kCmdAbout, "О программе", -1, {}}}},
    };
}

std::vector<MenuItem> popup_menu_table(int popup)
{
    switch (popup) {
    case kPopupCell:
        return {{kCmdCellCut, "Вырезать\tCtrl+X", kImageCut, {}},
                {kCmdCellCopy, "Копировать\tCtrl+C", kImageCopy, {}},
                {kCmdCellPaste, "Вставить\tCtrl+V", kImagePaste, {}},
                kSeparator,
                {kCmdCellClear, "Очистить", -1, {}},
                {kCmdCellText, "Текст…", -1, {}}};
    case kPopupCodeView: return text_view_popup(kCmdCodeSelectAll);
    case kPopupSkipList: return text_view_popup(kCmdSkipSelectAll);
    default: return {};
    }
}

std::vector<ToolbarItem> toolbar_table()
{
    return {
        {ToolbarItemKind::Separator, 0, -1, ""},
        {ToolbarItemKind::Button, kCmdNew, kImageNew, "Создать новый файл с очисткой текущего поля"},
        {ToolbarItemKind::Button, kCmdOpen, kImageOpen, "Открыть файл"},
        {ToolbarItemKind::Button, kCmdSave, kImageSave, "Сохранить файл"},
        {ToolbarItemKind::Separator, 0, -1, ""},
        {ToolbarItemKind::Button, kCmdNextMode, kImageMode, "Редактирование"},
        {ToolbarItemKind::Separator, 0, -1, ""},
        {ToolbarItemKind::HelpButton, kCmdAbout, -1, ""},
        {ToolbarItemKind::Spacer, 0, -1, ""},  // carries the status text
    };
}

std::vector<Shortcut> shortcut_table()
{
    constexpr bool ctrl = true, shift = true, alt = true, none = false;
    return {
        {ctrl, none, none, 'N', kCmdNew},
        {ctrl, none, none, 'O', kCmdOpen},
        {ctrl, none, none, 'S', kCmdSave},
        {ctrl, shift, none, 'S', kCmdSaveAs},
        {ctrl, none, none, '1', mode_command(Mode::Editing)},
        {ctrl, none, none, '2', mode_command(Mode::Animation)},
        {ctrl, none, none, '3', mode_command(Mode::Logic)},
        {ctrl, none, none, '4', mode_command(Mode::Optimisation)},
        {ctrl, none, none, '5', mode_command(Mode::Bin)},
        {ctrl, none, none, 'X', kCmdKeyCut},
        {ctrl, none, none, 'C', kCmdKeyCopy},
        {ctrl, none, none, 'V', kCmdKeyPaste},
        {ctrl, none, none, 'A', kCmdKeySelectAll},
        {none, none, alt, 'S', kCmdKeySave},
    };
}

bool create_menus_and_toolbar(const App& app)
{
    auto menu = main_menu_table(app.settings.recent);
    platform::create_main_menu(menu);
    platform::check_menu_item(kCmdFirstMode, true);
    for (int popup : {kPopupCell, kPopupCodeView, kPopupSkipList}) platform::create_popup_menu(popup, popup_menu_table(popup));
    platform::create_toolbar(toolbar_table());
    // The status text lies over the empty last button and reaches past it.
    LayoutRow status{kStatusText, ControlKind::Text, platform::kToolbarParent, {platform::toolbar_spacer_left() + 8, 4, 240, 15}};
    if (!platform::create_control(control_spec_of(status))) return false;
    platform::create_shortcuts(shortcut_table());
    return true;
}

}  // namespace lumetra
