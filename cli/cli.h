// lumetra-cli: the editor's converters for scripts and build pipelines.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/image_store.h"
#include "core/picture_dither.h"
#include "core/raster.h"
#include "display/display.h"
#include "font/font.h"

namespace lumetra::cli {

using Args = std::vector<std::string>;

// Exit codes of every command.
constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;  // a refused or failed operation; nothing half-written
constexpr int kExitUsage = 2;   // bad usage, or input that cannot be read or decoded

// "-" as a file name: standard input for a PICTURE, standard output for OUT.
inline constexpr const char* kStandardStream = "-";

// A failure of a command: the message goes to standard error.
struct CliError {
    std::string message;
    int exit_code = kExitUsage;
};

// One PICTURE of a run: a file, or one frame of an animated GIF. A GIF of
// several frames given as a PICTURE stands for its frames, in order.
struct Picture {
    std::filesystem::path path;
    int frame = 0;        // 1.. a frame of the GIF at path; 0 the file's one picture
    int frame_count = 1;  // the frames of that GIF
    int delay_ms = 0;     // the frame's own delay
};
using Pictures = std::vector<Picture>;

// Adds the PICTURE named on the command line: a GIF of several frames as
// its frames, anything else (a GIF that cannot be read included, so that
// reading it later says why) as one picture.
void add_picture(const std::filesystem::path& path, Pictures& pictures);
// The name an output takes after the picture: "logo" for logo.png, "anim-03"
// for the third frame of anim.gif (at least two digits).
std::filesystem::path picture_stem(const Picture& picture);
// "anim.gif" or "anim.gif, frame 3", for messages.
std::string picture_name(const Picture& picture);

// Reads PICTURE as the editor's open would: BMP, JPG, PNG and GIF by their
// extension are imported, every other file is a .chr file. "-" reads
// standard input (once): a BMP, icon, PNG, JPEG or one-frame GIF by its
// content, otherwise exactly 1024 bytes of a .chr picture. Fills picture or
// returns the error. Imports follow the options (the editor's import by
// default); a .chr picture is taken as it is.
std::optional<CliError> load_picture(const Picture& picture, ScreenBuffer& screen, const ImportOptions& options = {});

// The picture options every command that reads PICTUREs takes: --dither
// METHOD, --threshold N (1..255, only without dithering), --invert.
struct PictureOptions {
    ImportOptions import;
    bool threshold_given = false;
};
bool is_picture_option(const std::string& arg);
// Takes the picture option at args[i] (and its value; advances i).
std::optional<CliError> take_picture_option(const Args& args, std::size_t& i, PictureOptions& options);
// "[PICTURE-OPTIONS]" in a usage line stands for these.
inline constexpr const char* kPictureOptionsHelp =
    "PICTURE-OPTIONS (for BMP, JPG, PNG and GIF pictures): --dither none|floyd-steinberg|atkinson|ordered,\n"
    "  --threshold N (1..255, lit below N; default 220, only with --dither none), --invert (the negative)";

// --display NAME and --layout L: which display the output is for and how its
// pixels become bytes. The default is the editor's display in its own order.
struct DisplayChoice {
    const DisplayProfile* display = &default_display();
    Layout layout = Layout::Pages;
    // The editor's display in its own layout: today's outputs, byte for byte.
    bool editor_default() const { return display == &default_display() && layout == Layout::Pages; }
};
bool is_display_option(const std::string& arg);
// Takes --display or --layout at args[i] (and its value; advances i).
std::optional<CliError> take_display_option(const Args& args, std::size_t& i, DisplayChoice& choice);
inline constexpr const char* kDisplayOptionsHelp =
    "  --display NAME (see lumetra-cli displays; default ks0108), --layout pages|pages-msb|rows|rows-lsb (default pages)";

// PICTURE as load_picture reads it, at the display's size: an import is
// stretched to it; a .chr picture (128 x 64) goes only to a display of that size.
std::optional<CliError> load_raster(const Picture& picture, const DisplayProfile& display, Raster& raster,
                                    const ImportOptions& options = {});
// Why a .chr picture cannot go to or come from the display, or nothing.
std::optional<CliError> check_chr_display(const DisplayProfile& display);

// Writes bytes to OUT through a temporary file, or to standard output when
// out is empty or "-". A failed write is kExitFailed.
std::optional<CliError> write_output(const std::filesystem::path& out, std::string_view bytes);

// Makes the bytes of one output from one PICTURE.
using MakeOutput = std::function<std::optional<CliError>(const Picture& picture, std::string& bytes)>;

// Where the outputs of a run go: -o OUT (one PICTURE), or --out-dir DIR,
// where each output is named after its PICTURE with the extension, a frame
// of a GIF after the GIF and its number of at least two digits (anim-01).
struct Outputs {
    std::filesystem::path out;
    std::filesystem::path out_dir;
    const char* extension = "";  // ".asm"
};

// Takes --out-dir DIR at args[i]; advances i.
std::optional<CliError> take_out_dir(const Args& args, std::size_t& i, std::filesystem::path& out_dir);

// Checks the PICTUREs against the outputs (several need --out-dir, which
// does not go with -o) before anything is read.
std::optional<CliError> check_outputs(const Pictures& pictures, const Outputs& outputs);

// Makes and writes the output of every PICTURE. With one PICTURE a failure is
// that failure's exit code; with several each failure is told on standard
// error by name, the others go on, and the exit code is kExitFailed.
int make_each(const char* command, const char* usage, const Pictures& pictures, const Outputs& outputs,
              const MakeOutput& make);

// Takes the value of an option such as "-o FILE" at args[i]; advances i.
std::optional<std::string> option_value(const Args& args, std::size_t& i);

// The text forms of a data table (font, frames): "--format asm|c".
enum class TableForm { Assembler, C };
std::optional<CliError> take_table_form(const Args& args, std::size_t& i, TableForm& form);

// "--name NAME": a C identifier for the table's names.
std::optional<CliError> take_table_name(const Args& args, std::size_t& i, std::optional<std::string>& name);

// Takes the file name of "-o FILE" at args[i] into out; advances i.
std::optional<CliError> take_output_name(const Args& args, std::size_t& i, std::filesystem::path& out);

// The arguments every picture-taking command shares, after its own options:
// "-o OUT", the picture options, and a PICTURE ("-" included; a GIF as its
// frames); anything else starting with "-" is an unknown option. Advances i
// past a value.
std::optional<CliError> take_picture_argument(const Args& args, std::size_t& i, std::filesystem::path& out,
                                              Pictures& pictures, PictureOptions& options);

// The delay of --delay MS by the animation panel's rule (anything but a whole
// number from 10 to 5000 is 200), with a note on standard error when the rule
// replaced what was given.
int animation_delay_option(const char* command, const std::optional<std::string>& text);

// What follows "lumetra-cli " in each command's usage line.
inline constexpr const char* kListingUsage =
    "listing [--db] [--file-name[=NAME]] [--no-group] [--indent1 N] [--indent2 N] [DISPLAY-OPTIONS] [PICTURE-OPTIONS]\n"
    "      PICTURE... [-o OUT | --out-dir DIR]\n"
    "  lumetra-cli listing --format c|xbm [--name NAME] [--no-group] [--crlf] [DISPLAY-OPTIONS] [PICTURE-OPTIONS] PICTURE...\n"
    "      [-o OUT | --out-dir DIR]";
inline constexpr const char* kBinUsage =
    "bin [--group] [--mode new|append|insert|replace] [--at N] [DISPLAY-OPTIONS] [PICTURE-OPTIONS] -o FILE PICTURE...";
inline constexpr const char* kConvertUsage = "convert [--display NAME] [PICTURE-OPTIONS] PICTURE... (-o OUT.chr | --out-dir DIR)";
inline constexpr const char* kPictureUsage = "picture SOURCE -o OUT.chr|OUT.png [DISPLAY-OPTIONS]";
inline constexpr const char* kDisplaysUsage = "displays";
inline constexpr const char* kSkipMapUsage = "skip-map [--count N] [PICTURE-OPTIONS] -o MAP PICTURE PICTURE...";
inline constexpr const char* kRenderUsage = "render [--scale N] [--grid] [--display NAME] [PICTURE-OPTIONS] PICTURE -o OUT.png";
inline constexpr const char* kAnimateUsage =
    "animate [--delay MS] [--scale N] [--grid] [--display NAME] [PICTURE-OPTIONS] -o OUT.gif PICTURE PICTURE...";
inline constexpr const char* kFramesUsage =
    "frames [--count N] [--delay MS] [--display NAME] [--format asm|c] [--db] [--name NAME] [--stats] [PICTURE-OPTIONS]\n"
    "      -o OUT PICTURE PICTURE...";
inline constexpr const char* kSkipListUsage = "skip-list [--count N] [--rtf] [PICTURE-OPTIONS] PICTURE... [--map MAP] [-o OUT]";
inline constexpr const char* kFontUsage =
    "font FONT --size PX (--chars RANGES | --charset ascii|cp1251) [--fixed [W]] [--display NAME] [--format asm|c] [--db]\n"
    "      [--name NAME] -o OUT";
inline constexpr const char* kTextUsage =
    "text FONT --size PX --at X,Y [--clear] [--display NAME] [PICTURE-OPTIONS] TEXT [PICTURE] -o OUT.chr|OUT.png";

// Tells standard error why the command refused (and for bad usage how it is
// used); the error's exit code.
int refuse(const char* command, const char* usage, const CliError& error);

int run_listing(const Args& args);
int run_bin(const Args& args);
int run_convert(const Args& args);
int run_picture(const Args& args);
int run_skip_map(const Args& args);
int run_skip_list(const Args& args);
int run_render(const Args& args);
int run_animate(const Args& args);
int run_displays(const Args& args);
int run_frames(const Args& args);
int run_font(const Args& args);
int run_text(const Args& args);

// --size PX of the font commands: a whole number of pixels, or why not.
std::optional<CliError> take_font_size(const Args& args, std::size_t& i, int& size);
// FONT at size for the display: a font that cannot be opened at that size is
// kExitUsage, a line taller than the display is refused (kExitFailed).
std::optional<CliError> open_display_font(const std::filesystem::path& path, int size, const DisplayProfile& display,
                                          FontHandle& font);
// Tells standard error which codes the font lacks (they were drawn as its box).
void warn_missing(const char* command, const std::vector<char32_t>& missing);

}  // namespace lumetra::cli
