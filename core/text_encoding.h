// Windows-1251 and UTF-8: the program keeps its texts as UTF-8 and writes
// every text file in Windows-1251 (one table of our own, no locale involved).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace lumetra {

// Windows-1251 bytes to UTF-8. Every byte decodes; 0x98, which the code page
// leaves unassigned, becomes U+0098 as Windows itself does.
std::string decode_cp1251(std::string_view bytes);

// UTF-8 to Windows-1251; nothing when a character has no place in the code
// page or the UTF-8 is malformed, so that nothing is ever silently mangled.
std::optional<std::string> encode_cp1251(std::string_view utf8);

// One code point from UTF-8 at pos (advanced past it); -1 when malformed.
long next_code_point(std::string_view utf8, std::size_t& pos);
void append_utf8(std::string& out, long code_point);

std::string path_to_utf8(const std::filesystem::path& path);
std::filesystem::path utf8_to_path(std::string_view utf8);

}  // namespace lumetra
