// A display's bytes as the listing, C array and XBM texts show them, and the
// shape the listing reader needs to read them back.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "display/display.h"
#include "listing/listing_reader.h"
#include "listing/table_text.h"

namespace lumetra {

// One run a page of one crystal (several controllers), a page (one), or the
// whole table (the row layouts, which have no pages).
std::vector<TableRun> layout_runs(const DisplayProfile& display, Layout layout, PageOrder order);
TableShape layout_shape(const DisplayProfile& display, Layout layout, PageOrder order);

// The width and height an XBM text declares ("#define NAME_width 128"), or
// nothing when the text is no XBM.
std::optional<PictureSize> xbm_size(std::string_view text);

}  // namespace lumetra
