// One fuzz target per decoder and one for the whole import. The limits are
// smaller than the editor's so that a run spends its time on parsing, not on
// filling pictures of millions of pixels.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/picture_decode.h"

namespace lumetra::fuzz {

inline const DecodeLimits kFuzzLimits{1u << 16, 1u << 20, 1000, 1u << 24};

using Decoder = DecodeResult (*)(FileBytes, const DecodeLimits&);

// Decodes, and takes the picture all the way to the display bytes. With
// for_display, the import's own way (stretched while decoding) must fail
// exactly where the whole decode fails, and otherwise give exactly the whole
// picture stretched.
inline void decode_and_show(Decoder decode, const std::uint8_t* data, std::size_t size, Decoder for_display = nullptr)
{
    DecodeResult result = decode(FileBytes(data, size), kFuzzLimits);
    if (for_display) {
        const DecodeResult shown = for_display(FileBytes(data, size), kFuzzLimits);
        if (shown.error != result.error) __builtin_trap();
        if (result.ok()) {
            const bool fits = result.image.width == kDisplayWidth && result.image.height == kDisplayHeight;
            if (shown.image.rgb != (fits ? result.image : stretch_to_display(result.image)).rgb) __builtin_trap();
        }
    }
    if (!result.ok()) return;
    if (result.image.rgb.size() != static_cast<std::size_t>(result.image.width) * result.image.height * 3) __builtin_trap();
    ScreenBuffer screen = screen_from_picture(result.image);
    volatile std::uint8_t sink = screen.bytes[0];
    (void)sink;
}

}  // namespace lumetra::fuzz
