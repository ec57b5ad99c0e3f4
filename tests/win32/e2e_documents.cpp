// lumetra_e2e_documents.exe: the real program with a harness thread beside
// it, for the stories of drawing and documents: drawing in the cell editor
// with the held button, Ctrl+S through the real save dialog, the code view's
// popup menu saving the listing, and the About window. Same shape as
// lumetra_e2e.exe: LUMETRA_E2E_STORY names the story, real input only
// (SetCursorPos, SendInput), exit code 0 when every check held.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

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
#include "core/image_store.h"
#include "core/settings.h"
#include "core/text_encoding.h"
#include "listing/listing.h"

namespace {

const std::wstring kTitle = L"Lumetra v 3.4 For PIC  \u2014  ";

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
bool answer_save_dialog(const Harness& h, const std::wstring& name)
{
    HWND dialog = wait_for_dialog(h, L"\u0421\u043e\u0445\u0440\u0430\u043d\u0438\u0442\u044c \u0444\u0430\u0439\u043b...");
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

// Double-clicks cell 1 and waits for its read-out.
bool open_first_cell(Harness& h)
{
    HWND cell = find_control(h.main, 20);
    check(h, cell != nullptr, "cell image 20 exists");
    if (!cell) return false;
    double_click_at(offset_in(cell, 16, 16));
    bool open = wait_until([&] { return control_text(h.main, 553) == "0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00"; });
    check(h, open, "a double click on cell 1 shows its bytes in 553, got \"" + control_text(h.main, 553) + "\"");
    return open;
}

// ---------------------------------------------------------------- stories

void story_draw(Harness& h)
{
    if (!open_first_cell(h)) return;
    HWND p280 = find_control(h.main, 280), p288 = find_control(h.main, 288), p296 = find_control(h.main, 296);
    check(h, p280 && p288 && p296, "pixel images 280, 288, 296 exist");
    if (!p280 || !p288 || !p296) return;
    // Press on the first pixel, drag across the next two, release.
    move_to(offset_in(p280, 8, 8));
    button(MOUSEEVENTF_LEFTDOWN);
    move_to(offset_in(p280, 9, 9));
    move_to(offset_in(p288, 8, 8));
    move_to(offset_in(p288, 9, 9));
    move_to(offset_in(p296, 8, 8));
    move_to(offset_in(p296, 9, 9));
    button(MOUSEEVENTF_LEFTUP);
    const std::string line = "0x01,0x01,0x01,0x00,0x00,0x00,0x00,0x00";
    check(h, wait_until([&] { return control_text(h.main, 553) == line; }),
          "the drag draws a three-pixel line: 553 reads \"" + control_text(h.main, 553) + "\"");
    const std::string numbers = control_text(h.main, 554);
    check(h, numbers.find('1') != std::string::npos && numbers.find_first_not_of("1\r\n") == std::string::npos,
          "554 shows crystal 1, page 1, segment 1, got \"" + numbers + "\"");

    // What the screen shows: three black 4 x 4 squares in a row at the top
    // of cell image 20, the rest in the open-cell colour.
    HWND cell = find_control(h.main, 20);
    const COLORREF ink = RGB(0, 0, 0), open = RGB(148, 255, 164);
    check(h, pixel_of(cell, 1, 1) == ink && pixel_of(cell, 5, 2) == ink && pixel_of(cell, 10, 3) == ink,
          "cell image 20 shows the three pixels in black");
    check(h, pixel_of(cell, 13, 1) == open && pixel_of(cell, 1, 5) == open, "the rest of cell 20 is the open-cell colour");
    check(h, pixel_of(p288, 8, 8) == ink && pixel_of(find_control(h.main, 281), 8, 8) == RGB(97, 213, 155),
          "the cell editor shows the drawn pixels black and the others in the background colour");

    // A plain click, without moving, lights a pixel too; the right button erases.
    HWND p304 = find_control(h.main, 304);
    click_at(offset_in(p304, 8, 8));
    check(h, wait_until([&] { return control_text(h.main, 553) == "0x01,0x01,0x01,0x01,0x00,0x00,0x00,0x00"; }),
          "a click on pixel 304 sets byte 4 bit 0: \"" + control_text(h.main, 553) + "\"");
    click_at(offset_in(p288, 8, 8), true);
    check(h, wait_until([&] { return control_text(h.main, 553).rfind("0x01,0x00,0x01,", 0) == 0; }),
          "a right click on pixel 288 clears it: \"" + control_text(h.main, 553) + "\"");
}

void story_save_dialog(Harness& h)
{
    if (!open_first_cell(h)) return;
    HWND p283 = find_control(h.main, 283);  // byte 1, bit 3
    move_to(offset_in(p283, 8, 8));
    button(MOUSEEVENTF_LEFTDOWN);
    move_to(offset_in(p283, 9, 9));
    button(MOUSEEVENTF_LEFTUP);
    check(h, wait_until([&] { return control_text(h.main, 553).rfind("0x08,", 0) == 0; }), "pressing on pixel 283 sets bit 3");

    const std::filesystem::path chosen = temp_folder() / L"e2e-picture";
    const std::filesystem::path written = temp_folder() / L"e2e-picture.chr";
    std::error_code ignored;
    std::filesystem::remove(written, ignored);
    bring_forward(h);
    press_keys({VK_CONTROL, 'S'});
    check(h, answer_save_dialog(h, chosen.wstring()), "Ctrl+S on a buffer without a name opens the save dialog");
    check(h, wait_until([&] { return std::filesystem::exists(written); }), "the picture is written as e2e-picture.chr");
    std::string expected(1024, '\0');
    expected[0] = '\x08';
    check(h, file_bytes(written) == expected, "e2e-picture.chr holds the 1024 bytes of the buffer");
    check(h, wait_until([&] { return window_text(h.main) == kTitle + written.wstring(); }),
          "the title names the file: \"" + narrow(window_text(h.main)) + "\"");
}

void story_listing_popup(Harness& h)
{
    HWND convert = find_control(h.main, 425), view = find_control(h.main, 521);
    check(h, convert && view, "button 425 and code view 521 exist");
    if (!convert || !view) return;
    const RECT c = screen_rect(convert);
    click_at({(c.left + c.right) / 2, (c.top + c.bottom) / 2});
    check(h, wait_until([&] { return GetWindowTextLengthW(view) > 0; }), "\"Преобразовать\" fills the code view");

    const std::filesystem::path written = temp_folder() / L"e2e-listing.asm";
    std::error_code ignored;
    std::filesystem::remove(written, ignored);
    bring_forward(h);
    click_at(offset_in(view, 200, 60), true);
    HWND menu = nullptr;
    check(h, wait_until([&] { return (menu = thread_window(h, L"#32768")) != nullptr; }),
          "a right click in the code view opens popup menu 2");
    if (!menu) return;
    // The last item, below the separator: "Сохранить в файле".
    press_keys({VK_UP});
    press_keys({VK_RETURN});
    check(h, answer_save_dialog(h, (temp_folder() / L"e2e-listing").wstring()), "\"Сохранить в файле\" opens the save dialog");
    check(h, wait_until([&] { return std::filesystem::exists(written); }), "the listing is written as e2e-listing.asm");
    const std::string expected =
        lumetra::join_view_lines(lumetra::GenerateListing(lumetra::ScreenBuffer{}, "", lumetra::ListingOptions{}));
    const std::string in_1251 = lumetra::encode_cp1251(expected).value_or("");
    check(h, file_bytes(written) == in_1251, "e2e-listing.asm holds the listing in Windows-1251 with CR LF (" +
                                                 std::to_string(file_bytes(written).size()) + " bytes, expected " +
                                                 std::to_string(in_1251.size()) + ")");
}

void story_about(Harness& h)
{
    HWND toolbar = FindWindowExW(h.main, nullptr, TOOLBARCLASSNAMEW, nullptr);
    check(h, toolbar != nullptr, "the toolbar exists");
    if (!toolbar) return;
    RECT r{};
    SendMessageW(toolbar, TB_GETRECT, 8, reinterpret_cast<LPARAM>(&r));
    POINT help{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(toolbar, &help);
    click_at(help);
    HWND about = nullptr;
    check(h, wait_until([&] {
              about = FindWindowW(L"LumetraAbout", nullptr);
              return visible(about);
          }),
          "the help button opens the About window");
    if (!about) return;
    check(h, window_text(about) == L"\u041e \u043f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u0435",
          "the About window is titled \"О программе\"");
    RECT client{};
    GetClientRect(about, &client);
    check(h, client.right == 234 && client.bottom == 264, "its client area is 234 x 264");
    for (int id : {350, 351, 352, 353, 354, 355, 356, 357, 358})
        check(h, find_control(about, id) != nullptr, "About control " + std::to_string(id) + " exists");
    check(h, control_text(about, 355) == "Ok", "the button reads \"Ok\"");
    HWND ok = find_control(about, 355);
    if (!ok) return;
    const RECT o = screen_rect(ok);
    click_at({(o.left + o.right) / 2, (o.top + o.bottom) / 2});
    check(h, wait_until([&] { return !IsWindow(about); }, 5000), "\"Ok\" closes the About window");
    check(h, IsWindow(h.main) && IsWindowVisible(h.main), "the main window stays");
}

const std::map<std::string, void (*)(Harness&)> kStories = {
    {"draw", story_draw},
    {"save_dialog", story_save_dialog},
    {"listing_popup", story_listing_popup},
    {"about", story_about},
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
    // Close as the close box does; a drawn buffer is asked about: "Нет".
    if (h.main) PostMessageW(h.main, WM_CLOSE, 0, 0);
    const std::wstring closing =
        L"\u0421\u043e\u0445\u0440\u0430\u043d\u0435\u043d\u0438\u0435 \u0444\u0430\u0439\u043b\u043e\u0432 \u043f\u0440\u0438 "
        L"\u0437\u0430\u043a\u0440\u044b\u0442\u0438\u0438 \u043f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u044b";
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
        std::printf("usage: LUMETRA_E2E_STORY=<story> lumetra_e2e_documents.exe; stories:");
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
