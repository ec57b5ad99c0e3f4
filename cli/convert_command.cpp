// lumetra-cli convert: a picture (BMP, JPG, PNG, GIF, or .chr; each frame of
// an animated GIF) to the 1024 bytes
// of a .chr file, as the editor's open followed by Save would write them.

#include "cli/cli.h"
#include "core/text_encoding.h"

namespace lumetra::cli {

int run_convert(const Args& args)
{
    Pictures pictures;
    PictureOptions picture_options;
    DisplayChoice display;
    Outputs outputs;
    outputs.extension = ".chr";
    std::optional<CliError> error;
    for (std::size_t i = 0; i < args.size() && !error; ++i) {
        const std::string& arg = args[i];
        if (arg == "--out-dir")
            error = take_out_dir(args, i, outputs.out_dir);
        else if (arg == "--display")
            error = take_display_option(args, i, display);
        else
            error = take_picture_argument(args, i, outputs.out, pictures, picture_options);
    }
    if (!error) error = check_outputs(pictures, outputs);
    if (!error && outputs.out.empty() && outputs.out_dir.empty()) error = CliError{"-o OUT.chr (or --out-dir DIR) missing"};
    if (!error) error = check_chr_display(*display.display);
    if (error) return refuse("convert", kConvertUsage, *error);
    return make_each("convert", kConvertUsage, pictures, outputs,
                     [&](const Picture& picture, std::string& bytes) -> std::optional<CliError> {
                         Raster raster;
                         if (auto failure = load_raster(picture, *display.display, raster, picture_options.import))
                             return failure;
                         const ScreenBuffer screen = screen_from_raster(raster);
                         bytes.assign(reinterpret_cast<const char*>(screen.bytes.data()), screen.bytes.size());
                         return std::nullopt;
                     });
}

}  // namespace lumetra::cli
