// lumetra-cli COMMAND ...: one row of the table below per command.
#include <cstring>
#include <iostream>

#include "cli/cli.h"
#include "core/text_encoding.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
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
    {"skip-map", lumetra::cli::run_skip_map, lumetra::cli::kSkipMapUsage},
    {"skip-list", lumetra::cli::run_skip_list, lumetra::cli::kSkipListUsage},
};

int usage()
{
    std::cerr << "usage:\n";
    for (const Command& command : kCommands) std::cerr << "  lumetra-cli " << command.usage << "\n";
    return 2;
}

// Arguments arrive as UTF-8 on every platform.
int run(const lumetra::cli::Args& args)
{
    if (args.empty()) return usage();
    for (const Command& command : kCommands)
        if (args[0] == command.name) return command.run(lumetra::cli::Args(args.begin() + 1, args.end()));
    std::cerr << "lumetra-cli: unknown command " << args[0] << "\n";
    return usage();
}

}  // namespace

#ifdef _WIN32
// The wide command line, so that names outside the ANSI code page survive.
int wmain(int argc, wchar_t** argv)
{
    // Listings already end their lines in CR LF; text mode would double the CR.
    _setmode(_fileno(stdout), _O_BINARY);
    lumetra::cli::Args args;
    for (int i = 1; i < argc; ++i) args.push_back(lumetra::path_to_utf8(std::filesystem::path(argv[i])));
    return run(args);
}
#else
int main(int argc, char** argv) { return run(lumetra::cli::Args(argv + 1, argv + argc)); }
#endif
