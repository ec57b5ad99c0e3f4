// Reading and writing whole files. Files the user keeps are written to a
// temporary file in the same folder and moved over the old one, so a failed
// write never leaves a half-written file behind.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace lumetra {

// The lower-cased text after the last "." that follows the last "\" or "/"
// of the name; empty when there is none.
std::string path_extension(const std::filesystem::path& path);

// At most max_bytes from the start of the file; nothing when it cannot be
// opened or read.
std::optional<std::string> read_file_prefix(const std::filesystem::path& path, std::size_t max_bytes);

// The whole file, refused (nothing) when it is larger than max_bytes.
std::optional<std::string> read_whole_file(const std::filesystem::path& path, std::size_t max_bytes);

// Writes every byte to a temporary file beside path, checks the write, then
// replaces path with it. On failure path is untouched and the temporary file
// is removed.
bool write_file_atomically(const std::filesystem::path& path, std::string_view bytes);

// How a write ended, for callers that word the two failures apart: the file
// could not be made at all (its folder is missing or closed, or a folder has
// its name), or its bytes or the final move failed.
enum class WriteOutcome { Written, NotCreated, NotWritten };
WriteOutcome write_file_reporting(const std::filesystem::path& path, std::string_view bytes);

}  // namespace lumetra
