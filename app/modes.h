// The five working modes and the panels each shows in the right-hand column.
#pragma once

#include "app/app.h"

namespace lumetra {

// Makes m (1..5; anything else does nothing) the mode: check mark, tooltip,
// panels, and for every mode but editing the open cell is closed.
void switch_mode(App& app, int m);

}  // namespace lumetra
