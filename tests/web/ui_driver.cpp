// A page with one of each kind of control the browser backend draws, and a
// loop that writes down every event as the shell would take it, so that a
// test can press real buttons and keys and read what the program heard.
// Commands 900 and up, pushed by the test as Command events, call the
// backend the way the shell does and write down the answer.
#include <emscripten.h>

#include <string>

#include "platform/web/web_backend.h"

using namespace lumetra::platform;

// The part of the backend this page does without.
void lumetra::platform::web::after_event_handled() {}

EM_JS(void, note, (const char* text), {
    var page = globalThis.lumetra;
    page.notes = page.notes || [];
    page.notes.push(UTF8ToString(text));
});

enum DriverCommand { kStartTimer = 900, kStartAndStopTimer, kSpinValue, kRadios, kCopyRich, kPopup, kComboText, kDisableImage };

static void build()
{
    create_window({WindowId::Main, "Проверка", {0, 0}, 400, 300, {}, false, false, false});
    const ControlSpec specs[] = {
        {.id = 10, .kind = ControlKind::Image, .rect = {10, 40, 32, 32}},
        {.id = 11, .kind = ControlKind::Container, .rect = {50, 40, 60, 40}, .style = kBorder},
        {.id = 12, .kind = ControlKind::Image, .parent = 11, .rect = {0, 0, 20, 20}},
        {.id = 20, .kind = ControlKind::Radio, .rect = {120, 40, 80, 16}, .text = "один", .style = kGroup | kChecked},
        {.id = 21, .kind = ControlKind::Radio, .rect = {120, 60, 80, 16}, .text = "два"},
        {.id = 30, .kind = ControlKind::Combo, .rect = {210, 40, 100, 21}, .items = {"Нет", "Буфер 1", "Буфер 2"},
         .list_height = 80},
        {.id = 40, .kind = ControlKind::Tabs, .rect = {10, 150, 200, 28}, .items = {"А", "Б", "В"}},
        {.id = 50, .kind = ControlKind::Spin, .rect = {220, 150, 40, 20}, .min = 2, .max = 20, .value = 12},
        {.id = 13, .kind = ControlKind::Image, .rect = {120, 80, 16, 16}, .image = 8},  // the close icon
        {.id = 60, .kind = ControlKind::RichText, .rect = {10, 190, 300, 80}, .style = kReadOnly, .font = Font::Code},
    };
    for (const ControlSpec& spec : specs) create_control(spec);
    set_rich_text(60, {"первая", "вторая", ""}, {{1, 1, 3, lumetra::TextColour{255, 0, 0}, true}});
    create_main_menu({{0, "Файл", -1, {{1, "Новый\tCtrl+N", -1, {}}, {}, {2, "Сохранить\tCtrl+S", -1, {}}}},
                      {0, "Вид", -1, {{3, "Сетка", -1, {}}, {0, "Масштаб", -1, {{4, "200%", -1, {}}}}}}});
    create_popup_menu(1, {{41, "Копировать", -1, {}}});
    create_shortcuts({{true, false, false, 'N', 1}, {true, false, false, 'S', 2}, {true, false, false, '1', 16},
                      {false, false, true, 'S', 89}});
    show_window(WindowId::Main);
}

static void command(int number)
{
    switch (number) {
    case kStartTimer: start_timer(50); break;
    case kStartAndStopTimer:
        start_timer(20);
        emscripten_sleep(60);  // the timer comes due meanwhile
        stop_timer();
        break;
    case kSpinValue: note(("spin " + std::to_string(value(50)) + " " + text(50)).c_str()); break;
    case kRadios: note(("radios " + std::to_string(is_checked(20)) + std::to_string(is_checked(21))).c_str()); break;
    case kCopyRich:
        select_all(60);
        copy_selection(60);
        break;
    case kPopup: show_popup_menu(1); break;
    case kDisableImage: enable(10, false); break;
    case kComboText: note(("combo " + std::to_string(selection(30)) + " " + text(30)).c_str()); break;
    default: break;
    }
}

int main()
{
    build();
    for (;;) {
        const Event event = wait_event();
        if (event.kind == EventKind::Command && event.number >= kStartTimer) {
            command(event.number);
            continue;
        }
        // The pointer as the poll sees it: over image 10, and the buttons.
        const bool over = control_screen_rect(10).contains(pointer_position());
        note((std::to_string(static_cast<int>(event.kind)) + " " + std::to_string(event.number) + " " +
              std::to_string(static_cast<int>(event.type)) + (over ? " over" : "") + (left_button_down() ? " L" : "") +
              (right_button_down() ? " R" : ""))
                 .c_str());
    }
}
