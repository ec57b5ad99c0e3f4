#include "app/views/code_view.h"

#include "core/image_store.h"
#include "app/views/screen_view.h"
#include "listing/listing.h"

namespace lumetra {

std::vector<LayoutRow> code_view_rows()
{
    std::vector<LayoutRow> rows;
    for (int buffer = 1; buffer <= kBufferCount; ++buffer)
        rows.push_back({code_view_of(buffer), ControlKind::RichText, 0, kCodeViewRect, "", platform::kHidden, {},
                        Rgb{206, 255, 214}, Font::Code});
    return rows;
}

bool make_code_view(int buffer)
{
    if (!valid_buffer(buffer)) return false;
    if (platform::control_exists(code_view_of(buffer))) return true;
    return platform::create_control(control_spec_of(code_view_rows()[static_cast<std::size_t>(buffer - 1)]));
}

void show_code_view(int buffer, bool focus)
{
    if (!valid_buffer(buffer)) return;
    make_code_view(buffer);
    for (int other = 1; other <= kBufferCount; ++other) platform::show(code_view_of(other), other == buffer);
    if (focus) platform::set_focus(code_view_of(buffer));
}

void show_cell_position(int cell)
{
    if (!valid_cell(cell)) return;
    CellLocation at = locate_cell(cell);
    platform::set_text(kStatusText, "Кристалл — " + std::to_string(at.crystal) + ";  Страница — " + std::to_string(at.page) +
                                        ";  Сегмент  — " + std::to_string(at.column_group));
}

}  // namespace lumetra
