// The listing generator timed by itself, built both natively and with emcc so
// bench/listing_wasm.sh runs the two side by side. Prints the time of one
// listing and a checksum of every listing made, which must be equal in both.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "listing/listing.h"

using namespace lumetra;

int main()
{
    // Pictures of different byte patterns, every option the panel has.
    constexpr int kPictures = 8;
    ScreenBuffer pictures[kPictures];
    for (int p = 0; p < kPictures; ++p)
        for (int i = 0; i < kBufferBytes; ++i)
            pictures[p].bytes[i] = static_cast<std::uint8_t>(i * (37 + 2 * p) + p);
    ListingOptions variants[4];
    variants[1].directive = Directive::Db;
    variants[2].add_file_name = true;
    variants[3].group_by_crystal = false;
    variants[3].first_indent = 4;

    // The timed rounds keep only the sizes, so that the race is the
    // generator's; the checksum is taken in one round of its own.
    std::size_t size = 0;
    auto run = [&](int rounds) {
        for (int r = 0; r < rounds; ++r)
            for (const ScreenBuffer& picture : pictures)
                for (const ListingOptions& options : variants)
                    size += generate_listing(picture, "C:\\Pictures\\logo.chr", options).size();
    };
    run(50);  // warm-up: the JIT of the wasm side, the caches of both
    // The best of several runs: the machine is shared.
    constexpr int kRounds = 100;
    double best = 1e300;
    for (int attempt = 0; attempt < 25; ++attempt) {
        const auto start = std::chrono::steady_clock::now();
        run(kRounds);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, std::chrono::duration<double, std::micro>(elapsed).count() / (kRounds * kPictures * 4));
    }
    std::uint32_t checksum = 2166136261u;  // FNV-1a over every line
    for (const ScreenBuffer& picture : pictures)
        for (const ListingOptions& options : variants)
            for (const std::string& line : generate_listing(picture, "C:\\Pictures\\logo.chr", options))
                for (unsigned char c : line) checksum = (checksum ^ c) * 16777619u;
    std::printf("%.2f us a listing, checksum %08x (%zu lines)\n", best, static_cast<unsigned>(checksum), size);
    return 0;
}
