#include "editor/cell_editor.h"

namespace lumetra {

void cell_image_event(App& app, int image_id, platform::EventType type)
{
    // Opening cells and drawing in them are not part of the editor yet; the
    // clicks reach this point so that the loop's table is complete.
    (void)app;
    (void)image_id;
    (void)type;
}

}  // namespace lumetra
