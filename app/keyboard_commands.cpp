#include "app/keyboard_commands.h"

#include "app/event_loop.h"
#include "app/layout.h"
#include "listing/code_view.h"
#include "listing/code_view_commands.h"
#include "tools/cell_clipboard_panel.h"

namespace lumetra {

bool pointer_over(int control)
{
    return platform::control_exists(control) && platform::control_screen_rect(control).contains(platform::pointer_position());
}

namespace {

constexpr int kCut = 85, kCopy = 86, kPaste = 87, kSelectAll = 88, kSave = 89;
constexpr int kSaveListingCommand = 52, kExportSkipListCommand = 72;

// The text view under the pointer: the skip list in the optimisation mode,
// else the current buffer's code view; 0 when neither.
int text_view_under_pointer(const App& app)
{
    if (app.shell.mode == 4 && pointer_over(kSkipList)) return kSkipList;
    int view = code_view_of(current_buffer(app.store));
    return pointer_over(view) ? view : 0;
}

}  // namespace

void pointer_command(App& app, int command)
{
    bool done = false;
    if (command == kCut || command == kCopy || command == kPaste) done = cell_key_command(app, command);
    if (!done && (command == kCopy || command == kSelectAll || command == kSave)) {
        int view = text_view_under_pointer(app);
        if (view != 0) {
            done = true;
            if (command == kCopy) CopySelectedText(view);
            else if (command == kSelectAll) SelectAllText(view);
            else dispatch_command(app, view == kSkipList ? kExportSkipListCommand : kSaveListingCommand);
        }
    }
    if (!done) platform::warning_beep();
}

}  // namespace lumetra
