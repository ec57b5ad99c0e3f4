// The whole import: choice of decoder by content, decoding, stretch, grey
// rule and threshold.
#include "fuzz/fuzz_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    lumetra::fuzz::decode_and_show(lumetra::decode_picture, data, size, lumetra::decode_picture_for_display);
    return 0;
}
