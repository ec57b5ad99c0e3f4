#include <gtest/gtest.h>

#include "listing/skip_list.h"

using namespace lumetra;

namespace {

constexpr ScanChoice kFirstTwo{true, true};

// Buffers 1..9 hold the same busy picture.
ImageStore same_pictures()
{
    ImageStore store;
    for (int b = 0; b < kBufferCount; ++b)
        for (int i = 0; i < kBufferBytes; ++i) store.buffers[b].bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return store;
}

// Buffer 2 differs from buffer 1 at the given offsets.
ImageStore differing_at(std::initializer_list<int> offsets)
{
    ImageStore store = same_pictures();
    for (int at : offsets) store.buffers[1].bytes[at] ^= 0x10;
    return store;
}

// 0x00 at the given offsets [first, last), 0xFF elsewhere.
ScreenBuffer map_writing(std::initializer_list<std::pair<int, int>> ranges)
{
    ScreenBuffer map;
    map.bytes.fill(0xFF);
    for (auto [first, last] : ranges)
        for (int i = first; i < last; ++i) map.bytes[i] = 0x00;
    return map;
}

std::vector<StyledRun> runs_of(const StyledText& text, int line)
{
    std::vector<StyledRun> runs;
    for (const StyledRun& run : text.runs)
        if (run.line == line) runs.push_back(run);
    return runs;
}

// The worked example: group 1 differs at cell 1 byte 5 and cell 2 byte 3.
const ImageStore kExample = differing_at({4, 10});

}  // namespace

TEST(SkipScan, WorkedExamples)
{
    EXPECT_EQ(scan_repeated_bytes(kExample, kFirstTwo, 3), map_writing({{4, 5}, {10, 11}}));
    EXPECT_EQ(scan_repeated_bytes(kExample, kFirstTwo, 6), map_writing({{0, 11}}));
}

TEST(SkipScan, OneAndSixtyFourAndOutOfRange)
{
    // A lone agreeing position between two differences is a skip only for N = 1.
    ImageStore store = differing_at({0, 2, 200});
    const ScreenBuffer lone = map_writing({{0, 1}, {2, 3}, {200, 201}});
    EXPECT_EQ(scan_repeated_bytes(store, kFirstTwo, 1), lone);
    EXPECT_EQ(scan_repeated_bytes(store, kFirstTwo, 0), lone);
    EXPECT_EQ(scan_repeated_bytes(store, kFirstTwo, 65), lone);
    EXPECT_EQ(scan_repeated_bytes(store, kFirstTwo, 2), map_writing({{0, 3}, {200, 201}}));
    // N = 64: one difference writes its whole group; agreeing groups stay skips.
    EXPECT_EQ(scan_repeated_bytes(store, kFirstTwo, 64), map_writing({{0, 64}, {192, 256}}));
}

TEST(SkipScan, RunsStopAtTheEndOfTheirGroup)
{
    // Three agreeing positions end group 1, two begin group 2: together they
    // would reach N = 4, apart both are absorbed.
    ImageStore store = differing_at({60, 66});
    EXPECT_EQ(scan_repeated_bytes(store, kFirstTwo, 4), map_writing({{60, 67}}));
}

TEST(SkipScan, ComparesEveryTickedBufferAndNoOther)
{
    ImageStore store = same_pictures();
    store.buffers[4].bytes[100] ^= 1;  // buffer 5 alone differs: buffers 2 and 9 agree there
    store.buffers[8].bytes[300] ^= 1;  // buffer 9
    for (auto& byte : store.buffers[2].bytes) byte ^= 0xFF;  // buffer 3, not ticked
    ScanChoice ticked{};
    ticked[1] = ticked[4] = ticked[8] = true;
    EXPECT_EQ(scan_repeated_bytes(store, ticked, 1), map_writing({{100, 101}, {300, 301}}));

    // One or no ticked buffer compares nothing.
    const ScreenBuffer all_skips = map_writing({});
    EXPECT_EQ(scan_repeated_bytes(store, ScanChoice{false, false, true}, 64), all_skips);
    EXPECT_EQ(scan_repeated_bytes(store, ScanChoice{}, 5), all_skips);
}

TEST(SkipScan, CountByteFromText)
{
    EXPECT_EQ(count_byte_from_text("7"), 7);
    EXPECT_EQ(count_byte_from_text("64"), 64);
    EXPECT_EQ(count_byte_from_text("05"), 5);
    for (const char* text : {"", "0", "65", "-3", "3x", " 5", "+5", "99999999999"})
        EXPECT_EQ(count_byte_from_text(text), 1) << text;
}

TEST(SkipList, LinesAndFormats)
{
    const ScreenBuffer map = scan_repeated_bytes(kExample, kFirstTwo, 3);
    const StyledText list = build_skip_list(map, {"C:\\a.chr", "C:\\Картинки\\b.chr"}, "3");
    ASSERT_EQ(list.lines.size(), 1180u);
    const std::vector<std::string> head = {"Результат оптимизации файлов: ", "", "C:\\a.chr", "C:\\Картинки\\b.chr", "",
                                           "Количество повторяющихся байт 3 ", "", "  Кристалл  1 ",
                                           "      Страница  1  ", "           Сегмент  1  ",
                                           "                   Адрес  00H     "};
    EXPECT_EQ(std::vector<std::string>(list.lines.begin(), list.lines.begin() + 11), head);
    EXPECT_EQ(list.lines[14], "                   ----------  ");
    EXPECT_EQ(list.lines[592], " ");
    EXPECT_EQ(list.lines[593], "////////////////////    ");
    EXPECT_EQ(list.lines[594], " ");
    EXPECT_EQ(list.lines[595], "  Кристалл  2 ");
    EXPECT_EQ(list.lines[609], "                   Адрес  0AH     ");  // cell 10, byte 3: the other crystal
    EXPECT_EQ(list.lines[1179], "                   Адрес  3FH     ");

    const auto bold = [](int line, int start, int length, std::optional<TextColour> colour = std::nullopt) {
        return StyledRun{line, start, length, colour, true};
    };
    EXPECT_EQ(runs_of(list, 0), (std::vector{bold(0, 0, 28, TextColour{76, 2, 179})}));
    EXPECT_TRUE(runs_of(list, 2).empty());
    EXPECT_EQ(runs_of(list, 5), (std::vector{StyledRun{5, 0, 29, TextColour{118, 7, 137}, false}, bold(5, 29, 3)}));
    EXPECT_EQ(runs_of(list, 595), (std::vector{bold(595, 1, 10, TextColour{195, 4, 60}), bold(595, 11, 2)}));
    EXPECT_EQ(runs_of(list, 8), (std::vector{bold(8, 4, 10, TextColour{124, 2, 131}), bold(8, 14, 3)}));
    EXPECT_EQ(runs_of(list, 9), (std::vector{bold(9, 10, 8, TextColour{62, 159, 100}), bold(9, 19, 3)}));
    EXPECT_EQ(runs_of(list, 10),
              (std::vector{bold(10, 17, 9, TextColour{1, 87, 175}), bold(10, 26, 3, TextColour{188, 2, 67})}));
    EXPECT_TRUE(runs_of(list, 14).empty());
    EXPECT_EQ(runs_of(list, 593), (std::vector{bold(593, 0, 21, TextColour{254, 0, 0})}));
    EXPECT_TRUE(runs_of(list, 594).empty());
}

TEST(SkipList, EveryByteASkipAndProgress)
{
    std::vector<std::pair<SkipListStep, int>> steps;
    const StyledText list = build_skip_list(map_writing({}), {}, "", [&](SkipListStep step, int lines) {
        steps.emplace_back(step, lines);
    });
    EXPECT_EQ(list.lines.size(), 1178u);
    EXPECT_EQ(list.lines[3], "Количество повторяющихся байт  ");
    EXPECT_EQ(list.runs.size(), 2344u);  // 1024 address lines of two runs, 160 headers, title and separator
    std::vector<int> groups, pages;
    for (auto [step, lines] : steps) (step == SkipListStep::ColumnGroup ? groups : pages).push_back(lines);
    ASSERT_EQ(groups.size(), 128u);
    EXPECT_EQ(groups.front(), 8);
    EXPECT_EQ(groups[8], 81);  // page 2 of crystal 1: its header, then the segment line
    EXPECT_EQ(groups.back(), 1170);
    ASSERT_EQ(pages.size(), 14u);  // no pause at the first page of either crystal
    EXPECT_EQ(pages.front(), 80);
    EXPECT_EQ(pages.back(), 1178 - 8 * 9);  // page 8 of crystal 2, before its eight segments
}

TEST(SkipList, CellSkips)
{
    const StyledText cell = show_cell_skips(scan_repeated_bytes(kExample, kFirstTwo, 3), 1);
    EXPECT_EQ(cell.lines, (std::vector<std::string>{"Кристалл  —   1", "Страница  —   1", "Сегмент    —   1", "",
                                                     "Адрес:        00H  ", "Адрес:        01H  ",
                                                     "Адрес:        02H  ", "Адрес:        03H  ",
                                                     "------------------  ", "Адрес:        05H  ",
                                                     "Адрес:        06H  ", "Адрес:        07H  "}));
    const TextColour green{0, 100, 0}, pink{254, 17, 181}, violet{70, 36, 185};
    std::vector<StyledRun> runs = {{0, 14, 1, green}, {1, 14, 1, green}, {2, 15, 1, green}};
    for (int line : {4, 5, 6, 7, 9, 10, 11}) runs.push_back({line, 14, 3, pink});
    runs.insert(runs.begin() + 7, {8, 0, 18, violet});
    EXPECT_EQ(cell.runs, runs);

    const StyledText tenth = show_cell_skips(map_writing({}), 10);
    EXPECT_EQ(std::vector(tenth.lines.begin(), tenth.lines.begin() + 5),
              (std::vector<std::string>{"Кристалл  —   2", "Страница  —   1", "Сегмент    —   2", "",
                                        "Адрес:        08H  "}));
    EXPECT_TRUE(show_cell_skips(map_writing({}), 129).lines.empty());
}

TEST(StyledTextExport, TxtAndRtf)
{
    EXPECT_EQ(styled_text_as_txt({{"Адрес 0AH", ""}, {}}), "\xC0\xE4\xF0\xE5\xF1 0AH\r\n\r\n");
    EXPECT_EQ(styled_text_as_txt({}), "\r\n");
    EXPECT_EQ(styled_text_as_txt({{"漢"}, {}}), std::nullopt);

    const StyledText text{{"Аб c", "{x}\\"},
                          {{0, 1, 2, TextColour{1, 2, 3}, true}, {1, 1, 5, std::nullopt, true}, {0, 0, 1, TextColour{1, 2, 3}}}};
    EXPECT_EQ(styled_text_as_rtf(text),
              "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset204 MS Shell Dlg;}}"
              "{\\colortbl ;\\red1\\green2\\blue3;}\n\\uc1\\pard\\plain\\f0\\fs16 "
              "\\cf1 \\u1040?\\b \\u1073? \\cf0 \\b0 c\\par\n\\{\\b x\\}\\\\\\b0 }");
}
