// lumetra-cli.exe and the Windows console.
#pragma once

namespace lumetra::cli {

// When standard error is a console, the messages written to std::cerr
// (UTF-8) reach it as UTF-16 through the console's wide output, so that a
// Cyrillic path reads right whatever the console's code page; a file or a
// pipe keeps getting the UTF-8 bytes. Called once, first thing.
void write_messages_to_console();

}  // namespace lumetra::cli
