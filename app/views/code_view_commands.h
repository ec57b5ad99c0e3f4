// What the user does with the text of a code view: select it, copy it, and
// save it as an assembler source or include file.
#pragma once

#include "app/app.h"

namespace lumetra {

void select_all_text(int view);
void copy_selected_text(int view);

// The current buffer's code view into a file the user names (".asm" added
// to a name without extension), Windows-1251 with CR LF. Any failure is
// reported and leaves an existing file as it was.
void save_listing_file(App& app);

void save_listing_command(App& app, int command);  // 52

}  // namespace lumetra
