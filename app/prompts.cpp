#include "app/prompts.h"

#include "app/documents.h"
#include "core/text_encoding.h"
#include "app/views/screen_view.h"

namespace lumetra {

using platform::Answer;

namespace {

constexpr const char* kPromptTitle = "Сохранение файла";
constexpr const char* kClosingTitle = "Сохранение файлов при закрытии программы";

Answer ask(const char* title, const ImageStore& store, int buffer)
{
    return platform::message_box(title, question_text(store, buffer), platform::Buttons::YesNoCancel,
                                 platform::Icon::Question);
}

}  // namespace

std::string question_text(const ImageStore& store, int buffer)
{
    std::string name = path_to_utf8(file_name(store, buffer));
    if (name.empty()) return "Данные не были сохранены, сохранить их сейчас?";
    std::size_t separator = name.find_last_of("\\/");
    if (separator != std::string::npos) name.erase(0, separator + 1);
    if (!name.empty() && name.front() == '"') name.erase(0, 1);
    if (!name.empty() && name.back() == '"') name.pop_back();
    return "Файл   \"" + name + "\"\nбыл изменён, сохранить  изменения?";
}

PromptSave save_from_prompt(App& app, int buffer)
{
    std::filesystem::path path = file_name(app.store, buffer);
    if (path.empty() || has_picture_file_name(app.store, buffer)) {
        path = ask_picture_file_name();
        if (path.empty()) return PromptSave::Cancelled;
    }
    return write_buffer(app, buffer, path) ? PromptSave::Saved : PromptSave::Failed;
}

bool prompt_for_one_buffer(App& app) { return prompt_for_one_buffer(app, current_buffer(app.store)); }

bool prompt_for_one_buffer(App& app, int buffer)
{
    if (!is_modified(app.store, buffer)) return true;
    switch (ask(kPromptTitle, app.store, buffer)) {
    case Answer::Yes: return save_from_prompt(app, buffer) == PromptSave::Saved;
    case Answer::No: return true;
    default: return false;
    }
}

bool closing_prompt(App& app)
{
    for (int buffer = 1; buffer <= kBufferCount; ++buffer) {
        if (!is_modified(app.store, buffer)) continue;
        // The user sees the buffer the question is about, as after a tab click.
        platform::set_selection(kBufferTabs, buffer - 1);
        switch_buffer(app);
        switch (ask(kClosingTitle, app.store, buffer)) {
        case Answer::Yes:
            // Unsaved work is never dropped on the way out: a save that did
            // not happen keeps the program running.
            if (save_from_prompt(app, buffer) != PromptSave::Saved) return false;
            break;
        case Answer::No: break;
        default: return false;
        }
    }
    return true;
}

}  // namespace lumetra
