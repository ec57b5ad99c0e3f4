#include "app/drop_and_command_line.h"

#include <system_error>

#include "app/documents.h"
#include "app/prompts.h"
#include "core/file_io.h"
#include "core/picture_import.h"

namespace lumetra {

namespace {

// Missing files, folders and empty files are all passed over in silence.
bool non_empty_file(const std::filesystem::path& path)
{
    std::error_code error;
    auto size = std::filesystem::file_size(path, error);
    return !error && size > 0;
}

bool droppable(const std::filesystem::path& path)
{
    return path_extension(path) == "chr" || is_picture_extension(path);
}

}  // namespace

void files_dropped(App& app, const std::vector<std::filesystem::path>& files)
{
    if (files.empty()) return;
    const std::filesystem::path& first = files.front();
    if (first.empty() || !non_empty_file(first) || !droppable(first)) return;
    if (!prompt_for_one_buffer(app)) return;
    open_into_current_buffer(app, first);
}

void open_command_line_file(App& app, const std::vector<std::filesystem::path>& arguments)
{
    if (arguments.empty() || arguments.front().empty()) return;
    // A name relative to the folder the program was started in becomes whole
    // now: the title, the buffer and the recent list keep it, and they must
    // still find the file when the current folder changes.
    std::error_code error;
    std::filesystem::path first = std::filesystem::absolute(arguments.front(), error).lexically_normal();
    if (error || !non_empty_file(first)) return;
    open_named_file(app, first);
}

}  // namespace lumetra
