#include "display/display_tables.h"

namespace lumetra {

namespace {

bool row_layout(Layout layout) { return layout == Layout::Rows || layout == Layout::RowsLsb; }

// The number after "#define NAME_<suffix>".
std::optional<int> xbm_define(std::string_view text, std::string_view suffix)
{
    for (std::size_t at = text.find("#define"); at != std::string_view::npos; at = text.find("#define", at + 1)) {
        std::size_t end = text.find('\n', at);
        std::string_view line = text.substr(at, end == std::string_view::npos ? end : end - at);
        std::size_t name_end = line.find_first_of(" \t", 8);
        if (name_end == std::string_view::npos || !line.substr(0, name_end).ends_with(suffix)) continue;
        int value = 0, digits = 0;
        std::size_t p = line.find_first_not_of(" \t", name_end);
        for (; p != std::string_view::npos && p < line.size() && line[p] >= '0' && line[p] <= '9' && digits < 6; ++p, ++digits)
            value = value * 10 + (line[p] - '0');
        if (digits > 0) return value;
    }
    return std::nullopt;
}

}  // namespace

std::vector<TableRun> layout_runs(const DisplayProfile& display, Layout layout, PageOrder order)
{
    if (row_layout(layout)) return {{0, 0, false, static_cast<int>(layout_size(display, layout))}};
    std::vector<TableRun> runs;
    const int pages = display_pages(display);
    if (display.controllers == 1) {
        for (int page = 1; page <= pages; ++page) runs.push_back({page, 0, false, display.width});
    } else if (order == PageOrder::ByController) {
        for (int crystal = 1; crystal <= display.controllers; ++crystal)
            for (int page = 1; page <= pages; ++page) runs.push_back({page, crystal, page == 1, display.columns});
    } else {
        for (int page = 1; page <= pages; ++page)
            for (int crystal = 1; crystal <= display.controllers; ++crystal)
                runs.push_back({page, crystal, false, display.columns});
    }
    return runs;
}

TableShape layout_shape(const DisplayProfile& display, Layout layout, PageOrder)
{
    TableShape shape;
    shape.total = static_cast<int>(layout_size(display, layout));
    shape.page_bytes = display.width;
    shape.run_bytes = display.columns;
    shape.pages = display_pages(display);
    // Row layouts have no pages for a comment to name.
    shape.crystals = row_layout(layout) ? 0 : display.controllers;
    return shape;
}

std::optional<PictureSize> xbm_size(std::string_view text)
{
    auto width = xbm_define(text, "_width");
    auto height = xbm_define(text, "_height");
    if (!width || !height) return std::nullopt;
    return PictureSize{*width, *height};
}

}  // namespace lumetra
