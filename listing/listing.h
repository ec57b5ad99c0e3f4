// The assembler listing of one screen buffer: 128 data lines of eight bytes
// with Dt or Db, in the controllers' order (crystal, page, column), with
// crystal and page comments.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/image_store.h"

namespace lumetra {

std::string format_hex_byte(std::uint8_t byte);                      // "0x0A"
std::string format_cell_bytes(const ScreenBuffer& picture, int cell);  // "0x01,0x00,...", 39 characters

enum class CellOrder { Interleaved, GroupedByCrystal };

// The 128 cells in the order they are emitted: every run of eight is one
// page of one crystal, segment addresses 0..63.
std::array<int, kCellCount> cell_sequence(CellOrder order);

// One page of one crystal as a listing shows it: a header comment, then its
// eight cells. opens_crystal marks the first page of a crystal in the grouped
// order, which also gets the crystal's banner.
struct PageRun {
    int page = 0;     // 1..8
    int crystal = 0;  // 1..2
    bool opens_crystal = false;
    std::array<int, 8> cells{};
};
std::array<PageRun, 16> page_runs(CellOrder order);

// The data directive of every line: the option buttons "Dt" and "Db".
enum class Directive { Dt, Db };
inline const char* directive_name(Directive directive) { return directive == Directive::Dt ? "Dt" : "Db"; }

// The states of the conversion panel, remembered per buffer.
struct ListingOptions {
    Directive directive = Directive::Dt;
    bool add_file_name = false;
    bool group_by_crystal = true;
    int first_indent = 12;   // 2..20
    int second_indent = 12;  // 2..20
    bool operator==(const ListingOptions&) const = default;
};

using ListingOptionsSet = std::array<ListingOptions, kBufferCount>;

// The lines a code view holds after "Преобразовать". file_name is the
// buffer's file name as UTF-8 (empty when it has none).
std::vector<std::string> generate_listing(const ScreenBuffer& picture, std::string_view file_name,
                                         const ListingOptions& options);

// A view's text as one piece: lines joined by CR LF, nothing after the last.
std::string join_view_lines(const std::vector<std::string>& lines);

// The same 1024 bytes as a C array, in the listing's order with its page and
// crystal comments (ASCII): "const unsigned char NAME[1024] = {", one line of
// eight bytes a cell, "};". name must already be a C identifier.
std::vector<std::string> generate_c_array(const ScreenBuffer& picture, std::string_view name, CellOrder order);

// Every line followed by end ("\n" or "\r\n").
std::string join_lines(const std::vector<std::string>& lines, std::string_view end);

// A C identifier made from a picture's base name (UTF-8): every run of other
// characters becomes one "_", a leading digit or a C keyword gets
// "picture_" in front, an empty name is "picture" (kind names another thing:
// "font_", "font").
std::string c_identifier(std::string_view base_name, std::string_view kind = "picture");
bool is_c_identifier(std::string_view name);

}  // namespace lumetra
