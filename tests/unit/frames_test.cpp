#include <gtest/gtest.h>

#include <ostream>

#include "display/frames.h"

namespace lumetra {
namespace {

// A 128 x 64 picture from display bytes at (page, x): x 64.. is the right controller.
Raster picture(std::initializer_list<std::tuple<int, int, std::uint8_t>> bytes)
{
    ScreenBuffer screen;
    for (auto [page, x, byte] : bytes) screen.bytes[static_cast<std::size_t>(page * 128 + x)] = byte;
    return raster_from_screen(screen);
}

struct Spot {
    int controller, page, column;
    std::size_t length;
    bool operator==(const Spot&) const = default;
};
void PrintTo(const Spot& s, std::ostream* out)
{
    *out << "controller " << s.controller << " page " << s.page << " column " << s.column << " length " << s.length;
}

std::vector<Spot> spots(const Frame& frame)
{
    std::vector<Spot> out;
    for (const FrameRun& run : frame.runs) out.push_back({run.controller, run.page, run.column, run.bytes.size()});
    return out;
}

// With N = 3 a gap of two unchanged bytes is written, a gap of three is not;
// a change in the last column of the left half and the first of the right
// are runs of their own controllers; the trailing unchanged bytes of a page
// are never written.
TEST(FramesTest, RunsAbsorbGapsShorterThanNInsideOnePage)
{
    const Raster blank = picture({});
    const Raster next = picture({{2, 10, 1}, {2, 13, 1}, {2, 17, 1}, {0, 63, 5}, {0, 64, 6}, {7, 127, 7}});
    const std::vector<Raster> pictures = {blank, next};
    const std::vector<Frame> frames = make_frames(pictures, std::vector<int>{50}, default_display(), 3);
    ASSERT_EQ(frames.size(), 3u);
    const std::vector<Spot> want = {{0, 0, 63, 1}, {0, 2, 10, 4}, {0, 2, 17, 1}, {1, 0, 0, 1}, {1, 7, 63, 1}};
    EXPECT_EQ(spots(frames[1]), want);
    EXPECT_EQ(frames[1].runs[1].bytes, (std::vector<std::uint8_t>{1, 0, 0, 1}));
    EXPECT_EQ(spots(frames[2]), want);  // and the way back
    EXPECT_EQ(frames[2].runs[1].bytes, (std::vector<std::uint8_t>{0, 0, 0, 0}));
}

// Frame 1 is every page of every controller; a frame equal to the one before
// writes nothing but stays its delay.
TEST(FramesTest, FirstFrameWholeAndAnUnchangedFrameEmpty)
{
    const Raster a = picture({{3, 3, 0x3C}});
    const std::vector<Raster> pictures = {a, a, picture({})};
    const std::vector<Frame> frames = make_frames(pictures, std::vector<int>{100, 20, 30}, default_display(), 2);
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0].runs.size(), 16u);
    EXPECT_EQ(run_bytes(frames[0]), 1024);
    EXPECT_EQ(frames[1].runs.size(), 0u);
    EXPECT_EQ(frames[1].delay_ms, 20);
    EXPECT_EQ(frames[3].delay_ms, 100);  // back to frame 1, which stays its own delay
    EXPECT_EQ(frame_kind(3, frames.size()), FrameKind::Loop);
}

// The bytes of the table as README works them out, and each frame at an even offset.
TEST(FramesTest, TableBytes)
{
    Frame changed{300, {{1, 2, 5, {0xAA, 0x55}}, {0, 7, 0, {0x01}}}};
    Frame unchanged{300, {}};
    EXPECT_EQ(frame_table({changed, unchanged}),
              (std::vector<std::uint8_t>{0x01, 0x2C, 0x12, 0x05, 0x02, 0xAA, 0x55, 0x07, 0x00, 0x01, 0x01, 0xFE,  //
                                         0x01, 0x2C, 0xFF, 0x00}));
}

TEST(FramesTest, DefaultNIsTheCostOfMovingTheAddress)
{
    EXPECT_EQ(default_frame_count(default_display()), 2);
    EXPECT_EQ(default_frame_count(*find_display("ssd1306")), 3);
}

}  // namespace
}  // namespace lumetra
