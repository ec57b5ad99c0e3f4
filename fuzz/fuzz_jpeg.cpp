#include "fuzz/fuzz_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    lumetra::fuzz::decode_and_show(lumetra::decode_jpeg, data, size, lumetra::decode_jpeg_for_display);
    return 0;
}
