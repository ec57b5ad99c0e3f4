#include "listing/listing.h"

namespace lumetra {

namespace {

constexpr const char* kHexDigits = "0123456789ABCDEF";

std::string blanks(int count) { return std::string(count > 0 ? static_cast<std::size_t>(count) : 0u, ' '); }

void crystal_banner(std::vector<std::string>& lines, const std::string& comment, int crystal)
{
    lines.push_back(comment + " **** КРИСТАЛЛ " + std::to_string(crystal) + " ****");
}

}  // namespace

std::string format_hex_byte(std::uint8_t byte)
{
    return {'0', 'x', kHexDigits[byte >> 4], kHexDigits[byte & 15]};
}

std::string format_cell_bytes(const ScreenBuffer& picture, int cell)
{
    std::string text;
    if (!valid_cell(cell)) return text;
    text.reserve(39);
    for (int byte = 1; byte <= kCellBytes; ++byte) {
        if (byte > 1) text += ',';
        text += format_hex_byte(picture.bytes[byte_offset(cell, byte)]);
    }
    return text;
}

std::array<int, kCellCount> cell_sequence(CellOrder order)
{
    std::array<int, kCellCount> cells{};
    int i = 0;
    if (order == CellOrder::Interleaved) {
        for (int cell = 1; cell <= kCellCount; ++cell) cells[i++] = cell;
        return cells;
    }
    for (int crystal = 1; crystal <= 2; ++crystal)
        for (int page = 1; page <= 8; ++page)
            for (int k = 0; k < 8; ++k) cells[i++] = (page - 1) * 16 + (crystal - 1) * 8 + k + 1;
    return cells;
}

std::vector<std::string> generate_listing(const ScreenBuffer& picture, std::string_view file_name,
                                          const ListingOptions& options)
{
    std::vector<std::string> lines;
    lines.reserve(153);
    std::string i1 = blanks(options.first_indent), i2 = blanks(options.second_indent);
    std::string comment = ";" + i1 + i2;
    std::string directive = i1 + (options.dt ? "Dt" : "Db") + i2;
    bool grouped = options.group_by_crystal;

    if (options.add_file_name && !file_name.empty()) {
        lines.emplace_back();
        lines.push_back("; Файл  —  " + std::string(file_name));
    }
    lines.emplace_back();
    auto cells = cell_sequence(grouped ? CellOrder::GroupedByCrystal : CellOrder::Interleaved);
    // Every run of eight cells is one page of one crystal: a header, then its data lines.
    for (std::size_t i = 0; i < cells.size(); i += 8) {
        CellLocation at = locate_cell(cells[i]);
        if (grouped && at.page == 1) {
            if (at.crystal == 2) lines.emplace_back();
            crystal_banner(lines, comment, at.crystal);
            lines.emplace_back();
        }
        lines.push_back(comment + " Страница " + std::to_string(at.page) + "  //  кристалл " +
                        std::to_string(at.crystal));
        for (std::size_t k = i; k < i + 8; ++k) lines.push_back(directive + format_cell_bytes(picture, cells[k]));
    }
    lines.emplace_back();
    return lines;
}

std::string join_view_lines(const std::vector<std::string>& lines)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += "\r\n";
        text += lines[i];
    }
    return text;
}

}  // namespace lumetra
