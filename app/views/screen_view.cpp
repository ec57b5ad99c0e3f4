#include "app/views/screen_view.h"

#include "core/text_encoding.h"
#include "listing/skip_list.h"
#include "app/views/code_view.h"

namespace lumetra {

using platform::Bitmap;
using platform::kBorder;
using platform::kCentred;
using platform::kDisabled;
using platform::kReadOnly;

namespace {
constexpr int kCellPixels = kCellBytes * kViewScale;
constexpr int kPixelImageSize = 16;
// The cell editor's pixels stand one pixel apart, inside a one-pixel margin.
constexpr int kPixelImagePitch = kPixelImageSize + 1;
}  // namespace

Rect cell_image_rect(int cell)
{
    ViewPoint origin = cell_origin(cell, kViewScale);
    return {origin.x, origin.y, kCellPixels, kCellPixels};
}

Rect pixel_image_rect(int byte, int bit)
{
    return {1 + kPixelImagePitch * (byte - 1), 1 + kPixelImagePitch * bit, kPixelImageSize, kPixelImageSize};
}

int cell_at(platform::Point point)
{
    for (int cell = 1; cell <= kCellCount; ++cell)
        if (platform::control_screen_rect(cell_image_of(cell)).contains(point)) return cell;
    return kNoCell;
}

std::vector<LayoutRow> screen_view_rows()
{
    std::vector<LayoutRow> rows = {
        {kScreenFrame, ControlKind::Container, 0, {8, 58, 540, 272}, "", kBorder},
        {kScreenArea, ControlKind::Container, kScreenFrame, {2, 2, view_width(kViewScale), view_height(kViewScale)}, "", 0, {},
         to_rgb(kViewGround)},
    };
    // Row by row, so 20 is the top-left cell and 147 the bottom-right one.
    for (int cell = 1; cell <= kCellCount; ++cell)
        rows.push_back({cell_image_of(cell), ControlKind::Image, kScreenArea, cell_image_rect(cell)});
    return rows;
}

platform::ControlSpec buffer_tabs_spec()
{
    platform::ControlSpec spec = control_spec_of({kBufferTabs, ControlKind::Tabs, 0, {8, 30, 540, 28}, "", 0, {}, {}, Font::Message});
    for (int buffer = 1; buffer <= kBufferCount; ++buffer) spec.items.push_back(buffer_label(buffer));
    return spec;
}

std::vector<LayoutRow> cell_editor_rows()
{
    std::vector<LayoutRow> rows = {
        {kCellEditorPanel, ControlKind::Container, 0, {554, 32, 234, 240}, "", kBorder},
        {15, ControlKind::Text, kCellEditorPanel, {2, 1, 227, 15}, "Редактируемый символ", kCentred, kWhite, kStripGrey},
        {kCellEditorFrame, ControlKind::Container, kCellEditorPanel, {4, 30, 144, 144}, "", kBorder},
        {kCellEditorArea, ControlKind::Container, kCellEditorFrame, {2, 2, 136, 136}, "", 0, {}, kWhite},
    };
    // Column by column: 280..287 is the left column from top to bottom.
    for (int byte = 1; byte <= kCellBytes; ++byte)
        for (int bit = 0; bit < 8; ++bit)
            rows.push_back({pixel_image_of(byte, bit), ControlKind::Image, kCellEditorArea, pixel_image_rect(byte, bit)});
    std::vector<LayoutRow> read_out = {
        {kReadOutLabels, ControlKind::Text, kCellEditorPanel, {155, 70, 58, 74}, "Кристалл\n\nСтраница\n\nСегмент", kDisabled,
         Rgb{132, 23, 123}},
        {552, ControlKind::Text, kCellEditorPanel, {2, 186, 30, 15}, "Код", 0, Rgb{115, 26, 140}},
        {kReadOutCode, ControlKind::Edit, kCellEditorPanel, {1, 200, 224, 20}, "", kReadOnly, Rgb{34, 2, 221}, Rgb{245, 245, 245}},
        {kReadOutNumbers, ControlKind::Text, kCellEditorPanel, {216, 70, 30, 74}},
    };
    rows.insert(rows.end(), read_out.begin(), read_out.end());
    return rows;
}

void make_view_bitmaps(ScreenView& view)
{
    view.cells.assign(kCellCount, Bitmap(kCellPixels, kCellPixels, kCellBackground));
    view.pixels.assign(kPixelImageCount, Bitmap(kPixelImageSize, kPixelImageSize, kEditorGrey));
}

void show_view_bitmaps(const ScreenView& view)
{
    for (int cell = 1; cell <= kCellCount; ++cell) platform::set_bitmap(cell_image_of(cell), view.cells[cell - 1]);
    for (int i = 0; i < kPixelImageCount; ++i) platform::set_bitmap(kFirstPixelImage + i, view.pixels[i]);
}

namespace {

void paint_cell_of(App& app, int cell, CellState state, const ScreenBuffer& screen)
{
    Rgb background = state == CellState::Open ? kOpenCellBackground
                     : state == CellState::Hovered ? kHoverBackground
                                                   : kCellBackground;
    Bitmap& picture = app.view.cells[cell - 1];
    picture.fill_rect(0, 0, kCellPixels, kCellPixels, background);
    for (int byte = 1; byte <= kCellBytes; ++byte) {
        std::uint8_t column = screen.bytes[static_cast<std::size_t>(byte_offset(cell, byte))];
        for (int bit = 0; bit < 8; ++bit)
            if (column & (1u << bit))
                picture.fill_rect(kViewScale * (byte - 1), kViewScale * bit, kViewScale, kViewScale, kInk);
    }
    platform::set_bitmap(cell_image_of(cell), picture);
}

}  // namespace

void paint_cell(App& app, int image_id, CellState state, int buffer)
{
    int cell = cell_of_image(image_id);
    if (cell == kNoCell || !valid_buffer(buffer)) return;
    paint_cell_of(app, cell, state, *buffer_of(app.store, buffer));
}

void paint_picture(App& app, const ScreenBuffer& picture)
{
    for (int cell = 1; cell <= kCellCount; ++cell) paint_cell_of(app, cell, CellState::Normal, picture);
    app.view.hover.last_cell = kNoCell;
}

void paint_all_cells(App& app, int buffer)
{
    for (int cell = 1; cell <= kCellCount; ++cell) paint_cell(app, cell_image_of(cell), CellState::Normal, buffer);
    app.view.hover.last_cell = kNoCell;
}

void show_whole_buffer(App& app)
{
    paint_all_cells(app, current_buffer(app.store));
    clear_cell_editor(app);
    set_open_cell(app.store, kNoCell);
}

void paint_pixel_image(App& app, int id, bool lit)
{
    int index = id - kFirstPixelImage;
    if (index < 0 || index >= kPixelImageCount) return;
    Bitmap& picture = app.view.pixels[index];
    picture.fill_rect(0, 0, kPixelImageSize, kPixelImageSize, lit ? kInk : kCellBackground);
    platform::set_bitmap(id, picture);
}

void paint_editor(App& app, int cell, int buffer)
{
    if (!valid_cell(cell) || !valid_buffer(buffer)) return;
    for (int byte = 1; byte <= kCellBytes; ++byte) {
        std::uint8_t column = read_byte(app.store, buffer, cell, byte);
        for (int bit = 0; bit < 8; ++bit) paint_pixel_image(app, pixel_image_of(byte, bit), (column >> bit) & 1u);
    }
}

void clear_cell_editor(App& app)
{
    for (int i = 0; i < kPixelImageCount; ++i) {
        app.view.pixels[i].fill_rect(0, 0, kPixelImageSize, kPixelImageSize, kEditorGrey);
        platform::set_bitmap(kFirstPixelImage + i, app.view.pixels[i]);
    }
}

void clear_read_out()
{
    platform::enable(kReadOutLabels, false);
    platform::set_text(kReadOutCode, "");
    platform::set_text(kReadOutNumbers, "");
}

void show_window_title(const App& app)
{
    platform::set_window_title(platform::WindowId::Main,
                               kTitleLiteral + path_to_utf8(file_name(app.store, current_buffer(app.store))));
}

void hover_poll(App& app)
{
    const ImageStore& store = app.store;
    bool active = (app.shell.mode == Mode::Editing && open_cell(store) == kNoCell) ||
                  (app.shell.mode == Mode::Optimisation && current_buffer(store) == kSkipMapBuffer);
    if (!active) return;

    HoverState& hover = app.view.hover;
    if (hover.phase != HoverPhase::Cleared) hover.phase = HoverPhase::Away;
    platform::Point pointer = platform::pointer_position();
    if (platform::control_screen_rect(kScreenFrame).contains(pointer)) {
        hover.phase = HoverPhase::Over;
        int under = cell_at(pointer);
        if (under != kNoCell && under != hover.last_cell) {
            paint_cell(app, cell_image_of(under), CellState::Hovered, current_buffer(store));
            if (hover.last_cell != kNoCell) paint_cell(app, cell_image_of(hover.last_cell), CellState::Normal, current_buffer(store));
            hover.last_cell = under;
            show_cell_position(under);
        }
    }
    if (hover.phase == HoverPhase::Away) {
        // The pointer has left the view. The highlight goes, and is forgotten,
        // so that coming back onto the same cell lights it again.
        if (hover.last_cell != kNoCell) paint_cell(app, cell_image_of(hover.last_cell), CellState::Normal, current_buffer(store));
        hover.last_cell = kNoCell;
        hover.phase = HoverPhase::Cleared;
        platform::set_text(kStatusText, "");
    }
}

}  // namespace lumetra
