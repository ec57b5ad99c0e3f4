#include <gtest/gtest.h>

#include "core/image_store.h"

using namespace lumetra;

TEST(ImageStore, ByteMapsToPixelsOfItsColumn)
{
    ImageStore store;
    write_byte(store, 1, 1, 1, 0x81);
    write_byte(store, 1, 16, 8, 0x81);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x) {
            bool expected = (x == 0 || x == 127) && (y == 0 || y == 7);
            EXPECT_EQ(read_pixel(store, 1, x, y), expected) << x << "," << y;
        }
    // Offset 1023 is column 127 of page 8.
    write_pixel(store, 2, 127, 56, true);
    write_pixel(store, 2, 127, 63, true);
    EXPECT_EQ(store.buffers[1].bytes[1023], 0x81);
    EXPECT_EQ(read_byte(store, 2, 128, 8), 0x81);
}

TEST(ImageStore, CellPositionsAtTheCorners)
{
    auto pos = [](int cell) {
        CellLocation p = locate_cell(cell);
        return std::tuple(p.crystal, p.page, p.column_group);
    };
    for (auto [cell, crystal, page, group] : {std::array{1, 1, 1, 1}, {8, 1, 1, 8}, {9, 2, 1, 1}, {17, 1, 2, 1},
                                              {128, 2, 8, 8}, {0, 0, 0, 0}, {129, 0, 0, 0}})
        EXPECT_EQ(pos(cell), std::tuple(crystal, page, group)) << cell;
}

TEST(ImageStore, BitMasksAndBufferLabels)
{
    ImageStore store;
    for (int bit = 0; bit < 8; ++bit) set_bit(store, 3, 5, 2, bit);
    EXPECT_EQ(read_byte(store, 3, 5, 2), 0xFF);
    clear_bit(store, 3, 5, 2, 7);
    clear_bit(store, 3, 5, 2, 0);
    EXPECT_EQ(read_byte(store, 3, 5, 2), 0x7E);
    set_bit(store, 3, 5, 2, 8);
    set_bit(store, 3, 5, 2, -1);
    EXPECT_EQ(read_byte(store, 3, 5, 2), 0x7E);
    EXPECT_EQ(buffer_label(10), "Буфер 10");
    EXPECT_EQ(buffer_label(1, LabelSpacing::TwoBlanks), "Буфер  1");
}

TEST(ImageStore, OutOfRangeNumbersDoNothing)
{
    ImageStore store;
    const ImageStore before = store;
    for (auto [buffer, cell, row] : {std::array{0, 1, 1}, {11, 1, 1}, {1, 0, 1}, {1, 129, 1}, {1, 1, 0}, {1, 1, 9}})
        write_byte(store, buffer, cell, row, 0xFF);
    for (int bit : {8, -1}) set_bit(store, 1, 1, 1, bit);
    for (auto [x, y] : {std::pair{128, 0}, {0, 64}, {-1, 0}}) write_pixel(store, 1, x, y, true);
    set_current_buffer(store, 11);
    set_open_cell(store, 129);
    set_modified(store, 0, true);
    EXPECT_EQ(store.buffers, before.buffers);
    EXPECT_EQ(store.current, 1);
    EXPECT_EQ(store.open_cell, kNoCell);
    EXPECT_EQ(read_byte(store, 11, 1, 1), 0);
    EXPECT_FALSE(is_modified(store, 0));
}
