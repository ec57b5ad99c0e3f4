// lumetra_e2e_optimisation.exe: the optimisation panel with real clicks: a
// picture dropped into buffer 1 is scanned against the empty buffer 2, the
// skip list is built (and timed from the click to the list on screen), and
// its text is taken with Ctrl+A, Ctrl+C over the list. LUMETRA_E2E_STORY
// names the story; the exit code is 0 when every check held (see
// e2e_support.h).
#include "tests/win32/e2e_support.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "core/image_store.h"
#include "listing/skip_list.h"

using namespace lumetra;
using namespace lumetra::e2e;

namespace {

std::string clipboard_text()
{
    std::string text;
    if (!OpenClipboard(nullptr)) return "<clipboard busy>";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = narrow(wide);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void empty_clipboard()
{
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    CloseClipboard();
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
    return text;
}

// From the button of "Список обходов" coming up to the list shown with its
// text and the label and the bar gone; -1 when that does not happen.
double list_click_ms(Harness& h, HWND list)
{
    move_to(offset_in(find_control(h.main, kSkipListButton), 50, 12));
    button(MOUSEEVENTF_LEFTDOWN);
    INPUT up{};
    up.type = INPUT_MOUSE;
    up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    const auto clicked = std::chrono::steady_clock::now();
    SendInput(1, &up, sizeof(INPUT));
    auto shown = [&] {
        return visible(list) && !visible(find_control(h.main, kSkipListLabel)) && !visible(find_control(h.main, kSkipListProgress)) &&
               GetWindowTextLengthW(list) > 30000;
    };
    for (int i = 0; i < 10000; ++i) {
        if (shown()) return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - clicked).count();
        Sleep(1);
    }
    return -1;
}

// ---------------------------------------------------------------- stories

void story_optimisation(Harness& h)
{
    const std::filesystem::path picture = import_pictures() / L"pattern.chr";
    const std::string pattern = file_bytes(picture);
    check(h, pattern.size() == 1024, "pattern.chr is found beside the build");
    if (pattern.size() != 1024) return;
    drop_file(h, picture);
    check(h, wait_until([&] { return window_text(h.main) == kTitle + picture.wstring(); }),
          "pattern.chr dropped into buffer 1");
    const std::string name = narrow(window_text(h.main).substr(kTitle.size()));

    bring_forward(h);
    press_keys({VK_CONTROL, '4'});
    check(h, wait_until([&] { return visible(find_control(h.main, kOptimisationPanel)); }), "Ctrl+4 shows the optimisation panel");
    HWND tabs = find_control(h.main, kBufferTabs), list = find_control(h.main, kSkipList);
    check(h, checked(h.main, kFirstScanBox) && checked(h.main, kFirstScanBox + 1) && enabled(h.main, kScanButton) && list,
          "buffers 1 and 2 ticked, \"Сканировать\" enabled, the list exists");
    if (!list) return;

    // Buffer 1 against the empty buffer 2: a skip wherever the pattern is 0.
    lumetra::ImageStore store;
    std::copy(pattern.begin(), pattern.end(), store.buffers[0].bytes.begin());
    const lumetra::ScreenBuffer map = lumetra::scan_repeated_bytes(store, {true, true}, 1);
    click_control(h.main, kScanButton);
    check(h, wait_until([&] { return SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == 9; }),
          "\"Сканировать\" selects tab \"Буфер 10\"");
    // The view is painted once the program is back in its loop.
    Spot first_cell = find_cell(h.main, cell_image_of(1));
    const bool skip = map.bytes[0] == 0xFF;
    check(h, wait_until([&] { return pixel_of(first_cell, 1, 1) == (skip ? RGB(0, 0, 0) : RGB(97, 213, 155)); }),
          "cell 1 shows the first byte of the skip map");

    // Twice, the list emptied in between, and the faster click counts: the
    // machine the stories run on is shared, and one busy moment says nothing
    // about the program.
    double fastest = 1e9;
    for (int round = 1; round <= 2; ++round) {
        if (round > 1) SendMessageW(list, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        const double ms = list_click_ms(h, list);
        std::printf("optimisation: the skip list was shown %.0f ms after click %d on \"Список обходов\"\n", ms, round);
        check(h, ms >= 0, "\"Список обходов\" shows the list and hides the label and the bar");
        if (ms >= 0) fastest = std::min(fastest, ms);
    }
    // The time is a measured figure (aim 100 ms, at most 300 ms when the machine
    // is quiet); the check only catches formatting range by range, which takes
    // many seconds, and leaves room for a loaded machine.
    check(h, fastest <= 2000, "the list is shown as one document (" + std::to_string(fastest) + " ms)");

    const std::string expected = joined(lumetra::build_skip_list(map, {name}, "1").lines);
    check(h, rich_text(list) == expected, "the list holds the " + std::to_string(expected.size()) +
                                              " expected bytes, got " + std::to_string(rich_text(list).size()));
    check(h, wait_until([&] {
              GUITHREADINFO info{};
              info.cbSize = sizeof info;
              return GetGUIThreadInfo(h.ui_thread, &info) && info.hwndFocus == list;
          }),
          "the list has the keyboard focus");

    empty_clipboard();
    const DWORD emptied = GetClipboardSequenceNumber();
    bring_forward(h);
    move_to(offset_in(list, 60, 60));
    press_keys({VK_CONTROL, 'A'});
    press_keys({VK_CONTROL, 'C'});
    std::string copied;
    // Not opened before the program has begun to write it (the list's copy
    // fails while another program holds the clipboard open), then read until
    // it holds the list.
    wait_until([&] { return GetClipboardSequenceNumber() != emptied; });
    wait_until([&] { return (copied = clipboard_text()) == expected; });
    CHARRANGE selected{};
    SendMessageW(list, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selected));
    POINT at{};
    GetCursorPos(&at);
    const RECT area = screen_rect(list);
    check(h, copied == expected, "Ctrl+A, Ctrl+C over the list copy its text (" + std::to_string(copied.size()) +
                                     " bytes, expected " + std::to_string(expected.size()) + "; selection " +
                                     std::to_string(selected.cpMin) + ".." + std::to_string(selected.cpMax) +
                                     ", pointer " + std::to_string(at.x) + "," + std::to_string(at.y) + " list " +
                                     std::to_string(area.left) + "," + std::to_string(area.top) + ", foreground " +
                                     std::to_string(GetForegroundWindow() == h.main) + ", copied \"" +
                                     copied.substr(0, 40) + "\")");
}

const Stories kStories = {
    {"optimisation", story_optimisation},
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    // A dropped picture and a scanned map leave nothing modified.
    return run_harness(kStories, "lumetra_e2e_optimisation.exe", OnClose::no_question);
}
