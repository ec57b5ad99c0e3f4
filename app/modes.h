// The five working modes and the panels each shows in the right-hand column.
#pragma once

#include "app/app.h"

namespace lumetra {

// Makes m the mode: check mark, tooltip, panels, and for every mode but
// editing the open cell is closed.
void switch_mode(App& app, Mode m);

}  // namespace lumetra
