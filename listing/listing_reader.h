// The way back from a listing to the picture: an assembler listing as this
// program writes it or as someone types it in the same form, or a C array of
// the 1024 bytes. The text is outside data: every line is checked, nothing is
// guessed, and anything that cannot be placed is refused with its line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/image_store.h"

namespace lumetra {

struct ListingReadResult {
    ScreenBuffer picture;
    std::string error;  // empty when the picture is complete
    int line = 0;       // the line the error names, counted from 1
    bool ok() const { return error.empty(); }
};

// Assembler form: data lines "Dt", "Db" or "retlw" (any case, any indent, an
// optional label in the first column), values 0x3F, 3Fh, h'3F' or decimal
// 63, comments after ";". C form (a "{" outside the comments): one
// initializer list of integer constants in C notation; comments, the
// declaration before it and preprocessor lines are skipped.
// The order: a comment naming a page and a crystal ("Страница 3  //
// кристалл 2", "Page 3, crystal 2", in Windows-1251 or UTF-8) starts the 64
// bytes of that page of that crystal, so grouped and interleaved listings
// both read back; without any such comment the bytes are in stored
// (interleaved) order. Exactly 1024 bytes, each 0..255.
ListingReadResult read_listing(std::string_view text);

// The same rules for the table of any display: total bytes; a comment naming
// page p and crystal c starts the run_bytes bytes at (p - 1) x page_bytes +
// (c - 1) x run_bytes. With crystals 0 page comments place nothing.
struct TableShape {
    int total = kBufferBytes;
    int page_bytes = kDisplayWidth;
    int run_bytes = 64;
    int pages = 8;
    int crystals = 2;
};
struct TableReadResult {
    std::vector<std::uint8_t> bytes;  // total of them
    std::string error;
    int line = 0;
    bool ok() const { return error.empty(); }
};
TableReadResult read_table(std::string_view text, const TableShape& shape);

}  // namespace lumetra
