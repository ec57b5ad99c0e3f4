// The displays lumetra-cli writes for, as data: one row a display, and the
// byte layouts that turn a picture of its size into the bytes a program sends.
// The editor's own display is the first row; its outputs are today's.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/picture_decode.h"
#include "core/raster.h"

namespace lumetra {

struct DisplayProfile {
    const char* name;
    const char* alias;  // another name for the same controller, or ""
    int width;
    int height;
    int controllers;  // chip selects side by side, left to right
    int columns;      // of each controller
    const char* note;  // for the driver writer, or ""
    // Command bytes that put a controller's address at a page and column:
    // what a driver pays to start writing somewhere else.
    int address_bytes;
};

std::span<const DisplayProfile> display_profiles();
const DisplayProfile& default_display();  // the editor's 128 x 64 KS0108 module
// By name or alias; nothing for an unknown name.
const DisplayProfile* find_display(std::string_view name);
std::string display_names();  // "ks0108, ks0108-3, ..." for messages

int display_pages(const DisplayProfile& display);  // eight rows a page
PictureSize display_size(const DisplayProfile& display);
bool is_editor_size(const DisplayProfile& display);  // 128 x 64, the size of a .chr picture

// How pixels become bytes. Pages: page by page from the top, the columns of
// a page left to right, bit 0 the top pixel of its eight (PagesMsb: bit 7).
// Rows: row by row, ceil(width / 8) bytes a row, bit 7 the leftmost pixel
// (RowsLsb: bit 0, the XBM order), unused bits 0.
enum class Layout { Pages, PagesMsb, Rows, RowsLsb };
std::optional<Layout> find_layout(std::string_view name);
const char* layout_name(Layout layout);
std::string layout_names();

// With several controllers the pages go controller by controller (ByController,
// as the listing groups crystals) or across the whole width (Across, the
// editor's stored order). One controller reads the same either way.
enum class PageOrder { ByController, Across };

std::size_t layout_size(const DisplayProfile& display, Layout layout);
std::vector<std::uint8_t> layout_bytes(const DisplayProfile& display, Layout layout, PageOrder order,
                                       const Raster& raster);
// The way back; bytes must hold layout_size bytes.
Raster raster_from_layout(const DisplayProfile& display, Layout layout, PageOrder order,
                          std::span<const std::uint8_t> bytes);

}  // namespace lumetra
