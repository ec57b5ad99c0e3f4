#include "listing/listing.h"

namespace lumetra {

namespace {

constexpr const char* kHexDigits = "0123456789ABCDEF";

std::string blanks(int count) { return std::string(count > 0 ? static_cast<std::size_t>(count) : 0u, ' '); }

void crystal_banner(std::vector<std::string>& lines, const std::string& comment, int crystal)
{
    lines.push_back(comment + " **** КРИСТАЛЛ " + std::to_string(crystal) + " ****");
}

// "0x0A" after what text already holds; the listing writes its bytes through
// this without a string of their own each.
void append_hex_byte(std::string& text, std::uint8_t byte)
{
    text += {'0', 'x', kHexDigits[byte >> 4], kHexDigits[byte & 15]};
}

}  // namespace

std::string format_hex_byte(std::uint8_t byte)
{
    std::string text;
    append_hex_byte(text, byte);
    return text;
}

namespace {

// "0x01,0x00,..." of a cell after what text already holds, written into a
// buffer first and appended at once: a string call per character is what
// made the listing slow in the browser build.
void append_cell_bytes(std::string& text, const ScreenBuffer& picture, int cell)
{
    if (!valid_cell(cell)) return;
    char bytes[kCellBytes * 5];
    char* at = bytes;
    for (int byte = 1; byte <= kCellBytes; ++byte) {
        std::uint8_t value = picture.bytes[byte_offset(cell, byte)];
        *at++ = '0';
        *at++ = 'x';
        *at++ = kHexDigits[value >> 4];
        *at++ = kHexDigits[value & 15];
        *at++ = ',';
    }
    text.append(bytes, sizeof bytes - 1);  // no comma after the last
}

// A line of a listing: the text before the bytes, then the cell's bytes.
std::string cell_line(std::string_view before, const ScreenBuffer& picture, int cell, std::string_view after = {})
{
    std::string line;
    line.reserve(before.size() + 39 + after.size());
    line += before;
    append_cell_bytes(line, picture, cell);
    line += after;
    return line;
}

}  // namespace

std::string format_cell_bytes(const ScreenBuffer& picture, int cell) { return cell_line({}, picture, cell); }

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

std::array<PageRun, 16> page_runs(CellOrder order)
{
    std::array<PageRun, 16> runs{};
    auto cells = cell_sequence(order);
    for (std::size_t r = 0; r < runs.size(); ++r) {
        CellLocation at = locate_cell(cells[r * 8]);
        runs[r].page = at.page;
        runs[r].crystal = at.crystal;
        runs[r].opens_crystal = order == CellOrder::GroupedByCrystal && at.page == 1;
        for (std::size_t k = 0; k < 8; ++k) runs[r].cells[k] = cells[r * 8 + k];
    }
    return runs;
}

std::vector<std::string> generate_listing(const ScreenBuffer& picture, std::string_view file_name,
                                          const ListingOptions& options)
{
    std::vector<std::string> lines;
    lines.reserve(153);
    std::string i1 = blanks(options.first_indent), i2 = blanks(options.second_indent);
    std::string comment = ";" + i1 + i2;
    std::string directive = i1 + directive_name(options.directive) + i2;
    bool grouped = options.group_by_crystal;

    if (options.add_file_name && !file_name.empty()) {
        lines.emplace_back();
        lines.push_back("; Файл  —  " + std::string(file_name));
    }
    lines.emplace_back();
    for (const PageRun& run : page_runs(grouped ? CellOrder::GroupedByCrystal : CellOrder::Interleaved)) {
        if (run.opens_crystal) {
            if (run.crystal == 2) lines.emplace_back();
            crystal_banner(lines, comment, run.crystal);
            lines.emplace_back();
        }
        lines.push_back(comment + " Страница " + std::to_string(run.page) + "  //  кристалл " +
                        std::to_string(run.crystal));
        for (int cell : run.cells) lines.push_back(cell_line(directive, picture, cell));
    }
    lines.emplace_back();
    return lines;
}

std::string join_view_lines(const std::vector<std::string>& lines)
{
    std::string text;
    std::size_t size = 0;
    for (const std::string& line : lines) size += line.size() + 2;
    text.reserve(size);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += "\r\n";
        text += lines[i];
    }
    return text;
}

std::vector<std::string> generate_c_array(const ScreenBuffer& picture, std::string_view name, CellOrder order)
{
    std::vector<std::string> lines;
    lines.reserve(150);
    lines.push_back("const unsigned char " + std::string(name) + "[" + std::to_string(kBufferBytes) + "] = {");
    for (const PageRun& run : page_runs(order)) {
        if (run.opens_crystal) {
            if (run.crystal == 2) lines.emplace_back();
            lines.push_back("    /* **** CRYSTAL " + std::to_string(run.crystal) + " **** */");
            lines.emplace_back();
        }
        lines.push_back("    /* Page " + std::to_string(run.page) + "  //  crystal " + std::to_string(run.crystal) + " */");
        for (int cell : run.cells) lines.push_back(cell_line("    ", picture, cell, ","));
    }
    lines.push_back("};");
    return lines;
}

std::string join_lines(const std::vector<std::string>& lines, std::string_view end)
{
    std::string text;
    std::size_t size = 0;
    for (const std::string& line : lines) size += line.size() + end.size();
    text.reserve(size);
    for (const std::string& line : lines) {
        text += line;
        text += end;
    }
    return text;
}

namespace {

bool c_keyword(std::string_view word)
{
    static constexpr std::string_view kKeywords[] = {
        "auto", "break", "case", "char", "const", "continue", "default", "do", "double", "else", "enum", "extern",
        "float", "for", "goto", "if", "inline", "int", "long", "register", "restrict", "return", "short", "signed",
        "sizeof", "static", "struct", "switch", "typedef", "union", "unsigned", "void", "volatile", "while",
        "bool", "true", "false", "nullptr", "alignas", "alignof", "static_assert", "thread_local", "typeof"};
    for (std::string_view keyword : kKeywords)
        if (word == keyword) return true;
    return false;
}

bool identifier_char(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'; }

}  // namespace

std::string c_identifier(std::string_view base_name, std::string_view kind)
{
    std::string name;
    for (char c : base_name) {
        if (identifier_char(c)) name += c;
        else if (name.empty() || name.back() != '_') name += '_';  // every byte of a UTF-8 character alike
    }
    if (name.empty() || name == "_") return std::string(kind);
    if ((name[0] >= '0' && name[0] <= '9') || c_keyword(name)) name = std::string(kind) + "_" + name;
    return name;
}

bool is_c_identifier(std::string_view name)
{
    if (name.empty() || (name[0] >= '0' && name[0] <= '9') || c_keyword(name)) return false;
    for (char c : name)
        if (!identifier_char(c)) return false;
    return true;
}

}  // namespace lumetra
