// lumetra-cli frames: the pictures as an animation a PIC plays, frame 1 whole
// and then only the bytes that change, as a Dt/Db listing or a C array.

#include <iomanip>
#include <iostream>
#include <sstream>

#include "cli/cli.h"
#include "core/text_encoding.h"
#include "display/frames.h"
#include "tools/animation.h"

namespace lumetra::cli {

namespace {


struct FramesCommand {
    std::optional<int> count;              // --count, else the display's own
    std::optional<std::string> delay_text;  // --delay
    DisplayChoice display;
    TableForm form = TableForm::Assembler;
    ListingOptions options;
    std::optional<std::string> name;  // --name
    bool stats = false;
    std::filesystem::path out;
    Pictures pictures;  // a GIF as its frames
    PictureOptions picture_options;
};

std::optional<CliError> parse(const Args& args, FramesCommand& command)
{
    bool db = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--count") {
            auto text = option_value(args, i);
            if (!text || text->empty() || text->size() > 2 || text->find_first_not_of("0123456789") != std::string::npos ||
                std::stoi(*text) < kMinFrameCount || std::stoi(*text) > kMaxFrameCount)
                return CliError{"--count needs a number from 1 to 64"};
            command.count = std::stoi(*text);
        } else if (arg == "--delay") {
            command.delay_text = option_value(args, i);
            if (!command.delay_text) return CliError{"--delay needs a number of milliseconds"};
        } else if (arg == "--display") {
            if (auto error = take_display_option(args, i, command.display)) return error;
        } else if (arg == "--format") {
            if (auto error = take_table_form(args, i, command.form)) return error;
        } else if (arg == "--db") {
            db = true;
        } else if (arg == "--name") {
            if (auto error = take_table_name(args, i, command.name)) return error;
        } else if (arg == "--stats") {
            command.stats = true;
        } else if (auto error = take_picture_argument(args, i, command.out, command.pictures, command.picture_options)) {
            return error;
        }
    }
    if (db && command.form == TableForm::C) return CliError{"--db does not go with --format c"};
    if (command.name && command.form == TableForm::Assembler) return CliError{"--name needs --format c"};
    command.options.directive = db ? Directive::Db : Directive::Dt;
    if (command.pictures.size() < static_cast<std::size_t>(kMinAnimationFrames))
        return CliError{"give at least 2 PICTUREs, one a frame"};
    if (command.out.empty()) return CliError{"-o OUT missing"};
    return std::nullopt;
}

// Per frame the bytes a whole frame writes against those its runs write.
std::string stats_text(const std::vector<Frame>& frames, const DisplayProfile& display, std::size_t table_size)
{
    const int whole = display.width * display_pages(display);
    std::ostringstream text;
    text << "frame       ms  whole  runs  run bytes\n";
    int runs = 0, bytes = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const Frame& frame = frames[i];
        const bool loop = frame_kind(i, frames.size()) == FrameKind::Loop;
        text << std::setw(5) << (loop ? std::string("loop") : std::to_string(i + 1)) << std::setw(9) << frame.delay_ms
             << std::setw(7) << whole << std::setw(6) << frame.runs.size() << std::setw(11) << run_bytes(frame) << "\n";
        runs += static_cast<int>(frame.runs.size());
        bytes += run_bytes(frame);
    }
    text << "total" << std::setw(16) << whole * static_cast<int>(frames.size()) << std::setw(6) << runs << std::setw(11)
         << bytes << "\n";
    text << "table " << table_size << " bytes\n";
    return text.str();
}

std::optional<CliError> make_frames_output(const FramesCommand& command, std::string& bytes, std::string& stats)
{
    const DisplayProfile& display = *command.display.display;
    std::vector<Raster> pictures(command.pictures.size());
    for (std::size_t i = 0; i < pictures.size(); ++i)
        if (auto error = load_raster(command.pictures[i], display, pictures[i], command.picture_options.import))
            return error;
    // A GIF's frames keep their own delays unless --delay is given.
    const int delay = animation_delay_option("frames", command.delay_text);
    std::vector<int> delays;
    for (const Picture& picture : command.pictures)
        delays.push_back(picture.frame > 0 && !command.delay_text ? picture.delay_ms : delay);
    const std::vector<Frame> frames =
        make_frames(pictures, delays, display, command.count.value_or(default_frame_count(display)));
    if (command.form == TableForm::C)
        bytes = join_lines(frame_table_c_array(frames, display, command.name.value_or("frames")), "\n");
    else
        bytes = join_view_lines(frame_table_listing(frames, display, command.options));
    if (command.stats) stats = stats_text(frames, display, frame_table(frames).size());
    return std::nullopt;
}

}  // namespace

int run_frames(const Args& args)
{
    FramesCommand command;
    std::string bytes, stats;
    auto error = parse(args, command);
    if (!error) error = make_frames_output(command, bytes, stats);
    if (!error) error = write_output(command.out, bytes);
    if (error) return refuse("frames", kFramesUsage, *error);
    // With the table on standard output the figures go beside it, not into it.
    (command.out == kStandardStream ? std::cerr : std::cout) << stats;
    return kExitDone;
}

}  // namespace lumetra::cli
