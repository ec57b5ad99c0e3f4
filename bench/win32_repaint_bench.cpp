// lumetra_repaint_bench.exe: the real program with a harness thread that
// switches between two buffers whose pictures differ in every cell, by real
// clicks on the tabs, and times each switch inside the program's own thread:
// from the click until the last paint of the tab strip or the screen view
// has returned. Run it as a Wine story (bench/repaint.sh). Prints every
// switch and the medians; a benchmark, not a test: no time is checked.
#include "tests/win32/e2e_support.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <string>
#include <unordered_map>
#include <vector>

using namespace lumetra::e2e;

namespace {

constexpr int kTabs = 7, kFrame = 8, kArea = 9;  // the cells are painted by the view's area 9
constexpr int kSwitches = 21;

std::unordered_map<HWND, WNDPROC> original;  // filled before the UI thread sees the new procedures
std::atomic<long long> pressed{0}, paint_end{0}, paint_ticks{0};
std::atomic<int> paints{0};

long long ticks()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double ms(long long t)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(t) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

LRESULT CALLBACK timed_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    const WNDPROC next = original.at(hwnd);
    if (message == WM_LBUTTONDOWN) pressed = ticks();
    if (message != WM_PAINT) return CallWindowProcW(next, hwnd, message, wparam, lparam);
    const long long start = ticks();
    const LRESULT result = CallWindowProcW(next, hwnd, message, wparam, lparam);
    const long long end = ticks();
    paint_ticks += end - start;
    paint_end = end;
    ++paints;
    return result;
}

void time_paints_of(HWND hwnd)
{
    if (!hwnd || original.count(hwnd)) return;
    original[hwnd] = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(timed_procedure));
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// A .chr picture dropped into the current buffer; true once it is open.
bool open_picture(Harness& h, const wchar_t* name, char byte)
{
    const std::filesystem::path file = temp_folder() / name;
    std::ofstream(file, std::ios::binary) << std::string(1024, byte);
    drop_file(h, file);
    return wait_until([&] { return window_text(h.main) == kTitle + file.wstring(); });
}

void click_tab(HWND tabs, int index)
{
    RECT r{};
    SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(tabs, &centre);
    click_at(centre);
}

void story_repaint(Harness& h)
{
    HWND tabs = find_control(h.main, kTabs);
    check(h, tabs && open_picture(h, L"bench-black.chr", '\xFF'), "buffer 1 holds a black picture");
    click_tab(tabs, 1);
    check(h, wait_until([&] { return SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == 1; }), "buffer 2 chosen");
    check(h, open_picture(h, L"bench-stripes.chr", '\x55'), "buffer 2 holds a striped picture");
    if (h.failures) return;

    time_paints_of(tabs);
    time_paints_of(find_control(h.main, kFrame));
    time_paints_of(find_control(h.main, kArea));
    move_to({5, 5});  // the pointer away from the view: no hover highlight

    std::vector<double> whole, working, painting, counts;
    for (int i = 0; i < kSwitches; ++i) {
        Sleep(400);  // quiet, and no double click
        paints = 0;
        paint_ticks = 0;
        paint_end = 0;
        pressed = 0;
        const long long clicked = ticks();
        click_tab(tabs, i % 2);
        Sleep(350);  // long enough for any switch to end
        const double w = paint_end > clicked ? ms(paint_end - clicked) : -1;
        const double p = paint_end > pressed && pressed > 0 ? ms(paint_end - pressed) : -1;
        std::printf("switch %2d to buffer %d: %6.1f ms from the click (%5.1f ms from the press reaching the tab strip) "
                    "to the last paint, %5.1f ms in %3d paints\n",
                    i + 1, i % 2 + 1, w, p, ms(paint_ticks), paints.load());
        whole.push_back(w);
        working.push_back(p);
        painting.push_back(ms(paint_ticks));
        counts.push_back(paints.load());
    }
    std::printf("repaint: tab switch with all 128 cells changing, median of %d: %.1f ms from the click to the last "
                "paint, %.1f ms from the press reaching the tab strip, %.1f ms painting in %.0f paints\n",
                kSwitches, median(whole), median(working), median(painting), median(counts));
    // The program's own procedures back before it closes.
    for (const auto& [hwnd, procedure] : original)
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
    click_tab(tabs, 0);
}

const Stories kStories = {
    {"repaint", story_repaint},
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    return run_harness(kStories, "lumetra_repaint_bench.exe", OnClose::no_question);
}
