// lumetra_e2e_panels.exe: stories of the logic panel and the BIN panel:
// real clicks on the option buttons and buttons, real choices in the
// drop-down lists, typing into the start address, the real save dialog and
// message boxes. LUMETRA_E2E_STORY names the story; the exit code is 0 when
// every check held (see e2e_support.h).
#include "tests/win32/e2e_support.h"

#include <commctrl.h>

#include <filesystem>
#include <string>

using namespace lumetra::e2e;

namespace {

// Double-clicks cell 1 and lights its top-left pixel: buffer 1 then holds
// 0x01 in its first byte and nothing else.
bool draw_first_pixel(Harness& h)
{
    Spot cell = find_cell(h.main, 20), pixel = find_cell(h.main, 280);
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
    HWND tabs = find_control(h.main, 7);
    Spot cell = find_cell(h.main, 20);
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
    check(h, wait_until([&] { return pixel_of(cell, 1, 1) == kCellGreen; }), "buffer 3 is empty on screen");

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
    // The dropped lists: 180 high under a slot, 80 under a file option.
    auto dropped_height = [&](int id) {
        RECT r{};
        SendMessageW(find_control(h.main, id), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&r));
        return static_cast<int>(r.bottom - r.top);
    };
    check(h, dropped_height(194) == 180 && dropped_height(208) == 80,
          "dropped lists 180 and 80 high, got " + std::to_string(dropped_height(194)) + " and " +
              std::to_string(dropped_height(208)));

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

const Stories kStories = {
    {"logic", story_logic},
    {"bin", story_bin},
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    // The changed buffers are asked about on close.
    return run_harness(kStories, "lumetra_e2e_panels.exe", OnClose::answer_no);
}
