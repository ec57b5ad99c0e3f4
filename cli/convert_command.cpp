// lumetra-cli convert: a picture (BMP, JPG, PNG, or .chr) to the 1024 bytes
// of a .chr file, as the editor's open followed by Save would write them.

#include "cli/cli.h"
#include "core/text_encoding.h"

namespace lumetra::cli {

int run_convert(const Args& args)
{
    std::filesystem::path picture, out;
    std::optional<CliError> error;
    for (std::size_t i = 0; i < args.size() && !error; ++i) {
        const std::string& arg = args[i];
        if (arg == "-o") {
            error = take_output_name(args, i, out);
        } else if (arg.starts_with("-")) {
            error = CliError{"unknown option " + arg};
        } else if (picture.empty()) {
            picture = utf8_to_path(arg);
        } else {
            error = CliError{"only one PICTURE may be given"};
        }
    }
    if (!error && picture.empty()) error = CliError{"PICTURE missing"};
    if (!error && out.empty()) error = CliError{"-o OUT.chr missing"};
    ScreenBuffer screen;
    if (!error) error = load_picture(picture, screen);
    if (!error)
        error = write_output(out, std::string_view(reinterpret_cast<const char*>(screen.bytes.data()), screen.bytes.size()));
    return error ? refuse("convert", kConvertUsage, *error) : 0;
}

}  // namespace lumetra::cli
