// Pictures handed to the program from outside: files dropped onto the main
// window, and the file named on the command line.
#pragma once

#include <filesystem>
#include <vector>

#include "app/app.h"

namespace lumetra {

// Only the first dropped file is considered: a non-empty file ending in chr,
// bmp, jpg or png (any case); after the prompt it replaces the current buffer.
void files_dropped(App& app, const std::vector<std::filesystem::path>& files);

// At start: the first argument, if it names a non-empty file, is opened into
// the current buffer whatever its extension.
void open_command_line_file(App& app, const std::vector<std::filesystem::path>& arguments);

}  // namespace lumetra
