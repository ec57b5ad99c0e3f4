// Animations a small program plays on a page-addressed display: frame 1
// whole, then each next frame, and the way back from the last to the first,
// as the runs of bytes that change. The table a PIC reads (README, "Frames a
// PIC plays") and its listing and C forms.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/raster.h"
#include "display/display.h"
#include "listing/listing.h"

namespace lumetra {

// Bytes written one after another inside one page of one controller.
struct FrameRun {
    int controller = 0;  // from 0, left to right
    int page = 0;        // from 0, top to bottom
    int column = 0;      // the first, from 0 inside the controller
    std::vector<std::uint8_t> bytes;
};

struct Frame {
    int delay_ms = 0;  // how long the frame stays, 0..65535
    std::vector<FrameRun> runs;
};

// Where a frame of the table leads.
enum class FrameKind { First, Next, Loop };

constexpr int kMinFrameCount = 1, kMaxFrameCount = 64;  // N, as the skip map's

// The smallest unchanged gap worth skipping: a gap shorter than the bytes
// that move the controller's address costs less written than skipped.
int default_frame_count(const DisplayProfile& display);

// pictures.size() + 1 frames: frame 1 whole (every page of every controller),
// the changes of each next picture from the one before, and the changes that
// take the last picture back to the first, which stays delays_ms[0]. An
// unchanged gap shorter than count bytes between changes of one page of one
// controller is written inside the run; count outside 1..64 counts as 1. The
// pictures are the display's size; a missing delay is the last one given.
std::vector<Frame> make_frames(std::span<const Raster> pictures, std::span<const int> delays_ms,
                               const DisplayProfile& display, int count);

FrameKind frame_kind(std::size_t index, std::size_t frames);
int run_bytes(const Frame& frame);  // display bytes the frame writes

// The table: per frame delay high, delay low, runs (controller << 4 | page,
// column, length, the bytes), 0xFE after a frame (0xFF after the last: play
// on from frame 2), then 0x00 if needed so that every frame starts at an even
// offset (a PIC18 program word).
std::vector<std::uint8_t> frame_table(const std::vector<Frame>& frames);

// The table as Dt or Db lines of eight bytes, each frame under a comment
// (ASCII, the listing's indents), beginning and ending with an empty line;
// and as a C array.
std::vector<std::string> frame_table_listing(const std::vector<Frame>& frames, const DisplayProfile& display,
                                             const ListingOptions& options);
std::vector<std::string> frame_table_c_array(const std::vector<Frame>& frames, const DisplayProfile& display,
                                             std::string_view name);

}  // namespace lumetra
