// Menus drawn by the program (icon column, shortcut at the right), the
// toolbar with its tooltips, and the accelerator table.
#include "platform/win32/win32_backend.h"

#include <algorithm>

namespace lumetra::platform::win32 {

HICON stored_icon(int image)
{
    Backend& b = backend();
    auto found = b.icons.find(image);
    if (found != b.icons.end()) return found->second;
    HICON icon = static_cast<HICON>(LoadImageW(b.instance, MAKEINTRESOURCEW(kImageResourceBase + image), IMAGE_ICON, 0,
                                               0, LR_DEFAULTCOLOR));
    b.icons[image] = icon;
    return icon;
}

constexpr int kIconColumn = 24;   // icon or check mark
constexpr int kTextGap = 6;       // after the icon column
constexpr int kShortcutGap = 24;  // between the item text and its shortcut
constexpr int kRightMargin = 10;
constexpr int kMenuItemHeight = 22;

// The text left of the first tab, and the shortcut after the last tab.
static std::pair<std::wstring, std::wstring> split_at_tab(const std::wstring& text)
{
    const std::size_t tab = text.find(L'\t');
    if (tab == std::wstring::npos) return {text, {}};
    const std::size_t shortcut = text.find_first_not_of(L'\t', tab);
    return {text.substr(0, tab), shortcut == std::wstring::npos ? std::wstring() : text.substr(shortcut)};
}

bool measure_menu_item(MEASUREITEMSTRUCT& item)
{
    if (item.CtlType != ODT_MENU || !item.itemData) return false;
    const auto* record = reinterpret_cast<const MenuRecord*>(item.itemData);
    const auto [label, shortcut] = split_at_tab(record->text);
    HDC dc = GetDC(window_handle(WindowId::Main));
    HGDIOBJ old = SelectObject(dc, backend().menu_font);
    SIZE label_size{}, shortcut_size{};
    GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &label_size);
    if (!shortcut.empty())
        GetTextExtentPoint32W(dc, shortcut.c_str(), static_cast<int>(shortcut.size()), &shortcut_size);
    SelectObject(dc, old);
    ReleaseDC(window_handle(WindowId::Main), dc);
    item.itemWidth = static_cast<UINT>(kIconColumn + kTextGap + label_size.cx +
                                       (shortcut.empty() ? 0 : kShortcutGap + shortcut_size.cx) + kRightMargin);
    item.itemHeight = static_cast<UINT>(std::max<LONG>(kMenuItemHeight, label_size.cy + 6));
    return true;
}

static void draw_check_mark(HDC dc, const RECT& cell, COLORREF colour)
{
    HPEN pen = CreatePen(PS_SOLID, 2, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    const int cx = (cell.left + cell.right) / 2, cy = (cell.top + cell.bottom) / 2;
    POINT tick[3] = {{cx - 5, cy}, {cx - 2, cy + 3}, {cx + 4, cy - 4}};
    Polyline(dc, tick, 3);
    SelectObject(dc, old);
    DeleteObject(pen);
}

bool draw_menu_item(const DRAWITEMSTRUCT& item)
{
    if (item.CtlType != ODT_MENU || !item.itemData) return false;
    const auto* record = reinterpret_cast<const MenuRecord*>(item.itemData);
    const bool selected = item.itemState & ODS_SELECTED;
    const bool disabled = item.itemState & (ODS_GRAYED | ODS_DISABLED);
    HDC dc = item.hDC;

    RECT area = item.rcItem;
    FillRect(dc, &area, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));

    RECT icon_cell{area.left, area.top, area.left + kIconColumn, area.bottom};
    if (item.itemState & ODS_CHECKED) {
        draw_check_mark(dc, icon_cell, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    } else if (record->icon >= 0) {
        if (HICON icon = stored_icon(record->icon))
            DrawIconEx(dc, icon_cell.left + (kIconColumn - 16) / 2, area.top + (area.bottom - area.top - 16) / 2, icon,
                       16, 16, 0, nullptr, DI_NORMAL);
    }

    const auto [label, shortcut] = split_at_tab(record->text);
    HGDIOBJ old_font = SelectObject(dc, backend().menu_font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    RECT text_area{area.left + kIconColumn + kTextGap, area.top, area.right - kRightMargin, area.bottom};
    DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &text_area,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (!shortcut.empty())
        DrawTextW(dc, shortcut.c_str(), static_cast<int>(shortcut.size()), &text_area,
                  DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old_font);
    return true;
}

static MenuRecord* add_menu_record(const MenuItem& item)
{
    Backend& b = backend();
    b.menu_records.push_back({item.command, widen(item.text), item.icon, false});
    MenuRecord* record = &b.menu_records.back();
    if (item.command) b.menu_record_of[item.command] = record;
    return record;
}

// Items of one drop-down or popup menu, every one drawn by the program.
static void fill_menu(HMENU menu, const std::vector<MenuItem>& items)
{
    Backend& b = backend();
    for (const MenuItem& item : items) {
        if (item.command == 0 && item.text.empty() && item.items.empty()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        MenuRecord* record = add_menu_record(item);
        if (!item.items.empty()) {
            HMENU submenu = CreatePopupMenu();
            fill_menu(submenu, item.items);
            AppendMenuW(menu, MF_OWNERDRAW | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu),
                        reinterpret_cast<LPCWSTR>(record));
        } else {
            AppendMenuW(menu, MF_OWNERDRAW, static_cast<UINT_PTR>(item.command), reinterpret_cast<LPCWSTR>(record));
            b.menu_of_command[item.command] = menu;
        }
    }
}

}  // namespace lumetra::platform::win32

namespace lumetra::platform {
using namespace win32;

// ---------------------------------------------------------------- menus

void create_main_menu(const std::vector<MenuItem>& menus)
{
    Backend& b = backend();
    HWND main = window_handle(WindowId::Main);
    if (!main) return;
    HMENU bar = CreateMenu();
    for (const MenuItem& menu : menus) {
        HMENU dropdown = CreatePopupMenu();
        fill_menu(dropdown, menu.items);
        // The bar's own titles are drawn by the system.
        AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(dropdown), widen(menu.text).c_str());
    }
    b.main_menu = bar;

    // Keep the client area at its size whatever height the menu bar takes
    // (it was counted as one line when the window was made).
    SetMenu(main, bar);
    const WindowRecord& window = b.windows[WindowId::Main];
    RECT client;
    GetClientRect(main, &client);
    if (client.right != window.client_w || client.bottom != window.client_h) {
        RECT frame;
        GetWindowRect(main, &frame);
        SetWindowPos(main, nullptr, 0, 0, frame.right - frame.left + (window.client_w - client.right),
                     frame.bottom - frame.top + (window.client_h - client.bottom),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void create_popup_menu(int popup, const std::vector<MenuItem>& items)
{
    Backend& b = backend();
    if (b.popups.count(popup)) DestroyMenu(b.popups[popup]);
    HMENU menu = CreatePopupMenu();
    fill_menu(menu, items);
    b.popups[popup] = menu;
}

void show_popup_menu(int popup)
{
    flush_cell_updates();
    Backend& b = backend();
    HWND main = window_handle(WindowId::Main);
    auto found = b.popups.find(popup);
    if (!main || found == b.popups.end()) return;
    POINT at;
    GetCursorPos(&at);
    SetForegroundWindow(main);
    // The chosen item comes back as WM_COMMAND, like a menu-bar item.
    TrackPopupMenu(found->second, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, main, nullptr);
    PostMessageW(main, WM_NULL, 0, 0);
}

void check_menu_item(int command, bool checked)
{
    auto found = backend().menu_of_command.find(command);
    if (found != backend().menu_of_command.end())
        CheckMenuItem(found->second, static_cast<UINT>(command), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool is_menu_item_checked(int command)
{
    auto found = backend().menu_of_command.find(command);
    if (found == backend().menu_of_command.end()) return false;
    const UINT state = GetMenuState(found->second, static_cast<UINT>(command), MF_BYCOMMAND);
    return state != 0xFFFFFFFF && (state & MF_CHECKED);
}

void set_menu_item_text(int command, const std::string& text)
{
    Backend& b = backend();
    auto record = b.menu_record_of.find(command);
    auto menu = b.menu_of_command.find(command);
    if (record == b.menu_record_of.end() || menu == b.menu_of_command.end()) return;
    record->second->text = widen(text);
    // Modifying the item makes the menu measure it again.
    const UINT state = GetMenuState(menu->second, static_cast<UINT>(command), MF_BYCOMMAND);
    ModifyMenuW(menu->second, static_cast<UINT>(command),
                MF_BYCOMMAND | MF_OWNERDRAW | (state & (MF_CHECKED | MF_GRAYED | MF_DISABLED)),
                static_cast<UINT_PTR>(command), reinterpret_cast<LPCWSTR>(record->second));
}

std::string menu_item_text(int command)
{
    auto record = backend().menu_record_of.find(command);
    return record == backend().menu_record_of.end() ? std::string() : narrow(record->second->text);
}

// ---------------------------------------------------------------- toolbar

void create_toolbar(const std::vector<ToolbarItem>& items)
{
    Backend& b = backend();
    HWND main = window_handle(WindowId::Main);
    if (!main || b.toolbar) return;
    HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                   WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP,
                                   0, 0, 0, 0, main, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kToolbarId)),
                                   b.instance, nullptr);
    if (!toolbar) return;
    b.toolbar = toolbar;
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 16));

    b.toolbar_images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 8, 8);
    std::map<int, int> index_of_icon;
    for (const ToolbarItem& item : items) {
        if (item.kind != ToolbarItemKind::Button || item.icon < 0 || index_of_icon.count(item.icon)) continue;
        if (HICON icon = stored_icon(item.icon)) index_of_icon[item.icon] = ImageList_AddIcon(b.toolbar_images, icon);
    }
    SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(b.toolbar_images));
    // Wine answers 0 to TB_LOADIMAGES but appends the standard pictures all
    // the same, so the help picture is found from the count before the call.
    const int standard_first = ImageList_GetImageCount(b.toolbar_images);
    SendMessageW(toolbar, TB_LOADIMAGES, IDB_STD_SMALL_COLOR, reinterpret_cast<LPARAM>(HINST_COMMCTRL));

    std::vector<TBBUTTON> buttons;
    for (const ToolbarItem& item : items) {
        TBBUTTON button{};
        button.iBitmap = I_IMAGENONE;
        button.idCommand = item.command;
        button.fsState = TBSTATE_ENABLED;
        switch (item.kind) {
        case ToolbarItemKind::Separator:
            button.fsStyle = BTNS_SEP;
            button.iBitmap = 0;
            button.idCommand = 0;
            break;
        case ToolbarItemKind::Button:
            button.fsStyle = BTNS_BUTTON;
            if (auto found = index_of_icon.find(item.icon); found != index_of_icon.end()) button.iBitmap = found->second;
            break;
        case ToolbarItemKind::HelpButton:
            button.fsStyle = BTNS_BUTTON;
            button.iBitmap = standard_first + STD_HELP;
            break;
        case ToolbarItemKind::Spacer:
            // Empty and disabled: text control 4 sits on it.
            button.fsStyle = BTNS_BUTTON;
            button.fsState = 0;
            button.idCommand = 0;
            break;
        }
        if (item.kind != ToolbarItemKind::Separator && !item.tooltip.empty())
            b.toolbar_tooltips[item.command] = widen(item.tooltip);
        buttons.push_back(button);
    }
    SendMessageW(toolbar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
}

int toolbar_spacer_left()
{
    HWND toolbar = backend().toolbar;
    if (!toolbar) return 0;
    const auto count = SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0);
    RECT item{};
    if (count > 0) SendMessageW(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(count - 1), reinterpret_cast<LPARAM>(&item));
    return item.left;
}

void set_toolbar_tooltip(int command, const std::string& text)
{
    Backend& b = backend();
    b.toolbar_tooltips[command] = widen(text);
    if (!b.toolbar) return;
    // A tip on screen asks for its text again.
    HWND tips = reinterpret_cast<HWND>(SendMessageW(b.toolbar, TB_GETTOOLTIPS, 0, 0));
    if (!tips) return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = b.toolbar;
    tool.uId = static_cast<UINT_PTR>(command);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tips, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

std::string toolbar_tooltip(int command)
{
    auto found = backend().toolbar_tooltips.find(command);
    return found == backend().toolbar_tooltips.end() ? std::string() : narrow(found->second);
}

// ---------------------------------------------------------------- shortcuts

void create_shortcuts(const std::vector<Shortcut>& shortcuts)
{
    Backend& b = backend();
    std::vector<ACCEL> table;
    for (const Shortcut& s : shortcuts) {
        ACCEL accel{};
        accel.fVirt = static_cast<BYTE>(FVIRTKEY | (s.ctrl ? FCONTROL : 0) | (s.shift ? FSHIFT : 0) |
                                        (s.alt ? FALT : 0));
        accel.key = static_cast<WORD>(static_cast<unsigned char>(s.key));  // 'A'..'Z', '0'..'9' are their own keys
        accel.cmd = static_cast<WORD>(s.command);
        table.push_back(accel);
    }
    if (b.accelerators) DestroyAcceleratorTable(b.accelerators);
    b.accelerators = table.empty() ? nullptr : CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
}

}  // namespace lumetra::platform
