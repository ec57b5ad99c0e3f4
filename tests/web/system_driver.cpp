// A page that runs the browser backend's dialogs and files one command at a
// time, as the shell would call them, so that a test can answer them with real
// pointer and key events. Commands arrive from the page as lines; each
// answer is left in lumetra.driver.answers.
#include <emscripten.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "platform/web/web_backend.h"

using namespace lumetra::platform;

// The parts of the backend this page does without.
namespace lumetra::platform {
bool window_exists(WindowId) { return false; }
void close_window(WindowId) {}
}  // namespace lumetra::platform

EM_ASYNC_JS(char*, next_command, (), {
    var page = globalThis.lumetra;
    if (!page.driver) {
        page.driver = {commands: [], answers: [], wake: null};
        page.events = [];
        page.push_event = function(event) { page.events.push(event); };
        page.run = function(line) {
            page.driver.commands.push(line);
            if (page.driver.wake) page.driver.wake();
        };
        document.documentElement.dataset.ready = '1';
    }
    while (!page.driver.commands.length) await new Promise(function(wake) { page.driver.wake = wake; });
    page.driver.wake = null;
    return allocateUTF8(page.driver.commands.shift());
});

EM_JS(void, answer, (const char* text), { globalThis.lumetra.driver.answers.push(UTF8ToString(text)); });

static std::string run(const std::string& line)
{
    std::istringstream in(line);
    std::string command;
    in >> command;
    if (command == "box") {
        int buttons = 0, icon = 0;
        in >> buttons >> icon;
        return std::to_string(static_cast<int>(message_box("Заголовок", "Первая строка\nвторая строка",
                                                           static_cast<Buttons>(buttons), static_cast<Icon>(icon))));
    }
    if (command == "open" || command == "save") {
        int filter = 1;
        std::string preset;
        in >> filter >> preset;
        FileDialog dialog{"Сохранить файл...", "Font Files (*.chr)|*.chr|Рисунки|*.bmp;*.png|Все файлы|*.*", filter, preset};
        FileChoice choice = command == "open" ? open_file_dialog(dialog) : save_file_dialog(dialog);
        return choice.path.string() + " " + std::to_string(choice.filter_index);
    }
    if (command == "write" || command == "read") {
        std::string path, text;
        in >> path >> text;
        if (command == "write") {
            std::ofstream(path, std::ios::binary) << text;
            return "written";
        }
        std::ifstream file(path, std::ios::binary);
        return file ? std::string(std::istreambuf_iterator<char>(file), {}) : "missing";
    }
    if (command == "temp") return temp_directory().string();
    if (command == "accept") {
        int accept = 0;
        in >> accept;
        accept_dropped_files(accept != 0);
        return "accept";
    }
    if (command == "end") {
        shutdown();
        return "ended";
    }
    return "unknown";
}

int main()
{
    for (;;) {
        web::after_event_handled();
        char* line = next_command();
        answer(run(line).c_str());
        free(line);
    }
}
