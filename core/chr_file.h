// The program's own picture file: exactly the 1024 display-memory bytes,
// no header. Any length is accepted on reading.
#pragma once

#include <filesystem>
#include <string>

#include "core/image_store.h"

namespace lumetra {

// What a file operation tells the shell: ok, or which way it failed on
// which file; the shell words the message.
enum class FileFailure { None, Read, Write };
struct FileResult {
    bool ok = true;
    FileFailure failure = FileFailure::None;
    std::filesystem::path path;
};

FileResult read_error(const std::filesystem::path& path);
FileResult write_error(const std::filesystem::path& path);

// The picture is cleared first; the first min(length, 1024) bytes are taken.
// On failure the picture is untouched.
FileResult load_chr(const std::filesystem::path& path, ScreenBuffer& picture);
FileResult write_chr(const std::filesystem::path& path, const ScreenBuffer& picture);

// Load into a buffer of the store: on success the buffer takes the path as
// its file name and its modified flag is cleared.
FileResult load_chr_into(ImageStore& store, int buffer, const std::filesystem::path& path);
// Write a buffer of the store: on success its modified flag is cleared; on
// failure the flag and any existing file stay as they were.
FileResult write_chr_from(ImageStore& store, int buffer, const std::filesystem::path& path);

}  // namespace lumetra
