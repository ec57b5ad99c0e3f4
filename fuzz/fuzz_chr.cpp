// Any file that is not a picture opens as a .chr file: whatever it holds,
// the buffer gets its first 1024 bytes (the rest zero), and saving that
// buffer and opening it again gives the same bytes.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "core/chr_file.h"

namespace {

std::filesystem::path scratch(const char* name)
{
    return std::filesystem::temp_directory_path() / ("lumetra-fuzz-chr-" + std::to_string(getpid()) + name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::filesystem::path in = scratch(".in"), out = scratch(".chr");
    std::ofstream(in, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                 static_cast<std::streamsize>(size));
    lumetra::ScreenBuffer picture;
    picture.bytes.fill(0x5A);  // stale contents must not survive a short file
    if (!lumetra::load_chr(in, picture).ok) std::abort();
    for (std::size_t i = 0; i < picture.bytes.size(); ++i)
        if (picture.bytes[i] != (i < size ? data[i] : 0)) std::abort();

    lumetra::ScreenBuffer again;
    if (!lumetra::write_chr(out, picture).ok || !lumetra::load_chr(out, again).ok || again.bytes != picture.bytes)
        std::abort();
    std::error_code ignored;
    std::filesystem::remove(in, ignored);
    std::filesystem::remove(out, ignored);
    return 0;
}
