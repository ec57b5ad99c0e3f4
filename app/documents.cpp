#include "app/documents.h"

#include "app/prompts.h"
#include "app/menus.h"
#include "core/chr_file.h"
#include "core/file_io.h"
#include "core/picture_import.h"
#include "core/text_encoding.h"
#include "app/views/code_view.h"
#include "app/views/screen_view.h"
#include "app/panels/animation_panel.h"
#include "app/panels/conversion_panel.h"
#include "app/startup.h"

namespace lumetra {

namespace {

constexpr const char* kOpenTitle = "Открыть файл...";
constexpr const char* kOpenFilter =
    "Font Files (*.chr)|*.chr|Рисунки в форматах BMP, JPG, PNG, GIF|*.bmp;*.jpg;*.png;*.gif|Все файлы|*.*";
constexpr const char* kSaveTitle = "Сохранить файл...";
constexpr const char* kSaveFilter = "Font Files (*.chr)|*.chr|All Files|*.*";
constexpr int kPictureFilter = 2;

// Shown when an animation has more frames than buffers are left for it.
std::string frames_left_out_text(std::size_t frames, int first_buffer, int filled)
{
    const int last = first_buffer + filled - 1;
    const std::string buffers = last == first_buffer ? "В буфер " + std::to_string(last)
                                                     : "В буферы " + std::to_string(first_buffer) + " – " +
                                                           std::to_string(last);
    return "Анимация содержит кадров: " + std::to_string(frames) + ".\n" + buffers +
           " загружено кадров: " + std::to_string(filled) + ", не поместилось: " +
           std::to_string(frames - static_cast<std::size_t>(filled)) + ".";
}

// The frames of an animation into the buffers from the current one on, as
// far as the last. The current buffer was asked about before the file was
// chosen; each further buffer with unsaved changes is shown and asked about
// before it is overwritten, and Cancel stops there. The animation panel then
// plays the buffers filled.
void open_frames(App& app, const std::filesystem::path& path, const std::vector<AnimationFrame>& frames)
{
    const int first = current_buffer(app.store);
    int filled = 0;
    bool stopped = false;
    for (; static_cast<std::size_t>(filled) < frames.size() && first + filled <= kBufferCount; ++filled) {
        const int buffer = first + filled;
        if (filled > 0 && is_modified(app.store, buffer)) {
            platform::set_selection(kBufferTabs, buffer - 1);
            make_buffer_current(app, buffer, false);
            stopped = !prompt_for_one_buffer(app, buffer);
            if (stopped) break;
        }
        *buffer_of(app.store, buffer) = screen_from_picture(frames[static_cast<std::size_t>(filled)].image);
        set_file_name(app.store, buffer, path);
        set_modified(app.store, buffer, false);
    }
    platform::set_selection(kBufferTabs, first - 1);
    make_buffer_current(app, first, false);
    if (make_tool_panel(app, kAnimationPanel)) show_animation_buffers(app, first, filled, frames.front().delay_ms);
    if (!stopped && static_cast<std::size_t>(filled) < frames.size())
        platform::message_box(kAnimationTitle, frames_left_out_text(frames.size(), first, filled), platform::Buttons::Ok,
                              platform::Icon::Information);
}

}  // namespace

std::filesystem::path with_default_extension(std::filesystem::path path, const char* extension)
{
    if (path_extension(path).empty()) path += extension;
    return path;
}

void show_error_box(const std::string& text)
{
    platform::message_box(kErrorTitle, text, platform::Buttons::Ok, platform::Icon::Error);
}

std::string file_error_text(const FileResult& result)
{
    const char* text = result.failure == FileFailure::Write ? kWriteErrorText : kReadErrorText;
    return text + path_to_utf8(result.path);
}

bool check_file_result(const FileResult& result)
{
    if (!result.ok) show_error_box(file_error_text(result));
    return result.ok;
}

void write_text_file(const std::filesystem::path& path, const std::optional<std::string>& bytes)
{
    if (!bytes) {
        show_error_box(file_error_text(write_error(path)) + kCodePageErrorText);
        return;
    }
    check_file_result(write_file_atomically(path, *bytes) ? FileResult{} : write_error(path));
}

bool write_buffer(App& app, int buffer, const std::filesystem::path& path)
{
    return check_file_result(write_chr_from(app.store, buffer, path));
}

std::filesystem::path ask_picture_file_name()
{
    platform::FileChoice choice = platform::save_file_dialog({kSaveTitle, kSaveFilter, 1, {}});
    if (choice.path.empty()) return {};
    return with_default_extension(choice.path, ".chr");
}

bool has_picture_file_name(const ImageStore& store, int buffer) { return is_picture_extension(file_name(store, buffer)); }

void make_buffer_current(App& app, int new_buffer, bool focus)
{
    int old_buffer = current_buffer(app.store);
    if (new_buffer == old_buffer || !valid_buffer(new_buffer)) return;
    clear_read_out();
    save_listing_options(app.listing_options, old_buffer);
    restore_listing_options(app.listing_options, new_buffer);
    set_current_buffer(app.store, new_buffer);
    show_whole_buffer(app);
    show_window_title(app);
    show_code_view(new_buffer, focus);
}

void switch_buffer(App& app) { make_buffer_current(app, platform::selection(kBufferTabs) + 1, true); }

void new_document(App& app, int)
{
    if (!prompt_for_one_buffer(app)) return;
    int buffer = current_buffer(app.store);
    set_modified(app.store, buffer, false);
    clear_buffer(app.store, buffer);
    set_file_name(app.store, buffer, {});
    show_window_title(app);
    show_whole_buffer(app);
}

void open_document(App& app, int)
{
    if (!prompt_for_one_buffer(app)) return;
    int buffer = current_buffer(app.store);
    bool was_modified = is_modified(app.store, buffer);
    set_modified(app.store, buffer, false);

    // The most recent file is offered, with the filter that shows it.
    std::filesystem::path recent = utf8_to_path(app.settings.recent[0]);
    platform::FileDialog dialog{kOpenTitle, kOpenFilter, is_picture_extension(recent) ? kPictureFilter : 1, recent};
    platform::FileChoice choice = platform::open_file_dialog(dialog);
    // Nothing was replaced, so the unsaved picture keeps its protection.
    if (choice.path.empty()) {
        set_modified(app.store, buffer, was_modified);
        return;
    }
    if (!open_named_file(app, choice.path)) set_modified(app.store, buffer, was_modified);
}

void save_document(App& app, int command)
{
    int buffer = current_buffer(app.store);
    const std::filesystem::path& name = file_name(app.store, buffer);
    if (name.empty() || has_picture_file_name(app.store, buffer)) {
        save_document_as(app, command);
        return;
    }
    write_buffer(app, buffer, name);
}

void save_document_as(App& app, int)
{
    std::filesystem::path path = ask_picture_file_name();
    if (path.empty()) return;
    int buffer = current_buffer(app.store);
    write_buffer(app, buffer, path);
    // The chosen name is the buffer's from now on, even when the write failed.
    set_file_name(app.store, buffer, path);
    show_window_title(app);
}

bool open_named_file(App& app, const std::filesystem::path& path)
{
    if (path.empty()) return false;
    // Before reading: a file that then fails to load still moves to the top.
    add_recent(app, path);
    // A GIF of several frames fills buffers; one of a single frame is a picture.
    if (is_animation_extension(path)) {
        const DecodeAnimationResult animation = read_animation(path);
        if (animation.ok() && animation.frames.size() > 1) {
            open_frames(app, path, animation.frames);
            show_window_title(app);
            show_whole_buffer(app);
            return true;
        }
    }
    bool ok = check_file_result(open_picture_file(app.store, current_buffer(app.store), path));
    if (ok) show_window_title(app);
    show_whole_buffer(app);
    return ok;
}

void open_into_current_buffer(App& app, const std::filesystem::path& path)
{
    int buffer = current_buffer(app.store);
    bool was_modified = is_modified(app.store, buffer);
    set_modified(app.store, buffer, false);
    if (!open_named_file(app, path)) set_modified(app.store, buffer, was_modified);
}

void add_recent(App& app, const std::filesystem::path& path)
{
    add_recent_file(app.settings.recent, path_to_utf8(path));
    auto texts = recent_menu_texts(app.settings.recent, kRecentBlanksAfterUpdate);
    for (int i = 0; i < kRecentCount; ++i) platform::set_menu_item_text(kCmdFirstRecent + i, texts[i]);
}

void recent_file_command(App& app, int command)
{
    int entry = command - kCmdFirstRecent;
    if (entry < 0 || entry >= kRecentCount || app.settings.recent[entry].empty()) return;
    // Copied: opening reorders the list.
    std::filesystem::path path = utf8_to_path(app.settings.recent[entry]);
    if (!prompt_for_one_buffer(app)) return;
    open_into_current_buffer(app, path);
}

}  // namespace lumetra
