// lumetra_e2e_text.exe: the text dialog in the real program. From cell 18's
// popup menu (the text starts at pixel 8,8) a text is typed, DejaVu Sans is
// chosen from the "fonts" folder beside the program and size 14 typed; Enter
// (OK) writes it into the buffer and Ctrl+S saves it as e2e-text.chr in the
// temporary folder, where run_text_story.sh compares it with lumetra-cli text.
// LUMETRA_E2E_STORY names the story; the exit code is 0 when every check held
// (see e2e_support.h).
#include "tests/win32/e2e_support.h"

#include <cstdio>
#include <filesystem>
#include <string>

#include "core/image_store.h"

using namespace lumetra;
using namespace lumetra::e2e;

namespace {

const std::wstring kSaveFile = L"\u0421\u043e\u0445\u0440\u0430\u043d\u0438\u0442\u044c \u0444\u0430\u0439\u043b...";
const std::wstring kText = L"Lumetra \u0416";  // a Cyrillic letter too
constexpr int kSize = 14;

// Typed as characters, whatever the keyboard layout.
void type_characters(const std::wstring& text)
{
    for (wchar_t c : text) {
        INPUT keys[2]{};
        for (INPUT& key : keys) {
            key.type = INPUT_KEYBOARD;
            key.ki.wScan = c;
            key.ki.dwFlags = KEYEVENTF_UNICODE;
        }
        keys[1].ki.dwFlags |= KEYEVENTF_KEYUP;
        SendInput(2, keys, sizeof(INPUT));
        Sleep(20);
    }
}

// The last entry of that name: the program's own folder comes after the system's.
int last_item(HWND combo, const std::wstring& name)
{
    int found = -1;
    for (int from = -1;;) {
        const auto at = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(from), reinterpret_cast<LPARAM>(name.c_str()));
        if (at == CB_ERR || at <= from) return found;
        found = from = static_cast<int>(at);
    }
}

// The ink of a cell image's first pixel row, as the screen shows it.
bool cell_has_ink(HWND main, int cell)
{
    Spot spot = find_cell(main, cell_image_of(cell));
    for (int y = 0; y < 32; y += 4)
        for (int x = 0; x < 32; x += 4)
            if (pixel_of(spot, x + 1, y + 1) == RGB(0, 0, 0)) return true;
    return false;
}

void story_text(Harness& h)
{
    Spot cell = find_cell(h.main, cell_image_of(18));
    check(h, bool(cell), "cell image 37 exists");
    if (!cell) return;
    click_at(offset_in(cell, 16, 16), true);
    HWND menu = nullptr;
    check(h, wait_until([&] { return (menu = thread_window(h, L"#32768")) != nullptr; }), "a right click opens the cell menu");
    if (!menu) return;
    press_keys({VK_UP});  // from no item, the arrow up goes to the last: "Текст…"
    const ULONGLONG chosen = GetTickCount64();
    press_keys({VK_RETURN});
    HWND dialog = nullptr;
    check(h, wait_until([&] { return (dialog = thread_window(h, L"LumetraText")) != nullptr; }), "the text dialog opens");
    if (!dialog) return;
    // Listing the fonts of both folders is most of it.
    std::printf("text dialog shown %llu ms after the menu choice\n", GetTickCount64() - chosen);
    check(h, !IsWindowEnabled(h.main), "the main window takes no input meanwhile");
    check(h, control_text(dialog, kTextX) == "8" && control_text(dialog, kTextY) == "8", "X and Y are cell 18's corner");

    HWND combo = find_control(dialog, kTextFont);
    const int dejavu = combo ? last_item(combo, L"DejaVu Sans Book") : -1;
    check(h, dejavu >= 0, "DejaVu Sans Book from the fonts folder is listed");
    if (dejavu < 0) return;
    check(h, choose_list_item(combo, dejavu), "DejaVu Sans is chosen");

    HWND size = find_control(dialog, kTextSize);
    click_centre(size);
    press_keys({VK_END});
    for (int i = 0; i < 3; ++i) press_keys({VK_BACK});
    type_characters(std::to_wstring(kSize));
    check(h, wait_until([&] { return control_text(dialog, kTextSize) == std::to_string(kSize); }), "size 14 is typed");

    click_centre(find_control(dialog, kTextInput));
    type_characters(kText);
    check(h, wait_until([&] { return control_text(dialog, kTextInput) == narrow(kText); }), "the text is typed");
    check(h, wait_until([&] { return cell_has_ink(h.main, 18); }), "the preview shows the text on the screen view");

    press_keys({VK_RETURN});
    check(h, wait_until([&] { return !IsWindow(dialog); }), "Enter presses OK, which closes the dialog");
    check(h, wait_until([&] { return IsWindowEnabled(h.main); }), "the main window takes input again");

    const std::filesystem::path saved = temp_folder() / L"e2e-text.chr";
    std::error_code ignored;
    std::filesystem::remove(saved, ignored);
    bring_forward(h);
    press_keys({VK_CONTROL, 'S'});
    check(h, answer_save_dialog(h, kSaveFile, (temp_folder() / L"e2e-text").wstring()) &&
                 wait_until([&] { return file_bytes(saved).size() == kBufferBytes; }),
          "Ctrl+S writes the buffer as e2e-text.chr");
}

const Stories kStories = {
    {"text", story_text},
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    // Saved before the end: no question on close.
    return run_harness(kStories, "lumetra_e2e_text.exe", OnClose::no_question);
}
