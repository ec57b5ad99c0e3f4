// lumetra_e2e_animation.exe: the animation panel with real clicks. Pictures
// dropped into buffer 1 (eight black cells, then all black) play against the
// empty buffer 2; the harness reads cell 1 from the screen to see the frames
// alternate, times the frame period, the reaction to "Стоп" at the longest
// delay and the program's processor time while it waits, and prints the
// figures. LUMETRA_E2E_STORY names the story; the exit code is 0 when every
// check held (see e2e_support.h).
#include "tests/win32/e2e_support.h"

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace lumetra;
using namespace lumetra::e2e;

namespace {

constexpr int kDelay10 = 0, kDelay100 = 3, kDelay200 = 4, kDelay4000 = 11;  // entries of the delay list
const COLORREF kInk = RGB(0, 0, 0), kCellGreen = RGB(97, 213, 155);

using Clock = std::chrono::steady_clock;
double ms_since(Clock::time_point from)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

// Processor time of the program's thread so far, in milliseconds.
double ui_thread_cpu_ms(const Harness& h)
{
    HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, h.ui_thread);
    FILETIME created, ended, kernel, user;
    const BOOL ok = thread && GetThreadTimes(thread, &created, &ended, &kernel, &user);
    if (thread) CloseHandle(thread);
    auto ms = [](FILETIME t) { return static_cast<double>(ULONGLONG(t.dwHighDateTime) << 32 | t.dwLowDateTime); };
    return ok ? (ms(kernel) + ms(user)) / 1e4 : -1;  // from 100 ns units
}

void play_at(Harness& h, int entry)
{
    check(h, choose_item(h, kAnimationDelay, entry), "delay entry " + std::to_string(entry) + " chosen");
    click_control(h.main, kAnimationStart);
    check(h, wait_until([&] { return enabled(h.main, kAnimationStop) && !enabled(h.main, kAnimationStart); }, 2000),
          "\"Анимация\" plays: 505 off, 506 on");
}

// "Стоп" pressed for real; answers the time from the button coming up until
// the start button is back.
double stop_playing(Harness& h)
{
    move_to(offset_in(find_control(h.main, kAnimationStop), 40, 12));
    button(MOUSEEVENTF_LEFTDOWN);
    INPUT up{};
    up.type = INPUT_MOUSE;
    up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    const auto pressed = Clock::now();
    SendInput(1, &up, sizeof(INPUT));
    // The end is both buttons turned round: the program enables one just
    // before it disables the other.
    const auto ended = [&] { return enabled(h.main, kAnimationStart) && !enabled(h.main, kAnimationStop); };
    for (int i = 0; i < 5000 && !ended(); ++i) Sleep(1);
    const double ms = ms_since(pressed);
    check(h, ended(), "\"Стоп\" ends playing: 505 on, 506 off");
    return ms;
}

// Plays for 1.5 s reading cell 1 from the screen: both pictures must come
// and go, at a mean period from delay_ms up to slowest (0: printed only).
void measure_frames(Harness& h, const char* pictures, int entry, double delay_ms, double slowest)
{
    play_at(h, entry);
    const RECT cell = screen_rect(find_cell(h.main, cell_image_of(1)));
    HDC screen = GetDC(nullptr);
    int changes = 0, black = 0, green = 0;
    double first = 0, last = 0;
    COLORREF shown = CLR_INVALID;
    const double cpu_before = ui_thread_cpu_ms(h);
    for (const auto from = Clock::now(); ms_since(from) < 1500; Sleep(2)) {
        const COLORREF colour = GetPixel(screen, cell.left + 1, cell.top + 1);
        if ((colour != kInk && colour != kCellGreen) || colour == shown) continue;
        (colour == kInk ? black : green) += 1;
        if (shown != CLR_INVALID && changes++ == 0) first = ms_since(from);
        if (shown != CLR_INVALID) last = ms_since(from);
        shown = colour;
    }
    const double cpu = ui_thread_cpu_ms(h) - cpu_before;
    ReleaseDC(nullptr, screen);
    const double period = changes > 1 ? (last - first) / (changes - 1) : 0;
    std::printf("animation: %s, delay %.0f ms: mean frame period %.1f ms on screen (%d changes in 1.5 s), frame "
                "work about %.1f ms; program thread busy %.0f ms, %.1f ms a frame\n",
                pictures, delay_ms, period, changes, period - delay_ms, cpu, cpu / (changes + 1));
    check(h, black >= 3 && green >= 3, "both pictures alternate on screen (" + std::to_string(black) + " black, " +
                                           std::to_string(green) + " green)");
    // The period is a measured figure (printed above); the check only catches
    // a frame shown early or a wait gone wrong, with room for a loaded machine.
    if (slowest > 0)
        check(h, period >= delay_ms && period <= 2 * slowest, "the frame period is " + std::to_string(period) + " ms");
    stop_playing(h);
}

// A picture whose first bytes are black into buffer 1, unmodified, so that
// the program closes without a question.
std::filesystem::path drop_black(Harness& h, const wchar_t* name, std::size_t black_bytes)
{
    const std::filesystem::path file = temp_folder() / name;
    std::ofstream(file, std::ios::binary) << std::string(black_bytes, '\xFF') + std::string(1024 - black_bytes, '\0');
    drop_file(h, file);
    check(h, wait_until([&] { return window_text(h.main) == kTitle + file.wstring(); }), "the picture is dropped");
    return file;
}

// ---------------------------------------------------------------- stories

void story_animation(Harness& h)
{
    // Eight changed cells a frame, as a small moving figure has.
    const std::filesystem::path row = drop_black(h, L"e2e-animation-row.chr", 64);
    bring_forward(h);
    press_keys({VK_CONTROL, '2'});
    check(h, wait_until([&] { return visible(find_control(h.main, kAnimationPanel)); }), "Ctrl+2 shows the animation panel");
    measure_frames(h, "8 cells a frame", kDelay10, 10, 40);
    measure_frames(h, "8 cells a frame", kDelay100, 100, 130);
    // From 200 ms on the delay is slept in 100 ms slices.
    measure_frames(h, "8 cells a frame", kDelay200, 200, 230);
    // The whole screen changes: all 128 cell images are painted each frame.
    drop_black(h, L"e2e-animation-black.chr", 1024);
    measure_frames(h, "128 cells a frame", kDelay10, 10, 0);

    // The longest delay: the program sleeps between its polls, and a drop
    // meanwhile is taken without opening anything.
    const std::wstring title = window_text(h.main);
    play_at(h, kDelay4000);
    drop_file(h, row);
    Sleep(300);
    const double cpu_before = ui_thread_cpu_ms(h);
    Sleep(1000);
    const double idle_cpu = ui_thread_cpu_ms(h) - cpu_before;
    const double stop_ms = stop_playing(h);
    std::printf("animation: delay 4000 ms: program thread busy %.1f ms in 1 s of waiting; \"Стоп\" ended playing "
                "%.0f ms after the click\n",
                idle_cpu, stop_ms);
    check(h, idle_cpu >= 0 && idle_cpu < 50, "the program sleeps while it waits");
    // Measured above (aim: 150 ms); here only: long before the 4 s wait ends.
    check(h, stop_ms <= 1000, "\"Стоп\" ends playing during the wait");
    check(h, window_text(h.main) == title, "the drop while playing opened nothing");
    Spot cell = find_cell(h.main, cell_image_of(1));
    check(h, wait_until([&] { return pixel_of(cell, 1, 1) == kInk; }) &&
                 SendMessageW(find_control(h.main, kBufferTabs), TCM_GETCURSEL, 0, 0) == 0,
          "after playing buffer 1 is on screen and its tab selected");
}

const Stories kStories = {
    {"animation", story_animation},
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    return run_harness(kStories, "lumetra_e2e_animation.exe", OnClose::no_question);
}
