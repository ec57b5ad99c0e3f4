// The settings file is outside data too: whatever it holds, reading it must
// not crash, and writing back what was read must read back the same values.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    lumetra::Settings read = lumetra::parse_settings(bytes);
    lumetra::Settings again = lumetra::parse_settings(lumetra::settings_file_text(bytes, read));
    bool same = again.x == read.x && again.y == read.y && again.delay_index == read.delay_index &&
                again.count_byte == read.count_byte && again.auto_scan == read.auto_scan && again.recent == read.recent;
    if (!same) std::abort();
    return 0;
}
