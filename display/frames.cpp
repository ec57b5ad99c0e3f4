#include "display/frames.h"

#include <algorithm>

namespace lumetra {

namespace {

constexpr std::uint8_t kFrameEnd = 0xFE, kTableEnd = 0xFF, kPad = 0x00;
constexpr std::size_t kLineBytes = 8;
constexpr int kMaxDelay = 0xFFFF;

// One picture's bytes controller by controller, page by page, each page's
// columns left to right: a page of a controller is one group of columns.
std::vector<std::uint8_t> picture_bytes(const DisplayProfile& display, const Raster& picture)
{
    return layout_bytes(display, Layout::Pages, PageOrder::ByController, picture);
}

// The runs that turn before into after inside one group of columns.
void changed_runs(std::span<const std::uint8_t> before, std::span<const std::uint8_t> after, int controller, int page,
                  int count, std::vector<FrameRun>& runs)
{
    const int columns = static_cast<int>(after.size());
    auto changed = [&](int x) { return before[static_cast<std::size_t>(x)] != after[static_cast<std::size_t>(x)]; };
    int x = 0;
    while (x < columns) {
        if (!changed(x)) {
            ++x;
            continue;
        }
        const int first = x;
        int end = x + 1;  // after the last changed byte so far
        while (end < columns) {
            int gap_end = end;
            while (gap_end < columns && !changed(gap_end)) ++gap_end;
            // A gap up to the page's end is never written; a short one between
            // changes is.
            if (gap_end == columns || gap_end - end >= count) break;
            end = gap_end + 1;
        }
        runs.push_back({controller, page, first,
                        std::vector<std::uint8_t>(after.begin() + first, after.begin() + end)});
        x = end;
    }
}

// Every page of every controller: from nothing, all of it changes.
void whole_runs(const DisplayProfile& display, std::span<const std::uint8_t> bytes, std::vector<FrameRun>& runs)
{
    const std::size_t columns = static_cast<std::size_t>(display.columns);
    for (int group = 0; group < display.controllers * display_pages(display); ++group) {
        auto page = bytes.subspan(static_cast<std::size_t>(group) * columns, columns);
        runs.push_back({group / display_pages(display), group % display_pages(display), 0, {page.begin(), page.end()}});
    }
}

// The table, and where each frame of it starts.
std::vector<std::uint8_t> table_bytes(const std::vector<Frame>& frames, std::vector<std::size_t>& starts)
{
    std::vector<std::uint8_t> table;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const Frame& frame = frames[i];
        starts.push_back(table.size());
        table.push_back(static_cast<std::uint8_t>(frame.delay_ms >> 8));
        table.push_back(static_cast<std::uint8_t>(frame.delay_ms & 0xFF));
        for (const FrameRun& run : frame.runs) {
            table.push_back(static_cast<std::uint8_t>(run.controller << 4 | run.page));
            table.push_back(static_cast<std::uint8_t>(run.column));
            table.push_back(static_cast<std::uint8_t>(run.bytes.size()));
            table.insert(table.end(), run.bytes.begin(), run.bytes.end());
        }
        table.push_back(i + 1 == frames.size() ? kTableEnd : kFrameEnd);
        if (table.size() % 2) table.push_back(kPad);
    }
    starts.push_back(table.size());
    return table;
}

// The table's size, then each frame's comment and its lines of bytes.
template <typename Size, typename Comment, typename Line>
void emit_frames(const std::vector<Frame>& frames, Size size, Comment comment, Line line)
{
    std::vector<std::size_t> starts;
    const std::vector<std::uint8_t> table = table_bytes(frames, starts);
    size(table.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const Frame& frame = frames[i];
        const std::string what = frame_kind(i, frames.size()) == FrameKind::Loop ? "Back to frame 1"
                                                                                 : "Frame " + std::to_string(i + 1);
        comment(what + "  //  " + std::to_string(frame.delay_ms) + " ms, " + std::to_string(frame.runs.size()) +
                (frame.runs.size() == 1 ? " run, " : " runs, ") + std::to_string(run_bytes(frame)) + " display bytes");
        for (std::size_t from = starts[i]; from < starts[i + 1]; from += kLineBytes) {
            std::string bytes;
            for (std::size_t k = from; k < std::min(starts[i + 1], from + kLineBytes); ++k)
                bytes += (k > from ? "," : "") + format_hex_byte(table[k]);
            line(bytes);
        }
    }
}

std::string describe(const DisplayProfile& display)
{
    return "Frames for " + std::string(display.name) + ": " + std::to_string(display.controllers) +
           (display.controllers == 1 ? " controller of " : " controllers of ") + std::to_string(display.columns) +
           " columns, " + std::to_string(display_pages(display)) + " pages";
}

}  // namespace

int default_frame_count(const DisplayProfile& display) { return display.address_bytes; }

std::vector<Frame> make_frames(std::span<const Raster> pictures, std::span<const int> delays_ms,
                               const DisplayProfile& display, int count)
{
    if (count < kMinFrameCount || count > kMaxFrameCount) count = kMinFrameCount;
    std::vector<Frame> frames;
    if (pictures.empty()) return frames;
    auto delay = [&](std::size_t i) {
        const int ms = delays_ms.empty() ? 0 : delays_ms[std::min(i, delays_ms.size() - 1)];
        return std::clamp(ms, 0, kMaxDelay);
    };
    std::vector<std::vector<std::uint8_t>> bytes;
    bytes.reserve(pictures.size());
    for (const Raster& picture : pictures) bytes.push_back(picture_bytes(display, picture));

    frames.reserve(pictures.size() + 1);
    frames.push_back({delay(0), {}});
    whole_runs(display, bytes[0], frames.back().runs);
    const std::size_t columns = static_cast<std::size_t>(display.columns);
    const int pages = display_pages(display);
    for (std::size_t i = 1; i <= pictures.size(); ++i) {
        const std::size_t to = i % pictures.size();  // the last goes back to the first
        frames.push_back({delay(to), {}});
        for (int group = 0; group < display.controllers * pages; ++group) {
            const std::size_t from = static_cast<std::size_t>(group) * columns;
            changed_runs(std::span(bytes[i - 1]).subspan(from, columns), std::span(bytes[to]).subspan(from, columns),
                         group / pages, group % pages, count, frames.back().runs);
        }
    }
    return frames;
}

FrameKind frame_kind(std::size_t index, std::size_t frames)
{
    return index == 0 ? FrameKind::First : index + 1 == frames ? FrameKind::Loop : FrameKind::Next;
}

int run_bytes(const Frame& frame)
{
    int bytes = 0;
    for (const FrameRun& run : frame.runs) bytes += static_cast<int>(run.bytes.size());
    return bytes;
}

std::vector<std::uint8_t> frame_table(const std::vector<Frame>& frames)
{
    std::vector<std::size_t> starts;
    return table_bytes(frames, starts);
}

std::vector<std::string> frame_table_listing(const std::vector<Frame>& frames, const DisplayProfile& display,
                                             const ListingOptions& options)
{
    const std::string i1(static_cast<std::size_t>(options.first_indent), ' ');
    const std::string i2(static_cast<std::size_t>(options.second_indent), ' ');
    const std::string comment = ";" + i1 + i2 + " ";
    const std::string directive = i1 + directive_name(options.directive) + i2;
    std::vector<std::string> lines = {""};
    if (display.note[0]) lines.push_back("; " + std::string(display.note));
    lines.push_back("; " + describe(display));
    emit_frames(
        frames, [](std::size_t) {},
        [&](const std::string& text) {
            lines.emplace_back();
            lines.push_back(comment + text);
        },
        [&](const std::string& bytes) { lines.push_back(directive + bytes); });
    lines.emplace_back();
    return lines;
}

std::vector<std::string> frame_table_c_array(const std::vector<Frame>& frames, const DisplayProfile& display,
                                             std::string_view name)
{
    std::vector<std::string> lines;
    if (display.note[0]) lines.push_back("/* " + std::string(display.note) + " */");
    lines.push_back("/* " + describe(display) + " */");
    emit_frames(
        frames,
        [&](std::size_t size) {
            lines.push_back("const unsigned char " + std::string(name) + "[" + std::to_string(size) + "] = {");
        },
        [&](const std::string& text) { lines.push_back("    /* " + text + " */"); },
        [&](const std::string& bytes) { lines.push_back("    " + bytes + ","); });
    lines.push_back("};");
    return lines;
}

}  // namespace lumetra
