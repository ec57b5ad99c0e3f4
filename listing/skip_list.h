// Repeated-byte optimisation: the skip map of the ticked buffers (0xFF where
// a byte may be skipped because it repeats, 0x00 where it must be written),
// the list of skips it makes, and the skips of one cell.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/image_store.h"
#include "core/styled_text.h"

namespace lumetra {

constexpr int kScanBuffers = 9;                     // buffers 1..9 can be compared
constexpr int kSkipMapBuffer = kBufferCount;        // the map goes to buffer 10
using ScanChoice = std::array<bool, kScanBuffers>;  // [b - 1]: buffer b ticked

// CountByte from the text the spin field shows: decimal; empty, unparsable
// or outside 1..64 counts as 1.
int count_byte_from_text(std::string_view text);

// The skip map (0xFF: skip, 0x00: write) of the ticked buffers with runs
// shorter than count_byte absorbed inside each group of 64 positions (one
// page of one crystal), never across groups. One or no ticked buffer: all
// 0xFF. count_byte outside 1..64 counts as 1.
ScreenBuffer scan_repeated_bytes(const ImageStore& store, const ScanChoice& ticked, int count_byte);

// Where the list builder is: after each column-group header (lines = lines
// written so far, the progress bar's value) and after each page header
// except the first of a crystal section (the window may take one pending
// event there).
enum class SkipListStep { ColumnGroup, PageHeader };
using SkipListProgress = std::function<void(SkipListStep step, int lines)>;

// The full skip list: file_names are the ticked buffers' file names (UTF-8,
// in buffer order, buffers without a name left out); count_byte_text is the
// text the spin shows. 1178 lines and one per file name.
StyledText build_skip_list(const ScreenBuffer& skip_map, const std::vector<std::string>& file_names,
                           std::string_view count_byte_text, const SkipListProgress& progress = {});

// The eight positions of one cell (1..128) of the map, with their colours,
// no bold.
StyledText show_cell_skips(const ScreenBuffer& skip_map, int cell);

}  // namespace lumetra
