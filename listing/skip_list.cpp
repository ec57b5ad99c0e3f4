#include "listing/skip_list.h"

#include <algorithm>
#include <charconv>

namespace lumetra {

namespace {

constexpr int kMinCountByte = 1, kMaxCountByte = 64;
// One page of one crystal: eight cells of eight bytes, the stretch a run may
// not leave.
constexpr int kGroupBytes = 64;
constexpr std::uint8_t kSkip = 0xFF, kWrite = 0x00;

constexpr TextColour kTitleColour{76, 2, 179};
constexpr TextColour kCountColour{118, 7, 137};
constexpr TextColour kCrystalColour{195, 4, 60};
constexpr TextColour kSeparatorColour{254, 0, 0};
constexpr TextColour kPageColour{124, 2, 131};
constexpr TextColour kSegmentColour{62, 159, 100};
constexpr TextColour kAddressColour{1, 87, 175};
constexpr TextColour kAddressDigitsColour{188, 2, 67};
constexpr TextColour kCellNumberColour{0, 100, 0};
constexpr TextColour kCellAddressColour{254, 17, 181};
constexpr TextColour kCellDashColour{70, 36, 185};

constexpr int kCrystalLines = 1 + 8 * (1 + 8 * (1 + kCellBytes));

std::string two_hex_digits(int value)
{
    constexpr const char* kDigits = "0123456789ABCDEF";
    return {kDigits[(value >> 4) & 15], kDigits[value & 15]};
}

// Lines appended one by one, with formats named as characters first..last of
// the line just appended, counted from 1 as the list is described.
struct Writer {
    StyledText text;
    void line(std::string s) { text.lines.push_back(std::move(s)); }
    void format(int first, int last, std::optional<TextColour> colour, bool bold)
    {
        text.runs.push_back({static_cast<int>(text.lines.size()) - 1, first - 1, last - first + 1, colour, bold});
    }
    int count() const { return static_cast<int>(text.lines.size()); }
};

void crystal_section(Writer& w, const ScreenBuffer& skip_map, int crystal, const SkipListProgress& progress)
{
    w.line("  Кристалл  " + std::to_string(crystal) + " ");
    w.format(2, 11, kCrystalColour, true);
    w.format(12, 13, std::nullopt, true);
    for (int page = 1; page <= 8; ++page) {
        w.line("      Страница  " + std::to_string(page) + "  ");
        w.format(5, 14, kPageColour, true);
        w.format(15, 17, std::nullopt, true);
        if (page > 1 && progress) progress(SkipListStep::PageHeader, w.count());
        for (int segment = 1; segment <= 8; ++segment) {
            const int cell = (page - 1) * 16 + (crystal - 1) * 8 + segment;
            w.line("           Сегмент  " + std::to_string(segment) + "  ");
            w.format(11, 18, kSegmentColour, true);
            w.format(20, 22, std::nullopt, true);
            if (progress) progress(SkipListStep::ColumnGroup, w.count());
            const CellLocation at = locate_cell(cell);
            for (int byte = 1; byte <= kCellBytes; ++byte) {
                if (skip_map.bytes[static_cast<std::size_t>(byte_offset(cell, byte))] != kSkip) {
                    w.line("                   ----------  ");
                    continue;
                }
                w.line("                   Адрес  " + two_hex_digits(at.segment_address(byte)) + "H     ");
                w.format(18, 26, kAddressColour, true);
                w.format(27, 29, kAddressDigitsColour, true);
            }
        }
    }
}

}  // namespace

int count_byte_from_text(std::string_view text)
{
    int value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end) return kMinCountByte;
    return value >= kMinCountByte && value <= kMaxCountByte ? value : kMinCountByte;
}

ScreenBuffer scan_repeated_bytes(const ImageStore& store, const ScanChoice& ticked, int count_byte)
{
    if (count_byte < kMinCountByte || count_byte > kMaxCountByte) count_byte = kMinCountByte;

    // 1: the position must be written. Each ticked buffer is compared with
    // the ticked one before it, so a 0 means all of them agree.
    std::array<std::uint8_t, kBufferBytes> differs{};
    const ScreenBuffer* previous = nullptr;
    for (int buffer = 1; buffer <= kScanBuffers; ++buffer) {
        if (!ticked[static_cast<std::size_t>(buffer - 1)]) continue;
        const ScreenBuffer& picture = store.buffers[static_cast<std::size_t>(buffer - 1)];
        if (previous)
            for (std::size_t i = 0; i < differs.size(); ++i)
                differs[i] |= static_cast<std::uint8_t>(picture.bytes[i] != previous->bytes[i]);
        previous = &picture;
    }

    // A run of agreeing positions shorter than count_byte is not worth a
    // skip: it is written as if it differed. Runs end at the group's end.
    for (int group = 0; group < kBufferBytes; group += kGroupBytes) {
        int run = 0;
        for (int i = group; i <= group + kGroupBytes; ++i) {
            if (i < group + kGroupBytes && !differs[static_cast<std::size_t>(i)]) {
                ++run;
                continue;
            }
            if (run < count_byte) std::fill(differs.begin() + (i - run), differs.begin() + i, std::uint8_t{1});
            run = 0;
        }
    }

    ScreenBuffer map;
    for (std::size_t i = 0; i < differs.size(); ++i) map.bytes[i] = differs[i] ? kWrite : kSkip;
    return map;
}

StyledText build_skip_list(const ScreenBuffer& skip_map, const std::vector<std::string>& file_names,
                           std::string_view count_byte_text, const SkipListProgress& progress)
{
    Writer w;
    w.text.lines.reserve(8 + file_names.size() + 2 * kCrystalLines);
    w.text.runs.reserve(2400);

    w.line("Результат оптимизации файлов: ");
    w.format(1, 28, kTitleColour, true);
    w.line("");
    for (const std::string& name : file_names) w.line(name);
    w.line("");
    w.line("Количество повторяющихся байт " + std::string(count_byte_text) + " ");
    w.format(1, 29, kCountColour, false);
    w.format(30, 32, std::nullopt, true);
    w.line("");

    crystal_section(w, skip_map, 1, progress);
    w.line(" ");
    w.line("////////////////////    ");
    w.format(1, 21, kSeparatorColour, true);
    w.line(" ");
    crystal_section(w, skip_map, 2, progress);
    return std::move(w.text);
}

StyledText show_cell_skips(const ScreenBuffer& skip_map, int cell)
{
    Writer w;
    if (!valid_cell(cell)) return w.text;
    const CellLocation at = locate_cell(cell);
    w.line("Кристалл  —   " + std::to_string(at.crystal));
    w.format(15, 15, kCellNumberColour, false);
    w.line("Страница  —   " + std::to_string(at.page));
    w.format(15, 15, kCellNumberColour, false);
    w.line("Сегмент    —   " + std::to_string(at.column_group));
    w.format(16, 16, kCellNumberColour, false);
    w.line("");
    for (int byte = 1; byte <= kCellBytes; ++byte) {
        if (skip_map.bytes[static_cast<std::size_t>(byte_offset(cell, byte))] == kSkip) {
            w.line("Адрес:        " + two_hex_digits(at.segment_address(byte)) + "H  ");
            w.format(15, 17, kCellAddressColour, false);
        } else {
            w.line("------------------  ");
            w.format(1, 18, kCellDashColour, false);
        }
    }
    return std::move(w.text);
}

}  // namespace lumetra
