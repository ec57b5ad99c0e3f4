// lumetra_e2e_optimisation.exe: the optimisation panel with real clicks: a
// picture dropped into buffer 1 is scanned against the empty buffer 2, the
// skip list is built (and timed from the click to the list on screen), and
// its text is taken with Ctrl+A, Ctrl+C over the list; after a click on a
// cell of the map the same keys put exactly the cell's list on the X
// clipboard, as a Linux program pasting reads it. LUMETRA_E2E_STORY
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

// The whole block of the clipboard's Unicode text, closing NUL and anything
// after it included.
std::wstring clipboard_block()
{
    std::wstring block;
    if (!OpenClipboard(nullptr)) return L"<clipboard busy>";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
            block.assign(wide, GlobalSize(data) / sizeof(wchar_t));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return block;
}

void empty_clipboard()
{
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    CloseClipboard();
}

std::string joined(const std::vector<std::string>& lines, const char* line_end = "\r\n")
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? line_end : "") + lines[i];
    return text;
}

// The X clipboard as a Linux program pasting gets it: xclip, started from
// here (Wine runs a Linux program as it is), writes it into a file. Wine
// cannot wait for a Linux process, so the file is renamed into place once
// written, and waited for.
std::string x_clipboard()
{
    // Named after the virtual display, which is this run's alone on the machine.
    char display[32] = "";
    GetEnvironmentVariableA("DISPLAY", display, sizeof display);
    std::string file = "/tmp/lumetra-e2e-clipboard-" + std::string(display);
    std::replace(file.begin(), file.end(), ':', '-');
    const std::filesystem::path copy = L"Z:" + widen(file);
    std::error_code ignored;
    std::filesystem::remove(copy, ignored);
    std::string command = "/bin/sh -c \"timeout 5 xclip -selection clipboard -o > " + file + ".part 2>/dev/null; mv " +
                          file + ".part " + file + "\"";
    STARTUPINFOA start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process))
        return "<xclip not started>";
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!wait_until([&] { return std::filesystem::exists(copy); }, 8000)) return "<xclip gave nothing>";
    std::string bytes = file_bytes(copy);
    std::filesystem::remove(copy, ignored);
    return bytes;
}

std::string shown_bytes(const std::string& bytes)
{
    std::string shown;
    for (unsigned char c : bytes) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, c < 0x20 ? "\\x%02X" : "%c", c);
        shown += escaped;
    }
    return shown;
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

// After a left click on a cell of the map the list holds that cell's lines;
// Ctrl+A, Ctrl+C put exactly them on the clipboard, as Unicode text with CR LF
// line ends of the block's exact length. Wine hands X the
// Unicode text as UTF-8 with each CR LF made LF and the closing NUL left
// out, so those are the bytes a Linux program pastes.
void copy_cell_list(Harness& h, HWND list, const lumetra::ScreenBuffer& map, const Spot& cell)
{
    const std::vector<std::string> lines = lumetra::show_cell_skips(map, 1).lines;
    bring_forward(h);
    click_at(offset_in(cell, 8, 8));
    check(h, wait_until([&] { return rich_text(list) == joined(lines); }),
          "a click on cell 1 of the map lists its " + std::to_string(lines.size()) + " lines");

    empty_clipboard();
    const DWORD emptied = GetClipboardSequenceNumber();
    bring_forward(h);
    move_to(offset_in(list, 60, 60));
    press_keys({VK_CONTROL, 'A'});
    press_keys({VK_CONTROL, 'C'});
    wait_until([&] { return GetClipboardSequenceNumber() != emptied; });
    const std::wstring block = widen(joined(lines)) + L'\0';
    std::wstring held;
    wait_until([&] { return (held = clipboard_block()) == block; });
    check(h, held == block, "the clipboard's Unicode text is the list and its closing NUL alone: " +
                                std::to_string(held.size()) + " characters, expected " + std::to_string(block.size()) +
                                ", ending \"" + shown_bytes(narrow(held.substr(held.size() > 12 ? held.size() - 12 : 0))) +
                                "\"");
    const std::string expected = joined(lines, "\n");
    std::string pasted;
    wait_until([&] { return (pasted = x_clipboard()) == expected; });
    check(h, pasted == expected, "the X clipboard holds the cell's list alone: " + std::to_string(pasted.size()) +
                                     " bytes, expected " + std::to_string(expected.size()) + ", ending \"" +
                                     shown_bytes(pasted.substr(pasted.size() > 24 ? pasted.size() - 24 : 0)) + "\"");
}

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

    copy_cell_list(h, list, map, first_cell);
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
