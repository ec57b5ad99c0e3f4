// The GIF reader: every frame composed and stretched to the display; a GIF
// read as one picture must be exactly its only frame, and is refused exactly
// when the animation is not one good frame.
#include "fuzz/fuzz_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace lumetra;
    const FileBytes file(data, size);
    const DecodeAnimationResult animation = decode_gif_frames(file, fuzz::kFuzzLimits);
    for (const AnimationFrame& frame : animation.frames)
        if (frame.image.rgb.size() != static_cast<std::size_t>(kDisplayWidth) * kDisplayHeight * 3 || frame.delay_ms < 0)
            __builtin_trap();
    const DecodeResult picture = decode_gif(file, fuzz::kFuzzLimits);
    if (picture.ok() != (animation.ok() && animation.frames.size() == 1)) __builtin_trap();
    if (picture.ok() && stretch_to_display(picture.image).rgb != animation.frames.front().image.rgb) __builtin_trap();
    return 0;
}
