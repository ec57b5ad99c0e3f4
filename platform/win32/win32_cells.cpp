// Picture cells: images with no window of their own. Their container paints
// them all in one pass and hands each its clicks; a new picture only marks
// the container stale, and the marks become one invalidation per container.
#include "platform/win32/win32_backend.h"

#include <windowsx.h>

#include <algorithm>

namespace lumetra::platform::win32 {

static int cell_stride(int width) { return (width * 3 + 3) & ~3; }

// A picture cell's container paints it again at the next flush.
void mark_stale(ControlRecord& cell)
{
    ControlRecord* container = find_control(cell.parent);
    if (!container) return;
    Backend& b = backend();
    if (!container->stale) {
        container->stale = CreateRectRgnIndirect(&cell.area);
    } else {
        HRGN area = CreateRectRgnIndirect(&cell.area);
        CombineRgn(container->stale, container->stale, area, RGN_OR);
        DeleteObject(area);
    }
    if (std::find(b.stale_containers.begin(), b.stale_containers.end(), container->id) == b.stale_containers.end())
        b.stale_containers.push_back(container->id);
}

// A cell whose picture is the one it shows already is not painted again.
void set_cell_pixels(ControlRecord& cell, const Bitmap& picture)
{
    const int stride = cell_stride(picture.width);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(stride) * picture.height, 0);
    for (int y = 0; y < picture.height; ++y) {
        std::uint8_t* out = pixels.data() + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < picture.width; ++x) {
            const Rgb colour = picture.at(x, y);
            *out++ = colour.b;
            *out++ = colour.g;
            *out++ = colour.r;
        }
    }
    if (pixels == cell.pixels && cell.bitmap_w == picture.width && cell.bitmap_h == picture.height) return;
    cell.pixels = std::move(pixels);
    cell.bitmap_w = picture.width;
    cell.bitmap_h = picture.height;
    mark_stale(cell);
}

// Drawn into the cell's own bitmap, which has the same row layout.
void take_cell_bitmap(ControlRecord& cell)
{
    if (!cell.bits) return;
    GdiFlush();
    cell.pixels.assign(static_cast<const std::uint8_t*>(cell.bits),
                       static_cast<const std::uint8_t*>(cell.bits) +
                           static_cast<std::size_t>(cell_stride(cell.bitmap_w)) * cell.bitmap_h);
    mark_stale(cell);
}

void paint_cells(ControlRecord& container, HDC dc, const RECT& update)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    for (int id : container.cells) {
        ControlRecord* cell = find_control(id);
        RECT overlap;
        if (!cell || !cell->cell_shown || cell->pixels.empty() || !IntersectRect(&overlap, &cell->area, &update))
            continue;
        info.bmiHeader.biWidth = cell->bitmap_w;
        info.bmiHeader.biHeight = -cell->bitmap_h;  // top-down
        StretchDIBits(dc, cell->area.left, cell->area.top, cell->bitmap_w, cell->bitmap_h, 0, 0, cell->bitmap_w,
                      cell->bitmap_h, cell->pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    }
}

// What a static with SS_NOTIFY reports: a click on the press, a double-click
// on the second press; the right button as the image controls report it.
bool click_cell(ControlRecord& container, UINT message, LPARAM lparam)
{
    const POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    ControlRecord* cell = nullptr;
    for (int id : container.cells)
        if (ControlRecord* candidate = find_control(id);
            candidate && candidate->cell_shown && candidate->cell_enabled && PtInRect(&candidate->area, at)) {
            cell = candidate;
            break;
        }
    if (!cell) return false;
    EventType type = EventType::None;
    switch (message) {
    case WM_LBUTTONDOWN: type = EventType::Click; break;
    case WM_LBUTTONDBLCLK: type = EventType::DoubleClick; break;
    case WM_RBUTTONDBLCLK:
        cell->right_double = true;
        type = EventType::RightDoubleClick;
        break;
    case WM_RBUTTONUP:
        if (cell->right_double)
            cell->right_double = false;
        else
            type = EventType::RightClick;
        break;
    default: return false;
    }
    if (type != EventType::None) queue_event({EventKind::Control, cell->id, type, cell->window, {}});
    return true;
}

void flush_cell_updates()
{
    Backend& b = backend();
    for (int id : b.stale_containers)
        if (ControlRecord* container = find_control(id)) {
            RedrawWindow(container->hwnd, nullptr, container->stale, RDW_INVALIDATE | RDW_NOCHILDREN);
            DeleteObject(container->stale);
            container->stale = nullptr;
        }
    b.stale_containers.clear();
}

ControlRecord* cell_container(const ControlSpec& spec)
{
    ControlRecord* container = find_control(spec.parent);
    const bool cell = spec.kind == ControlKind::Image && spec.image < 0 && spec.tooltip.empty() && container &&
                      container->kind == ControlKind::Container;
    return cell ? container : nullptr;
}

// A picture cell: a record only; its container paints it and hit-tests it.
// Nearly two hundred are on screen at start, and under Wine every child
// window costs the start calls to the server and the X server.
void create_cell(const ControlSpec& spec, ControlRecord& container)
{
    ControlRecord& record = backend().controls[spec.id];
    record.id = spec.id;
    record.kind = spec.kind;
    record.window = spec.window;
    record.parent = container.hwnd;
    record.painted_by_container = true;
    record.area = {spec.rect.x, spec.rect.y, spec.rect.x + spec.rect.w, spec.rect.y + spec.rect.h};
    record.cell_shown = !(spec.style & kHidden);
    record.cell_enabled = !(spec.style & kDisabled);
    container.cells.push_back(spec.id);
}

}  // namespace lumetra::platform::win32
