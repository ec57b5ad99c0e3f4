#include "core/picture_import.h"

#include <cstring>
#include <new>
#include <optional>
#include <string>

#include "core/file_io.h"

namespace lumetra {

namespace {

using Decoder = DecodeResult (*)(FileBytes, const DecodeLimits&);

// The first bytes that name a format, and its decoder.
struct Signature {
    const char* bytes;
    std::size_t length;
    Decoder decode;
};

const Signature kSignatures[] = {
    {"BM", 2, decode_bmp},
    {"\x00\x00\x01\x00", 4, decode_ico},
    {"\x89PNG\r\n\x1A\n", 8, decode_png},
    {"\xFF\xD8", 2, decode_jpeg},
    {"GIF87a", 6, decode_gif},
    {"GIF89a", 6, decode_gif},
};

// The decoder that the first bytes name, with JPEG's own way to the display
// when the picture goes there.
DecodeResult decode_by_signature(FileBytes file, const DecodeLimits& limits, bool for_display, PictureSize size)
{
    for (const Signature& signature : kSignatures) {
        if (file.size() < signature.length || std::memcmp(file.data(), signature.bytes, signature.length) != 0)
            continue;
        try {
            if (for_display && signature.decode == decode_jpeg) return decode_jpeg_for_display(file, limits, size);
            DecodeResult result = signature.decode(file, limits);
            if (for_display && result.ok() && (result.image.width != size.width || result.image.height != size.height))
                result.image = stretch_to_display(result.image, size);
            return result;
        } catch (const std::bad_alloc&) {
            DecodeResult result;
            result.error = "not enough memory for the picture";
            return result;
        }
    }
    DecodeResult result;
    result.error = "not a BMP, icon, PNG, JPEG or GIF picture";
    return result;
}

}  // namespace

DecodeResult decode_picture(FileBytes file, const DecodeLimits& limits)
{
    return decode_by_signature(file, limits, false, {});
}

DecodeResult decode_picture_for_display(FileBytes file, const DecodeLimits& limits)
{
    return decode_by_signature(file, limits, true, {});
}

DecodeResult decode_picture_for_display(FileBytes file, const DecodeLimits& limits, PictureSize size)
{
    return decode_by_signature(file, limits, true, size);
}

bool is_picture_extension(const std::filesystem::path& path)
{
    const std::string extension = path_extension(path);
    return extension == "bmp" || extension == "jpg" || extension == "png" || extension == "gif";
}

namespace {

// The whole file within the limit, or why not (error then not empty).
std::optional<std::string> read_file_bytes(const std::filesystem::path& path, const DecodeLimits& limits,
                                           std::string& error)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size > limits.max_file_bytes) {
        error = "the file is too large";
        return std::nullopt;
    }
    auto bytes = read_whole_file(path, static_cast<std::size_t>(limits.max_file_bytes));
    if (!bytes) error = "the file cannot be read";
    return bytes;
}

FileBytes bytes_of(const std::string& bytes)
{
    return FileBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

DecodeResult read_and_decode(const std::filesystem::path& path, const DecodeLimits& limits, bool for_display,
                             PictureSize target)
{
    DecodeResult result;
    auto bytes = read_file_bytes(path, limits, result.error);
    if (!bytes) return result;
    const FileBytes file = bytes_of(*bytes);
    return for_display ? decode_picture_for_display(file, limits, target) : decode_picture(file, limits);
}

}  // namespace

DecodeResult read_picture(const std::filesystem::path& path, const DecodeLimits& limits)
{
    return read_and_decode(path, limits, false, {});
}

DecodeResult read_picture_for_display(const std::filesystem::path& path, const DecodeLimits& limits, PictureSize size)
{
    return read_and_decode(path, limits, true, size);
}

DecodeAnimationResult read_animation(const std::filesystem::path& path, const DecodeLimits& limits, PictureSize size)
{
    DecodeAnimationResult result;
    auto bytes = read_file_bytes(path, limits, result.error);
    if (!bytes) return result;
    try {
        return decode_gif_frames(bytes_of(*bytes), limits, size);
    } catch (const std::bad_alloc&) {
        result.error = "not enough memory for the picture";
        return result;
    }
}

bool is_animation_extension(const std::filesystem::path& path) { return path_extension(path) == "gif"; }

FileResult import_picture(const std::filesystem::path& path, ScreenBuffer& picture)
{
    DecodeResult decoded = read_picture_for_display(path);
    if (!decoded.ok()) return read_error(path);
    picture = screen_from_picture(decoded.image);
    return {};
}

FileResult import_picture_into(ImageStore& store, int buffer, const std::filesystem::path& path)
{
    ScreenBuffer* target = buffer_of(store, buffer);
    if (!target) return read_error(path);
    ScreenBuffer picture;
    FileResult result = import_picture(path, picture);
    if (!result.ok) return result;
    *target = picture;
    set_file_name(store, buffer, path);
    set_modified(store, buffer, false);
    return result;
}

FileResult open_picture_file(ImageStore& store, int buffer, const std::filesystem::path& path)
{
    return is_picture_extension(path) ? import_picture_into(store, buffer, path) : load_chr_into(store, buffer, path);
}

}  // namespace lumetra
