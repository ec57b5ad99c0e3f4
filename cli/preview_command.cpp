// lumetra-cli render and animate: pictures of the display as the editor's
// screen view shows it, a PNG of one picture or an animated GIF of several
// played as the animation panel plays buffers.

#include "cli/cli.h"
#include "core/text_encoding.h"
#include "preview/preview.h"
#include "tools/animation.h"

namespace lumetra::cli {

namespace {

struct PreviewCommand {
    PreviewStyle style;
    DisplayChoice display;
    PictureOptions picture_options;
    std::optional<std::string> delay_text;  // --delay, animate only
    std::filesystem::path out;
    Pictures pictures;
};

std::optional<CliError> parse(const Args& args, PreviewCommand& command, bool animate)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--scale") {
            auto text = option_value(args, i);
            if (!text || text->empty() || text->size() > 2 || text->find_first_not_of("0123456789") != std::string::npos ||
                std::stoi(*text) < kMinPreviewScale || std::stoi(*text) > kMaxPreviewScale)
                return CliError{"--scale needs a number from 1 to 32"};
            command.style.scale = std::stoi(*text);
        } else if (arg == "--grid") {
            command.style.grid = true;
        } else if (arg == "--display") {
            if (auto error = take_display_option(args, i, command.display)) return error;
            command.style.crystal_columns = command.display.display->columns;
        } else if (animate && arg == "--delay") {
            command.delay_text = option_value(args, i);
            if (!command.delay_text) return CliError{"--delay needs a number of milliseconds"};
        } else if (auto error = take_picture_argument(args, i, command.out, command.pictures, command.picture_options)) {
            return error;
        }
    }
    if (!animate && command.pictures.size() != 1)
        return CliError{command.pictures.empty()           ? "PICTURE missing"
                        : command.pictures.front().frame > 0 ? path_to_utf8(command.pictures.front().path) + " has " +
                                                                 std::to_string(command.pictures.front().frame_count) +
                                                                 " frames; give one picture"
                                                           : "only one PICTURE may be given"};
    if (animate && command.pictures.size() < static_cast<std::size_t>(kMinAnimationFrames))
        return CliError{"give at least 2 PICTUREs, one a frame"};
    if (command.out.empty()) return CliError{animate ? "-o OUT.gif missing" : "-o OUT.png missing"};
    return std::nullopt;
}

// The encoded file to OUT; a file that could not be made is a failed write.
std::optional<CliError> write_encoded(const PreviewCommand& command, const EncodedFile& file)
{
    if (!file.ok()) return CliError{file.error, kExitFailed};
    return write_output(command.out, file.bytes);
}

}  // namespace

int run_render(const Args& args)
{
    PreviewCommand command;
    Raster picture;
    auto error = parse(args, command, false);
    if (!error) error = load_raster(command.pictures[0], *command.display.display, picture, command.picture_options.import);
    if (!error) error = write_encoded(command, encode_preview_png(picture, command.style));
    return error ? refuse("render", kRenderUsage, *error) : kExitDone;
}

int run_animate(const Args& args)
{
    PreviewCommand command;
    auto error = parse(args, command, true);
    std::vector<Raster> frames(command.pictures.size());
    for (std::size_t i = 0; !error && i < frames.size(); ++i)
        error = load_raster(command.pictures[i], *command.display.display, frames[i], command.picture_options.import);
    if (error) return refuse("animate", kAnimateUsage, *error);
    const int delay = animation_delay_option("animate", command.delay_text);
    // A GIF's frames keep their own delays unless --delay is given.
    std::vector<int> delays;
    for (const Picture& picture : command.pictures)
        delays.push_back(picture.frame > 0 && !command.delay_text ? picture.delay_ms : delay);
    error = write_encoded(command, encode_preview_gif(frames, command.style, delays));
    return error ? refuse("animate", kAnimateUsage, *error) : kExitDone;
}

}  // namespace lumetra::cli
