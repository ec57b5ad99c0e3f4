// The ten screen buffers and the display geometry of a 128 x 64 module
// driven by two KS0107/KS0108 column controllers.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

namespace lumetra {

constexpr int kDisplayWidth = 128;
constexpr int kDisplayHeight = 64;
constexpr int kBufferBytes = 1024;
constexpr int kBufferCount = 10;
constexpr int kCellCount = 128;
constexpr int kCellBytes = 8;
constexpr int kNoCell = 0;

// One picture in display-memory order: page by page, each page its 128
// columns from left to right, bit 0 of a byte the top pixel of its column.
// Byte k of cell n lives at offset (n-1)*8 + (k-1).
struct ScreenBuffer {
    std::array<std::uint8_t, kBufferBytes> bytes{};
    bool operator==(const ScreenBuffer&) const = default;
};

struct ImageStore {
    std::array<ScreenBuffer, kBufferCount> buffers{};
    std::array<std::filesystem::path, kBufferCount> file_names{};
    std::array<bool, kBufferCount> modified{};
    int current = 1;          // 1..10
    int open_cell = kNoCell;  // 1..128, or kNoCell
};

// Page, crystal and column group of a cell, each counted from 1. The
// segment address of byte k is (column_group - 1) * 8 + (k - 1) and restarts
// at 0 in crystal 2.
struct CellLocation {
    int page = 0;          // 1..8
    int crystal = 0;       // 1..2
    int column_group = 0;  // 1..8, shown to the user as "Сегмент"
    int segment_address(int byte) const { return (column_group - 1) * 8 + (byte - 1); }
    bool operator==(const CellLocation&) const = default;
};

// How the lists name a buffer: "Буфер 3" on the tabs and in the logic and
// optimisation panels, "Буфер  3" (two blanks) in the slot lists of the
// animation and BIN panels.
enum class LabelSpacing { OneBlank, TwoBlanks };
std::string buffer_label(int buffer, LabelSpacing spacing = LabelSpacing::OneBlank);

bool valid_buffer(int buffer);
bool valid_cell(int cell);
bool valid_byte(int byte);

// Every operation below does nothing (or answers 0 / false) for a buffer,
// cell, byte, bit or pixel outside its range.
ScreenBuffer* buffer_of(ImageStore& store, int buffer);
const ScreenBuffer* buffer_of(const ImageStore& store, int buffer);

std::uint8_t read_byte(const ImageStore& store, int buffer, int cell, int byte);
void write_byte(ImageStore& store, int buffer, int cell, int byte, std::uint8_t value);
void set_bit(ImageStore& store, int buffer, int cell, int byte, int bit);
void clear_bit(ImageStore& store, int buffer, int cell, int byte, int bit);
void clear_buffer(ImageStore& store, int buffer);

bool read_pixel(const ScreenBuffer& picture, int x, int y);
void write_pixel(ScreenBuffer& picture, int x, int y, bool lit);
bool read_pixel(const ImageStore& store, int buffer, int x, int y);
void write_pixel(ImageStore& store, int buffer, int x, int y, bool lit);

// Offset of byte k of cell n in a ScreenBuffer, or -1 when out of range.
int byte_offset(int cell, int byte);
CellLocation locate_cell(int cell);

// Current buffer, file name, modified flag and open cell.
int current_buffer(const ImageStore& store);
void set_current_buffer(ImageStore& store, int buffer);
const std::filesystem::path& file_name(const ImageStore& store, int buffer);
void set_file_name(ImageStore& store, int buffer, const std::filesystem::path& name);
bool is_modified(const ImageStore& store, int buffer);
void set_modified(ImageStore& store, int buffer, bool modified);
int open_cell(const ImageStore& store);
void set_open_cell(ImageStore& store, int cell);

}  // namespace lumetra
