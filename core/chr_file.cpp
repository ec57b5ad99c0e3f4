#include "core/chr_file.h"

#include <algorithm>
#include <string_view>

#include "core/file_io.h"
#include "core/text_encoding.h"

namespace lumetra {

FileResult read_error(const std::filesystem::path& path) { return {false, FileFailure::Read, path}; }
FileResult write_error(const std::filesystem::path& path) { return {false, FileFailure::Write, path}; }

FileResult load_chr(const std::filesystem::path& path, ScreenBuffer& picture)
{
    auto data = read_file_prefix(path, kBufferBytes);
    if (!data) return read_error(path);
    picture.bytes.fill(0);
    std::copy(data->begin(), data->end(), picture.bytes.begin());
    return {};
}

FileResult write_chr(const std::filesystem::path& path, const ScreenBuffer& picture)
{
    std::string_view bytes(reinterpret_cast<const char*>(picture.bytes.data()), picture.bytes.size());
    return write_file_atomically(path, bytes) ? FileResult{} : write_error(path);
}

FileResult load_chr_into(ImageStore& store, int buffer, const std::filesystem::path& path)
{
    ScreenBuffer* picture = buffer_of(store, buffer);
    if (!picture) return read_error(path);
    FileResult result = load_chr(path, *picture);
    if (result.ok) {
        set_file_name(store, buffer, path);
        set_modified(store, buffer, false);
    }
    return result;
}

FileResult write_chr_from(ImageStore& store, int buffer, const std::filesystem::path& path)
{
    const ScreenBuffer* picture = buffer_of(store, buffer);
    if (!picture) return write_error(path);
    FileResult result = write_chr(path, *picture);
    if (result.ok) set_modified(store, buffer, false);
    return result;
}

}  // namespace lumetra
