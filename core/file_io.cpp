#include "core/file_io.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <system_error>

#include "core/text_encoding.h"

namespace lumetra {

std::optional<std::string> read_file_prefix(const std::filesystem::path& path, std::size_t max_bytes)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    // Read in pieces so that a generous limit costs nothing for a small file.
    std::string data;
    char piece[65536];
    while (data.size() < max_bytes && in) {
        std::size_t want = std::min(sizeof piece, max_bytes - data.size());
        in.read(piece, static_cast<std::streamsize>(want));
        data.append(piece, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) return std::nullopt;
    return data;
}

std::optional<std::string> read_whole_file(const std::filesystem::path& path, std::size_t max_bytes)
{
    std::error_code ec;
    auto size = std::filesystem::file_size(path, ec);
    if (ec || size > max_bytes) return std::nullopt;
    auto data = read_file_prefix(path, max_bytes + 1);
    if (!data || data->size() > max_bytes) return std::nullopt;
    return data;
}

std::string path_extension(const std::filesystem::path& path)
{
    const std::string name = path_to_utf8(path);
    const std::size_t separator = name.find_last_of("\\/");
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return {};
    std::string extension = name.substr(dot + 1);
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return extension;
}

static std::filesystem::path temporary_beside(const std::filesystem::path& path)
{
    static std::mt19937_64 generator{std::random_device{}()};
    static const char* digits = "0123456789abcdef";
    std::error_code ec;
    for (;;) {
        std::string suffix = ".~";
        auto value = generator();
        for (int i = 0; i < 8; ++i, value >>= 4) suffix += digits[value & 15];
        std::filesystem::path candidate = path;
        candidate += suffix;
        if (!std::filesystem::exists(candidate, ec)) return candidate;
    }
}

bool write_file_atomically(const std::filesystem::path& path, std::string_view bytes)
{
    return write_file_reporting(path, bytes) == WriteOutcome::Written;
}

WriteOutcome write_file_reporting(const std::filesystem::path& path, std::string_view bytes)
{
    std::error_code ec;
    if (path.empty() || std::filesystem::is_directory(path, ec)) return WriteOutcome::NotCreated;
    std::filesystem::path temporary = temporary_beside(path);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return WriteOutcome::NotCreated;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        out.close();
        if (out.fail()) {
            std::filesystem::remove(temporary, ec);
            return WriteOutcome::NotWritten;
        }
    }
    if (std::filesystem::file_size(temporary, ec) != bytes.size() || ec) {
        std::filesystem::remove(temporary, ec);
        return WriteOutcome::NotWritten;
    }
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return WriteOutcome::NotWritten;
    }
    return WriteOutcome::Written;
}

}  // namespace lumetra
