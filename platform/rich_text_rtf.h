// Both backends hand a rich-text control its text as one RTF document written
// by core's styled text, so that a run means the same characters on the
// screen, in the tests and in an exported file. Header only: the backends are
// separate libraries and share nothing else.
#pragma once

#include <string>
#include <vector>

#include "core/styled_text.h"
#include "platform/platform.h"

namespace lumetra::platform {

inline std::string rich_text_document(const std::vector<std::string>& lines, const std::vector<TextRun>& runs,
                                      const RtfFont& font)
{
    StyledText text{lines, {}};
    text.runs.reserve(runs.size());
    for (const TextRun& run : runs) {
        std::optional<TextColour> colour;
        if (run.colour) colour = TextColour{run.colour->r, run.colour->g, run.colour->b};
        text.runs.push_back({run.line, run.start, run.length, colour, run.bold});
    }
    return styled_text_as_rtf(text, font);
}

}  // namespace lumetra::platform
