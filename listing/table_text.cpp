#include "listing/table_text.h"

#include <algorithm>

namespace lumetra {

namespace {

constexpr std::size_t kLineBytes = 8;

constexpr const char* kHexDigits = "0123456789ABCDEF";

// before, then "0x01,0x00,...", then after: one line, built in place.
std::string byte_line(std::string_view before, std::span<const std::uint8_t> bytes, std::string_view after = {})
{
    std::string text;
    text.reserve(before.size() + bytes.size() * 5 + after.size());
    text += before;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) text += ',';
        const char hex[4] = {'0', 'x', kHexDigits[bytes[i] >> 4], kHexDigits[bytes[i] & 15]};
        text.append(hex, 4);
    }
    text += after;
    return text;
}

// The lines of eight bytes of each run, after its comments.
template <typename Banner, typename Header, typename Line>
void emit_runs(std::span<const std::uint8_t> bytes, const std::vector<TableRun>& runs, Banner banner, Header header,
               Line line)
{
    std::size_t at = 0;
    for (const TableRun& run : runs) {
        if (run.opens_crystal) banner(run.crystal);
        if (run.page > 0) header(run);
        const std::size_t end = std::min(bytes.size(), at + static_cast<std::size_t>(run.count));
        for (std::size_t from = at; from < end; from += kLineBytes) line(bytes.subspan(from, std::min(kLineBytes, end - from)));
        at = end;
    }
}

}  // namespace

std::vector<std::string> generate_table_listing(std::span<const std::uint8_t> bytes, const std::vector<TableRun>& runs,
                                                std::string_view note, std::string_view file_name,
                                                const ListingOptions& options)
{
    std::vector<std::string> lines;
    lines.reserve(bytes.size() / kLineBytes + 2 * runs.size() + 8);
    const std::string i1(static_cast<std::size_t>(options.first_indent), ' ');
    const std::string i2(static_cast<std::size_t>(options.second_indent), ' ');
    const std::string comment = ";" + i1 + i2;
    const std::string directive = i1 + directive_name(options.directive) + i2;
    if (!note.empty()) lines.push_back("; " + std::string(note));
    if (options.add_file_name && !file_name.empty()) {
        lines.emplace_back();
        lines.push_back("; Файл  —  " + std::string(file_name));
    }
    lines.emplace_back();
    emit_runs(
        bytes, runs,
        [&](int crystal) {
            if (crystal > 1) lines.emplace_back();
            lines.push_back(comment + " **** КРИСТАЛЛ " + std::to_string(crystal) + " ****");
            lines.emplace_back();
        },
        [&](const TableRun& run) {
            lines.push_back(comment + " Страница " + std::to_string(run.page) +
                            (run.crystal > 0 ? "  //  кристалл " + std::to_string(run.crystal) : std::string()));
        },
        [&](std::span<const std::uint8_t> line) { lines.push_back(byte_line(directive, line)); });
    lines.emplace_back();
    return lines;
}

std::vector<std::string> generate_table_c_array(std::span<const std::uint8_t> bytes, const std::vector<TableRun>& runs,
                                                std::string_view note, std::string_view name)
{
    std::vector<std::string> lines;
    lines.reserve(bytes.size() / kLineBytes + 2 * runs.size() + 8);
    if (!note.empty()) lines.push_back("/* " + std::string(note) + " */");
    lines.push_back("const unsigned char " + std::string(name) + "[" + std::to_string(bytes.size()) + "] = {");
    emit_runs(
        bytes, runs,
        [&](int crystal) {
            if (crystal > 1) lines.emplace_back();
            lines.push_back("    /* **** CRYSTAL " + std::to_string(crystal) + " **** */");
            lines.emplace_back();
        },
        [&](const TableRun& run) {
            lines.push_back("    /* Page " + std::to_string(run.page) +
                            (run.crystal > 0 ? "  //  crystal " + std::to_string(run.crystal) : std::string()) + " */");
        },
        [&](std::span<const std::uint8_t> line) { lines.push_back(byte_line("    ", line, ",")); });
    lines.push_back("};");
    return lines;
}

std::vector<std::string> generate_xbm(std::span<const std::uint8_t> bytes, int width, int height, std::string_view name)
{
    const std::string base(name);
    std::vector<std::string> lines = {"#define " + base + "_width " + std::to_string(width),
                                      "#define " + base + "_height " + std::to_string(height),
                                      "static unsigned char " + base + "_bits[] = {"};
    for (std::size_t at = 0; at < bytes.size(); at += kLineBytes)
        lines.push_back(byte_line("    ", bytes.subspan(at, std::min(kLineBytes, bytes.size() - at)), ","));
    lines.push_back("};");
    return lines;
}

}  // namespace lumetra
