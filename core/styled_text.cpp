#include "core/styled_text.h"

#include <algorithm>

#include "core/text_encoding.h"

namespace lumetra {

namespace {

// A character's format in the document: an index into the colour table
// (0: automatic) and bold.
struct CharFormat {
    int colour = 0;
    bool bold = false;
    bool operator==(const CharFormat&) const = default;
};

// Code points of one line; a malformed byte stands for one U+FFFD, so it is
// shown, not dropped, and the characters after it keep their numbers.
std::vector<char32_t> code_points(const std::string& utf8)
{
    std::vector<char32_t> out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        std::size_t at = pos;
        long cp = next_code_point(utf8, pos);
        if (cp < 0) {
            pos = at + 1;
            cp = 0xFFFD;
        }
        out.push_back(static_cast<char32_t>(cp));
    }
    return out;
}

void append_unit(std::string& rtf, std::uint16_t unit)
{
    // \uN takes a signed 16-bit N; the '?' is for readers without Unicode.
    rtf += "\\u" + std::to_string(static_cast<std::int16_t>(unit)) + "?";
}

void append_character(std::string& rtf, char32_t cp)
{
    if (cp == U'\\' || cp == U'{' || cp == U'}') {
        rtf += '\\';
        rtf += static_cast<char>(cp);
    } else if (cp == U'\t') {
        rtf += "\\tab ";
    } else if (cp < 0x20 || cp == 0x7F) {
        // a control character inside a line has no place in the document
    } else if (cp < 0x80) {
        rtf += static_cast<char>(cp);
    } else if (cp <= 0xFFFF) {
        append_unit(rtf, static_cast<std::uint16_t>(cp));
    } else {
        const char32_t v = cp - 0x10000;
        append_unit(rtf, static_cast<std::uint16_t>(0xD800 + (v >> 10)));
        append_unit(rtf, static_cast<std::uint16_t>(0xDC00 + (v & 0x3FF)));
    }
}

}  // namespace

std::string styled_text_as_rtf(const StyledText& text, const RtfFont& font)
{
    std::vector<std::vector<char32_t>> lines;
    lines.reserve(text.lines.size());
    for (const std::string& line : text.lines) lines.push_back(code_points(line));
    std::vector<std::vector<CharFormat>> formats(lines.size());
    for (std::size_t l = 0; l < lines.size(); ++l) formats[l].resize(lines[l].size());

    // Runs past the end of their line, or of a line that does not exist,
    // format nothing.
    std::vector<TextColour> colours;
    for (const StyledRun& run : text.runs) {
        if (run.line < 0 || run.line >= static_cast<int>(lines.size())) continue;
        auto& line = formats[static_cast<std::size_t>(run.line)];
        int index = 0;
        if (run.colour) {
            auto found = std::find(colours.begin(), colours.end(), *run.colour);
            if (found == colours.end()) found = colours.insert(colours.end(), *run.colour);
            index = static_cast<int>(found - colours.begin()) + 1;
        }
        const long long first = std::max(0, run.start);
        const long long end = std::min(static_cast<long long>(run.start) + run.length, static_cast<long long>(line.size()));
        for (long long p = first; p < end; ++p) {
            if (run.colour) line[static_cast<std::size_t>(p)].colour = index;
            if (run.bold) line[static_cast<std::size_t>(p)].bold = true;
        }
    }

    std::string rtf = "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\" + font.family;
    if (font.pitch) rtf += "\\fprq" + std::to_string(font.pitch);
    rtf += "\\fcharset" + std::to_string(font.charset) + " ";
    for (char32_t cp : code_points(font.face)) append_character(rtf, cp);
    rtf += ";}}{\\colortbl ;";
    for (const TextColour& c : colours)
        rtf += "\\red" + std::to_string(c.r) + "\\green" + std::to_string(c.g) + "\\blue" + std::to_string(c.b) + ";";
    // \plain first, so that no reader (Wine's RichEdit among them) carries a
    // bold or coloured default into the text.
    rtf += "}\n\\uc1\\pard\\plain\\f0\\fs" + std::to_string(font.half_points) + " ";

    CharFormat now;
    const auto switch_to = [&](const CharFormat& wanted) {
        if (wanted.colour != now.colour) rtf += "\\cf" + std::to_string(wanted.colour) + " ";
        if (wanted.bold != now.bold) rtf += wanted.bold ? "\\b " : "\\b0 ";
        now = wanted;
    };
    for (std::size_t l = 0; l < lines.size(); ++l) {
        if (l) {
            // A line break never carries a run's format onto the next line.
            switch_to(CharFormat{});
            rtf += "\\par\n";
        }
        for (std::size_t i = 0; i < lines[l].size(); ++i) {
            switch_to(formats[l][i]);
            append_character(rtf, lines[l][i]);
        }
    }
    switch_to(CharFormat{});
    return rtf + "}";
}

std::optional<std::string> styled_text_as_txt(const StyledText& text)
{
    std::string joined;
    for (const std::string& line : text.lines) {
        joined += line;
        joined += "\r\n";
    }
    // An empty list still gives the one CR LF.
    if (text.lines.empty()) joined = "\r\n";
    return encode_cp1251(joined);
}

std::vector<std::string> split_lines(const std::string& text)
{
    std::vector<std::string> lines;
    if (text.empty()) return lines;
    lines.emplace_back();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            lines.emplace_back();
        } else {
            lines.back() += text[i];
        }
    }
    return lines;
}

}  // namespace lumetra
