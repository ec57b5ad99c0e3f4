// Listings and C arrays of any display's bytes, in the form of the editor's
// own listing: runs of bytes under a page comment (naming the crystal when
// the display has several), eight bytes a line. And the XBM form of a picture.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "listing/listing.h"

namespace lumetra {

// count bytes under one comment: page (from 1) of crystal (from 1), the page
// alone when crystal is 0, no comment when page is 0. opens_crystal puts the
// crystal's banner before it.
struct TableRun {
    int page = 0;
    int crystal = 0;
    bool opens_crystal = false;
    int count = 0;
};

// The listing of bytes (Dt or Db and the indents of options; its crystal
// grouping is already in the runs), with the note as a comment line at the
// top when there is one.
std::vector<std::string> generate_table_listing(std::span<const std::uint8_t> bytes, const std::vector<TableRun>& runs,
                                                std::string_view note, std::string_view file_name,
                                                const ListingOptions& options);
std::vector<std::string> generate_table_c_array(std::span<const std::uint8_t> bytes, const std::vector<TableRun>& runs,
                                                std::string_view note, std::string_view name);
// "#define NAME_width", "#define NAME_height", "static unsigned char
// NAME_bits[] = {...};": bytes are the picture's rows, bit 0 the leftmost pixel.
std::vector<std::string> generate_xbm(std::span<const std::uint8_t> bytes, int width, int height, std::string_view name);

}  // namespace lumetra
