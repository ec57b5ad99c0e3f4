// One fuzz target per decoder and one for the whole import. The limits are
// smaller than the editor's so that a run spends its time on parsing, not on
// filling pictures of millions of pixels.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/picture_decode.h"

namespace lumetra::fuzz {

inline const DecodeLimits kFuzzLimits{1u << 16, 1u << 20};

// Decodes, and takes the picture all the way to the display bytes.
inline void decode_and_show(DecodeResult (*decode)(FileBytes, const DecodeLimits&), const std::uint8_t* data,
                            std::size_t size)
{
    DecodeResult result = decode(FileBytes(data, size), kFuzzLimits);
    if (!result.ok()) return;
    if (result.image.rgb.size() != static_cast<std::size_t>(result.image.width) * result.image.height * 3) __builtin_trap();
    ScreenBuffer screen = screen_from_picture(result.image);
    volatile std::uint8_t sink = screen.bytes[0];
    (void)sink;
}

}  // namespace lumetra::fuzz
