// lumetra-cli: the editor's converters for scripts and build pipelines.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/image_store.h"

namespace lumetra::cli {

using Args = std::vector<std::string>;

// A failure of a command: the message goes to standard error.
struct CliError {
    std::string message;
};

// Reads PICTURE as the editor's open would: BMP, JPG and PNG by their
// extension are imported, every other file is a .chr file. Fills picture or
// returns the error text.
std::optional<CliError> load_picture(const std::filesystem::path& path, ScreenBuffer& picture);

// Writes bytes to OUT through a temporary file, or to standard output when
// out is empty.
std::optional<CliError> write_output(const std::filesystem::path& out, std::string_view bytes);

// Takes the value of an option such as "-o FILE" at args[i]; advances i.
std::optional<std::string> option_value(const Args& args, std::size_t& i);

// Takes the file name of "-o FILE" at args[i] into out; advances i.
std::optional<CliError> take_output_name(const Args& args, std::size_t& i, std::filesystem::path& out);

// What follows "lumetra-cli " in each command's usage line.
inline constexpr const char* kListingUsage =
    "listing [--db] [--file-name[=NAME]] [--no-group] [--indent1 N] [--indent2 N] PICTURE [-o OUT]";
inline constexpr const char* kBinUsage = "bin [--group] [--mode new|append|insert|replace] [--at N] -o FILE PICTURE...";
inline constexpr const char* kConvertUsage = "convert PICTURE -o OUT.chr";
inline constexpr const char* kSkipMapUsage = "skip-map [--count N] -o MAP PICTURE PICTURE...";
inline constexpr const char* kSkipListUsage = "skip-list [--count N] [--rtf] PICTURE... [--map MAP] [-o OUT]";

// Tells standard error why the command refused and how it is used; the exit
// code of a refused command.
int refuse(const char* command, const char* usage, const CliError& error);

int run_listing(const Args& args);
int run_bin(const Args& args);
int run_convert(const Args& args);
int run_skip_map(const Args& args);
int run_skip_list(const Args& args);

}  // namespace lumetra::cli
