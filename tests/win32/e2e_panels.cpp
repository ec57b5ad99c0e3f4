// lumetra_e2e_panels.exe: the real program with a harness thread beside it,
// for the stories of the logic panel and the BIN panel: real clicks on the
// option buttons and buttons, real choices in the drop-down lists, typing
// into the start address, the real save dialog and message boxes. Same
// shape as lumetra_e2e.exe: LUMETRA_E2E_STORY names the story, real input
// only (SetCursorPos, SendInput), exit code 0 when every check held.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/program.h"
#include "core/settings.h"

namespace {

struct Harness {
    std::string story;
    HWND main = nullptr;
    DWORD ui_thread = 0;
    int failures = 0;
    int checks = 0;
};

std::string narrow(const std::wstring& text)
{
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

void check(Harness& h, bool condition, const std::string& what)
{
    ++h.checks;
    if (condition) return;
    ++h.failures;
    std::printf("FAIL %s: %s\n", h.story.c_str(), what.c_str());
    std::fflush(stdout);
}

bool wait_until(const std::function<bool()>& condition, int timeout_ms = 5000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        Sleep(20);
    }
    return condition();
}

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

void click_at(POINT at, bool right = false)
{
    move_to(at);
    button(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    button(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
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

COLORREF pixel_of(HWND hwnd, int x, int y)
{
    HDC dc = GetDC(hwnd);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return colour;
}

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

HWND wait_for_dialog(const Harness& h, const std::wstring& title, int timeout_ms = 5000)
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

void bring_forward(const Harness& h)
{
    SetForegroundWindow(h.main);
    wait_until([&] { return GetForegroundWindow() == h.main; }, 2000);
}

std::wstring widen(const std::string& text)
{
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

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

void click_control(HWND main, int id)
{
    HWND control = find_control(main, id);
    if (!control) return;
    const RECT r = screen_rect(control);
    click_at({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

// A choice as a user makes it: a click drops the list down, Home goes to
// the first item, the arrow down to the wanted one, Enter takes it.
bool choose_item(Harness& h, int id, int index)
{
    HWND combo = find_control(h.main, id);
    if (!combo) return false;
    bring_forward(h);
    const RECT r = screen_rect(combo);
    click_at({r.left + 10, (r.top + r.bottom) / 2});
    wait_until([&] { return SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }, 2000);
    press_keys({VK_HOME});
    for (int i = 0; i < index; ++i) press_keys({VK_DOWN});
    press_keys({VK_RETURN});
    return wait_until([&] { return list_selection(h.main, id) == index; }, 2000);
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

// Double-clicks cell 1 and lights its top-left pixel: buffer 1 then holds
// 0x01 in its first byte and nothing else.
bool draw_first_pixel(Harness& h)
{
    HWND cell = find_control(h.main, 20), pixel = find_control(h.main, 280);
    check(h, cell && pixel, "cell image 20 and pixel image 280 exist");
    if (!cell || !pixel) return false;
    double_click_at(offset_in(cell, 16, 16));
    check(h, wait_until([&] { return control_text(h.main, 553) == "0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00"; }),
          "a double click on cell 1 opens it");
    // The editor draws while it sees the button held over a pixel, so the
    // pointer moves a little before the button comes up.
    move_to(offset_in(pixel, 8, 8));
    button(MOUSEEVENTF_LEFTDOWN);
    move_to(offset_in(pixel, 9, 9));
    button(MOUSEEVENTF_LEFTUP);
    const bool drawn = wait_until([&] { return control_text(h.main, 553).rfind("0x01,", 0) == 0; });
    check(h, drawn, "a click on pixel 280 lights the top-left pixel of buffer 1, 553 reads \"" +
                        control_text(h.main, 553) + "\"");
    return drawn;
}

const COLORREF kInk = RGB(0, 0, 0), kCellGreen = RGB(97, 213, 155);

// ---------------------------------------------------------------- stories

// Buffer 1 OR buffer 2 into buffer 3 while buffer 3 is on screen: the view
// follows the result, the undo and the result list drive button 593.
void story_logic(Harness& h)
{
    if (!draw_first_pixel(h)) return;
    HWND tabs = find_control(h.main, 7), cell = find_control(h.main, 20);
    RECT tab{};
    SendMessageW(tabs, TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&tab));
    POINT third{(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2};
    ClientToScreen(tabs, &third);
    click_at(third);
    check(h, wait_until([&] { return SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == 2; }), "tab \"Буфер 3\" chosen");

    bring_forward(h);
    press_keys({VK_CONTROL, '3'});
    check(h, wait_until([&] { return visible(find_control(h.main, 580)); }), "Ctrl+3 shows the logic panel");
    check(h, !enabled(h.main, 593), "\"Отменить...\" starts disabled");
    check(h, checked(h.main, 583) && !checked(h.main, 584), "«И» is chosen at first");
    check(h, list_selection(h.main, 589) == 0 && list_selection(h.main, 590) == 1 && list_selection(h.main, 591) == 2,
          "buffer 1 and buffer 2 into buffer 3 at first");
    check(h, list_item(h.main, 591, 9) == "Буфер 10", "the last item reads \"Буфер 10\", got \"" +
                                                           list_item(h.main, 591, 9) + "\"");
    check(h, pixel_of(cell, 1, 1) == kCellGreen, "buffer 3 is empty on screen");

    click_control(h.main, 584);
    check(h, wait_until([&] { return checked(h.main, 584) && !checked(h.main, 583); }), "a click chooses «ИЛИ»");
    click_control(h.main, 592);
    check(h, wait_until([&] { return pixel_of(cell, 1, 1) == kInk; }), "\"Выполнить\" shows the result on screen");
    check(h, enabled(h.main, 593), "\"Отменить...\" is enabled after the operation");

    click_control(h.main, 593);
    check(h, wait_until([&] { return pixel_of(cell, 1, 1) == kCellGreen; }), "the undo shows buffer 3 empty again");
    check(h, !enabled(h.main, 593), "\"Отменить...\" is disabled after the undo");

    click_control(h.main, 592);
    check(h, wait_until([&] { return enabled(h.main, 593); }), "a second \"Выполнить\" enables the undo");
    check(h, choose_item(h, 591, 3), "buffer 4 chosen as the result");
    check(h, wait_until([&] { return !enabled(h.main, 593); }), "another result buffer disables the undo");
    check(h, pixel_of(cell, 1, 1) == kInk, "buffer 3 keeps the result");

    click_control(h.main, 594);
    check(h, wait_until([&] { return visible(find_control(h.main, 410)) && !visible(find_control(h.main, 580)); }),
          "\"Закрыть\" goes back to the cell editor");
}

// A new file through the real save dialog, then an insert past its end with
// the question, the digits-only address and the slots that enable the button.
void story_bin(Harness& h)
{
    if (!draw_first_pixel(h)) return;
    bring_forward(h);
    press_keys({VK_CONTROL, '5'});
    check(h, wait_until([&] { return visible(find_control(h.main, 190)); }), "Ctrl+5 shows the BIN panel");
    check(h, list_selection(h.main, 194) == 1 && list_selection(h.main, 195) == 0, "slot 1 holds buffer 1, slot 2 none");
    check(h, list_item(h.main, 194, 0) == "Нет" && list_item(h.main, 194, 10) == "Буфер  10",
          "slot items \"Нет\" .. \"Буфер  10\", got \"" + list_item(h.main, 194, 10) + "\"");
    check(h, enabled(h.main, 220) && !enabled(h.main, 209) && !enabled(h.main, 218) && !enabled(h.main, 219),
          "only the button of the file options is enabled at first");

    const std::filesystem::path chosen = temp_folder() / L"e2e-bin", written = temp_folder() / L"e2e-bin.bin";
    const std::string done = "Преобразование информации завершено.\nДанные были добавлены в файл\n";
    std::error_code ignored;
    std::filesystem::remove(written, ignored);
    const std::wstring dialog_title = widen("Сохранение преобразованого файла...");

    click_control(h.main, 220);
    check(h, answer_save_dialog(h, dialog_title, chosen.wstring()), "\"Преобразовать данные...\" opens the save dialog");
    answer_message(h, "Преобразование", done + narrow(written.wstring()), IDOK);
    std::string first(1024, '\0');
    first[0] = '\x01';
    check(h, file_bytes(written) == first, "e2e-bin.bin holds the 1024 bytes of buffer 1 (" +
                                               std::to_string(file_bytes(written).size()) + " bytes)");

    check(h, choose_item(h, 208, 1), "\"существующем\" chosen");
    check(h, wait_until([&] { return enabled(h.main, 209); }) && !enabled(h.main, 218),
          "an existing file enables list 209 only");
    check(h, choose_item(h, 209, 1), "\"произвольно\" chosen");
    check(h, wait_until([&] { return enabled(h.main, 218) && enabled(h.main, 219); }),
          "\"произвольно\" enables the start address and list 219");

    // The field takes digits only, five at most.
    HWND address = find_control(h.main, 218);
    click_control(h.main, 218);
    SendMessageW(address, EM_SETSEL, 0, -1);
    press_keys({'A'});
    for (WORD digit : {'1', '2', '3', '4', '5', '6'}) press_keys({digit});
    check(h, wait_until([&] { return control_text(h.main, 218) == "12345"; }),
          "the start address reads \"12345\" after typing A123456, got \"" + control_text(h.main, 218) + "\"");
    // The rest of the story goes on from the address it means to test.
    if (control_text(h.main, 218) != "12345") SetWindowTextW(address, L"12345");

    click_control(h.main, 220);
    check(h, answer_save_dialog(h, dialog_title, written.wstring()), "the save dialog again");
    answer_message(h, "Внимание",
                   "Начальный адрес был задан больше текущего размера файла!\nДобавить данные в конец файла?", IDYES);
    answer_message(h, "Преобразование", done + narrow(written.wstring()), IDOK);
    check(h, file_bytes(written) == first + first, "Yes appends: e2e-bin.bin holds buffer 1 twice (" +
                                                       std::to_string(file_bytes(written).size()) + " bytes)");

    check(h, choose_item(h, 194, 0), "slot 1 set to \"Нет\"");
    check(h, wait_until([&] { return !enabled(h.main, 220); }), "all slots \"Нет\" disable the button");

    click_control(h.main, 192);
    check(h, wait_until([&] { return visible(find_control(h.main, 410)) && !visible(find_control(h.main, 190)); }),
          "the close image goes back to the cell editor");
}

const std::map<std::string, void (*)(Harness&)> kStories = {
    {"logic", story_logic},
    {"bin", story_bin},
};

void play(Harness& h, std::atomic<bool>& done)
{
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
        kStories.at(h.story)(h);
    }
    // Close as the close box does; the changed buffers are asked about: "Нет".
    if (h.main) PostMessageW(h.main, WM_CLOSE, 0, 0);
    const std::wstring closing = widen("Сохранение файлов при закрытии программы");
    const bool ended = wait_until(
        [&] {
            if (done.load()) return true;
            if (HWND dialog = h.ui_thread ? thread_window(h, L"#32770") : nullptr)
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

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    Harness h;
    if (const char* story = std::getenv("LUMETRA_E2E_STORY")) h.story = story;
    if (!kStories.count(h.story)) {
        std::printf("usage: LUMETRA_E2E_STORY=<story> lumetra_e2e_panels.exe; stories:");
        for (const auto& [name, run] : kStories) std::printf(" %s", name.c_str());
        std::printf("\n");
        return 2;
    }
    // Every story starts without a settings file: the defaults.
    std::error_code ignored;
    std::filesystem::remove(lumetra::settings_path(temp_folder()), ignored);

    std::atomic<bool> done{false};
    const auto started = std::chrono::steady_clock::now();
    std::thread harness([&] { play(h, done); });
    const int exit_code = lumetra::run_program({});
    done = true;
    harness.join();
    check(h, exit_code == 0, "the program ends with exit code 0, got " + std::to_string(exit_code));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("%s %s: %d checks, %d failed (%.1f s)\n", h.failures ? "FAIL" : "ok  ", h.story.c_str(), h.checks,
                h.failures, seconds);
    std::fflush(stdout);
    return h.failures ? 1 : 0;
}
