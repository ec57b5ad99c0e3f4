// lumetra-cli COMMAND ...: one row of the table below per command.
#include <cstring>
#include <iostream>
#include <ostream>

#include "cli/cli.h"
#include "core/text_encoding.h"
#include "lumetra_version.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "cli/windows_console.h"
#endif

namespace {

struct Command {
    const char* name;
    int (*run)(const lumetra::cli::Args&);
    const char* usage;
};

constexpr Command kCommands[] = {
    {"listing", lumetra::cli::run_listing, lumetra::cli::kListingUsage},
    {"bin", lumetra::cli::run_bin, lumetra::cli::kBinUsage},
    {"convert", lumetra::cli::run_convert, lumetra::cli::kConvertUsage},
    {"picture", lumetra::cli::run_picture, lumetra::cli::kPictureUsage},
    {"skip-map", lumetra::cli::run_skip_map, lumetra::cli::kSkipMapUsage},
    {"skip-list", lumetra::cli::run_skip_list, lumetra::cli::kSkipListUsage},
    {"render", lumetra::cli::run_render, lumetra::cli::kRenderUsage},
    {"animate", lumetra::cli::run_animate, lumetra::cli::kAnimateUsage},
    {"displays", lumetra::cli::run_displays, lumetra::cli::kDisplaysUsage},
    {"frames", lumetra::cli::run_frames, lumetra::cli::kFramesUsage},
    {"font", lumetra::cli::run_font, lumetra::cli::kFontUsage},
    {"text", lumetra::cli::run_text, lumetra::cli::kTextUsage},
};

constexpr const char* kFileNames =
    "A PICTURE or SOURCE of - is standard input, an OUT of - standard output.\n";
constexpr const char* kExitCodes =
    "exit codes: 0 done; 1 a refused or failed operation (nothing half-written);\n"
    "            2 bad usage, or input that cannot be read or decoded\n";

void usage(std::ostream& out)
{
    out << "usage: lumetra-cli --help | --version\n";
    for (const Command& command : kCommands) out << "  lumetra-cli " << command.usage << "\n";
    out << "DISPLAY-OPTIONS:" << lumetra::cli::kDisplayOptionsHelp << "\n";
    out << lumetra::cli::kPictureOptionsHelp << "\n";
    out << "lumetra-cli COMMAND --help shows one command.\n" << kFileNames << kExitCodes;
}

bool help_option(const std::string& arg) { return arg == "--help" || arg == "-h"; }

// Arguments arrive as UTF-8 on every platform.
int run(const lumetra::cli::Args& args)
{
    if (args.empty()) {
        usage(std::cerr);
        return lumetra::cli::kExitUsage;
    }
    if (help_option(args[0])) {
        usage(std::cout);
        return lumetra::cli::kExitDone;
    }
    if (args[0] == "--version") {
        std::cout << "lumetra-cli " << LUMETRA_VERSION << "\n";
        return lumetra::cli::kExitDone;
    }
    for (const Command& command : kCommands) {
        if (args[0] != command.name) continue;
        lumetra::cli::Args rest(args.begin() + 1, args.end());
        for (const std::string& arg : rest) {
            if (!help_option(arg)) continue;
            std::cout << "usage: lumetra-cli " << command.usage << "\n";
            if (std::strstr(command.usage, "DISPLAY-OPTIONS"))
                std::cout << "DISPLAY-OPTIONS:" << lumetra::cli::kDisplayOptionsHelp << "\n";
            if (std::strstr(command.usage, "PICTURE-OPTIONS")) std::cout << lumetra::cli::kPictureOptionsHelp << "\n";
            std::cout << kFileNames << kExitCodes;
            return lumetra::cli::kExitDone;
        }
        return command.run(rest);
    }
    std::cerr << "lumetra-cli: unknown command " << args[0] << "\n";
    usage(std::cerr);
    return lumetra::cli::kExitUsage;
}

}  // namespace

#ifdef _WIN32
// The wide command line, so that names outside the ANSI code page survive.
int wmain(int argc, wchar_t** argv)
{
    // Listings already end their lines in CR LF; text mode would double the
    // CR, and would cut pictures read from standard input at the first 0x1A.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
    lumetra::cli::write_messages_to_console();
    lumetra::cli::Args args;
    for (int i = 1; i < argc; ++i) args.push_back(lumetra::path_to_utf8(std::filesystem::path(argv[i])));
    return run(args);
}
#else
int main(int argc, char** argv) { return run(lumetra::cli::Args(argv + 1, argv + argc)); }
#endif
