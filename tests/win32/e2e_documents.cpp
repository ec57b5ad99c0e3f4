// lumetra_e2e_documents.exe: stories of drawing and documents: drawing in
// the cell editor with the held button, Ctrl+S through the real save dialog,
// the code view's popup menu saving the listing, the About window, and
// pictures of every format (an animated GIF among them) dropped onto the
// window and imported.
// LUMETRA_E2E_STORY names the story; the exit code is 0 when every check
// held (see e2e_support.h).
#include "tests/win32/e2e_support.h"

#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/image_store.h"
#include "core/text_encoding.h"
#include "listing/listing.h"
#include "tests/support/test_gif.h"

using namespace lumetra;
using namespace lumetra::e2e;

namespace {

const std::wstring kSaveFile = L"\u0421\u043e\u0445\u0440\u0430\u043d\u0438\u0442\u044c \u0444\u0430\u0439\u043b...";

// Double-clicks cell 1 and waits for its read-out.
bool open_first_cell(Harness& h)
{
    Spot cell = find_cell(h.main, cell_image_of(1));
    check(h, bool(cell), "cell image 20 exists");
    if (!cell) return false;
    double_click_at(offset_in(cell, 16, 16));
    bool open = wait_until([&] { return control_text(h.main, kReadOutCode) == "0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00"; });
    check(h, open, "a double click on cell 1 shows its bytes in 553, got \"" + control_text(h.main, kReadOutCode) + "\"");
    return open;
}

// ---------------------------------------------------------------- stories

void story_draw(Harness& h)
{
    if (!open_first_cell(h)) return;
    Spot p280 = find_cell(h.main, pixel_image_of(1, 0)), p288 = find_cell(h.main, pixel_image_of(2, 0)), p296 = find_cell(h.main, pixel_image_of(3, 0));
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
    check(h, wait_until([&] { return control_text(h.main, kReadOutCode) == line; }),
          "the drag draws a three-pixel line: 553 reads \"" + control_text(h.main, kReadOutCode) + "\"");
    const std::string numbers = control_text(h.main, kReadOutNumbers);
    check(h, numbers.find('1') != std::string::npos && numbers.find_first_not_of("1\r\n") == std::string::npos,
          "554 shows crystal 1, page 1, segment 1, got \"" + numbers + "\"");

    // What the screen shows: three black 4 x 4 squares in a row at the top
    // of cell image 20, the rest in the open-cell colour.
    Spot cell = find_cell(h.main, cell_image_of(1));
    const COLORREF ink = RGB(0, 0, 0), open = RGB(148, 255, 164);
    // Painted once the program is back in its loop.
    check(h, wait_until([&] { return pixel_of(cell, 1, 1) == ink && pixel_of(cell, 5, 2) == ink && pixel_of(cell, 10, 3) == ink; }),
          "cell image 20 shows the three pixels in black");
    check(h, pixel_of(cell, 13, 1) == open && pixel_of(cell, 1, 5) == open, "the rest of cell 20 is the open-cell colour");
    check(h, pixel_of(p288, 8, 8) == ink && pixel_of(find_cell(h.main, pixel_image_of(1, 1)), 8, 8) == RGB(97, 213, 155),
          "the cell editor shows the drawn pixels black and the others in the background colour");

    // A plain click, without moving, lights a pixel too; the right button erases.
    Spot p304 = find_cell(h.main, pixel_image_of(4, 0));
    click_at(offset_in(p304, 8, 8));
    check(h, wait_until([&] { return control_text(h.main, kReadOutCode) == "0x01,0x01,0x01,0x01,0x00,0x00,0x00,0x00"; }),
          "a click on pixel 304 sets byte 4 bit 0: \"" + control_text(h.main, kReadOutCode) + "\"");
    click_at(offset_in(p288, 8, 8), true);
    check(h, wait_until([&] { return control_text(h.main, kReadOutCode).rfind("0x01,0x00,0x01,", 0) == 0; }),
          "a right click on pixel 288 clears it: \"" + control_text(h.main, kReadOutCode) + "\"");

    // The cells have no windows of their own: their container hands a right
    // click on one on as that cell's click, which opens the cell menu.
    click_at(offset_in(cell, 16, 16), true);
    HWND menu = nullptr;
    check(h, wait_until([&] { return (menu = thread_window(h, L"#32768")) != nullptr; }),
          "a right click on cell 1 opens the cell menu");
    if (menu) {
        press_keys({VK_ESCAPE});
        check(h, wait_until([&] { return thread_window(h, L"#32768") == nullptr; }), "Escape closes the cell menu");
    }
}

// With the buttons swapped for a left hand, a press reads as one button,
// the one its message names: the two physical buttons do opposite things.
// (Windows swaps the messages of SendInput's buttons; Wine 8 sets the swap
// flag but delivers them unswapped. Either way one press is one button.)
void story_swapped_buttons(Harness& h)
{
    if (!open_first_cell(h)) return;
    Spot p280 = find_cell(h.main, pixel_image_of(1, 0));
    auto pixel_after_click = [&](bool physical_right) {
        std::string before = control_text(h.main, kReadOutCode);
        click_at(offset_in(p280, 8, 8), physical_right);
        wait_until([&] { return control_text(h.main, kReadOutCode) != before; }, 1000);
        Sleep(600);  // apart from the double-click time
        return control_text(h.main, kReadOutCode).rfind("0x01,", 0) == 0;
    };
    SwapMouseButton(TRUE);
    bool first = pixel_after_click(true), second = pixel_after_click(false), third = pixel_after_click(true);
    SwapMouseButton(FALSE);
    check(h, first != second && third == first,
          "swapped: the physical right and left buttons set and clear pixel 280 oppositely (" +
              std::to_string(first) + std::to_string(second) + std::to_string(third) + ")");
}

void story_save_dialog(Harness& h)
{
    if (!open_first_cell(h)) return;
    Spot p283 = find_cell(h.main, pixel_image_of(1, 3));  // byte 1, bit 3
    move_to(offset_in(p283, 8, 8));
    button(MOUSEEVENTF_LEFTDOWN);
    move_to(offset_in(p283, 9, 9));
    button(MOUSEEVENTF_LEFTUP);
    check(h, wait_until([&] { return control_text(h.main, kReadOutCode).rfind("0x08,", 0) == 0; }), "pressing on pixel 283 sets bit 3");

    const std::filesystem::path chosen = temp_folder() / L"e2e-picture";
    const std::filesystem::path written = temp_folder() / L"e2e-picture.chr";
    std::error_code ignored;
    std::filesystem::remove(written, ignored);
    bring_forward(h);
    press_keys({VK_CONTROL, 'S'});
    check(h, answer_save_dialog(h, kSaveFile, chosen.wstring()), "Ctrl+S on a buffer without a name opens the save dialog");
    check(h, wait_until([&] { return std::filesystem::exists(written); }), "the picture is written as e2e-picture.chr");
    std::string expected(1024, '\0');
    expected[0] = '\x08';
    check(h, file_bytes(written) == expected, "e2e-picture.chr holds the 1024 bytes of the buffer");
    check(h, wait_until([&] { return window_text(h.main) == kTitle + written.wstring(); }),
          "the title names the file: \"" + narrow(window_text(h.main)) + "\"");
}

void story_listing_popup(Harness& h)
{
    HWND convert = find_control(h.main, kConvertButton), view = find_control(h.main, code_view_of(1));
    check(h, convert && view, "button 425 and code view 521 exist");
    if (!convert || !view) return;
    click_centre(convert);
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
    check(h, answer_save_dialog(h, kSaveFile, (temp_folder() / L"e2e-listing").wstring()), "\"Сохранить в файле\" opens the save dialog");
    check(h, wait_until([&] { return std::filesystem::exists(written); }), "the listing is written as e2e-listing.asm");
    const std::string expected =
        lumetra::join_view_lines(lumetra::generate_listing(lumetra::ScreenBuffer{}, "", lumetra::ListingOptions{}));
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
    for (int id : {kAboutTitleText, 351, 352, kAboutMailLink, 354, kAboutOkButton, kAboutPicture, kAboutPageText, kAboutPageLink})
        check(h, find_control(about, id) != nullptr, "About control " + std::to_string(id) + " exists");
    check(h, control_text(about, kAboutOkButton) == "Ok", "the button reads \"Ok\"");
    HWND ok = find_control(about, kAboutOkButton);
    if (!ok) return;
    click_centre(ok);
    check(h, wait_until([&] { return !IsWindow(about); }, 5000), "\"Ok\" closes the About window");
    check(h, IsWindow(h.main) && IsWindowVisible(h.main), "the main window stays");
}

// Every picture variant dropped onto the real program lands in the buffer as
// the same 1024 bytes lumetra-cli convert gives; Save on an imported picture
// asks for a new name, so the picture file itself is never overwritten.
void story_import(Harness& h)
{
    const std::filesystem::path folder = import_pictures();
    const std::string pattern = file_bytes(folder / L"pattern.chr");
    check(h, pattern.size() == 1024, "the expected bytes pattern.chr are found beside the build");
    if (pattern.size() != 1024) return;
    const std::filesystem::path saved = temp_folder() / L"e2e-import.chr";
    int imported = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::wstring name = entry.path().filename().wstring();
        const std::wstring ext = entry.path().extension().wstring();
        if (name.rfind(L"pattern-", 0) != 0 || (ext != L".png" && ext != L".bmp" && ext != L".jpg")) continue;
        const std::string shown = narrow(name);
        const std::string before = file_bytes(entry.path());
        drop_file(h, entry.path());
        if (!wait_until([&] { return window_text(h.main) == kTitle + entry.path().wstring(); })) {
            check(h, false, shown + ": the title names the dropped picture");
            continue;
        }
        std::error_code ignored;
        std::filesystem::remove(saved, ignored);
        bring_forward(h);
        press_keys({VK_CONTROL, 'S'});
        // Read until the whole file opens: just after the program's rename the
        // file already has its size but may still refuse a reader for a moment.
        std::string got;
        if (!answer_save_dialog(h, kSaveFile, saved.wstring()) ||
            !wait_until([&] { return (got = file_bytes(saved)).size() == 1024; })) {
            check(h, false, shown + ": Save on an imported picture asks for a name and writes it");
            continue;
        }
        int differ = 0;
        for (std::size_t i = 0; i < got.size() && i < pattern.size(); ++i) differ += got[i] != pattern[i];
        check(h, got == pattern, shown + ": the buffer holds the expected 1024 bytes (got " + std::to_string(got.size()) +
                                     " bytes, " + std::to_string(differ) + " differ)");
        check(h, file_bytes(entry.path()) == before, shown + ": the picture file itself is untouched");
        ++imported;
    }
    check(h, imported >= 25, "every picture variant was imported (" + std::to_string(imported) + ")");

    // A damaged picture: an error box, and the buffer keeps its name.
    const std::filesystem::path broken = temp_folder() / L"e2e-broken.png";
    const std::string png = file_bytes(folder / L"pattern-png-rgb.png");
    std::ofstream(broken, std::ios::binary) << png.substr(0, png.size() / 2);
    const std::wstring title = window_text(h.main);
    drop_file(h, broken);
    check(h, answer_message(h, "Ошибка", "Не удалось открыть файл\n" + narrow(broken.wstring()), IDOK),
          "a damaged picture is refused with the read error");
    check(h, window_text(h.main) == title, "the buffer keeps its name after a damaged picture");

    // An animated GIF: its two frames go into buffers 1 and 2, and the
    // animation panel's first slots name them.
    const std::filesystem::path gif = temp_folder() / L"e2e-walk.gif";
    std::ofstream(gif, std::ios::binary) << lumetra::testing::make_test_gif({100, 100});
    drop_file(h, gif);
    check(h, wait_until([&] { return window_text(h.main) == kTitle + gif.wstring(); }), "the title names the dropped GIF");
    check(h, list_selection(h.main, 485) == 1 && list_selection(h.main, 486) == 2 && list_selection(h.main, 487) == 0,
          "the animation slots name buffers 1 and 2");
    std::error_code ignored;
    std::filesystem::remove(saved, ignored);
    bring_forward(h);
    press_keys({VK_CONTROL, 'S'});
    std::string got;
    check(h, answer_save_dialog(h, kSaveFile, saved.wstring()) &&
                 wait_until([&] { return (got = file_bytes(saved)).size() == 1024; }) && got[0] == 1,
          "buffer 1 holds the GIF's first frame");
}

const Stories kStories = {
    {"draw", story_draw},
    {"swapped_buttons", story_swapped_buttons},
    {"save_dialog", story_save_dialog},
    {"listing_popup", story_listing_popup},
    {"about", story_about},
    {"import", story_import},
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    // A drawn buffer is asked about on close.
    return run_harness(kStories, "lumetra_e2e_documents.exe", OnClose::answer_no);
}
