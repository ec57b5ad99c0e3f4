// lumetra-cli COMMAND ...: one row of the table below per command.
#include <cstring>
#include <iostream>

#include "cli/cli.h"

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
    {"listing", lumetra::cli::run_listing,
     "listing [--db] [--file-name[=NAME]] [--no-group] [--indent1 N] [--indent2 N] PICTURE [-o OUT]"},
    {"bin", lumetra::cli::run_bin, "bin [--group] [--mode new|append|insert|replace] [--at N] -o FILE PICTURE..."},
    {"convert", lumetra::cli::run_convert, "convert PICTURE -o OUT.chr"},
};

int usage()
{
    std::cerr << "usage:\n";
    for (const Command& command : kCommands) std::cerr << "  lumetra-cli " << command.usage << "\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
#ifdef _WIN32
    // Listings already end their lines in CR LF; text mode would double the CR.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    if (argc < 2) return usage();
    for (const Command& command : kCommands)
        if (std::strcmp(argv[1], command.name) == 0) return command.run(lumetra::cli::Args(argv + 2, argv + argc));
    std::cerr << "lumetra-cli: unknown command " << argv[1] << "\n";
    return usage();
}
