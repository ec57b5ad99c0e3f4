// lumetra_e2e_animation.exe: the animation panel with real clicks. Pictures
// dropped into buffer 1 (eight black cells, then all black) play against the
// empty buffer 2; the harness reads cell 1 from the screen to see the frames
// alternate, times the frame period, the reaction to "Стоп" at the longest
// delay and the processor time while the program waits for its timer, and
// prints the figures. LUMETRA_E2E_STORY names the story; the exit code is 0 when every
// check held (see e2e_support.h).
#include "tests/win32/e2e_support.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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

double milliseconds(FILETIME kernel, FILETIME user)
{
    auto units = [](FILETIME t) { return static_cast<double>(ULONGLONG(t.dwHighDateTime) << 32 | t.dwLowDateTime); };
    return (units(kernel) + units(user)) / 1e4;  // from 100 ns units
}

// Processor time of the program's thread so far, in milliseconds.
double ui_thread_cpu_ms(const Harness& h)
{
    HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, h.ui_thread);
    FILETIME created, ended, kernel, user;
    const BOOL ok = thread && GetThreadTimes(thread, &created, &ended, &kernel, &user);
    if (thread) CloseHandle(thread);
    return ok ? milliseconds(kernel, user) : -1;
}

// The whole process's: the program's thread, the harness's (asleep while it
// is measured) and what Wine runs inside the process.
double process_cpu_ms()
{
    FILETIME created, ended, kernel, user;
    return GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user) ? milliseconds(kernel, user) : -1;
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
// and go, the median time between two changes from fastest to slowest (0:
// printed only). The median, not the mean: on a loaded machine a frame the
// harness's reads missed, or the program's thread held back for a moment,
// is one long interval, not a wrong timer.
void measure_frames(Harness& h, const char* pictures, int entry, double delay_ms, double fastest, double slowest)
{
    play_at(h, entry);
    const RECT cell = screen_rect(find_cell(h.main, cell_image_of(1)));
    HDC screen = GetDC(nullptr);
    int black = 0, green = 0;
    std::vector<double> changes;  // ms after the start of reading
    COLORREF shown = CLR_INVALID;
    const double cpu_before = ui_thread_cpu_ms(h);
    for (const auto from = Clock::now(); ms_since(from) < 1500; Sleep(2)) {
        const COLORREF colour = GetPixel(screen, cell.left + 1, cell.top + 1);
        if ((colour != kInk && colour != kCellGreen) || colour == shown) continue;
        (colour == kInk ? black : green) += 1;
        if (shown != CLR_INVALID) changes.push_back(ms_since(from));
        shown = colour;
    }
    const double cpu = ui_thread_cpu_ms(h) - cpu_before;
    ReleaseDC(nullptr, screen);
    std::vector<double> periods;
    for (std::size_t i = 1; i < changes.size(); ++i) periods.push_back(changes[i] - changes[i - 1]);
    std::sort(periods.begin(), periods.end());
    const double median = periods.empty() ? 0 : periods[periods.size() / 2];
    const double mean = periods.empty() ? 0 : (changes.back() - changes.front()) / static_cast<double>(periods.size());
    std::printf("animation: %s, delay %.0f ms: frame period on screen median %.1f ms, mean %.1f ms (%zu changes in "
                "1.5 s); program thread busy %.0f ms, %.1f ms a frame\n",
                pictures, delay_ms, median, mean, changes.size(), cpu, cpu / static_cast<double>(changes.size() + 1));
    check(h, black >= 3 && green >= 3, "both pictures alternate on screen (" + std::to_string(black) + " black, " +
                                           std::to_string(green) + " green)");
    if (slowest > 0)
        check(h, median >= fastest && median <= slowest, "the frame period is " + std::to_string(median) + " ms");
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
    // Ten milliseconds is the timer's shortest time.
    measure_frames(h, "8 cells a frame", kDelay10, 10, 9, 40);
    // Each frame is due one delay after the one before: within 10 %.
    measure_frames(h, "8 cells a frame", kDelay100, 100, 90, 110);
    measure_frames(h, "8 cells a frame", kDelay200, 200, 180, 220);
    // The whole screen changes: all 128 cell images are painted each frame.
    drop_black(h, L"e2e-animation-black.chr", 1024);
    measure_frames(h, "128 cells a frame", kDelay10, 10, 0, 0);

    // The longest delay: the program waits for its timer without using the
    // processor, and a drop meanwhile is taken without opening anything.
    const std::wstring title = window_text(h.main);
    play_at(h, kDelay4000);
    drop_file(h, row);
    Sleep(300);
    const double thread_before = ui_thread_cpu_ms(h), process_before = process_cpu_ms();
    Sleep(3000);  // still inside the first 4 s frame
    const double idle_thread = ui_thread_cpu_ms(h) - thread_before, idle_process = process_cpu_ms() - process_before;
    const double stop_ms = stop_playing(h);
    std::printf("animation: delay 4000 ms: in 3 s of waiting the program thread was busy %.1f ms, the whole process "
                "%.1f ms; \"Стоп\" ended playing %.0f ms after the click\n",
                idle_thread, idle_process, stop_ms);
    check(h, idle_thread >= 0 && idle_thread < 30, "the program uses no processor while it waits");
    check(h, stop_ms <= 150, "\"Стоп\" ends playing within 150 ms");
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
