#include "core/image_store.h"

namespace lumetra {

std::string buffer_label(int buffer, LabelSpacing spacing)
{
    return (spacing == LabelSpacing::TwoBlanks ? "Буфер  " : "Буфер ") + std::to_string(buffer);
}

bool valid_buffer(int buffer) { return buffer >= 1 && buffer <= kBufferCount; }
bool valid_cell(int cell) { return cell >= 1 && cell <= kCellCount; }
bool valid_byte(int byte) { return byte >= 1 && byte <= kCellBytes; }
static bool valid_bit(int bit) { return bit >= 0 && bit <= 7; }
static bool valid_pixel(int x, int y) { return x >= 0 && x < kDisplayWidth && y >= 0 && y < kDisplayHeight; }

ScreenBuffer* buffer_of(ImageStore& store, int buffer)
{
    return valid_buffer(buffer) ? &store.buffers[buffer - 1] : nullptr;
}

const ScreenBuffer* buffer_of(const ImageStore& store, int buffer)
{
    return valid_buffer(buffer) ? &store.buffers[buffer - 1] : nullptr;
}

int byte_offset(int cell, int byte)
{
    if (!valid_cell(cell) || !valid_byte(byte)) return -1;
    return (cell - 1) * kCellBytes + (byte - 1);
}

std::uint8_t read_byte(const ImageStore& store, int buffer, int cell, int byte)
{
    const ScreenBuffer* picture = buffer_of(store, buffer);
    int offset = byte_offset(cell, byte);
    return picture && offset >= 0 ? picture->bytes[offset] : 0;
}

void write_byte(ImageStore& store, int buffer, int cell, int byte, std::uint8_t value)
{
    ScreenBuffer* picture = buffer_of(store, buffer);
    int offset = byte_offset(cell, byte);
    if (picture && offset >= 0) picture->bytes[offset] = value;
}

void set_bit(ImageStore& store, int buffer, int cell, int byte, int bit)
{
    if (!valid_bit(bit)) return;
    auto mask = static_cast<std::uint8_t>(1u << bit);
    write_byte(store, buffer, cell, byte, static_cast<std::uint8_t>(read_byte(store, buffer, cell, byte) | mask));
}

void clear_bit(ImageStore& store, int buffer, int cell, int byte, int bit)
{
    if (!valid_bit(bit)) return;
    auto mask = static_cast<std::uint8_t>(~(1u << bit));
    write_byte(store, buffer, cell, byte, static_cast<std::uint8_t>(read_byte(store, buffer, cell, byte) & mask));
}

void clear_buffer(ImageStore& store, int buffer)
{
    if (ScreenBuffer* picture = buffer_of(store, buffer)) picture->bytes.fill(0);
}

// Pixel (x, y) is bit y mod 8 of the byte at (y div 8)*128 + x.
bool read_pixel(const ScreenBuffer& picture, int x, int y)
{
    if (!valid_pixel(x, y)) return false;
    return (picture.bytes[(y / 8) * kDisplayWidth + x] >> (y % 8)) & 1u;
}

void write_pixel(ScreenBuffer& picture, int x, int y, bool lit)
{
    if (!valid_pixel(x, y)) return;
    std::uint8_t& byte = picture.bytes[(y / 8) * kDisplayWidth + x];
    auto mask = static_cast<std::uint8_t>(1u << (y % 8));
    byte = static_cast<std::uint8_t>(lit ? byte | mask : byte & ~mask);
}

bool read_pixel(const ImageStore& store, int buffer, int x, int y)
{
    const ScreenBuffer* picture = buffer_of(store, buffer);
    return picture && read_pixel(*picture, x, y);
}

void write_pixel(ImageStore& store, int buffer, int x, int y, bool lit)
{
    if (ScreenBuffer* picture = buffer_of(store, buffer)) write_pixel(*picture, x, y, lit);
}

CellLocation locate_cell(int cell)
{
    if (!valid_cell(cell)) return {};
    int page = (cell - 1) / 16 + 1;
    int q = cell - (page - 1) * 16;
    return q <= 8 ? CellLocation{page, 1, q} : CellLocation{page, 2, q - 8};
}

int current_buffer(const ImageStore& store) { return store.current; }

void set_current_buffer(ImageStore& store, int buffer)
{
    if (valid_buffer(buffer)) store.current = buffer;
}

const std::filesystem::path& file_name(const ImageStore& store, int buffer)
{
    static const std::filesystem::path none;
    return valid_buffer(buffer) ? store.file_names[buffer - 1] : none;
}

void set_file_name(ImageStore& store, int buffer, const std::filesystem::path& name)
{
    if (valid_buffer(buffer)) store.file_names[buffer - 1] = name;
}

bool is_modified(const ImageStore& store, int buffer)
{
    return valid_buffer(buffer) && store.modified[buffer - 1];
}

void set_modified(ImageStore& store, int buffer, bool modified)
{
    if (valid_buffer(buffer)) store.modified[buffer - 1] = modified;
}

int open_cell(const ImageStore& store) { return store.open_cell; }

void set_open_cell(ImageStore& store, int cell)
{
    if (cell == kNoCell || valid_cell(cell)) store.open_cell = cell;
}

}  // namespace lumetra
