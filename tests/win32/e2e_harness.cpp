// lumetra_e2e.exe: stories of the main window at start, the tab strip, the
// screen view's cell images, mode 3 by Ctrl+3, the conversion into the code
// view, and the window position kept on close. LUMETRA_E2E_STORY names the
// story; the exit code is 0 when every check held (see e2e_support.h).
#include "tests/win32/e2e_support.h"

#include <commctrl.h>
#include <richedit.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "core/image_store.h"
#include "core/settings.h"
#include "listing/listing.h"

using namespace lumetra;
using namespace lumetra::e2e;

namespace {

// ---------------------------------------------------------------- stories

void story_window(Harness& h)
{
    std::printf("main window shown %.0f ms after start\n", h.shown_ms);
    check(h, window_text(h.main) == kTitle, "title is the title literal alone, got \"" + narrow(window_text(h.main)) + "\"");
    RECT client{};
    GetClientRect(h.main, &client);
    check(h, client.right == 794 && client.bottom == 518,
          "client area 794 x 518, got " + std::to_string(client.right) + " x " + std::to_string(client.bottom));
    const LONG_PTR style = GetWindowLongPtrW(h.main, GWL_STYLE);
    check(h, (style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU) && (style & WS_MINIMIZEBOX),
          "caption, system menu and minimise button");
    check(h, !(style & WS_MAXIMIZEBOX) && !(style & WS_THICKFRAME), "neither maximise button nor sizing border");
    check(h, (GetWindowLongPtrW(h.main, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0, "the window accepts dropped files");
    check(h, GetClassLongPtrW(h.main, GCLP_HICON) != 0, "the window has the program icon");
    check(h, FindWindowW(L"LumetraStartup", nullptr) == nullptr, "the start-up window is gone");
    check(h, GetMenu(h.main) != nullptr && GetMenuItemCount(GetMenu(h.main)) == 3, "three menus on the bar");
    check(h, menu_checked(h.main, mode_command(Mode::Editing)) && !menu_checked(h.main, mode_command(Mode::Logic)), "mode 1 carries the check mark at start");
}

void story_tabs(Harness& h)
{
    HWND tabs = find_control(h.main, kBufferTabs);
    check(h, tabs != nullptr, "tab strip 7 exists");
    if (!tabs) return;
    const auto count = SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0);
    check(h, count == 10, "ten tabs, got " + std::to_string(count));
    RECT client{};
    GetClientRect(tabs, &client);
    for (int i = 0; i < count; ++i) {
        wchar_t text[64] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 64;
        SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        const std::wstring expected = L"\u0411\u0443\u0444\u0435\u0440 " + std::to_wstring(i + 1);
        check(h, text == expected, "tab " + std::to_string(i) + " reads \"" + narrow(expected) + "\", got \"" +
                                       narrow(text) + "\"");
        RECT r{};
        SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        check(h, r.right <= client.right, "tab " + std::to_string(i) + " lies inside the strip (right edge " +
                                              std::to_string(r.right) + ")");
    }
    check(h, SendMessageW(tabs, TCM_GETROWCOUNT, 0, 0) == 1, "all tabs in one row");
    check(h, SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == 0, "tab \"Буфер 1\" chosen at start");
}

void story_cells(Harness& h)
{
    HWND view = find_control(h.main, kScreenArea);
    check(h, view != nullptr && find_control(h.main, kScreenFrame) != nullptr, "screen view frame 8 and container 9 exist");
    if (!view) return;
    // Every cell painted in its place: its four corner pixels in the cell
    // background (the pixels between the cells are checked below).
    const COLORREF cell_green = RGB(97, 213, 155), white = RGB(255, 255, 255);
    int misplaced = 0;
    std::string first_wrong;
    for (int r = 0; r < 8; ++r) {
        for (int k = 0; k < 16; ++k) {
            const int x = k < 8 ? 1 + 33 * k : 267 + 33 * (k - 8);
            const int y = 1 + 33 * r;
            const bool right = pixel_of(view, x, y) == cell_green && pixel_of(view, x + 31, y) == cell_green &&
                               pixel_of(view, x, y + 31) == cell_green && pixel_of(view, x + 31, y + 31) == cell_green;
            if (!right && misplaced++ == 0)
                first_wrong = "cell " + std::to_string(16 * r + k + 1) + " expected at " + std::to_string(x) + "," +
                              std::to_string(y);
        }
    }
    check(h, misplaced == 0, std::to_string(misplaced) + " cells not painted in place; first: " + first_wrong);

    // White in the 1-pixel gaps and across the 3-pixel gap between the crystals.
    check(h, pixel_of(view, 1 + 16, 1 + 16) == cell_green, "cell 1 shows the cell background");
    check(h, pixel_of(view, 267 + 33 * 7 + 16, 1 + 33 * 7 + 16) == cell_green, "cell 128 shows the cell background");
    check(h, pixel_of(view, 33, 10) == white, "1-pixel gap after the first column is white");
    check(h, pixel_of(view, 10, 33) == white, "1-pixel gap under the first row is white");
    check(h, pixel_of(view, 264, 10) == white && pixel_of(view, 265, 10) == white && pixel_of(view, 266, 10) == white,
          "3-pixel crystal gap x = 264..266 is white");
    check(h, pixel_of(view, 263, 10) == cell_green && pixel_of(view, 267, 10) == cell_green,
          "cells end at x = 263 and start again at x = 267");
}

void story_tab_click(Harness& h)
{
    HWND tabs = find_control(h.main, kBufferTabs);
    if (!tabs) {
        check(h, false, "tab strip 7 exists");
        return;
    }
    RECT r{};
    SendMessageW(tabs, TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
    POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(tabs, &centre);
    click_at(centre);
    HWND view1 = find_control(h.main, code_view_of(1)), view3 = find_control(h.main, code_view_of(3));
    check(h, wait_until([&] { return visible(view3); }), "code view 523 shown after the click on \"Буфер 3\"");
    check(h, SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == 2, "tab \"Буфер 3\" chosen");
    check(h, !visible(view1), "code view 521 hidden");
    int shown = 0;
    for (int buffer = 1; buffer <= kBufferCount; ++buffer) shown += visible(find_control(h.main, code_view_of(buffer))) ? 1 : 0;
    check(h, shown == 1, "exactly one code view visible, got " + std::to_string(shown));
    check(h, window_text(h.main) == kTitle, "title of buffer 3 (no file) is the literal alone");
}

void story_ctrl3(Harness& h)
{
    SetForegroundWindow(h.main);
    wait_until([&] { return GetForegroundWindow() == h.main; }, 2000);
    press_keys({VK_CONTROL, '3'});
    HWND logic = find_control(h.main, kLogicPanel), options = find_control(h.main, kConversionPanel), editor = find_control(h.main, kCellEditorPanel);
    check(h, wait_until([&] { return visible(logic); }), "Ctrl+3 shows the logic panel 580");
    check(h, visible(options), "the conversion panel 16 stays visible in mode 3");
    check(h, !visible(editor), "the cell-editor panel 410 is hidden in mode 3");
    if (logic && options) {
        const RECT l = screen_rect(logic), o = screen_rect(options);
        check(h, o.top >= l.bottom && o.left == l.left, "the conversion panel sits below the logic panel");
    }
    check(h, menu_checked(h.main, mode_command(Mode::Logic)), "\"Лог. операции\" carries the check mark");
    for (Mode mode : {Mode::Editing, Mode::Animation, Mode::Optimisation, Mode::Bin})
        check(h, !menu_checked(h.main, mode_command(mode)), "mode item " + std::to_string(mode_command(mode)) + " has no check mark");
}

void story_convert(Harness& h)
{
    HWND button = find_control(h.main, kConvertButton), view = find_control(h.main, code_view_of(1));
    check(h, button && view, "button 425 and code view 521 exist");
    if (!button || !view) return;
    check(h, rich_text(view).empty(), "the code view is empty before the conversion");
    click_centre(button);
    check(h, wait_until([&] { return !rich_text(view).empty(); }), "\"Преобразовать\" fills code view 521");
    const std::string expected =
        lumetra::join_view_lines(lumetra::generate_listing(lumetra::ScreenBuffer{}, "", lumetra::ListingOptions{}));
    const std::string shown = rich_text(view);
    check(h, shown == expected, "code view holds the listing of the blank buffer with the default options (" +
                                    std::to_string(shown.size()) + " bytes, expected " +
                                    std::to_string(expected.size()) + ")");
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    SendMessageW(view, EM_SETSEL, 0, 1);
    SendMessageW(view, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    check(h, std::wstring(format.szFaceName) == L"Lucida Console" && format.yHeight == 200,
          "the listing is in Lucida Console 10 pt, got " + narrow(format.szFaceName) + " " +
              std::to_string(format.yHeight / 20) + " pt");
    check(h, !(format.dwEffects & CFE_BOLD), "the listing is not bold");
}

void story_close(Harness& h)
{
    // Somewhere the defaults would never put it.
    const POINT moved_to{123, 77};
    SetWindowPos(h.main, nullptr, moved_to.x, moved_to.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    wait_until([&] {
        const RECT r = screen_rect(h.main);
        return r.left == moved_to.x && r.top == moved_to.y;
    });
    // An animation delay other than the default: "800".
    bring_forward(h);
    press_keys({VK_CONTROL, '2'});
    check(h, wait_until([&] { return visible(find_control(h.main, kAnimationDelay)); }) && choose_item(h, kAnimationDelay, 6),
          "the delay list 502 takes \"800\"");
    // Closed as a task list closes a program: every top-level window of it
    // is asked to close, the drop-down lists' own windows first.
    EnumThreadWindows(
        h.ui_thread,
        [](HWND hwnd, LPARAM main) -> BOOL {
            if (hwnd != reinterpret_cast<HWND>(main)) PostMessageW(hwnd, WM_CLOSE, 0, 0);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(h.main));
}

const Stories kStories = {
    {"window", story_window},   {"tabs", story_tabs},   {"cells", story_cells}, {"tab_click", story_tab_click},
    {"ctrl3", story_ctrl3},     {"convert", story_convert}, {"close", story_close},
};

// Once the program has ended: the close story's window position and delay
// are in the settings file.
void check_settings_written(Harness& h)
{
    if (h.story != "close") return;
    const std::filesystem::path settings = lumetra::settings_path(temp_folder());
    std::ifstream in(settings, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string written = text.str();
    check(h, in.good() || !written.empty(), "closing writes the settings file " + settings.string());
    check(h, written.find("X = 123\r\n") != std::string::npos && written.find("Y = 77\r\n") != std::string::npos,
          "the settings file holds the window position X = 123, Y = 77:\n" + written);
    check(h, written.find("Delay = 6\r\n") != std::string::npos,
          "the settings file holds the chosen delay, Delay = 6:\n" + written);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    return run_harness(kStories, "lumetra_e2e.exe", OnClose::no_question, check_settings_written);
}
