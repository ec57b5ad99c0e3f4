// The save questions: one for the buffer about to be replaced, and one for
// every modified buffer when the program closes.
#pragma once

#include <string>

#include "app/app.h"

namespace lumetra {

// "Данные не были сохранены, ..." for a buffer without a name, otherwise the
// file's name without its folder in the question.
std::string question_text(const ImageStore& store, int buffer);

enum class PromptSave { Saved, Cancelled, Failed };
// Writes the buffer to its own file, or asks for a name first (the buffer's
// name and the title stay as they are).
PromptSave save_from_prompt(App& app, int buffer);

// Before New, Open, a recent file or a dropped file replaces the current
// buffer. True to go on; false when the user cancels, or chose to save and
// the save did not happen.
bool prompt_for_one_buffer(App& app);
// The same question for another buffer about to be overwritten (the scan
// writes buffer 10 whichever buffer is current).
bool prompt_for_one_buffer(App& app, int buffer);

// Asks about every modified buffer in turn, showing each. True when the
// program may end; false on Cancel, and when a chosen save did not happen.
bool closing_prompt(App& app);

}  // namespace lumetra
