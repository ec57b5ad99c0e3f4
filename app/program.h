// The program's entry, shared by every backend: start-up, the event loop,
// the quit path and shutdown. Returns the process exit code.
#pragma once

#include <filesystem>
#include <vector>

namespace lumetra {

// arguments: the command-line arguments after the program name.
int run_program(const std::vector<std::filesystem::path>& arguments);

}  // namespace lumetra
