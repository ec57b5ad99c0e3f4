#include "app/menus.h"

#include "app/layout.h"
#include "editor/screen_view.h"

namespace lumetra {

using platform::MenuItem;
using platform::Shortcut;
using platform::ToolbarItem;
using platform::ToolbarItemKind;

namespace {

// Stored images.
constexpr int kNewIcon = 0, kOpenIcon = 1, kSaveIcon = 2, kModeIcon = 3, kCopyIcon = 4, kPasteIcon = 5, kCutIcon = 7;

const MenuItem kSeparator{};

// The code view and the skip list carry the same three items, each view
// with its own command numbers from first on.
std::vector<MenuItem> text_view_popup(int first)
{
    return {{first, "Выделить всё\t\tCtrl+A", -1, {}},
            {first + 1, "Копировать\t\tCtrl+C", kCopyIcon, {}},
            kSeparator,
            {first + 2, "Сохранить в файле\tAlt+S", kSaveIcon, {}}};
}

}  // namespace

std::vector<MenuItem> main_menu_table(const RecentFiles& recent)
{
    MenuItem recent_menu{0, "Недавние файлы", -1, {}};
    auto texts = recent_menu_texts(recent, kRecentBlanksAtStart);
    for (int i = 0; i < kRecentCount; ++i) recent_menu.items.push_back({kFirstRecentCommand + i, texts[i], -1, {}});

    return {
        {0, "Файл", -1,
         {
             {4, "Новый\t\t\tCtrl+N", kNewIcon, {}},
             {1, "Открыть\t\tCtrl+O", kOpenIcon, {}},
             {2, "Сохранить\t\tCtrl+S", kSaveIcon, {}},
             {3, "Сохранить как...\tCtrl+Shift+S", -1, {}},
             kSeparator,
             recent_menu,
             kSeparator,
             {5, "Закрыть", -1, {}},
         }},
        {0, "Режим", -1,
         {
             {16, "Редактирование\tCtrl+1", -1, {}},
             {17, "Анимация\t\tCtrl+2", -1, {}},
             {18, "Лог. операции\t\tCtrl+3", -1, {}},
             {19, "Оптимизация кода\tCtrl+4", -1, {}},
             {20, "Преобразование в BIN\tCtrl+5", -1, {}},
         }},
        {0, "Справка", -1, {{8, "О программе", -1, {}}}},
    };
}

std::vector<MenuItem> popup_menu_table(int popup)
{
    switch (popup) {
    case 1:  // a cell of the screen view
        return {{40, "Вырезать\tCtrl+X", kCutIcon, {}},
                {41, "Копировать\tCtrl+C", kCopyIcon, {}},
                {42, "Вставить\tCtrl+V", kPasteIcon, {}},
                kSeparator,
                {43, "Очистить", -1, {}}};
    case 2: return text_view_popup(50);  // the code view
    case 3: return text_view_popup(70);  // the skip list
    default: return {};
    }
}

std::vector<ToolbarItem> toolbar_table()
{
    return {
        {ToolbarItemKind::Separator, 0, -1, ""},
        {ToolbarItemKind::Button, 4, kNewIcon, "Создать новый файл с очисткой текущего поля"},
        {ToolbarItemKind::Button, 1, kOpenIcon, "Открыть файл"},
        {ToolbarItemKind::Button, 2, kSaveIcon, "Сохранить файл"},
        {ToolbarItemKind::Separator, 0, -1, ""},
        {ToolbarItemKind::Button, kModeButton, kModeIcon, "Редактирование"},
        {ToolbarItemKind::Separator, 0, -1, ""},
        {ToolbarItemKind::HelpButton, 8, -1, ""},
        {ToolbarItemKind::Spacer, 0, -1, ""},  // carries the status text
    };
}

std::vector<Shortcut> shortcut_table()
{
    return {
        {true, false, false, 'N', 4},  {true, false, false, 'O', 1},  {true, false, false, 'S', 2},
        {true, true, false, 'S', 3},   {true, false, false, '1', 16}, {true, false, false, '2', 17},
        {true, false, false, '3', 18}, {true, false, false, '4', 19}, {true, false, false, '5', 20},
        {true, false, false, 'X', 85}, {true, false, false, 'C', 86}, {true, false, false, 'V', 87},
        {true, false, false, 'A', 88}, {false, false, true, 'S', 89},
    };
}

bool create_menus_and_toolbar(const App& app)
{
    auto menu = main_menu_table(app.settings.recent);
    platform::create_main_menu(menu);
    platform::check_menu_item(kFirstModeCommand, true);
    for (int popup = 1; popup <= 3; ++popup) platform::create_popup_menu(popup, popup_menu_table(popup));
    platform::create_toolbar(toolbar_table());
    // The status text lies over the empty last button and reaches past it.
    LayoutRow status{kStatusText, ControlKind::Text, platform::kToolbarParent, {platform::toolbar_spacer_left() + 8, 4, 240, 15}};
    if (!platform::create_control(control_spec_of(status))) return false;
    platform::create_shortcuts(shortcut_table());
    return true;
}

}  // namespace lumetra
