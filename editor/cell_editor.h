// Clicks on the cell images of the screen view.
#pragma once

#include "app/app.h"

namespace lumetra {

// A click, right click or double click on cell image 20..147.
void cell_image_event(App& app, int image_id, platform::EventType type);

}  // namespace lumetra
