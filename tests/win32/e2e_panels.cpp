// lumetra_e2e_panels.exe: stories of the logic panel and the BIN panel:
// real clicks on the option buttons and buttons, real choices in the
// drop-down lists, typing into the start address, the real save dialog and
// message boxes. LUMETRA_E2E_STORY names the story; the exit code is 0 when
// every check held (see e2e_support.h).
#include "tests/win32/e2e_support.h"

#include <commctrl.h>

#include <filesystem>
#include <string>

using namespace lumetra;
using namespace lumetra::e2e;

namespace {

// Double-clicks cell 1 and lights its top-left pixel: buffer 1 then holds
// 0x01 in its first byte and nothing else.
bool draw_first_pixel(Harness& h)
{
    Spot cell = find_cell(h.main, cell_image_of(1)), pixel = find_cell(h.main, pixel_image_of(1, 0));
    check(h, cell && pixel, "cell image 20 and pixel image 280 exist");
    if (!cell || !pixel) return false;
    double_click_at(offset_in(cell, 16, 16));
    check(h, wait_until([&] { return control_text(h.main, kReadOutCode) == "0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00"; }),
          "a double click on cell 1 opens it");
    // The editor draws while it sees the button held over a pixel, so the
    // pointer moves a little before the button comes up.
    move_to(offset_in(pixel, 8, 8));
    button(MOUSEEVENTF_LEFTDOWN);
    move_to(offset_in(pixel, 9, 9));
    button(MOUSEEVENTF_LEFTUP);
    const bool drawn = wait_until([&] { return control_text(h.main, kReadOutCode).rfind("0x01,", 0) == 0; });
    check(h, drawn, "a click on pixel 280 lights the top-left pixel of buffer 1, 553 reads \"" +
                        control_text(h.main, kReadOutCode) + "\"");
    return drawn;
}

const COLORREF kInk = RGB(0, 0, 0), kCellGreen = RGB(97, 213, 155);

// ---------------------------------------------------------------- stories

// Buffer 1 OR buffer 2 into buffer 3 while buffer 3 is on screen: the view
// follows the result, the undo and the result list drive button 593.
void story_logic(Harness& h)
{
    if (!draw_first_pixel(h)) return;
    HWND tabs = find_control(h.main, kBufferTabs);
    Spot cell = find_cell(h.main, cell_image_of(1));
    RECT tab{};
    SendMessageW(tabs, TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&tab));
    POINT third{(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2};
    ClientToScreen(tabs, &third);
    click_at(third);
    check(h, wait_until([&] { return SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == 2; }), "tab \"Буфер 3\" chosen");

    bring_forward(h);
    press_keys({VK_CONTROL, '3'});
    check(h, wait_until([&] { return visible(find_control(h.main, kLogicPanel)); }), "Ctrl+3 shows the logic panel");
    check(h, !enabled(h.main, kLogicUndoButton), "\"Отменить...\" starts disabled");
    check(h, checked(h.main, kLogicAnd) && !checked(h.main, kLogicOr), "«И» is chosen at first");
    check(h, list_selection(h.main, kLogicFirst) == 0 && list_selection(h.main, kLogicSecond) == 1 && list_selection(h.main, kLogicResult) == 2,
          "buffer 1 and buffer 2 into buffer 3 at first");
    check(h, list_item(h.main, kLogicResult, 9) == "Буфер 10", "the last item reads \"Буфер 10\", got \"" +
                                                           list_item(h.main, kLogicResult, 9) + "\"");
    check(h, wait_until([&] { return pixel_of(cell, 1, 1) == kCellGreen; }), "buffer 3 is empty on screen");

    click_control(h.main, kLogicOr);
    check(h, wait_until([&] { return checked(h.main, kLogicOr) && !checked(h.main, kLogicAnd); }), "a click chooses «ИЛИ»");
    click_control(h.main, kLogicApply);
    check(h, wait_until([&] { return pixel_of(cell, 1, 1) == kInk; }), "\"Выполнить\" shows the result on screen");
    check(h, enabled(h.main, kLogicUndoButton), "\"Отменить...\" is enabled after the operation");

    click_control(h.main, kLogicUndoButton);
    check(h, wait_until([&] { return pixel_of(cell, 1, 1) == kCellGreen; }), "the undo shows buffer 3 empty again");
    check(h, !enabled(h.main, kLogicUndoButton), "\"Отменить...\" is disabled after the undo");

    click_control(h.main, kLogicApply);
    check(h, wait_until([&] { return enabled(h.main, kLogicUndoButton); }), "a second \"Выполнить\" enables the undo");
    check(h, choose_item(h, kLogicResult, 3), "buffer 4 chosen as the result");
    check(h, wait_until([&] { return !enabled(h.main, kLogicUndoButton); }), "another result buffer disables the undo");
    check(h, pixel_of(cell, 1, 1) == kInk, "buffer 3 keeps the result");

    click_control(h.main, kLogicCloseButton);
    check(h, wait_until([&] { return visible(find_control(h.main, kCellEditorPanel)) && !visible(find_control(h.main, kLogicPanel)); }),
          "\"Закрыть\" goes back to the cell editor");
}

// A new file through the real save dialog, then an insert past its end with
// the question, the digits-only address and the slots that enable the button.
void story_bin(Harness& h)
{
    if (!draw_first_pixel(h)) return;
    bring_forward(h);
    press_keys({VK_CONTROL, '5'});
    check(h, wait_until([&] { return visible(find_control(h.main, kBinPanel)); }), "Ctrl+5 shows the BIN panel");
    check(h, list_selection(h.main, kFirstBinSlot) == 1 && list_selection(h.main, kFirstBinSlot + 1) == 0, "slot 1 holds buffer 1, slot 2 none");
    check(h, list_item(h.main, kFirstBinSlot, 0) == "Нет" && list_item(h.main, kFirstBinSlot, 10) == "Буфер  10",
          "slot items \"Нет\" .. \"Буфер  10\", got \"" + list_item(h.main, kFirstBinSlot, 10) + "\"");
    check(h, enabled(h.main, kBinConvert) && !enabled(h.main, kBinWhere) && !enabled(h.main, kBinAddress) && !enabled(h.main, kBinHow),
          "only the button of the file options is enabled at first");
    // The dropped lists: 180 high under a slot, 80 under a file option.
    auto dropped_height = [&](int id) {
        RECT r{};
        SendMessageW(find_control(h.main, id), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&r));
        return static_cast<int>(r.bottom - r.top);
    };
    check(h, dropped_height(kFirstBinSlot) == 180 && dropped_height(kBinTarget) == 80,
          "dropped lists 180 and 80 high, got " + std::to_string(dropped_height(kFirstBinSlot)) + " and " +
              std::to_string(dropped_height(kBinTarget)));

    const std::filesystem::path chosen = temp_folder() / L"e2e-bin", written = temp_folder() / L"e2e-bin.bin";
    const std::string done = "Преобразование информации завершено.\nДанные были добавлены в файл\n";
    std::error_code ignored;
    std::filesystem::remove(written, ignored);
    const std::wstring dialog_title = widen("Сохранение преобразованого файла...");

    click_control(h.main, kBinConvert);
    check(h, answer_save_dialog(h, dialog_title, chosen.wstring()), "\"Преобразовать данные...\" opens the save dialog");
    answer_message(h, "Преобразование", done + narrow(written.wstring()), IDOK);
    std::string first(1024, '\0');
    first[0] = '\x01';
    check(h, file_bytes(written) == first, "e2e-bin.bin holds the 1024 bytes of buffer 1 (" +
                                               std::to_string(file_bytes(written).size()) + " bytes)");

    check(h, choose_item(h, kBinTarget, 1), "\"существующем\" chosen");
    check(h, wait_until([&] { return enabled(h.main, kBinWhere); }) && !enabled(h.main, kBinAddress),
          "an existing file enables list 209 only");
    check(h, choose_item(h, kBinWhere, 1), "\"произвольно\" chosen");
    check(h, wait_until([&] { return enabled(h.main, kBinAddress) && enabled(h.main, kBinHow); }),
          "\"произвольно\" enables the start address and list 219");

    // The field takes digits only, five at most.
    HWND address = find_control(h.main, kBinAddress);
    click_control(h.main, kBinAddress);
    SendMessageW(address, EM_SETSEL, 0, -1);
    press_keys({'A'});
    for (WORD digit : {'1', '2', '3', '4', '5', '6'}) press_keys({digit});
    check(h, wait_until([&] { return control_text(h.main, kBinAddress) == "12345"; }),
          "the start address reads \"12345\" after typing A123456, got \"" + control_text(h.main, kBinAddress) + "\"");
    // The rest of the story goes on from the address it means to test.
    if (control_text(h.main, kBinAddress) != "12345") SetWindowTextW(address, L"12345");

    click_control(h.main, kBinConvert);
    check(h, answer_save_dialog(h, dialog_title, written.wstring()), "the save dialog again");
    answer_message(h, "Внимание",
                   "Начальный адрес был задан больше текущего размера файла!\nДобавить данные в конец файла?", IDYES);
    answer_message(h, "Преобразование", done + narrow(written.wstring()), IDOK);
    check(h, file_bytes(written) == first + first, "Yes appends: e2e-bin.bin holds buffer 1 twice (" +
                                                       std::to_string(file_bytes(written).size()) + " bytes)");

    check(h, choose_item(h, kFirstBinSlot, 0), "slot 1 set to \"Нет\"");
    check(h, wait_until([&] { return !enabled(h.main, kBinConvert); }), "all slots \"Нет\" disable the button");

    click_control(h.main, kBinCloseImage);
    check(h, wait_until([&] { return visible(find_control(h.main, kCellEditorPanel)) && !visible(find_control(h.main, kBinPanel)); }),
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
