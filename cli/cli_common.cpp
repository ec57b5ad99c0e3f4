#include <cstdio>
#include <iostream>

#include "cli/cli.h"
#include "core/chr_file.h"
#include "core/file_io.h"
#include "core/picture_import.h"
#include "core/text_encoding.h"

namespace lumetra::cli {

std::optional<CliError> load_picture(const std::filesystem::path& path, ScreenBuffer& picture)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return CliError{"no such picture file: " + path_to_utf8(path)};
    // The same choice as open named file, decoding once so that a refusal can
    // say why.
    if (!is_picture_extension(path)) {
        if (!load_chr(path, picture).ok) return CliError{"cannot read " + path_to_utf8(path)};
        return std::nullopt;
    }
    DecodeResult decoded = read_picture(path);
    if (!decoded.ok()) return CliError{"cannot import " + path_to_utf8(path) + ": " + decoded.error};
    picture = screen_from_picture(decoded.image);
    return std::nullopt;
}

std::optional<CliError> write_output(const std::filesystem::path& out, std::string_view bytes)
{
    if (out.empty()) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0)
            return CliError{"cannot write to standard output"};
        return std::nullopt;
    }
    if (!write_file_atomically(out, bytes)) return CliError{"cannot write " + path_to_utf8(out)};
    return std::nullopt;
}

int refuse(const char* command, const char* usage, const CliError& error)
{
    std::cerr << "lumetra-cli " << command << ": " << error.message << "\nusage: lumetra-cli " << usage << "\n";
    return 2;
}

std::optional<std::string> option_value(const Args& args, std::size_t& i)
{
    if (i + 1 >= args.size()) return std::nullopt;
    return args[++i];
}

std::optional<CliError> take_output_name(const Args& args, std::size_t& i, std::filesystem::path& out)
{
    auto text = option_value(args, i);
    if (!text || text->empty()) return CliError{"-o needs a file name"};
    out = utf8_to_path(*text);
    return std::nullopt;
}

}  // namespace lumetra::cli
