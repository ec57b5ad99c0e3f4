// The harness thread's tools: checks, waiting, real input, reading the
// program's windows, and the run of one story from start to close.
#include "tests/win32/e2e_support.h"

#include <commctrl.h>
#include <richedit.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "app/layout.h"
#include "app/program.h"
#include "app/views/screen_view.h"
#include "core/settings.h"

namespace lumetra::e2e {

namespace {

// The file-name field of the common file dialog: in Wine's Explorer style
// the Edit inside the ComboBoxEx32 0x47c, which carries the same number.
HWND file_name_field(HWND dialog)
{
    HWND found = nullptr;
    EnumChildWindows(
        dialog,
        [](HWND hwnd, LPARAM data) -> BOOL {
            wchar_t window_class[16] = {};
            GetClassNameW(hwnd, window_class, 16);
            if (GetDlgCtrlID(hwnd) != 0x47c || std::wstring(window_class) != L"Edit") return TRUE;
            *reinterpret_cast<HWND*>(data) = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void play(Harness& h, Story story, OnClose on_close, std::atomic<bool>& done,
          std::chrono::steady_clock::time_point started)
{
    // Start-up time: from the entry point until the main window is shown.
    const auto deadline = started + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < deadline) {
        h.main = FindWindowW(L"LumetraMain", nullptr);
        if (h.main && IsWindowVisible(h.main)) break;
        Sleep(2);
    }
    h.shown_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    const bool up = wait_until(
        [&] {
            h.main = FindWindowW(L"LumetraMain", nullptr);
            return h.main && IsWindowVisible(h.main) && !FindWindowW(L"LumetraStartup", nullptr);
        },
        15000);
    check(h, up, "the main window appears");
    if (up) {
        h.ui_thread = GetWindowThreadProcessId(h.main, nullptr);
        Sleep(100);
        story(h);
    }
    // Close as the close box does. A question about changed buffers is
    // answered "Нет" only where the stories expect it; anywhere else it
    // keeps the program open and the run fails below.
    if (h.main) PostMessageW(h.main, WM_CLOSE, 0, 0);
    const std::wstring closing = widen("Сохранение файлов при закрытии программы");
    const bool ended = wait_until(
        [&] {
            if (done.load()) return true;
            if (on_close == OnClose::answer_no && h.ui_thread)
                if (HWND dialog = thread_window(h, L"#32770"))
                    if (window_text(dialog) == closing) PostMessageW(dialog, WM_COMMAND, IDNO, 0);
            return false;
        },
        15000);
    if (!ended) {
        std::printf("FAIL %s: the program did not end after WM_CLOSE\n", h.story.c_str());
        std::fflush(stdout);
        ExitProcess(3);
    }
}

}  // namespace

int run_harness(const Stories& stories, const char* exe, OnClose on_close, Story after_end)
{
    Harness h;
    if (const char* story = std::getenv("LUMETRA_E2E_STORY")) h.story = story;
    if (!stories.count(h.story)) {
        std::printf("usage: LUMETRA_E2E_STORY=<story> %s; stories:", exe);
        for (const auto& [name, run] : stories) std::printf(" %s", name.c_str());
        std::printf("\n");
        return 2;
    }
    // Every story starts without a settings file: the defaults.
    std::error_code ignored;
    std::filesystem::remove(lumetra::settings_path(temp_folder()), ignored);

    std::atomic<bool> done{false};
    const auto started = std::chrono::steady_clock::now();
    std::thread harness([&] { play(h, stories.at(h.story), on_close, done, started); });
    const int exit_code = lumetra::run_program({});
    done = true;
    harness.join();
    check(h, exit_code == 0, "the program ends with exit code 0, got " + std::to_string(exit_code));
    if (after_end) after_end(h);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("%s %s: %d checks, %d failed (%.1f s)\n", h.failures ? "FAIL" : "ok  ", h.story.c_str(), h.checks,
                h.failures, seconds);
    std::fflush(stdout);
    return h.failures ? 1 : 0;
}

// ---------------------------------------------------------------- checks

void check(Harness& h, bool condition, const std::string& what)
{
    ++h.checks;
    if (condition) return;
    ++h.failures;
    std::printf("FAIL %s: %s\n", h.story.c_str(), what.c_str());
    std::fflush(stdout);
}

bool wait_until(const std::function<bool()>& condition, int timeout_ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        Sleep(20);
    }
    return condition();
}

std::string narrow(const std::wstring& text)
{
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring widen(const std::string& text)
{
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

// ---------------------------------------------------------------- looking

HWND find_control(HWND root, int id)
{
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        root,
        [](HWND hwnd, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (GetDlgCtrlID(hwnd) == s->id) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring window_text(HWND hwnd)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string control_text(HWND root, int id)
{
    HWND control = find_control(root, id);
    return control ? narrow(window_text(control)) : std::string("<no control>");
}

RECT screen_rect(HWND hwnd)
{
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

POINT offset_in(HWND hwnd, int dx, int dy)
{
    const RECT r = screen_rect(hwnd);
    return {r.left + dx, r.top + dy};
}

bool visible(HWND hwnd) { return hwnd && IsWindowVisible(hwnd); }

bool enabled(HWND main, int id)
{
    HWND control = find_control(main, id);
    return control && IsWindowEnabled(control);
}

bool checked(HWND main, int id)
{
    HWND control = find_control(main, id);
    return control && SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool menu_checked(HWND main, int command)
{
    return (GetMenuState(GetMenu(main), static_cast<UINT>(command), MF_BYCOMMAND) & MF_CHECKED) != 0;
}

int list_selection(HWND main, int id)
{
    HWND combo = find_control(main, id);
    return combo ? static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)) : -2;
}

std::string list_item(HWND main, int id, int index)
{
    HWND combo = find_control(main, id);
    if (!combo) return "<no control>";
    const auto n = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n < 0) return "<no item>";
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(n));
    return narrow(text);
}

std::string rich_text(HWND rich)
{
    GETTEXTLENGTHEX length{GTL_USECRLF | GTL_PRECISE | GTL_NUMCHARS, 1200};
    const auto n = SendMessageW(rich, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    GETTEXTEX request{};
    request.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    request.flags = GT_USECRLF;
    request.codepage = 1200;
    const auto got = SendMessageW(rich, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request),
                                  reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return narrow(text);
}

COLORREF pixel_of(HWND hwnd, int x, int y)
{
    HDC dc = GetDC(hwnd);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return colour;
}

Spot find_cell(HWND main, int id)
{
    for (const std::vector<LayoutRow>& rows : {screen_view_rows(), cell_editor_rows()})
        for (const LayoutRow& row : rows)
            if (row.id == id) {
                HWND container = find_control(main, row.parent);
                if (!container) return {};
                return {container, {row.rect.x, row.rect.y, row.rect.x + row.rect.w, row.rect.y + row.rect.h}};
            }
    return {};
}

RECT screen_rect(const Spot& spot)
{
    RECT r = spot.area;
    MapWindowPoints(spot.container, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

POINT offset_in(const Spot& spot, int dx, int dy)
{
    const RECT r = screen_rect(spot);
    return {r.left + dx, r.top + dy};
}

COLORREF pixel_of(const Spot& spot, int x, int y) { return pixel_of(spot.container, spot.area.left + x, spot.area.top + y); }

// ---------------------------------------------------------------- input

// The pointer moves as a real mouse does, so the window hears WM_MOUSEMOVE
// (with the button flags while one is held).
void move_to(POINT at)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof(INPUT));
    SetCursorPos(at.x, at.y);
    Sleep(40);
}

void button(DWORD flags)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof(INPUT));
    Sleep(40);
}

void click_at(POINT at, bool right)
{
    move_to(at);
    button(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    button(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
}

void click_centre(HWND hwnd)
{
    const RECT r = screen_rect(hwnd);
    click_at({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

void click_control(HWND main, int id)
{
    if (HWND control = find_control(main, id)) click_centre(control);
}

void double_click_at(POINT at)
{
    move_to(at);
    for (int i = 0; i < 2; ++i) {
        button(MOUSEEVENTF_LEFTDOWN);
        button(MOUSEEVENTF_LEFTUP);
    }
}

void press_keys(const std::vector<WORD>& down_in_order)
{
    std::vector<INPUT> keys;
    for (WORD key : down_in_order) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = key;
        keys.push_back(in);
    }
    for (auto it = down_in_order.rbegin(); it != down_in_order.rend(); ++it) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = *it;
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        keys.push_back(in);
    }
    for (INPUT& in : keys) {
        SendInput(1, &in, sizeof(INPUT));
        Sleep(20);
    }
}

// Keyboard input reaches the accelerators only in the foreground window.
void bring_forward(const Harness& h)
{
    SetForegroundWindow(h.main);
    wait_until([&] { return GetForegroundWindow() == h.main; }, 2000);
}

// A choice as a user makes it: a click drops the list down, Home goes to
// the first item, the arrow down to the wanted one, Enter takes it.
bool choose_list_item(HWND combo, int index)
{
    const RECT r = screen_rect(combo);
    click_at({r.left + 10, (r.top + r.bottom) / 2});
    wait_until([&] { return SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }, 2000);
    press_keys({VK_HOME});
    for (int i = 0; i < index; ++i) press_keys({VK_DOWN});
    press_keys({VK_RETURN});
    return wait_until([&] { return SendMessageW(combo, CB_GETCURSEL, 0, 0) == index; }, 2000);
}

bool choose_item(Harness& h, int id, int index)
{
    HWND combo = find_control(h.main, id);
    if (!combo) return false;
    bring_forward(h);
    return choose_list_item(combo, index);
}

// ---------------------------------------------------------------- dialogs

// A visible window of the program's thread with the given class: a dialog
// (#32770) or a popup menu (#32768).
HWND thread_window(const Harness& h, const wchar_t* window_class)
{
    struct Search {
        const wchar_t* window_class;
        HWND found;
    } search{window_class, nullptr};
    auto look = [](HWND hwnd, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        wchar_t name[64] = {};
        GetClassNameW(hwnd, name, 64);
        if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd) && std::wstring(name) == s->window_class) {
            s->found = hwnd;
            return FALSE;
        }
        return TRUE;
    };
    EnumThreadWindows(h.ui_thread, look, reinterpret_cast<LPARAM>(&search));
    if (!search.found) search.found = FindWindowW(window_class, nullptr);
    return visible(search.found) ? search.found : nullptr;
}

HWND wait_for_dialog(const Harness& h, const std::wstring& title, int timeout_ms)
{
    HWND dialog = nullptr;
    wait_until(
        [&] {
            dialog = thread_window(h, L"#32770");
            return dialog && window_text(dialog) == title;
        },
        timeout_ms);
    return dialog && window_text(dialog) == title ? dialog : nullptr;
}

// Types a name into the save dialog and presses its OK button.
bool answer_save_dialog(const Harness& h, const std::wstring& title, const std::wstring& name)
{
    HWND dialog = wait_for_dialog(h, title);
    if (!dialog) return false;
    HWND field = file_name_field(dialog);
    if (!field) return false;
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    return wait_until([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); });
}

// The text of a message box: its one Static child that holds text.
std::string message_text(HWND box)
{
    std::wstring found;
    EnumChildWindows(
        box,
        [](HWND hwnd, LPARAM data) -> BOOL {
            wchar_t window_class[16] = {};
            GetClassNameW(hwnd, window_class, 16);
            std::wstring text = window_text(hwnd);
            auto* best = reinterpret_cast<std::wstring*>(data);
            if (std::wstring(window_class) == L"Static" && text.size() > best->size()) *best = text;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    std::string text = narrow(found);
    std::erase(text, '\r');
    return text;
}

// Waits for the message box with this title, checks its text and answers it.
bool answer_message(Harness& h, const std::string& title, const std::string& text, int answer)
{
    HWND box = wait_for_dialog(h, widen(title));
    check(h, box != nullptr, "message box \"" + title + "\" appears");
    if (!box) return false;
    const std::string shown = message_text(box);
    check(h, shown == text, "message box \"" + title + "\" says \"" + text + "\", got \"" + shown + "\"");
    PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(answer), 0);
    return wait_until([&] { return !IsWindow(box) || !IsWindowVisible(box); });
}

void drop_file(const Harness& h, const std::filesystem::path& file)
{
    const std::wstring name = file.wstring();
    const SIZE_T bytes = sizeof(DROPFILES) + (name.size() + 2) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::copy(name.begin(), name.end(), reinterpret_cast<wchar_t*>(drop + 1));
    GlobalUnlock(block);
    PostMessageW(h.main, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
}

// ---------------------------------------------------------------- files

std::filesystem::path temp_folder()
{
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    wchar_t long_form[4096] = {};
    GetLongPathNameW(temp, long_form, 4096);
    return long_form[0] ? long_form : temp;
}

std::string file_bytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::filesystem::path import_pictures()
{
    if (const wchar_t* data = _wgetenv(L"LUMETRA_E2E_DATA"); data && *data)
        return std::filesystem::path(data) / L"import";
    // Started by hand: the build lies in <checkout>/build/<tree>/bin.
    wchar_t exe[MAX_PATH + 1] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    return std::filesystem::path(exe).parent_path().parent_path().parent_path().parent_path() / L"tests" / L"data" /
           L"import";
}

}  // namespace lumetra::e2e
