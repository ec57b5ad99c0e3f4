// lumetra-cli picture: the way back from a listing (assembler or C array) to
// the 1024 bytes of a .chr file.

#include <cstdio>

#include "cli/cli.h"
#include "core/file_io.h"
#include "core/text_encoding.h"
#include "listing/listing_reader.h"

namespace lumetra::cli {

namespace {

constexpr std::size_t kMaxSource = 16u << 20;  // far beyond any listing; the reader refuses more

std::optional<std::string> read_source(const std::filesystem::path& source)
{
    if (source != kStandardStream) return read_whole_file(source, kMaxSource);
    std::string text;
    char piece[65536];
    for (std::size_t got = sizeof piece; got == sizeof piece && text.size() <= kMaxSource;) {
        got = std::fread(piece, 1, sizeof piece, stdin);
        text.append(piece, got);
    }
    if (std::ferror(stdin) || text.size() > kMaxSource) return std::nullopt;
    return text;
}

}  // namespace

int run_picture(const Args& args)
{
    std::filesystem::path source, out;
    std::optional<CliError> error;
    for (std::size_t i = 0; i < args.size() && !error; ++i) {
        const std::string& arg = args[i];
        if (arg == "-o") error = take_output_name(args, i, out);
        else if (arg.starts_with("-") && arg != kStandardStream) error = CliError{"unknown option " + arg};
        else if (source.empty()) source = utf8_to_path(arg);
        else error = CliError{"only one SOURCE may be given"};
    }
    if (!error && source.empty()) error = CliError{"SOURCE missing"};
    if (!error && out.empty()) error = CliError{"-o OUT.chr missing"};
    if (error) return refuse("picture", kPictureUsage, *error);

    std::string name = source == kStandardStream ? "standard input" : path_to_utf8(source);
    auto text = read_source(source);
    if (!text) return refuse("picture", kPictureUsage, {"cannot read " + name + " (or it is larger than 16 MB)"});
    ListingReadResult read = read_listing(*text);
    if (!read.ok())
        return refuse("picture", kPictureUsage, {name + " line " + std::to_string(read.line) + ": " + read.error});
    auto written = write_output(out, std::string_view(reinterpret_cast<const char*>(read.picture.bytes.data()),
                                                      read.picture.bytes.size()));
    return written ? refuse("picture", kPictureUsage, *written) : kExitDone;
}

}  // namespace lumetra::cli
