#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "core/picture_dither.h"
#include "core/picture_import.h"

using namespace lumetra;
namespace fs = std::filesystem;

namespace {

// White on the right, black on the left: column x has level 255 x / 127.
GreyPicture horizontal_ramp()
{
    GreyPicture ramp;
    for (int y = 0; y < kDisplayHeight; ++y)
        for (int x = 0; x < kDisplayWidth; ++x) ramp.levels[y * kDisplayWidth + x] = static_cast<std::uint8_t>((255 * x + 63) / 127);
    return ramp;
}

GreyPicture flat(int level)
{
    GreyPicture grey;
    std::ranges::fill(grey.levels, static_cast<std::uint8_t>(level));
    return grey;
}

double darkness(int level) { return (255.0 - level) / 255.0; }

// Lit share of columns first..first+count-1 over all rows.
double lit_share(const ScreenBuffer& screen, int first, int count, int top = 0, int rows = kDisplayHeight)
{
    int lit = 0;
    for (int x = first; x < first + count; ++x)
        for (int y = top; y < top + rows; ++y) lit += read_pixel(screen, x, y);
    return static_cast<double>(lit) / (count * rows);
}

ImportOptions dithered(DitherMethod method) { return {.dither = method}; }

}  // namespace

TEST(Dithering, FlatMidGreyLightsHalfThePixels)
{
    for (DitherMethod method : {DitherMethod::FloydSteinberg, DitherMethod::Atkinson, DitherMethod::Ordered})
        for (int level : {127, 128})
            EXPECT_NEAR(lit_share(screen_from_grey(flat(level), dithered(method)), 0, kDisplayWidth), 0.5, 0.02)
                << static_cast<int>(method) << " level " << level;
}

// Error diffusion moves error sideways along each row, so a single column of
// 64 pixels wanders by several percent; bands of eight columns keep the shade.
TEST(Dithering, FloydSteinbergKeepsTheShadesOfARamp)
{
    const GreyPicture ramp = horizontal_ramp();
    const ScreenBuffer screen = screen_from_grey(ramp, dithered(DitherMethod::FloydSteinberg));
    for (int band = 0; band < kDisplayWidth; band += 8) {
        double want = 0;
        for (int x = band; x < band + 8; ++x) want += darkness(ramp.at(x, 0)) / 8;
        EXPECT_NEAR(lit_share(screen, band, 8), want, 0.03) << "columns " << band << "..";
    }
}

// Atkinson passes on three quarters of the error: near mid grey the shades
// hold, further out light goes lighter and dark darker, but never backwards.
TEST(Dithering, AtkinsonKeepsMidShadesAndTheirOrder)
{
    const GreyPicture ramp = horizontal_ramp();
    const ScreenBuffer screen = screen_from_grey(ramp, dithered(DitherMethod::Atkinson));
    double previous = 1.0;
    for (int band = 0; band < kDisplayWidth; band += 8) {
        double want = 0;
        for (int x = band; x < band + 8; ++x) want += darkness(ramp.at(x, 0)) / 8;
        const double share = lit_share(screen, band, 8);
        if (want > 0.4 && want < 0.6) {
            EXPECT_NEAR(share, want, 0.03) << "columns " << band << "..";
        }
        EXPECT_LE(share, previous) << "columns " << band << "..";
        previous = share;
    }
    EXPECT_EQ(lit_share(screen, 0, 4), 1.0);
    EXPECT_EQ(lit_share(screen, kDisplayWidth - 4, 4), 0.0);
}

// The Bayer thresholds are 2, 6, .. 254, one per matrix index: an aligned
// 8 x 8 block of level g lights exactly the indices whose threshold exceeds
// g, within one pixel of its darkness.
TEST(Dithering, OrderedLightsEachBlockByTheMatrix)
{
    for (int level = 0; level <= 255; ++level) {
        const ScreenBuffer screen = screen_from_grey(flat(level), dithered(DitherMethod::Ordered));
        int above = 0;
        for (int k = 0; k < 64; ++k) above += 4 * k + 2 > level;
        EXPECT_NEAR(above / 64.0, darkness(level), 1.0 / 64) << level;
        for (int bx = 0; bx < kDisplayWidth; bx += 8)
            for (int by = 0; by < kDisplayHeight; by += 8)
                ASSERT_EQ(lit_share(screen, bx, 8, by, 8), above / 64.0) << level << " block " << bx << "," << by;
    }
    // Eight columns hold whole blocks, so a band of the ramp lies between the
    // flat shares of its lightest and darkest column.
    const GreyPicture ramp = horizontal_ramp();
    const ScreenBuffer screen = screen_from_grey(ramp, dithered(DitherMethod::Ordered));
    for (int band = 0; band < kDisplayWidth; band += 8) {
        const auto flat_share = [](int level) { return lit_share(screen_from_grey(flat(level), dithered(DitherMethod::Ordered)), 0, 8); };
        const double share = lit_share(screen, band, 8);
        EXPECT_GE(share, flat_share(ramp.at(band + 7, 0))) << band;
        EXPECT_LE(share, flat_share(ramp.at(band, 0))) << band;
    }
}

TEST(Dithering, ThresholdAndNegative)
{
    const GreyPicture ramp = horizontal_ramp();
    const ScreenBuffer screen = screen_from_grey(ramp, {.threshold = 100});
    for (int x = 0; x < kDisplayWidth; ++x)
        EXPECT_EQ(lit_share(screen, x, 1), ramp.at(x, 0) < 100 ? 1.0 : 0.0) << "level " << int(ramp.at(x, 0));
    // The negative is taken before anything else, whatever the method.
    GreyPicture negative = ramp;
    for (auto& level : negative.levels) level = static_cast<std::uint8_t>(255 - level);
    for (DitherMethod method : {DitherMethod::None, DitherMethod::FloydSteinberg, DitherMethod::Atkinson, DitherMethod::Ordered}) {
        ImportOptions inverted = dithered(method);
        inverted.invert = true;
        EXPECT_EQ(screen_from_grey(ramp, inverted), screen_from_grey(negative, dithered(method))) << static_cast<int>(method);
    }
}

// The default options are the editor's import, byte for byte, stretched or not.
TEST(Dithering, DefaultsAreTheEditorsImportOnEveryTestPicture)
{
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(LUMETRA_TEST_DATA) / "import")) {
        DecodeResult decoded = read_picture(entry.path());
        if (!decoded.ok()) continue;
        ScreenBuffer editor;
        ASSERT_TRUE(import_picture(entry.path(), editor).ok) << entry.path().filename();
        EXPECT_EQ(screen_from_picture(decoded.image, ImportOptions{}), editor) << entry.path().filename();
        ++compared;
    }
    EXPECT_GE(compared, 50);
}
