#include "listing/listing.h"

namespace lumetra {

namespace {

constexpr const char* kHexDigits = "0123456789ABCDEF";

std::string blanks(int count) { return std::string(count > 0 ? static_cast<std::size_t>(count) : 0u, ' '); }

struct ListingWriter {
    const ScreenBuffer& picture;
    std::string comment;    // ";" + I1 + I2
    std::string directive;  // I1 + D + I2
    std::vector<std::string>& lines;

    void page_header(int page, int crystal)
    {
        lines.push_back(comment + " Страница " + std::to_string(page) + "  //  кристалл " + std::to_string(crystal));
    }

    // One page of one crystal: its header and its eight data lines.
    void page_block(int page, int crystal)
    {
        page_header(page, crystal);
        int first = (page - 1) * 16 + (crystal - 1) * 8 + 1;
        for (int cell = first; cell < first + 8; ++cell) lines.push_back(directive + FormatCellBytes(picture, cell));
    }

    void crystal_banner(int crystal)
    {
        lines.push_back(comment + " **** КРИСТАЛЛ " + std::to_string(crystal) + " ****");
    }
};

}  // namespace

std::string FormatHexByte(std::uint8_t byte)
{
    return {'0', 'x', kHexDigits[byte >> 4], kHexDigits[byte & 15]};
}

std::string FormatCellBytes(const ScreenBuffer& picture, int cell)
{
    std::string text;
    if (!valid_cell(cell)) return text;
    text.reserve(39);
    for (int byte = 1; byte <= kCellBytes; ++byte) {
        if (byte > 1) text += ',';
        text += FormatHexByte(picture.bytes[byte_offset(cell, byte)]);
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

std::vector<std::string> GenerateListing(const ScreenBuffer& picture, std::string_view file_name, bool useDt,
                                         bool addFileName, bool groupByCrystal, int firstIndent, int secondIndent)
{
    std::vector<std::string> lines;
    lines.reserve(153);
    std::string i1 = blanks(firstIndent), i2 = blanks(secondIndent);
    ListingWriter out{picture, ";" + i1 + i2, i1 + (useDt ? "Dt" : "Db") + i2, lines};

    if (addFileName && !file_name.empty()) {
        lines.emplace_back();
        lines.push_back("; Файл  —  " + std::string(file_name));
    }
    lines.emplace_back();
    if (groupByCrystal) {
        out.crystal_banner(1);
        lines.emplace_back();
        for (int page = 1; page <= 8; ++page) out.page_block(page, 1);
        lines.emplace_back();
        out.crystal_banner(2);
        lines.emplace_back();
        for (int page = 1; page <= 8; ++page) out.page_block(page, 2);
    } else {
        for (int page = 1; page <= 8; ++page)
            for (int crystal = 1; crystal <= 2; ++crystal) out.page_block(page, crystal);
    }
    lines.emplace_back();
    return lines;
}

std::vector<std::string> GenerateListing(const ScreenBuffer& picture, std::string_view file_name,
                                         const ListingOptions& options)
{
    return GenerateListing(picture, file_name, options.dt, options.add_file_name, options.group_by_crystal,
                           options.first_indent, options.second_indent);
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
