// A document of lines with colour and bold runs, built in memory, and its
// two written forms. The RTF form is also how the rich-text controls of both
// backends take their text, so a run means the same characters everywhere.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumetra {

struct TextColour {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const TextColour&) const = default;
};

// Characters [start, start + length) of one line, counted in Unicode
// characters from 0.
struct StyledRun {
    int line = 0, start = 0, length = 0;
    std::optional<TextColour> colour;
    bool bold = false;
    bool operator==(const StyledRun&) const = default;
};

struct StyledText {
    std::vector<std::string> lines;  // UTF-8
    std::vector<StyledRun> runs;
};

// The face a document is written in. The charset asks for the face's
// Cyrillic glyphs, so that a reader keeps the face for Russian text.
struct RtfFont {
    std::string face = "MS Shell Dlg";
    int half_points = 16;
    std::string family = "fswiss";  // fmodern, fswiss, froman or fnil
    int pitch = 2;                   // \fprq: 0 default, 1 fixed, 2 variable
    int charset = 204;
};

// The lines of a text as a rich-text view holds them: CR LF, LF and CR each
// end a line; an empty text holds no line at all.
std::vector<std::string> split_lines(const std::string& text);

// The whole document as RTF: colour table, \b runs, every non-ASCII
// character as \uN? (UTF-16 units), a plain reset at the start, lines
// separated by \par. Runs past the end of their line, or of a line that does
// not exist, format nothing; a line break never carries a format onward.
std::string styled_text_as_rtf(const StyledText& text, const RtfFont& font = {});

// The plain text as the TXT export writes it: lines joined by CR LF and one
// CR LF after the last, in Windows-1251; nothing when a character has no
// Windows-1251 form.
std::optional<std::string> styled_text_as_txt(const StyledText& text);

}  // namespace lumetra
