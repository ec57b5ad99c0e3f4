// lumetra-cli picture: the way back from a listing (assembler or C array) or
// an XBM file to the 1024 bytes of a .chr file, or to a PNG for a display of
// another size.

#include <cstdio>

#include "cli/cli.h"
#include "core/file_io.h"
#include "core/file_io.h"
#include "core/text_encoding.h"
#include "display/display_tables.h"
#include "listing/listing_reader.h"
#include "preview/preview.h"

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

// The picture of a text in the display's layout; an XBM file says its own
// size and is always in rows, bit 0 leftmost.
std::optional<CliError> read_display_text(const std::string& text, const std::string& name, DisplayChoice choice,
                                          Raster& picture)
{
    const DisplayProfile& display = *choice.display;
    if (auto size = xbm_size(text)) {
        if (*size != display_size(display))
            return CliError{name + " is an XBM picture of " + std::to_string(size->width) + " x " +
                            std::to_string(size->height) + "; the display " + display.name + " is " +
                            std::to_string(display.width) + " x " + std::to_string(display.height)};
        choice.layout = Layout::RowsLsb;
    }
    TableReadResult read = read_table(text, layout_shape(display, choice.layout, PageOrder::Across));
    if (!read.ok()) return CliError{name + " line " + std::to_string(read.line) + ": " + read.error};
    picture = raster_from_layout(display, choice.layout, PageOrder::Across, read.bytes);
    return std::nullopt;
}

}  // namespace

int run_picture(const Args& args)
{
    std::filesystem::path source, out;
    DisplayChoice choice;
    std::optional<CliError> error;
    for (std::size_t i = 0; i < args.size() && !error; ++i) {
        const std::string& arg = args[i];
        if (arg == "-o") error = take_output_name(args, i, out);
        else if (is_display_option(arg)) error = take_display_option(args, i, choice);
        else if (arg.starts_with("-") && arg != kStandardStream) error = CliError{"unknown option " + arg};
        else if (source.empty()) source = utf8_to_path(arg);
        else error = CliError{"only one SOURCE may be given"};
    }
    if (!error && source.empty()) error = CliError{"SOURCE missing"};
    if (!error && out.empty()) error = CliError{"-o OUT.chr missing"};
    // A display of another size has no .chr picture; a PNG holds any.
    const bool png = path_extension(out) == "png";
    if (!error && !png) error = check_chr_display(*choice.display);
    if (error) return refuse("picture", kPictureUsage, *error);

    std::string name = source == kStandardStream ? "standard input" : path_to_utf8(source);
    auto text = read_source(source);
    if (!text) return refuse("picture", kPictureUsage, {"cannot read " + name + " (or it is larger than 16 MB)"});
    Raster picture;
    if (choice.editor_default() && !xbm_size(*text)) {
        ListingReadResult read = read_listing(*text);
        if (!read.ok())
            return refuse("picture", kPictureUsage, {name + " line " + std::to_string(read.line) + ": " + read.error});
        picture = raster_from_screen(read.picture);
    } else if (auto failure = read_display_text(*text, name, choice, picture)) {
        return refuse("picture", kPictureUsage, *failure);
    }
    std::optional<CliError> written;
    if (png) {
        EncodedFile file = encode_bitmap_png(picture);
        written = file.ok() ? write_output(out, file.bytes) : CliError{file.error, kExitFailed};
    } else {
        const ScreenBuffer screen = screen_from_raster(picture);
        written = write_output(out, std::string_view(reinterpret_cast<const char*>(screen.bytes.data()), screen.bytes.size()));
    }
    return written ? refuse("picture", kPictureUsage, *written) : kExitDone;
}

}  // namespace lumetra::cli
