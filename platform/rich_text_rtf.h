// The one RTF writer both backends use for rich text, so that a run means
// the same characters on the screen and in the tests. Header only: the
// backends are separate libraries and share nothing else.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace lumetra::platform::rtf {

// The face the text is written in: the control's own font.
struct FontFace {
    std::string face;
    int half_points = 16;
    std::string family = "fnil";  // fmodern, fswiss, froman or fnil
    int pitch = 0;                // \fprq: 0 default, 1 fixed, 2 variable
    int charset = 204;            // Cyrillic, so that RichEdit keeps the face for Russian text
};

// Code points of one line of UTF-8. A byte that does not begin a well-formed
// sequence stands for one U+FFFD, so malformed text is shown, not dropped.
inline std::vector<char32_t> code_points(const std::string& utf8)
{
    std::vector<char32_t> out;
    out.reserve(utf8.size());
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char lead = byte(i);
        int extra = 0;
        char32_t cp = lead;
        char32_t lowest = 0;
        if (lead >= 0xC2 && lead <= 0xDF) extra = 1, cp = lead & 0x1F, lowest = 0x80;
        else if (lead >= 0xE0 && lead <= 0xEF) extra = 2, cp = lead & 0x0F, lowest = 0x800;
        else if (lead >= 0xF0 && lead <= 0xF4) extra = 3, cp = lead & 0x07, lowest = 0x10000;
        else if (lead >= 0x80) extra = -1;
        bool good = extra == 0 || (extra > 0 && i + static_cast<std::size_t>(extra) < utf8.size());
        for (int k = 1; good && k <= extra; ++k) {
            const unsigned char next = byte(i + static_cast<std::size_t>(k));
            if ((next & 0xC0) != 0x80) good = false;
            else cp = (cp << 6) | (next & 0x3F);
        }
        if (good && extra > 0 && (cp < lowest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) good = false;
        if (!good) {
            out.push_back(0xFFFD);
            ++i;
        } else {
            out.push_back(cp);
            i += static_cast<std::size_t>(extra) + 1;
        }
    }
    return out;
}

// One UTF-16 unit the way RTF takes it: \uN with N signed, '?' for readers
// without Unicode.
inline void append_unit(std::string& rtf, std::uint16_t unit)
{
    rtf += "\\u" + std::to_string(static_cast<std::int16_t>(unit)) + "?";
}

inline void append_character(std::string& rtf, char32_t cp)
{
    if (cp == U'\\' || cp == U'{' || cp == U'}') {
        rtf += '\\';
        rtf += static_cast<char>(cp);
    } else if (cp == U'\t') {
        rtf += "\\tab ";
    } else if (cp < 0x20 || cp == 0x7F) {
        // control characters (a stray CR or LF inside a line) have no place in a view
    } else if (cp < 0x80) {
        rtf += static_cast<char>(cp);
    } else if (cp <= 0xFFFF) {
        append_unit(rtf, static_cast<std::uint16_t>(cp));
    } else {
        // Outside the Basic Multilingual Plane: a surrogate pair, still one character of its line.
        const char32_t v = cp - 0x10000;
        append_unit(rtf, static_cast<std::uint16_t>(0xD800 + (v >> 10)));
        append_unit(rtf, static_cast<std::uint16_t>(0xDC00 + (v & 0x3FF)));
    }
}

// The whole text as one document. Runs name a line and characters inside it;
// the part of a run past the end of its line, and a run of a line that does
// not exist, format nothing. Text outside the runs is in the automatic colour
// and not bold; a line break never carries a run's format onto the next line.
inline std::string document(const std::vector<std::string>& lines, const std::vector<TextRun>& runs,
                            const FontFace& font)
{
    struct Format {
        int colour = 0;  // index into the colour table, 0 = automatic
        bool bold = false;
        bool operator==(const Format&) const = default;
    };
    std::vector<std::vector<char32_t>> text;
    text.reserve(lines.size());
    for (const std::string& line : lines) text.push_back(code_points(line));
    std::vector<std::vector<Format>> format(text.size());
    for (std::size_t l = 0; l < text.size(); ++l) format[l].resize(text[l].size());

    std::vector<Rgb> colours;
    for (const TextRun& run : runs) {
        if (run.line < 0 || run.line >= static_cast<int>(text.size())) continue;
        auto& line = format[static_cast<std::size_t>(run.line)];
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
    for (const Rgb& c : colours)
        rtf += "\\red" + std::to_string(c.r) + "\\green" + std::to_string(c.g) + "\\blue" + std::to_string(c.b) + ";";
    // \plain first: Wine's RichEdit otherwise may keep a bold default format.
    rtf += "}\n\\uc1\\pard\\plain\\f0\\fs" + std::to_string(font.half_points) + " ";

    Format now;
    const auto switch_to = [&](const Format& wanted) {
        if (wanted.colour != now.colour) rtf += "\\cf" + std::to_string(wanted.colour) + " ";
        if (wanted.bold != now.bold) rtf += wanted.bold ? "\\b " : "\\b0 ";
        now = wanted;
    };
    for (std::size_t l = 0; l < text.size(); ++l) {
        if (l) {
            switch_to(Format{});
            rtf += "\\par\n";
        }
        for (std::size_t i = 0; i < text[l].size(); ++i) {
            switch_to(format[l][i]);
            append_character(rtf, text[l][i]);
        }
    }
    switch_to(Format{});
    return rtf + "}";
}

}  // namespace lumetra::platform::rtf
