// Opening ordinary pictures (BMP, JPG, PNG, GIF) as 128 x 64 black and white, and
// the choice between import and .chr load that open named file makes.
#pragma once

#include <filesystem>

#include "core/chr_file.h"
#include "core/picture_decode.h"

namespace lumetra {

// True when the lower-cased extension (the text after the last "." that
// follows the last "\" or "/") is "bmp", "jpg", "png" or "gif".
bool is_picture_extension(const std::filesystem::path& path);

// Reads and decodes a picture file, whatever its name says.
DecodeResult read_picture(const std::filesystem::path& path, const DecodeLimits& limits = {});
// The same, stretched to the display (decode_picture_for_display), or to the
// size of another display: what the import uses, faster and lighter on memory
// for large pictures.
DecodeResult read_picture_for_display(const std::filesystem::path& path, const DecodeLimits& limits = {},
                                      PictureSize size = {});

// The frames of the GIF file at path, each stretched to the display's size
// (or another's).
DecodeAnimationResult read_animation(const std::filesystem::path& path, const DecodeLimits& limits = {},
                                     PictureSize size = {});
// True when the extension is "gif" (any case): a file that may hold frames.
bool is_animation_extension(const std::filesystem::path& path);

// The picture is replaced only on success; any failure, unreadable or
// undecodable, is the read error text and leaves it untouched.
FileResult import_picture(const std::filesystem::path& path, ScreenBuffer& picture);

// On success the buffer's bytes are replaced, its file name is the path and
// its modified flag is cleared; on failure bytes, name and flag stay exactly
// as they were.
FileResult import_picture_into(ImageStore& store, int buffer, const std::filesystem::path& path);

// Open named file: pictures by their extension are imported, every other
// file is loaded as .chr.
FileResult open_picture_file(ImageStore& store, int buffer, const std::filesystem::path& path);

}  // namespace lumetra
