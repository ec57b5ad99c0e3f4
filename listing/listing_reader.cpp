#include "listing/listing_reader.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <initializer_list>
#include <optional>

#include "core/text_encoding.h"

namespace lumetra {

namespace {

constexpr std::size_t kMaxText = 16u << 20;        // a listing is about 6 KB
constexpr std::size_t kQuotedValueLength = 16;     // of a value named in a message

std::string page_name(int page, int crystal)
{
    return "page " + std::to_string(page) + ", crystal " + std::to_string(crystal);
}

// A piece of the text in a message: control bytes and everything beyond
// ASCII (the text may be Windows-1251) become "?", long pieces are cut.
std::string quoted(std::string_view piece)
{
    std::string text = "'";
    for (std::size_t i = 0; i < piece.size() && i < kQuotedValueLength; ++i) {
        auto c = static_cast<unsigned char>(piece[i]);
        text += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    }
    if (piece.size() > kQuotedValueLength) text += "...";
    return text + "'";
}

// Where the bytes go: after a page header into the 64 bytes of that page of
// that crystal, without any header one after another in stored order.
struct Placer {
    TableReadResult& result;
    const TableShape& shape;
    std::vector<bool> seen = std::vector<bool>(static_cast<std::size_t>(shape.pages * shape.crystals), false);
    bool headed = false;
    int page = 0, crystal = 0, header_line = 0, run_bytes = 0;
    int total = 0;

    bool fail(int line, std::string message)
    {
        result.error = std::move(message);
        result.line = line;
        return false;
    }

    bool close_run()
    {
        if (!headed || run_bytes == shape.run_bytes) return true;
        return fail(header_line, page_name(page, crystal) + " has " + std::to_string(run_bytes) + " bytes, not " +
                                     std::to_string(shape.run_bytes));
    }

    bool header(int new_page, int new_crystal, int line)
    {
        if (new_page < 1 || new_page > shape.pages || new_crystal < 1 || new_crystal > shape.crystals)
            return fail(line, page_name(new_page, new_crystal) + " is not on the display (pages 1.." +
                                  std::to_string(shape.pages) + ", crystals 1.." + std::to_string(shape.crystals) + ")");
        if (!headed && total > 0) return fail(line, "a page header after " + std::to_string(total) + " bytes without one");
        if (!close_run()) return false;
        std::size_t index = static_cast<std::size_t>((new_page - 1) * shape.crystals + new_crystal - 1);
        if (seen[index]) return fail(line, page_name(new_page, new_crystal) + " comes a second time");
        seen[index] = true;
        headed = true;
        page = new_page;
        crystal = new_crystal;
        header_line = line;
        run_bytes = 0;
        return true;
    }

    bool byte(unsigned value, int line)
    {
        int offset = total;
        if (headed) {
            if (run_bytes == shape.run_bytes)
                return fail(line, "more than " + std::to_string(shape.run_bytes) + " bytes for " + page_name(page, crystal) +
                                      " (header on line " + std::to_string(header_line) + ")");
            offset = (page - 1) * shape.page_bytes + (crystal - 1) * shape.run_bytes + run_bytes++;
        } else if (total == shape.total) {
            return fail(line, "more than " + std::to_string(shape.total) + " bytes");
        }
        result.bytes[static_cast<std::size_t>(offset)] = static_cast<std::uint8_t>(value);
        ++total;
        return true;
    }

    bool finish(int line)
    {
        if (!headed) {
            if (total == shape.total) return true;
            return fail(line, "the text holds " + std::to_string(total) + " bytes; a picture has " +
                                  std::to_string(shape.total));
        }
        if (!close_run()) return false;
        const auto crystals = static_cast<std::size_t>(shape.crystals);
        for (std::size_t i = 0; i < seen.size(); ++i)
            if (!seen[i])
                return fail(line, page_name(static_cast<int>(i / crystals) + 1, static_cast<int>(i % crystals) + 1) +
                                      " is missing");
        return true;
    }
};

bool space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }
bool ascii_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool word_char(char c) { return ascii_letter(c) || (c >= '0' && c <= '9') || c == '_'; }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool valid_utf8(std::string_view text)
{
    for (std::size_t pos = 0; pos < text.size();)
        if (next_code_point(text, pos) < 0) return false;
    return true;
}

// A comment as UTF-8 in lower case (Latin and Cyrillic), whichever of
// Windows-1251 and UTF-8 it was written in.
std::string folded(std::string_view comment)
{
    std::string text = valid_utf8(comment) ? std::string(comment) : decode_cp1251(comment);
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        long c = next_code_point(text, pos);
        if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
        else if (c >= 0x410 && c <= 0x42F) c += 0x20;
        else if (c == 0x401) c = 0x451;
        if (c >= 0) append_utf8(out, c);
    }
    return out;
}

// The number after the first of words that has one ("Page 3", "page: 3").
std::optional<int> number_after(std::string_view text, std::initializer_list<std::string_view> words)
{
    for (std::string_view word : words) {
        for (std::size_t at = text.find(word); at != std::string_view::npos; at = text.find(word, at + 1)) {
            if (at > 0 && ascii_letter(text[at - 1])) continue;
            std::size_t p = at + word.size();
            while (p < text.size() && (space(text[p]) || text[p] == ':' || text[p] == '#' || text[p] == '.')) ++p;
            int value = 0, digits = 0;
            for (; p < text.size() && text[p] >= '0' && text[p] <= '9'; ++p, ++digits)
                if (value < 1000) value = value * 10 + (text[p] - '0');
            if (digits > 0) return value;
        }
    }
    return std::nullopt;
}

// A comment that names both a page and a crystal starts the run of that page;
// false when the run cannot be taken (told through the placer).
bool page_header(std::string_view comment, int line, Placer& placer)
{
    if (placer.shape.crystals == 0 || comment.find_first_of("0123456789") == std::string_view::npos) return true;
    std::string text = folded(comment);
    auto page = number_after(text, {"page", "страница"});
    auto crystal = number_after(text, {"crystal", "кристалл"});
    if (!page || !crystal) return true;
    return placer.header(*page, *crystal, line);
}

int digit_value(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

constexpr long kNotANumber = -1;
constexpr long kOver255 = -2;

long parse_digits(std::string_view digits, int base)
{
    if (digits.empty()) return kNotANumber;
    long value = 0;
    for (char c : digits) {
        int d = digit_value(c);
        if (d >= base) return kNotANumber;
        if (value <= 255) value = value * base + d;
    }
    return value > 255 ? kOver255 : value;
}

// 0x3F, h'3F', 3Fh or 63.
long assembler_value(std::string_view item)
{
    if (item.size() > 2 && item[0] == '0' && lower(item[1]) == 'x') return parse_digits(item.substr(2), 16);
    if (item.size() >= 3 && lower(item[0]) == 'h' && item[1] == '\'' && item.back() == '\'')
        return parse_digits(item.substr(2, item.size() - 3), 16);
    if (item.size() > 1 && lower(item.back()) == 'h') return parse_digits(item.substr(0, item.size() - 1), 16);
    return parse_digits(item, 10);
}

// An integer constant as C writes it: 0x3F, 077, 63, 0b101, with any u/l suffix.
long c_value(std::string_view token)
{
    while (!token.empty() && (lower(token.back()) == 'u' || lower(token.back()) == 'l')) token.remove_suffix(1);
    if (token.size() > 2 && token[0] == '0' && lower(token[1]) == 'x') return parse_digits(token.substr(2), 16);
    if (token.size() > 2 && token[0] == '0' && lower(token[1]) == 'b') return parse_digits(token.substr(2), 2);
    if (token.size() > 1 && token[0] == '0') return parse_digits(token.substr(1), 8);
    return parse_digits(token, 10);
}

bool take_value(long value, std::string_view text, int line, Placer& placer)
{
    if (value == kNotANumber) return placer.fail(line, quoted(text) + " is not a number");
    if (value == kOver255) return placer.fail(line, quoted(text) + " is over 255");
    return placer.byte(static_cast<unsigned>(value), line);
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && space(text.front())) text.remove_prefix(1);
    while (!text.empty() && space(text.back())) text.remove_suffix(1);
    return text;
}

// The next word of code from p on: up to a blank or a comma.
std::string_view next_word(std::string_view code, std::size_t& p)
{
    while (p < code.size() && space(code[p])) ++p;
    std::size_t start = p;
    while (p < code.size() && !space(code[p]) && code[p] != ',') ++p;
    return code.substr(start, p - start);
}

enum class Directive { None, Data, Retlw };

Directive directive_of(std::string_view word)
{
    std::string name;
    for (char c : word.substr(0, 6)) name += lower(c);
    if (word.size() == 2 && (name == "dt" || name == "db")) return Directive::Data;
    if (word.size() == 5 && name == "retlw") return Directive::Retlw;
    return Directive::None;
}

bool read_assembler_line(std::string_view line, int number, Placer& placer)
{
    std::size_t semicolon = line.find(';');
    std::string_view code = line.substr(0, semicolon);
    if (trimmed(code).empty()) {
        if (semicolon == std::string_view::npos) return true;
        return page_header(line.substr(semicolon + 1), number, placer);
    }
    std::size_t p = 0;
    std::string_view word = next_word(code, p);
    if (word.empty()) return placer.fail(number, "a line that starts with " + quoted(trimmed(code)));
    Directive directive = directive_of(word);
    if (directive == Directive::None) {
        // A label stands in the first column; the directive follows it.
        if (space(code[0])) return placer.fail(number, "unknown directive " + quoted(word));
        std::string_view label = word.back() == ':' ? word.substr(0, word.size() - 1) : word;
        for (char c : label)
            if (!word_char(c) && c != '.') return placer.fail(number, "unknown directive " + quoted(word));
        if (trimmed(code.substr(p)).empty()) return true;  // a label on a line of its own
        word = next_word(code, p);
        if (word.empty()) return placer.fail(number, "a comma after the label " + quoted(label));
        directive = directive_of(word);
        if (directive == Directive::None) return placer.fail(number, "unknown directive " + quoted(word));
    }
    std::string_view values = code.substr(p);
    if (trimmed(values).empty()) return placer.fail(number, quoted(word) + " without a value");
    int count = 0;
    for (std::size_t start = 0;;) {
        std::size_t comma = values.find(',', start);
        std::string_view item = trimmed(values.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (item.empty()) return placer.fail(number, "an empty value between commas");
        if (!take_value(assembler_value(item), item, number, placer)) return false;
        ++count;
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    if (directive == Directive::Retlw && count != 1) return placer.fail(number, "retlw takes one value");
    return true;
}

bool read_assembler(std::string_view text, Placer& placer)
{
    int number = 0;
    for (std::size_t start = 0;;) {
        std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
        if (!read_assembler_line(line, ++number, placer)) return false;
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return placer.finish(number);
}

int lines_in(std::string_view text)
{
    int count = 0;
    for (char c : text) count += c == '\n';
    return count;
}

bool read_c_array(std::string_view text, Placer& placer)
{
    enum class Where { Before, Inside, After } where = Where::Before;
    bool line_start = true;    // nothing but blanks so far on this line
    bool value_due = true;     // inside: the next thing must be a value (or "}")
    int line = 1;
    for (std::size_t i = 0; i < text.size();) {
        char c = text[i];
        std::string_view rest = text.substr(i);
        if (rest.starts_with("/*") || rest.starts_with("//")) {
            bool block = rest[1] == '*';
            std::size_t end = block ? rest.find("*/", 2) : rest.find('\n');
            if (block && end == std::string_view::npos) return placer.fail(line, "a comment that is never closed");
            if (end == std::string_view::npos) end = rest.size();
            std::string_view comment = rest.substr(2, end - 2);
            if (where == Where::Inside && !page_header(comment, line, placer)) return false;
            line += lines_in(comment);
            i += end + (block ? 2 : 0);
            continue;
        }
        if (c == '\n') {
            ++line;
            line_start = true;
            ++i;
            continue;
        }
        if (space(c)) {
            ++i;
            continue;
        }
        if (c == '#' && line_start && where != Where::Inside) {
            std::size_t end = rest.find('\n');
            i += end == std::string_view::npos ? rest.size() : end;
            continue;
        }
        line_start = false;
        if (where == Where::Before) {
            if (c == '{') where = Where::Inside;
            ++i;
        } else if (where == Where::After) {
            if (c == '{') return placer.fail(line, "a second list of values; a file holds one picture");
            ++i;
        } else if (c == '}') {
            where = Where::After;
            ++i;
        } else if (c == ',') {
            if (value_due) return placer.fail(line, "an empty value between commas");
            value_due = true;
            ++i;
        } else if (c >= '0' && c <= '9') {
            std::size_t end = i;
            while (end < text.size() && word_char(text[end])) ++end;
            std::string_view token = text.substr(i, end - i);
            if (!value_due) return placer.fail(line, "a comma missing before " + quoted(token));
            if (!take_value(c_value(token), token, line, placer)) return false;
            value_due = false;
            i = end;
        } else {
            return placer.fail(line, "unexpected " + quoted(rest.substr(0, 1)) + " in the list of values");
        }
    }
    if (where == Where::Before) return placer.fail(line, "no list of values in braces");
    if (where == Where::Inside) return placer.fail(line, "the list of values is not closed with '}'");
    return placer.finish(line);
}

// A "{" in the code (before any ";" of its line) makes the text C.
bool looks_like_c(std::string_view text)
{
    bool comment = false;
    for (char c : text) {
        if (c == '\n') comment = false;
        else if (c == ';') comment = true;
        else if (c == '{' && !comment) return true;
    }
    return false;
}

}  // namespace

TableReadResult read_table(std::string_view text, const TableShape& shape)
{
    TableReadResult result;
    if (text.size() > kMaxText) {
        result.error = "the text is too large for a listing (more than 16 MB)";
        return result;
    }
    result.bytes.assign(static_cast<std::size_t>(shape.total), 0);
    Placer placer{result, shape};
    if (looks_like_c(text)) read_c_array(text, placer);
    else read_assembler(text, placer);
    if (!result.ok()) result.bytes.assign(static_cast<std::size_t>(shape.total), 0);
    return result;
}

ListingReadResult read_listing(std::string_view text)
{
    TableReadResult table = read_table(text, TableShape{});
    ListingReadResult result;
    std::copy(table.bytes.begin(), table.bytes.end(), result.picture.bytes.begin());
    result.error = std::move(table.error);
    result.line = table.line;
    return result;
}

}  // namespace lumetra
