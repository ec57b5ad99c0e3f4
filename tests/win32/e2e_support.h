// What the end-to-end harness executables share. Each lumetra_e2e*.exe is
// the real program with a harness thread beside it: the thread waits for the
// main window, plays one story with real input (SetCursorPos, SendInput),
// looks at the windows through Win32 only, then closes the program as a user
// would. A story file holds a table of stories and hands it to run_harness.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/ids.h"
#include "lumetra_version.h"

namespace lumetra::e2e {

inline const std::wstring kTitle = L"Lumetra v " LUMETRA_VERSION L" For PIC  \u2014  ";

struct Harness {
    std::string story;
    HWND main = nullptr;
    DWORD ui_thread = 0;
    int failures = 0;
    int checks = 0;
    double shown_ms = 0;  // from the entry point until the main window was shown
};

using Story = void (*)(Harness&);
using Stories = std::map<std::string, Story>;

// Stories that change a buffer are asked about it when the program closes;
// the others must close without a question.
enum class OnClose { no_question, answer_no };

// The whole executable: the story named by LUMETRA_E2E_STORY, started
// without a settings file; after_end (may be null) checks what the ended
// program left behind. Returns 0 when every check held.
int run_harness(const Stories& stories, const char* exe, OnClose on_close, Story after_end = nullptr);

// Checks and waiting. The harness never blocks the UI thread: it polls.
void check(Harness& h, bool condition, const std::string& what);
bool wait_until(const std::function<bool()>& condition, int timeout_ms = 5000);

std::string narrow(const std::wstring& text);
std::wstring widen(const std::string& text);

// Looking at windows and controls.
HWND find_control(HWND root, int id);
std::wstring window_text(HWND hwnd);
std::string control_text(HWND root, int id);
RECT screen_rect(HWND hwnd);
POINT offset_in(HWND hwnd, int dx, int dy);
bool visible(HWND hwnd);
bool enabled(HWND main, int id);
bool checked(HWND main, int id);
bool menu_checked(HWND main, int command);
int list_selection(HWND main, int id);
std::string list_item(HWND main, int id, int index);
std::string rich_text(HWND rich);
COLORREF pixel_of(HWND hwnd, int x, int y);

// A picture cell or a pixel of the cell editor has no window of its own:
// its container and its place there, as the layout puts it.
struct Spot {
    HWND container = nullptr;
    RECT area{};  // in the container's client coordinates
    explicit operator bool() const { return container != nullptr; }
};
Spot find_cell(HWND main, int id);
RECT screen_rect(const Spot& spot);
POINT offset_in(const Spot& spot, int dx, int dy);
COLORREF pixel_of(const Spot& spot, int x, int y);

// Real input.
void move_to(POINT at);
void button(DWORD flags);
void click_at(POINT at, bool right = false);
void click_centre(HWND hwnd);
void click_control(HWND main, int id);
void double_click_at(POINT at);
void press_keys(const std::vector<WORD>& down_in_order);
void bring_forward(const Harness& h);
bool choose_item(Harness& h, int id, int index);
// The same in a drop-down list of any window.
bool choose_list_item(HWND combo, int index);

// Dialogs, message boxes and popup menus of the program's thread.
HWND thread_window(const Harness& h, const wchar_t* window_class);
HWND wait_for_dialog(const Harness& h, const std::wstring& title, int timeout_ms = 5000);
bool answer_save_dialog(const Harness& h, const std::wstring& title, const std::wstring& name);
std::string message_text(HWND box);
bool answer_message(Harness& h, const std::string& title, const std::string& text, int answer);

// What the file manager sends when a file is dropped onto the window.
void drop_file(const Harness& h, const std::filesystem::path& file);

// Files the program writes, in the prefix's temporary folder.
std::filesystem::path temp_folder();
std::string file_bytes(const std::filesystem::path& path);
// The test pictures of the import, beside the build: <root>/build/<preset>/bin/<exe>.
std::filesystem::path import_pictures();

}  // namespace lumetra::e2e
