#include "display/display.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace lumetra {

namespace {

// A new display is one row here (and its tests). The address bytes: page
// and column commands (KS0108, SED1520: one each; SSD1306, SH1106, ST7565:
// a page command and the column in two nibble commands; PCD8544: Y and X).
constexpr DisplayProfile kProfiles[] = {
    {"ks0108", "", 128, 64, 2, 64, "", 2},
    {"ks0108-3", "", 192, 64, 3, 64, "three chip selects, one per 64 columns", 2},
    {"sed1520", "", 122, 32, 2, 61, "", 2},
    {"ssd1306", "ssd1309", 128, 64, 1, 128, "", 3},
    {"ssd1306-32", "", 128, 32, 1, 128, "", 3},
    {"sh1106", "", 128, 64, 1, 128, "RAM is 132 columns; the panel starts at column 2", 3},
    {"st7565", "uc1701", 128, 64, 1, 128,
     "RAM is 132 columns; with the column order reversed (ADC) the panel starts at column 4", 3},
    {"pcd8544", "", 84, 48, 1, 84, "Nokia 5110 / 3310", 2},
};

struct LayoutEntry {
    const char* name;
    Layout layout;
};
constexpr LayoutEntry kLayouts[] = {
    {"pages", Layout::Pages},
    {"pages-msb", Layout::PagesMsb},
    {"rows", Layout::Rows},
    {"rows-lsb", Layout::RowsLsb},
};

int row_bytes(const DisplayProfile& display) { return (display.width + 7) / 8; }

// The columns of the byte order: for each page, the column runs in the order
// they are sent (a controller's columns, or the whole width), as [from, to).
template <typename Visit>
void for_each_page_run(const DisplayProfile& display, PageOrder order, Visit visit)
{
    const int pages = display_pages(display);
    if (order == PageOrder::ByController && display.controllers > 1) {
        for (int c = 0; c < display.controllers; ++c)
            for (int page = 0; page < pages; ++page) visit(page, c * display.columns, (c + 1) * display.columns);
        return;
    }
    for (int page = 0; page < pages; ++page) visit(page, 0, display.width);
}

template <typename Visit>
void for_each_page_column(const DisplayProfile& display, PageOrder order, Visit visit)
{
    for_each_page_run(display, order, [&](int page, int from, int to) {
        for (int x = from; x < to; ++x) visit(page, x);
    });
}

// The bytes of columns [from, to) of one page. Pixels are bytes of 0 or 1, so
// eight columns of one row read as one 64-bit word hold one bit each in the
// lowest bit of every byte: shifted to the row's bit and or-ed over the
// page's rows, the word is those eight columns' bytes.
void page_bytes(const Raster& raster, int page, int from, int to, bool msb_top, std::uint8_t* out)
{
    const std::size_t width = static_cast<std::size_t>(raster.width);
    const int rows = std::min(8, raster.height - page * 8);
    const std::uint8_t* top = raster.pixels.data() + static_cast<std::size_t>(page) * 8 * width;
    int x = from;
    if constexpr (std::endian::native == std::endian::little) {
        for (; x + 8 <= to; x += 8, out += 8) {
            std::uint64_t word = 0;
            for (int k = 0; k < rows; ++k) {
                std::uint64_t row;
                std::memcpy(&row, top + k * width + static_cast<std::size_t>(x), sizeof row);
                word |= row << (msb_top ? 7 - k : k);
            }
            std::memcpy(out, &word, sizeof word);
        }
    }
    for (; x < to; ++x, ++out) {
        unsigned byte = 0;
        for (int k = 0; k < rows; ++k) byte |= static_cast<unsigned>(top[k * width + static_cast<std::size_t>(x)]) << (msb_top ? 7 - k : k);
        *out = static_cast<std::uint8_t>(byte);
    }
}

}  // namespace

std::span<const DisplayProfile> display_profiles() { return kProfiles; }

const DisplayProfile& default_display() { return kProfiles[0]; }

const DisplayProfile* find_display(std::string_view name)
{
    for (const DisplayProfile& display : kProfiles)
        if (name == display.name || (display.alias[0] && name == display.alias)) return &display;
    return nullptr;
}

std::string display_names()
{
    std::string names;
    for (const DisplayProfile& display : kProfiles) {
        if (!names.empty()) names += ", ";
        names += display.name;
        if (display.alias[0]) names += std::string(", ") + display.alias;
    }
    return names;
}

int display_pages(const DisplayProfile& display) { return (display.height + 7) / 8; }

PictureSize display_size(const DisplayProfile& display) { return {display.width, display.height}; }

bool is_editor_size(const DisplayProfile& display)
{
    return display.width == kDisplayWidth && display.height == kDisplayHeight;
}

std::optional<Layout> find_layout(std::string_view name)
{
    for (const LayoutEntry& entry : kLayouts)
        if (name == entry.name) return entry.layout;
    return std::nullopt;
}

const char* layout_name(Layout layout)
{
    for (const LayoutEntry& entry : kLayouts)
        if (entry.layout == layout) return entry.name;
    return "";
}

std::string layout_names()
{
    std::string names;
    for (const LayoutEntry& entry : kLayouts) names += (names.empty() ? "" : ", ") + std::string(entry.name);
    return names;
}

std::size_t layout_size(const DisplayProfile& display, Layout layout)
{
    const bool rows = layout == Layout::Rows || layout == Layout::RowsLsb;
    return rows ? static_cast<std::size_t>(row_bytes(display)) * display.height
                : static_cast<std::size_t>(display_pages(display)) * display.width;
}

std::vector<std::uint8_t> layout_bytes(const DisplayProfile& display, Layout layout, PageOrder order,
                                       const Raster& raster)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(layout_size(display, layout));
    const std::uint8_t* pixels = raster.pixels.data();
    const std::size_t width = static_cast<std::size_t>(display.width);
    if (layout == Layout::Rows || layout == Layout::RowsLsb) {
        const int first_bit = layout == Layout::Rows ? 7 : 0, step = layout == Layout::Rows ? -1 : 1;
        for (int y = 0; y < display.height; ++y) {
            const std::uint8_t* row = pixels + static_cast<std::size_t>(y) * width;
            int left = 0;
            if constexpr (std::endian::native == std::endian::little) {
                // Eight pixels of 0 or 1 as one word: the multiplication gathers
                // their low bits into its top byte, leftmost pixel at bit 7 (Rows)
                // or at bit 0 (RowsLsb).
                const std::uint64_t gather = layout == Layout::Rows ? 0x8040201008040201u : 0x0102040810204080u;
                for (; left + 8 <= display.width; left += 8) {
                    std::uint64_t word;
                    std::memcpy(&word, row + left, sizeof word);
                    bytes.push_back(static_cast<std::uint8_t>((word * gather) >> 56));
                }
            }
            for (; left < display.width; left += 8) {
                unsigned byte = 0;
                const int count = std::min(8, display.width - left);
                for (int k = 0; k < count; ++k) byte |= static_cast<unsigned>(row[left + k]) << (first_bit + step * k);
                bytes.push_back(static_cast<std::uint8_t>(byte));
            }
        }
        return bytes;
    }
    bytes.resize(layout_size(display, layout));
    std::uint8_t* out = bytes.data();
    for_each_page_run(display, order, [&](int page, int from, int to) {
        page_bytes(raster, page, from, to, layout == Layout::PagesMsb, out);
        out += to - from;
    });
    return bytes;
}

Raster raster_from_layout(const DisplayProfile& display, Layout layout, PageOrder order,
                          std::span<const std::uint8_t> bytes)
{
    Raster raster(display.width, display.height);
    std::size_t next = 0;
    if (layout == Layout::Rows || layout == Layout::RowsLsb) {
        const int first_bit = layout == Layout::Rows ? 7 : 0, step = layout == Layout::Rows ? -1 : 1;
        for (int y = 0; y < display.height; ++y)
            for (int left = 0; left < display.width; left += 8, ++next)
                for (int k = 0; k < 8 && left + k < display.width; ++k)
                    raster.set(left + k, y, (bytes[next] >> (first_bit + step * k)) & 1);
        return raster;
    }
    const int first_bit = layout == Layout::Pages ? 0 : 7, step = layout == Layout::Pages ? 1 : -1;
    for_each_page_column(display, order, [&](int page, int x) {
        for (int k = 0; k < 8 && page * 8 + k < display.height; ++k)
            raster.set(x, page * 8 + k, (bytes[next] >> (first_bit + step * k)) & 1);
        ++next;
    });
    return raster;
}

}  // namespace lumetra
