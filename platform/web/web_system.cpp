// Message boxes, file dialogs, dropped files, downloads, storage, beeps and
// links of the browser backend. The page side is web_system.js; the calls
// that wait for the user suspend the program (Asyncify) until it answers;
// meanwhile the page paints what the program drew before asking.
#include <emscripten.h>

#include <string>

#include "platform/web/web_backend.h"

extern "C" {
void lumetra_system_after_event();
void lumetra_system_offer_download(const char* path);
void lumetra_system_accept_drops(int accept);
int lumetra_system_answer_size();
void lumetra_system_copy_answer(char* buffer, int size);
void lumetra_system_beep(int frequency);
void lumetra_system_open_link(const char* target);
void lumetra_system_ended();
}

namespace {

EM_ASYNC_JS(int, ask_message_box, (const char* title, const char* text, int buttons, int icon), {
    return await LumetraSystem.message_box(UTF8ToString(title), UTF8ToString(text), buttons, icon);
});

EM_ASYNC_JS(int, ask_open_file, (const char* title, const char* filter, int filter_index), {
    return await LumetraSystem.open_dialog(UTF8ToString(title), UTF8ToString(filter), filter_index);
});

EM_ASYNC_JS(int, ask_save_file, (const char* title, const char* filter, int filter_index, const char* preset), {
    return await LumetraSystem.save_dialog(UTF8ToString(title), UTF8ToString(filter), filter_index,
                                           UTF8ToString(preset));
});

std::filesystem::path page_answer()
{
    std::string text(static_cast<std::size_t>(lumetra_system_answer_size()), '\0');
    lumetra_system_copy_answer(text.data(), static_cast<int>(text.size()));
    text.resize(text.find('\0'));
    return std::filesystem::path(text);
}

}  // namespace

namespace lumetra::platform {

// ---------------------------------------------------------------- modal

// The page answers with the numbers of Answer.
Answer message_box(const std::string& title, const std::string& text, Buttons buttons, Icon icon)
{
    return static_cast<Answer>(ask_message_box(title.c_str(), text.c_str(), static_cast<int>(buttons), static_cast<int>(icon)));
}

FileChoice open_file_dialog(const FileDialog& dialog)
{
    FileChoice choice;
    choice.filter_index = dialog.filter_index;
    if (ask_open_file(dialog.title.c_str(), dialog.filter.c_str(), dialog.filter_index)) choice.path = page_answer();
    return choice;
}

FileChoice save_file_dialog(const FileDialog& dialog)
{
    FileChoice choice;
    choice.filter_index = dialog.filter_index;
    const std::string preset = dialog.preset.filename().string();
    const int filter = ask_save_file(dialog.title.c_str(), dialog.filter.c_str(), dialog.filter_index, preset.c_str());
    if (filter > 0) {
        choice.filter_index = filter;
        choice.path = page_answer();
    }
    return choice;
}

void accept_dropped_files(bool accept) { lumetra_system_accept_drops(accept ? 1 : 0); }

// ---------------------------------------------------------------- misc

// The exclamation sound is the higher one.
void warning_beep() { lumetra_system_beep(880); }
void default_beep() { lumetra_system_beep(660); }

// What the program keeps between visits (its settings file) lives here; the
// page makes the folder and loads it before main runs.
std::filesystem::path temp_directory() { return web::kPersistFolder; }

// The browser has no font folder of ours: the page carries a few bitmap fonts
// of its own in the module (platform/web/CMakeLists.txt).
std::vector<std::filesystem::path> font_folders() { return {web::kFontFolder}; }

void open_link(const std::string& target) { lumetra_system_open_link(target.c_str()); }

void shutdown()
{
    // The settings the program wrote while closing are kept first: the page
    // may be going away (it closes the program when it is left).
    web::after_event_handled();
    for (WindowId id : {WindowId::Text, WindowId::About, WindowId::Startup, WindowId::Main})
        if (window_exists(id)) close_window(id);
    lumetra_system_ended();
}

// ---------------------------------------------------------------- the page's files

namespace web {

void after_event_handled() { lumetra_system_after_event(); }

void offer_download(const std::filesystem::path& path) { lumetra_system_offer_download(path.string().c_str()); }

}  // namespace web

}  // namespace lumetra::platform
