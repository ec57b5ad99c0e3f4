// lumetra-cli displays: the display profiles the other commands take with
// --display, and what a driver writer must know of each.
#include <iomanip>
#include <iostream>

#include "cli/cli.h"

namespace lumetra::cli {

int run_displays(const Args& args)
{
    if (!args.empty()) return refuse("displays", kDisplaysUsage, {"displays takes no arguments"});
    std::cout << std::left << std::setw(20) << "name" << std::setw(10) << "pixels" << std::setw(14) << "controllers"
              << std::setw(7) << "pages" << "note\n";
    for (const DisplayProfile& display : display_profiles()) {
        std::string name = display.name;
        if (display.alias[0]) name += std::string(" (") + display.alias + ")";
        if (&display == &default_display()) name += " *";
        std::cout << std::setw(20) << name << std::setw(10)
                  << (std::to_string(display.width) + " x " + std::to_string(display.height)) << std::setw(14)
                  << (std::to_string(display.controllers) + " x " + std::to_string(display.columns)) << std::setw(7)
                  << display_pages(display) << display.note << "\n";
    }
    std::cout << "* the default: the editor's display. Layouts (--layout): " << layout_names() << "\n";
    return kExitDone;
}

}  // namespace lumetra::cli
