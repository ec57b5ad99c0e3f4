#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iostream>
#include <set>

#include "cli/cli.h"
#include "core/chr_file.h"
#include "core/file_io.h"
#include "core/picture_import.h"
#include "core/text_encoding.h"
#include "listing/listing.h"
#include "tools/animation.h"

namespace lumetra::cli {

namespace {

// Standard input whole, up to one byte more than limit (so that too much shows).
std::optional<std::string> read_standard_input(std::size_t limit)
{
    std::string bytes;
    char piece[65536];
    while (bytes.size() <= limit) {
        std::size_t got = std::fread(piece, 1, sizeof piece, stdin);
        bytes.append(piece, got);
        if (got < sizeof piece) break;
    }
    if (std::ferror(stdin)) return std::nullopt;
    return bytes;
}

// A picture format by its content; anything else must be a whole .chr
// picture, so that a short or empty stream from a failed step before this one
// is never taken for a picture.
std::optional<CliError> load_standard_input(const DisplayProfile& display, Raster& picture, const ImportOptions& options)
{
    static bool taken = false;
    if (taken) return CliError{"standard input (-) can be read for one PICTURE only"};
    taken = true;
    const DecodeLimits limits;
    auto bytes = read_standard_input(static_cast<std::size_t>(limits.max_file_bytes));
    if (!bytes) return CliError{"cannot read standard input"};
    if (bytes->size() > limits.max_file_bytes) return CliError{"standard input is too large for a picture"};
    DecodeResult decoded = decode_picture_for_display(
        FileBytes(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()), limits, display_size(display));
    if (decoded.ok()) {
        picture = raster_from_picture(decoded.image, display_size(display), options);
    } else if (bytes->size() == kBufferBytes) {
        if (auto error = check_chr_display(display)) return error;
        ScreenBuffer screen;
        std::copy(bytes->begin(), bytes->end(), screen.bytes.begin());
        picture = raster_from_screen(screen);
    } else {
        return CliError{"standard input holds " + std::to_string(bytes->size()) +
                        " bytes: neither a .chr picture (1024 bytes) nor a picture that can be imported (" +
                        decoded.error + ")"};
    }
    return std::nullopt;
}

bool standard_stream(const std::filesystem::path& path) { return path == kStandardStream; }

// The frames of the GIF last read, kept for its next frame: a run reads them
// one after another.
const DecodeAnimationResult& animation_of(const std::filesystem::path& path, PictureSize size)
{
    static std::filesystem::path cached_path;
    static PictureSize cached_size;
    static DecodeAnimationResult cached;
    if (cached_path.empty() || cached_path != path || cached_size != size) {
        cached = read_animation(path, {}, size);
        cached_path = path;
        cached_size = size;
    }
    return cached;
}

// The frame's composed picture at the display's size, or why there is none.
std::optional<CliError> frame_picture(const Picture& picture, PictureSize size, const RgbImage*& image)
{
    const DecodeAnimationResult& animation = animation_of(picture.path, size);
    if (!animation.ok()) return CliError{"cannot import " + path_to_utf8(picture.path) + ": " + animation.error};
    if (picture.frame > static_cast<int>(animation.frames.size()))
        return CliError{"cannot import " + picture_name(picture) + ": the GIF has changed"};
    image = &animation.frames[static_cast<std::size_t>(std::max(picture.frame, 1) - 1)].image;
    return std::nullopt;
}

}  // namespace

void add_picture(const std::filesystem::path& path, Pictures& pictures)
{
    std::error_code ec;
    if (standard_stream(path) || !is_animation_extension(path) || !std::filesystem::is_regular_file(path, ec)) {
        pictures.push_back({path});
        return;
    }
    const DecodeAnimationResult& animation = animation_of(path, {});
    const int count = static_cast<int>(animation.frames.size());
    if (!animation.ok() || count < 2) {
        pictures.push_back({path});
        return;
    }
    for (int frame = 1; frame <= count; ++frame)
        pictures.push_back({path, frame, count, animation.frames[static_cast<std::size_t>(frame - 1)].delay_ms});
}

std::filesystem::path picture_stem(const Picture& picture)
{
    std::filesystem::path stem = picture.path.stem();
    if (picture.frame == 0) return stem;
    const std::size_t digits = std::max<std::size_t>(2, std::to_string(picture.frame_count).size());
    std::string number = std::to_string(picture.frame);
    number.insert(0, digits - std::min(digits, number.size()), '0');
    return stem += "-" + number;
}

std::string picture_name(const Picture& picture)
{
    const std::string name = path_to_utf8(picture.path);
    return picture.frame == 0 ? name : name + ", frame " + std::to_string(picture.frame);
}

std::optional<CliError> check_chr_display(const DisplayProfile& display)
{
    if (is_editor_size(display)) return std::nullopt;
    return CliError{"a .chr picture is 128 x 64; the display " + std::string(display.name) + " is " +
                    std::to_string(display.width) + " x " + std::to_string(display.height)};
}

std::optional<CliError> load_raster(const Picture& source, const DisplayProfile& display, Raster& picture,
                                    const ImportOptions& options)
{
    const std::filesystem::path& path = source.path;
    if (standard_stream(path)) return load_standard_input(display, picture, options);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return CliError{"no such picture file: " + path_to_utf8(path)};
    // A GIF, of one frame or several, through its frames: a damaged one is
    // refused for its damage, wherever it lies.
    if (source.frame > 0 || is_animation_extension(path)) {
        const RgbImage* image = nullptr;
        if (auto error = frame_picture(source, display_size(display), image)) return error;
        picture = raster_from_picture(*image, display_size(display), options);
        return std::nullopt;
    }
    // The same choice as open named file, decoding once so that a refusal can
    // say why.
    if (!is_picture_extension(path)) {
        if (auto error = check_chr_display(display)) return CliError{path_to_utf8(path) + ": " + error->message};
        ScreenBuffer screen;
        if (!load_chr(path, screen).ok) return CliError{"cannot read " + path_to_utf8(path)};
        picture = raster_from_screen(screen);
        return std::nullopt;
    }
    DecodeResult decoded = read_picture_for_display(path, {}, display_size(display));
    if (!decoded.ok()) return CliError{"cannot import " + path_to_utf8(path) + ": " + decoded.error};
    picture = raster_from_picture(decoded.image, display_size(display), options);
    return std::nullopt;
}

std::optional<CliError> load_picture(const Picture& source, ScreenBuffer& picture, const ImportOptions& options)
{
    // A .chr file is the buffer already: no way through a raster.
    const std::filesystem::path& path = source.path;
    std::error_code ec;
    if (!standard_stream(path) && !is_picture_extension(path) && std::filesystem::is_regular_file(path, ec)) {
        if (!load_chr(path, picture).ok) return CliError{"cannot read " + path_to_utf8(path)};
        return std::nullopt;
    }
    Raster raster;
    if (auto error = load_raster(source, default_display(), raster, options)) return error;
    picture = screen_from_raster(raster);
    return std::nullopt;
}

bool is_display_option(const std::string& arg) { return arg == "--display" || arg == "--layout"; }

std::optional<CliError> take_display_option(const Args& args, std::size_t& i, DisplayChoice& choice)
{
    const std::string arg = args[i];
    auto text = option_value(args, i);
    if (arg == "--display") {
        const DisplayProfile* display = text ? find_display(*text) : nullptr;
        if (!display) return CliError{(text ? "unknown display " + *text : std::string("--display needs a name")) +
                                      "; the displays are " + display_names()};
        choice.display = display;
        return std::nullopt;
    }
    auto layout = text ? find_layout(*text) : std::nullopt;
    if (!layout) return CliError{(text ? "unknown layout " + *text : std::string("--layout needs a name")) +
                                     "; the layouts are " + layout_names()};
    choice.layout = *layout;
    return std::nullopt;
}

std::optional<CliError> write_output(const std::filesystem::path& out, std::string_view bytes)
{
    if (out.empty() || standard_stream(out)) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0)
            return CliError{"cannot write to standard output", kExitFailed};
        return std::nullopt;
    }
    if (!write_file_atomically(out, bytes)) return CliError{"cannot write " + path_to_utf8(out), kExitFailed};
    return std::nullopt;
}

int animation_delay_option(const char* command, const std::optional<std::string>& text)
{
    const int delay = animation_delay(text);
    if (!text || delay != kDefaultAnimationDelay) return delay;
    int value = 0;
    auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    const bool named_default = error == std::errc() && end == text->data() + text->size() && value == delay;
    if (!named_default)
        std::cerr << "lumetra-cli " << command << ": --delay " << *text
                  << " is not a whole number of milliseconds from 10 to 5000; " << delay << " used\n";
    return delay;
}

int refuse(const char* command, const char* usage, const CliError& error)
{
    std::cerr << "lumetra-cli " << command << ": " << error.message << "\n";
    if (error.exit_code == kExitUsage) std::cerr << "usage: lumetra-cli " << usage << "\n";
    if (error.exit_code == kExitUsage && std::string_view(usage).find("DISPLAY-OPTIONS") != std::string_view::npos)
        std::cerr << "DISPLAY-OPTIONS:" << kDisplayOptionsHelp << "\n";
    if (error.exit_code == kExitUsage && std::string_view(usage).find("PICTURE-OPTIONS") != std::string_view::npos)
        std::cerr << kPictureOptionsHelp << "\n";
    return error.exit_code;
}

std::optional<CliError> take_out_dir(const Args& args, std::size_t& i, std::filesystem::path& out_dir)
{
    auto text = option_value(args, i);
    if (!text || text->empty()) return CliError{"--out-dir needs a folder name"};
    out_dir = utf8_to_path(*text);
    return std::nullopt;
}

std::optional<CliError> check_outputs(const Pictures& pictures, const Outputs& outputs)
{
    if (pictures.empty()) return CliError{"PICTURE missing"};
    if (!outputs.out.empty() && !outputs.out_dir.empty()) return CliError{"-o and --out-dir do not go together"};
    if (pictures.size() > 1 && outputs.out_dir.empty())
        return CliError{pictures.front().frame > 0 && pictures.back().path == pictures.front().path
                            ? path_to_utf8(pictures.front().path) + " has " + std::to_string(pictures.size()) +
                                  " frames: they need --out-dir DIR"
                            : "several PICTUREs need --out-dir DIR"};
    if (!outputs.out_dir.empty())
        for (const auto& picture : pictures)
            if (standard_stream(picture.path))
                return CliError{"standard input (-) has no name to give its output in --out-dir"};
    return std::nullopt;
}

namespace {

// DIR/NAME.EXT for PICTURE, refused when an earlier PICTURE of the run already
// gave that name (compared without case, as Windows would).
std::optional<CliError> output_in_dir(const Picture& picture, const Outputs& outputs, std::set<std::string>& taken,
                                      std::filesystem::path& out)
{
    std::filesystem::path name = picture_stem(picture);
    name += outputs.extension;
    std::string key = path_to_utf8(name);
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    out = outputs.out_dir / name;
    if (!taken.insert(key).second)
        return CliError{picture_name(picture) + ": another PICTURE already gives " + path_to_utf8(out) + "; not written",
                        kExitFailed};
    return std::nullopt;
}

}  // namespace

int make_each(const char* command, const char* usage, const Pictures& pictures, const Outputs& outputs,
              const MakeOutput& make)
{
    if (!outputs.out_dir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(outputs.out_dir, ec);
        if (!std::filesystem::is_directory(outputs.out_dir, ec))
            return refuse(command, usage, {"cannot make the folder " + path_to_utf8(outputs.out_dir), kExitFailed});
    }
    std::set<std::string> taken;
    int failed = 0;
    std::string bytes;
    for (const auto& picture : pictures) {
        std::filesystem::path out = outputs.out;
        std::optional<CliError> error;
        if (!outputs.out_dir.empty()) error = output_in_dir(picture, outputs, taken, out);
        if (!error) error = make(picture, bytes);
        if (!error) error = write_output(out, bytes);
        if (!error) continue;
        if (pictures.size() == 1) return refuse(command, usage, *error);
        std::cerr << "lumetra-cli " << command << ": " << error->message << "\n";
        ++failed;
    }
    if (failed == 0) return kExitDone;
    std::cerr << "lumetra-cli " << command << ": " << failed << " of " << pictures.size() << " PICTUREs failed\n";
    return kExitFailed;
}

std::optional<std::string> option_value(const Args& args, std::size_t& i)
{
    if (i + 1 >= args.size()) return std::nullopt;
    return args[++i];
}

std::optional<CliError> take_table_form(const Args& args, std::size_t& i, TableForm& form)
{
    auto text = option_value(args, i);
    if (!text || (*text != "asm" && *text != "c")) return CliError{"--format needs asm or c"};
    form = *text == "c" ? TableForm::C : TableForm::Assembler;
    return std::nullopt;
}

std::optional<CliError> take_table_name(const Args& args, std::size_t& i, std::optional<std::string>& name)
{
    auto text = option_value(args, i);
    if (!text || !is_c_identifier(*text))
        return CliError{"--name needs a C identifier (letters, digits and _, no digit first, no C keyword)"};
    name = *text;
    return std::nullopt;
}

std::optional<CliError> take_output_name(const Args& args, std::size_t& i, std::filesystem::path& out)
{
    auto text = option_value(args, i);
    if (!text || text->empty()) return CliError{"-o needs a file name"};
    out = utf8_to_path(*text);
    return std::nullopt;
}

std::optional<CliError> take_picture_argument(const Args& args, std::size_t& i, std::filesystem::path& out,
                                              Pictures& pictures, PictureOptions& options)
{
    const std::string& arg = args[i];
    if (arg == "-o") return take_output_name(args, i, out);
    if (is_picture_option(arg)) return take_picture_option(args, i, options);
    if (arg.starts_with("-") && arg != kStandardStream) return CliError{"unknown option " + arg};
    add_picture(utf8_to_path(arg), pictures);
    return std::nullopt;
}

namespace {

struct DitherName {
    const char* name;
    DitherMethod method;
};
constexpr DitherName kDitherNames[] = {
    {"none", DitherMethod::None},
    {"floyd-steinberg", DitherMethod::FloydSteinberg},
    {"atkinson", DitherMethod::Atkinson},
    {"ordered", DitherMethod::Ordered},
};

}  // namespace

bool is_picture_option(const std::string& arg) { return arg == "--dither" || arg == "--threshold" || arg == "--invert"; }

std::optional<CliError> take_picture_option(const Args& args, std::size_t& i, PictureOptions& options)
{
    const std::string arg = args[i];
    if (arg == "--invert") {
        options.import.invert = true;
    } else if (arg == "--dither") {
        auto text = option_value(args, i);
        const DitherName* found = nullptr;
        for (const DitherName& dither : kDitherNames)
            if (text && *text == dither.name) found = &dither;
        if (!found) return CliError{"--dither needs one of none, floyd-steinberg, atkinson, ordered"};
        options.import.dither = found->method;
    } else if (arg == "--threshold") {
        auto text = option_value(args, i);
        if (!text || text->empty() || text->size() > 3 || text->find_first_not_of("0123456789") != std::string::npos ||
            std::stoi(*text) < 1 || std::stoi(*text) > 255)
            return CliError{"--threshold needs a number from 1 to 255"};
        options.import.threshold = std::stoi(*text);
        options.threshold_given = true;
    }
    // Dithering decides at mid grey; a threshold would be silently ignored.
    if (options.threshold_given && options.import.dither != DitherMethod::None)
        return CliError{"--threshold goes only with --dither none"};
    return std::nullopt;
}

}  // namespace lumetra::cli
