#include "app/keyboard_commands.h"

#include "app/event_loop.h"
#include "app/layout.h"
#include "app/views/code_view.h"
#include "app/views/code_view_commands.h"
#include "app/panels/cell_clipboard_panel.h"

namespace lumetra {

bool pointer_over(int control)
{
    return platform::control_exists(control) && platform::control_screen_rect(control).contains(platform::pointer_position());
}

namespace {


// The text view under the pointer: the skip list in the optimisation mode,
// else the current buffer's code view; 0 when neither.
int text_view_under_pointer(const App& app)
{
    if (app.shell.mode == Mode::Optimisation && pointer_over(kSkipList)) return kSkipList;
    int view = code_view_of(current_buffer(app.store));
    return pointer_over(view) ? view : 0;
}

}  // namespace

void pointer_command(App& app, int command)
{
    bool done = false;
    if (command == kCmdKeyCut || command == kCmdKeyCopy || command == kCmdKeyPaste) done = cell_key_command(app, command);
    if (!done && (command == kCmdKeyCopy || command == kCmdKeySelectAll || command == kCmdKeySave)) {
        int view = text_view_under_pointer(app);
        if (view != 0) {
            done = true;
            if (command == kCmdKeyCopy) copy_selected_text(view);
            else if (command == kCmdKeySelectAll) select_all_text(view);
            else dispatch_command(app, view == kSkipList ? kCmdSkipExport : kCmdCodeSave);
        }
    }
    if (!done) platform::warning_beep();
}

}  // namespace lumetra
