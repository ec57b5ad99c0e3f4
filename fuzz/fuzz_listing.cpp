// Listings and C arrays come from outside too: whatever the text, reading it
// must not crash, and a picture it accepts must come back the same through
// the listing and the C array written from it.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "listing/listing.h"
#include "listing/listing_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace lumetra;
    ListingReadResult read = read_listing(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!read.ok()) {
        if (read.line < 0 || read.picture != ScreenBuffer{}) std::abort();
        return 0;
    }
    bool grouped = size % 2 == 0;
    ListingOptions options{.directive = size % 3 == 0 ? Directive::Db : Directive::Dt, .group_by_crystal = grouped};
    ListingReadResult listing = read_listing(join_view_lines(generate_listing(read.picture, "", options)));
    auto order = grouped ? CellOrder::Interleaved : CellOrder::GroupedByCrystal;
    ListingReadResult array = read_listing(join_lines(generate_c_array(read.picture, "a", order), "\n"));
    if (!listing.ok() || listing.picture != read.picture || !array.ok() || array.picture != read.picture) std::abort();
    return 0;
}
