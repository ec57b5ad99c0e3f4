// Message boxes, file dialogs, the pointer, time and the shell.
#include "platform/win32/win32_backend.h"

#include <commdlg.h>
#include <shellapi.h>

namespace lumetra::platform {
using namespace win32;

// ---------------------------------------------------------------- modal

Answer message_box(const std::string& title, const std::string& text, Buttons buttons, Icon icon)
{
    flush_cell_updates();  // the box's own loop paints what lies behind it
    UINT flags = 0;
    switch (buttons) {
    case Buttons::Ok: flags |= MB_OK; break;
    case Buttons::OkCancel: flags |= MB_OKCANCEL; break;
    case Buttons::YesNo: flags |= MB_YESNO; break;
    case Buttons::YesNoCancel: flags |= MB_YESNOCANCEL; break;
    }
    switch (icon) {
    case Icon::None: break;
    case Icon::Error: flags |= MB_ICONERROR; break;
    case Icon::Warning: flags |= MB_ICONWARNING; break;
    case Icon::Question: flags |= MB_ICONQUESTION; break;
    case Icon::Information: flags |= MB_ICONINFORMATION; break;
    }
    HWND owner = window_handle(WindowId::Text);
    if (!owner) owner = window_handle(WindowId::About);
    if (!owner) owner = window_handle(WindowId::Main);
    switch (MessageBoxW(owner, widen(text).c_str(), widen(title).c_str(), flags)) {
    case IDYES: return Answer::Yes;
    case IDNO: return Answer::No;
    case IDCANCEL: return Answer::Cancel;
    default: return buttons == Buttons::Ok || buttons == Buttons::OkCancel ? Answer::Ok : Answer::Cancel;
    }
}

// "Name|*.a|All|*.*" becomes the NUL-separated list the dialogs read.
static std::wstring dialog_filter(const std::string& filter)
{
    std::wstring list = widen(filter);
    for (wchar_t& c : list)
        if (c == L'|') c = L'\0';
    list.push_back(L'\0');
    list.push_back(L'\0');
    return list;
}

static FileChoice run_file_dialog(const FileDialog& dialog, bool save)
{
    flush_cell_updates();
    std::wstring name(32768, L'\0');
    const std::wstring preset = dialog.preset.wstring();
    preset.copy(name.data(), std::min(preset.size(), name.size() - 1));
    const std::wstring filter = dialog_filter(dialog.filter);
    const std::wstring title = widen(dialog.title);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = window_handle(WindowId::Main);
    ofn.lpstrFilter = dialog.filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(dialog.filter_index);
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    // The file itself need not exist, there is no overwrite question, and
    // the program's current folder stays where it was.
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_EXPLORER;
    using Chooser = BOOL(WINAPI*)(OPENFILENAMEW*);
    const auto choose = system_function<Chooser>(L"comdlg32.dll", save ? "GetSaveFileNameW" : "GetOpenFileNameW");
    const BOOL chosen = choose && choose(&ofn);
    FileChoice choice;
    choice.filter_index = static_cast<int>(ofn.nFilterIndex);
    if (chosen) choice.path = std::filesystem::path(name.c_str());
    return choice;
}

FileChoice open_file_dialog(const FileDialog& dialog) { return run_file_dialog(dialog, false); }
FileChoice save_file_dialog(const FileDialog& dialog) { return run_file_dialog(dialog, true); }

// ---------------------------------------------------------------- pointer, time, misc

Point pointer_position()
{
    POINT at{};
    GetCursorPos(&at);
    return {at.x, at.y};
}

Rect control_screen_rect(int id)
{
    ControlRecord* record = find_control(id);
    if (!record) return {};
    RECT area;
    if (record->painted_by_container) {
        area = record->area;
        MapWindowPoints(record->parent, nullptr, reinterpret_cast<POINT*>(&area), 2);
        return {area.left, area.top, area.right - area.left, area.bottom - area.top};
    }
    GetWindowRect(record->hwnd, &area);
    if (record->updown) {
        RECT arrows;
        GetWindowRect(record->updown, &arrows);
        UnionRect(&area, &area, &arrows);
    }
    return {area.left, area.top, area.right - area.left, area.bottom - area.top};
}

std::optional<Point> to_main_client(Point screen)
{
    HWND main = window_handle(WindowId::Main);
    if (!main) return std::nullopt;
    POINT at{screen.x, screen.y};
    ScreenToClient(main, &at);
    RECT area;
    GetClientRect(main, &area);
    if (at.x < area.left || at.y < area.top || at.x >= area.right || at.y >= area.bottom) return std::nullopt;
    return Point{at.x, at.y};
}

// The state as of the message just taken, in the logical meaning of the
// buttons (the one the mouse messages carry): the asynchronous state is of
// the physical buttons, so with the buttons swapped for a left hand it would
// read one press as both. The cell-editor poll runs after every message, so
// a press is seen as soon as its message is taken.
bool left_button_down() { return (GetKeyState(VK_LBUTTON) & 0x8000) != 0; }
bool right_button_down() { return (GetKeyState(VK_RBUTTON) & 0x8000) != 0; }
void warning_beep() { MessageBeep(MB_ICONEXCLAMATION); }
void default_beep() { MessageBeep(MB_OK); }
std::uint64_t now_ms() { return GetTickCount64(); }

std::filesystem::path temp_directory()
{
    wchar_t short_form[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, short_form);
    if (n == 0 || n > MAX_PATH) return {};
    std::wstring long_form(32768, L'\0');
    const DWORD m = GetLongPathNameW(short_form, long_form.data(), static_cast<DWORD>(long_form.size()));
    if (m == 0 || m >= long_form.size()) return std::filesystem::path(short_form);
    long_form.resize(m);
    return std::filesystem::path(long_form);
}

std::vector<std::filesystem::path> font_folders()
{
    std::vector<std::filesystem::path> folders;
    wchar_t windows[MAX_PATH + 1] = {};
    const UINT n = GetWindowsDirectoryW(windows, MAX_PATH + 1);
    if (n > 0 && n <= MAX_PATH) folders.push_back(std::filesystem::path(windows) / L"Fonts");
    std::wstring program(32768, L'\0');
    const DWORD m = GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
    if (m > 0 && m < program.size()) {
        program.resize(m);
        folders.push_back(std::filesystem::path(program).parent_path() / L"fonts");
    }
    return folders;
}

void open_link(const std::string& target)
{
    using Execute = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    if (const auto execute = system_function<Execute>(L"shell32.dll", "ShellExecuteW"))
        execute(window_handle(WindowId::Main), L"open", widen(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void shutdown()
{
    Backend& b = backend();
    close_window(WindowId::Text);
    close_window(WindowId::About);
    close_window(WindowId::Startup);
    close_window(WindowId::Main);
    for (auto& [popup, menu] : b.popups) DestroyMenu(menu);
    b.popups.clear();
    b.menu_records.clear();
    b.menu_record_of.clear();
    b.menu_of_command.clear();
    b.toolbar_tooltips.clear();
    if (b.toolbar_images) ImageList_Destroy(b.toolbar_images);
    b.toolbar_images = nullptr;
    if (b.accelerators) DestroyAcceleratorTable(b.accelerators);
    b.accelerators = nullptr;
    for (auto& [image, icon] : b.icons)
        if (icon) DestroyIcon(icon);
    b.icons.clear();
    for (HFONT font : b.fonts)
        if (font && font != GetStockObject(DEFAULT_GUI_FONT)) DeleteObject(font);
    if (b.menu_font) DeleteObject(b.menu_font);
    for (HFONT& font : b.fonts) font = nullptr;
    b.menu_font = nullptr;
    b.events.clear();
    // Everything registered is gone; a later start-up registers afresh.
    for (const wchar_t* name : {kMainClass, kStartupClass, kAboutClass, kTextClass, kPanelClass}) UnregisterClassW(name, b.instance);
    // The classes held the program icons; a later start-up loads them again.
    if (b.program_icon) DestroyIcon(b.program_icon);
    if (b.program_icon_small) DestroyIcon(b.program_icon_small);
    b.program_icon = b.program_icon_small = nullptr;
    b.instance = nullptr;
}

}  // namespace lumetra::platform
