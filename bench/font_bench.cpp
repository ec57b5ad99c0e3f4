// Fonts: the 224-glyph cp1251 table at 16 px from the font file to its text
// (budget 20 ms), and a line of text onto a picture (budget 1 ms), for a
// bitmap font and an outline font.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "font/font_table.h"

using namespace lumetra;

namespace {

const char* const kFonts[] = {LUMETRA_TERMINUS_16, LUMETRA_DEJAVU_SANS};
const char* const kFontNames[] = {"Terminus 16", "DejaVu Sans 16"};

}  // namespace

// What lumetra-cli font does between reading its arguments and writing OUT.
static void BM_FontTableCp1251(benchmark::State& state)
{
    const auto which = static_cast<std::size_t>(state.range(0));
    const std::vector<char32_t> codes = *charset_codes("cp1251");
    for (auto _ : state) {
        FontResult opened = open_font(kFonts[which], 16);
        if (!opened.font) {
            state.SkipWithError(opened.error.c_str());
            return;
        }
        const FontTableResult built = build_font_table(*opened.font, codes, {}, kCharsetFirstByte);
        benchmark::DoNotOptimize(font_table_asm(built.table, "font", {"font", 16}, Directive::Dt));
        benchmark::DoNotOptimize(font_table_c(built.table, "font", {"font", 16}));
    }
    state.SetLabel(kFontNames[which]);
}
BENCHMARK(BM_FontTableCp1251)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

// A line across the picture: range(1) 0 opens the font each time (the first
// draw), 1 draws with the font already open and its glyphs rendered.
static void BM_TextLine(benchmark::State& state)
{
    const auto which = static_cast<std::size_t>(state.range(0));
    const bool open_each_time = state.range(1) == 0;
    FontResult kept = open_font(kFonts[which], 16);
    if (!kept.font) {
        state.SkipWithError(kept.error.c_str());
        return;
    }
    const char* line = "Температура 21,5 °C";
    Raster picture(128, 64);
    for (auto _ : state) {
        if (open_each_time) {
            FontResult opened = open_font(kFonts[which], 16);
            benchmark::DoNotOptimize(draw_text(picture, *opened.font, line, 0, 20, Ink::Set));
        } else {
            benchmark::DoNotOptimize(draw_text(picture, *kept.font, line, 0, 20, Ink::Set));
        }
    }
    state.SetLabel(std::string(kFontNames[which]) + (open_each_time ? ", opened each time" : ", open"));
}
BENCHMARK(BM_TextLine)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMicrosecond);

// Naming every font of a folder, as the text dialog's font list does: the
// folder of Terminus, some 240 bitmap fonts, most of them gzip files.
static void BM_ListFonts(benchmark::State& state)
{
    const auto folder = std::filesystem::path(LUMETRA_TERMINUS_16).parent_path();
    std::size_t count = 0;
    for (auto _ : state) count = list_fonts(folder).size();
    state.SetLabel(std::to_string(count) + " fonts in " + folder.string());
}
BENCHMARK(BM_ListFonts)->Unit(benchmark::kMillisecond);
