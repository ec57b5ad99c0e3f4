#include "core/picture_import.h"

#include <cstring>
#include <new>

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
};

}  // namespace

DecodeResult decode_picture(FileBytes file, const DecodeLimits& limits)
{
    for (const Signature& signature : kSignatures) {
        if (file.size() < signature.length || std::memcmp(file.data(), signature.bytes, signature.length) != 0)
            continue;
        try {
            return signature.decode(file, limits);
        } catch (const std::bad_alloc&) {
            DecodeResult result;
            result.error = "not enough memory for the picture";
            return result;
        }
    }
    DecodeResult result;
    result.error = "not a BMP, icon, PNG or JPEG picture";
    return result;
}

bool is_picture_extension(const std::filesystem::path& path)
{
    const std::string extension = path_extension(path);
    return extension == "bmp" || extension == "jpg" || extension == "png";
}

DecodeResult read_picture(const std::filesystem::path& path, const DecodeLimits& limits)
{
    DecodeResult result;
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size > limits.max_file_bytes) {
        result.error = "the file is too large";
        return result;
    }
    auto bytes = read_whole_file(path, static_cast<std::size_t>(limits.max_file_bytes));
    if (!bytes) {
        result.error = "the file cannot be read";
        return result;
    }
    return decode_picture(FileBytes(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()), limits);
}

FileResult import_picture(const std::filesystem::path& path, ScreenBuffer& picture)
{
    DecodeResult decoded = read_picture(path);
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
