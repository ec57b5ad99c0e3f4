// lumetra-cli text: a line (or lines) of text drawn with a font onto a
// picture, written as a .chr picture or a PNG.

#include <charconv>

#include "cli/cli.h"
#include "core/file_io.h"
#include "core/text_encoding.h"
#include "preview/preview.h"

namespace lumetra::cli {

namespace {

struct TextCommand {
    std::filesystem::path font_path;
    int size = 0;
    std::optional<std::pair<int, int>> at;
    Ink ink = Ink::Set;
    DisplayChoice display;
    PictureOptions picture_options;
    std::optional<std::string> text;
    std::optional<std::filesystem::path> picture;
    std::filesystem::path out;
};

// "X,Y": whole numbers, either below 0 or beyond the picture as the text may start off it.
std::optional<std::pair<int, int>> parse_point(const std::string& text)
{
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) return std::nullopt;
    int x = 0, y = 0;
    const char* end = text.data() + text.size();
    auto [x_end, x_error] = std::from_chars(text.data(), text.data() + comma, x);
    auto [y_end, y_error] = std::from_chars(text.data() + comma + 1, end, y);
    if (x_error != std::errc() || x_end != text.data() + comma || y_error != std::errc() || y_end != end)
        return std::nullopt;
    if (x < -10000 || x > 10000 || y < -10000 || y > 10000) return std::nullopt;
    return std::pair{x, y};
}

std::optional<CliError> take_positional(const std::string& arg, TextCommand& command)
{
    if (command.font_path.empty()) command.font_path = utf8_to_path(arg);
    else if (!command.text) command.text = arg;
    else if (!command.picture) command.picture = utf8_to_path(arg);
    else return CliError{"give FONT, TEXT and at most one PICTURE"};
    return std::nullopt;
}

std::optional<CliError> parse(const Args& args, TextCommand& command)
{
    bool options_end = false;  // after "--" a TEXT may start with "-"
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::optional<CliError> error;
        if (options_end || arg == kStandardStream || !arg.starts_with("-")) {
            error = take_positional(arg, command);
        } else if (arg == "--") {
            options_end = true;
        } else if (arg == "--size") {
            error = take_font_size(args, i, command.size);
        } else if (arg == "--at") {
            auto text = option_value(args, i);
            command.at = text ? parse_point(*text) : std::nullopt;
            if (!command.at) error = CliError{"--at needs X,Y (whole numbers, the pen's column and the line's top row)"};
        } else if (arg == "--clear") {
            command.ink = Ink::Clear;
        } else if (arg == "--display") {
            error = take_display_option(args, i, command.display);
        } else if (is_picture_option(arg)) {
            error = take_picture_option(args, i, command.picture_options);
        } else if (arg == "-o") {
            error = take_output_name(args, i, command.out);
        } else {
            error = CliError{"unknown option " + arg};
        }
        if (error) return error;
    }
    if (command.font_path.empty()) return CliError{"FONT missing"};
    if (command.size == 0) return CliError{"--size PX missing"};
    if (!command.at) return CliError{"--at X,Y missing"};
    if (!command.text) return CliError{"TEXT missing"};
    if (command.out.empty()) return CliError{"-o OUT.chr or OUT.png missing"};
    if (path_extension(command.out) != "png") return check_chr_display(*command.display.display);
    return std::nullopt;
}

std::optional<CliError> make_picture(const TextCommand& command, std::string& bytes)
{
    const DisplayProfile& display = *command.display.display;
    FontHandle font;
    if (auto error = open_display_font(command.font_path, command.size, display, font)) return error;
    Raster picture(display.width, display.height);
    if (command.picture)
        if (auto error = load_raster({*command.picture}, display, picture, command.picture_options.import)) return error;
    warn_missing("text", draw_text(picture, *font, *command.text, command.at->first, command.at->second, command.ink));
    if (path_extension(command.out) == "png") {
        EncodedFile file = encode_bitmap_png(picture);
        if (!file.ok()) return CliError{file.error, kExitFailed};
        bytes = std::move(file.bytes);
        return std::nullopt;
    }
    const ScreenBuffer screen = screen_from_raster(picture);
    bytes.assign(reinterpret_cast<const char*>(screen.bytes.data()), screen.bytes.size());
    return std::nullopt;
}

}  // namespace

int run_text(const Args& args)
{
    TextCommand command;
    std::string bytes;
    auto error = parse(args, command);
    if (!error) error = make_picture(command, bytes);
    if (!error) error = write_output(command.out, bytes);
    return error ? refuse("text", kTextUsage, *error) : kExitDone;
}

}  // namespace lumetra::cli
