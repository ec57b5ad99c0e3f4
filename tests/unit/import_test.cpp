#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <unistd.h>
#include <zlib.h>

#include <jpeglib.h>

#include "core/file_io.h"
#include "core/picture_import.h"
#include "tests/support/test_gif.h"

using namespace lumetra;
namespace fs = std::filesystem;

namespace {

const fs::path kPictures = fs::path(LUMETRA_TEST_DATA) / "import";

std::string le16(unsigned v) { return {static_cast<char>(v & 255), static_cast<char>(v >> 8 & 255)}; }
std::string le32(std::uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); }

// A BMP file with a 40-byte header; palette entries are 0xRRGGBB.
struct Bmp {
    std::int32_t width = 128, height = 64;
    unsigned bits = 24;
    std::uint32_t compression = 0;
    std::uint32_t colours_used = 0;
    unsigned planes = 1;
    std::vector<std::uint32_t> palette;
    std::string masks;
    std::string pixels;

    std::string file() const
    {
        std::string table = masks;
        for (std::uint32_t c : palette) table += le32(c);
        std::string info = le32(40) + le32(static_cast<std::uint32_t>(width)) + le32(static_cast<std::uint32_t>(height)) +
                           le16(planes) + le16(bits) + le32(compression) + le32(0) + le32(2835) + le32(2835) +
                           le32(colours_used ? colours_used : static_cast<std::uint32_t>(palette.size())) + le32(0);
        auto offset = static_cast<std::uint32_t>(14 + info.size() + table.size());
        return "BM" + le32(offset + static_cast<std::uint32_t>(pixels.size())) + le32(0) + le32(offset) + info + table + pixels;
    }
};

FileBytes bytes_of(const std::string& s) { return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()}; }

std::string contents(const fs::path& path) { return read_file_prefix(path, 1 << 24).value_or(""); }

std::string screen_bytes(const ScreenBuffer& screen) { return {screen.bytes.begin(), screen.bytes.end()}; }

// A 24-bit 128 x 64 BMP whose column x has colour_of(x), and the display
// bytes expected when lit(x) tells which columns light.
std::string columns_bmp(std::uint32_t (*colour_of)(int))
{
    Bmp bmp;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x) {
            std::uint32_t c = colour_of(x);
            bmp.pixels += {static_cast<char>(c & 255), static_cast<char>(c >> 8 & 255), static_cast<char>(c >> 16)};
        }
    return bmp.file();
}

std::array<std::uint8_t, 3> grey(int v)
{
    const auto level = static_cast<std::uint8_t>(v);
    return {level, level, level};
}

// A width x height picture whose pixel (x, y) has colour(x, y).
RgbImage image_of(int width, int height, auto colour)
{
    RgbImage image;
    image.width = width;
    image.height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::array<std::uint8_t, 3> c = colour(x, y);
            image.rgb.insert(image.rgb.end(), c.begin(), c.end());
        }
    return image;
}

struct ImportTest : ::testing::Test {
    fs::path dir = fs::temp_directory_path() / ("lumetra-import-" + std::to_string(::getpid()));
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    fs::path file(const std::string& name, const std::string& bytes)
    {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return dir / name;
    }
};

const std::string kPattern = contents(kPictures / "pattern.chr");
const std::string kPng = contents(kPictures / "pattern-png-rgb.png");

}  // namespace

TEST(PictureRules, GreyLevelsOfTheWorkedColours)
{
    using Worked = std::array<std::uint8_t, 4>;  // red, green, blue, grey
    for (auto [r, g, b, level] : {Worked{255, 255, 255, 255}, Worked{255, 0, 0, 81}, Worked{0, 255, 0, 143},
                                  Worked{0, 0, 255, 29}, Worked{0, 255, 255, 173}, Worked{255, 255, 0, 225},
                                  Worked{219, 219, 219, 219}, Worked{220, 220, 220, 220}})
        EXPECT_EQ(grey_level(r, g, b), level) << +r << "," << +g << "," << +b;
}

TEST(PictureRules, ColoursOfA24BitPictureLightBelowGrey220)
{
    // Columns in groups of 8: white, red, green, blue, cyan, yellow, grey 219,
    // grey 220, and again.
    static constexpr std::uint32_t colours[8] = {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF,
                                                 0x00FFFF, 0xFFFF00, 0xDBDBDB, 0xDCDCDC};
    static constexpr bool lit[8] = {false, true, true, true, true, false, true, false};
    std::string bmp = columns_bmp([](int x) { return colours[x / 8 % 8]; });
    DecodeResult decoded = decode_picture(bytes_of(bmp));
    ASSERT_TRUE(decoded.ok()) << decoded.error;
    EXPECT_FALSE(decoded.image.two_colour);
    std::string expected;
    for (int page = 0; page < 8; ++page)
        for (int x = 0; x < 128; ++x) expected += lit[x / 8 % 8] ? '\xFF' : '\0';
    EXPECT_EQ(screen_bytes(screen_from_picture(decoded.image)), expected);
}

TEST(PictureRules, OneBitPicturesKeepTheBlueOfTheirPaletteColours)
{
    // Yellow has no blue and lights; blue is 255 and stays dark. Through the
    // grey rule (an 8-bit picture with the same palette) it is the other way.
    Bmp one;
    one.bits = 1;
    one.palette = {0xFFFF00, 0x0000FF};
    for (int y = 0; y < 64; ++y) one.pixels += std::string(8, '\x0F') + std::string(8, '\0');  // x 4..7 of each byte: blue
    Bmp eight = one;
    eight.bits = 8;
    eight.pixels.clear();
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x) eight.pixels += x < 64 && x % 8 >= 4 ? '\x01' : '\0';

    DecodeResult a = decode_picture(bytes_of(one.file())), b = decode_picture(bytes_of(eight.file()));
    ASSERT_TRUE(a.ok() && b.ok()) << a.error << b.error;
    EXPECT_TRUE(a.image.two_colour);
    EXPECT_FALSE(b.image.two_colour);
    ScreenBuffer sa = screen_from_picture(a.image), sb = screen_from_picture(b.image);
    for (int x : {0, 3, 4, 7, 64, 127}) {
        bool blue = x < 64 && x % 8 >= 4;
        EXPECT_EQ(read_pixel(sa, x, 10), !blue) << x;
        EXPECT_EQ(read_pixel(sb, x, 10), blue) << x;
    }
}

TEST(PictureRules, StretchAveragesByCoveredArea)
{
    // 192 across: target column 0 is source 0 and half of 1, column 1 the
    // other half of 1 and source 2: (2a + b) / 3 and (b + 2c) / 3.
    auto thirds = [](int i) -> std::uint8_t { return i % 3 == 0 ? 0 : i % 3 == 1 ? 90 : 240; };
    RgbImage out = stretch_to_display(image_of(192, 64, [&](int x, int) { return grey(thirds(x)); }));
    ASSERT_EQ(out.rgb.size(), 128u * 64 * 3);
    EXPECT_EQ(out.rgb[0], 30);
    EXPECT_EQ(out.rgb[3], 190);
    EXPECT_EQ(out.rgb[(63 * 128 + 127) * 3], 190);
    // The same columns in fewer rows than the display has (summed across
    // row by row): each source row serves two target rows.
    out = stretch_to_display(image_of(192, 32, [&](int x, int) { return grey(thirds(x)); }));
    EXPECT_EQ(out.rgb[0], 30);
    EXPECT_EQ(out.rgb[3], 190);
    EXPECT_EQ(out.rgb[(63 * 128 + 127) * 3], 190);

    // Tall, and narrower than the display: 64 x 192 to 128 x 64. Each target
    // row is the mean of three source rows, each source column serves two.
    out = stretch_to_display(image_of(64, 192, [&](int x, int y) {
        std::uint8_t v = x >= 32 ? std::uint8_t{255} : thirds(y);
        return std::array<std::uint8_t, 3>{v, v, static_cast<std::uint8_t>(255 - v)};
    }));
    for (int y : {0, 31, 63})
        for (int x : {0, 63, 64, 127}) {
            const std::uint8_t* p = &out.rgb[(y * 128 + x) * 3];
            EXPECT_EQ(p[0], x < 64 ? 110 : 255) << x << "," << y;
            EXPECT_EQ(p[2], x < 64 ? 145 : 0) << x << "," << y;
        }

    // Halving rounds the mean half up: 219 and 220 side by side give 220,
    // which is not lit.
    RgbImage halves = image_of(256, 64, [](int x, int) { return grey(x % 2 ? 220 : 219); });
    EXPECT_EQ(stretch_to_display(halves).rgb[0], 220);
    EXPECT_EQ(screen_from_picture(halves), ScreenBuffer{});
}

namespace {

// A JPEG of the given size whose pixels come from pixel(x, y, channel).
template <typename Pixel>
std::string jpeg_of(int width, int height, Pixel pixel)
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) row[x * 3 + c] = pixel(x, static_cast<int>(cinfo.next_scanline), c);
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&cinfo, &pointer, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string file(reinterpret_cast<const char*>(out), size);
    std::free(out);
    jpeg_destroy_compress(&cinfo);
    return file;
}

}  // namespace

// The import stretches a JPEG while decoding it; the display picture must be
// exactly the full decode stretched, for every shape the stretch treats in
// its own way (short and wide, tall, odd sizes), every colour layout, and
// with the same refusals.
TEST(PictureFiles, JpegStretchedWhileDecodedEqualsTheFullDecodeStretched)
{
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& entry : fs::directory_iterator(kPictures))
        if (entry.path().extension() == ".jpg") files.emplace_back(entry.path().filename().string(), contents(entry.path()));
    ASSERT_GE(files.size(), 6u) << "baseline, progressive, grey and CMYK pictures";
    auto noise = [](int x, int y, int c) { return static_cast<unsigned char>((x * 37 + y * 101 + c * 59 + x * y) % 256); };
    for (auto [w, h] : {std::pair{400, 20}, {30, 500}, {333, 97}, {1000, 700}, {128, 64}})
        files.emplace_back(std::to_string(w) + " x " + std::to_string(h), jpeg_of(w, h, noise));
    for (const auto& [name, file] : files) {
        SCOPED_TRACE(name);
        DecodeResult whole = decode_picture(bytes_of(file)), shown = decode_picture_for_display(bytes_of(file));
        ASSERT_TRUE(whole.ok() && shown.ok()) << whole.error << shown.error;
        const RgbImage expected = whole.image.width == 128 && whole.image.height == 64 ? whole.image
                                                                                        : stretch_to_display(whole.image);
        EXPECT_EQ(shown.image.width, 128);
        EXPECT_EQ(shown.image.height, 64);
        EXPECT_TRUE(shown.image.rgb == expected.rgb);
        const std::string cut = file.substr(0, file.size() / 2);
        EXPECT_EQ(decode_picture_for_display(bytes_of(cut)).error, decode_picture(bytes_of(cut)).error);
    }
    std::string jpeg = contents(kPictures / "pattern-jpg-baseline.jpg");
    std::size_t sof = jpeg.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    jpeg[sof + 5] = jpeg[sof + 7] = '\xFD';
    jpeg[sof + 6] = jpeg[sof + 8] = '\xE8';
    EXPECT_NE(decode_picture_for_display(bytes_of(jpeg)).error.find("too large"), std::string::npos);
}

TEST(PictureFiles, EveryFormatVariantGivesThePatternExactly)
{
    ASSERT_EQ(kPattern.size(), 1024u);
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(kPictures)) {
        std::string name = entry.path().filename().string();
        if (!name.starts_with("pattern-") && !name.starts_with("stretch-")) continue;
        SCOPED_TRACE(name);
        ScreenBuffer screen;
        screen.bytes.fill(0x5A);
        FileResult result = import_picture(entry.path(), screen);
        ASSERT_TRUE(result.ok) << read_picture(entry.path()).error;
        EXPECT_EQ(screen_bytes(screen), kPattern);
        ++checked;
    }
    // 1/4/8/16/24/32-bit BMP with every header and compression, icons, PNG of
    // every colour type and depth, JPEG baseline/progressive/grey/CMYK, and the
    // three stretches.
    EXPECT_EQ(checked, 44);
}

TEST(PictureFiles, DecodedColoursMatchImageMagick)
{
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(kPictures)) {
        std::string name = entry.path().filename().string();
        if (!name.starts_with("colour-") || entry.path().extension() == ".rgb") continue;
        SCOPED_TRACE(name);
        DecodeResult decoded = read_picture(entry.path());
        ASSERT_TRUE(decoded.ok()) << decoded.error;
        std::string reference = contents(fs::path(entry.path()).replace_extension(".rgb"));
        ASSERT_EQ(decoded.image.width, 48);
        ASSERT_EQ(decoded.image.height, 24);
        ASSERT_EQ(reference.size(), decoded.image.rgb.size());
        // Alpha composed onto white may round one step apart; ImageMagick cuts
        // a 10-bit field where we take its top 8 bits (44 gives it 10, us 11,
        // the colour the picture was made with).
        bool near = name.find("rgba") != std::string::npos || name.find("odd-masks") != std::string::npos;
        int tolerance = near ? 1 : 0, worst = 0;
        for (std::size_t i = 0; i < reference.size(); ++i)
            worst = std::max(worst, std::abs(static_cast<std::uint8_t>(reference[i]) - decoded.image.rgb[i]));
        EXPECT_LE(worst, tolerance);
        ++checked;
    }
    EXPECT_EQ(checked, 16);
}

TEST_F(ImportTest, DecoderIsChosenByContentAndExtensionsIgnoreCase)
{
    ScreenBuffer screen;
    ASSERT_TRUE(import_picture(file("logo.jpg", kPng), screen).ok);
    EXPECT_EQ(screen_bytes(screen), kPattern);

    ImageStore store;
    fs::path upper = file("logo.PNG", kPng);
    ASSERT_TRUE(open_picture_file(store, 1, upper).ok);
    EXPECT_EQ(screen_bytes(store.buffers[0]), kPattern);
    EXPECT_EQ(store.file_names[0], upper);

    // Not a picture extension: the first 1024 bytes as a .chr file.
    ASSERT_TRUE(open_picture_file(store, 2, file("logo.jpeg", kPng)).ok);
    EXPECT_EQ(screen_bytes(store.buffers[1]).substr(0, kPng.size()), kPng.substr(0, 1024));

    for (const char* yes : {"PIC.BMP", "x.Jpg", "a/b.c/logo.png", "C:\\a.b\\logo.bMp", ".png", "logo.png.GIF"})
        EXPECT_TRUE(is_picture_extension(yes)) << yes;
    for (const char* no : {"pic.jpeg", "logo.chr", "logo", "logo.", "a.png/logo", "C:\\a.png\\logo", "logo.gif.chr"})
        EXPECT_FALSE(is_picture_extension(no)) << no;
}

TEST_F(ImportTest, SuccessReplacesEverythingFailureNothing)
{
    ImageStore store;
    auto keep = [&] {
        store.buffers[2].bytes.fill(0x11);
        set_file_name(store, 3, "keep.chr");
        set_modified(store, 3, true);
    };
    auto kept = [&] {
        EXPECT_EQ(store.buffers[2].bytes[0], 0x11);
        EXPECT_EQ(store.buffers[2].bytes[1023], 0x11);
        EXPECT_EQ(store.file_names[2], "keep.chr");
        EXPECT_TRUE(is_modified(store, 3));
    };
    const fs::path failures[] = {
        dir / "missing.png",
        file("cut.png", kPng.substr(0, kPng.size() / 2)),
        file("text.bmp", "BM but nothing more"),
        file("empty.jpg", ""),
        dir,
    };
    for (const fs::path& path : failures) {
        SCOPED_TRACE(path.string());
        keep();
        FileResult result = import_picture_into(store, 3, path);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.failure, FileFailure::Read);
        EXPECT_EQ(result.path, path);
        kept();
    }

    keep();
    fs::path good = file("good.png", kPng);
    ASSERT_TRUE(import_picture_into(store, 3, good).ok);
    EXPECT_EQ(screen_bytes(store.buffers[2]), kPattern);
    EXPECT_EQ(store.file_names[2], good);
    EXPECT_FALSE(is_modified(store, 3));
    EXPECT_FALSE(import_picture_into(store, 11, good).ok);
}

TEST(HostileFiles, CutOffFilesAreErrorsWhereverTheCut)
{
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(kPictures)) {
        std::string name = entry.path().filename().string();
        if (!name.starts_with("pattern-")) continue;
        std::string whole = contents(entry.path());
        for (std::size_t cut : {std::size_t{0}, std::size_t{1}, std::size_t{14}, whole.size() / 4, whole.size() / 2,
                                whole.size() * 7 / 8, whole.size() - 1}) {
            DecodeResult result = decode_picture(bytes_of(whole.substr(0, cut)));
            EXPECT_FALSE(result.ok()) << name << " cut at " << cut << " of " << whole.size();
        }
        ++checked;
    }
    EXPECT_GT(checked, 40);
}

TEST(HostileFiles, SizesAreRefusedBeforeAnyAllocation)
{
    Bmp huge;
    huge.width = 100000;
    huge.height = -100000;
    EXPECT_NE(decode_picture(bytes_of(huge.file())).error.find("too large"), std::string::npos);
    huge.width = 8000;
    huge.height = 8001;  // 64,008,000 pixels, one row over the limit
    huge.bits = 8;
    huge.compression = 1;
    huge.palette = {0};
    huge.pixels = le16(0x0100);
    EXPECT_NE(decode_picture(bytes_of(huge.file())).error.find("too large"), std::string::npos);
    huge.height = 8000;
    huge.compression = 0;  // within the limit, but the rows are not there
    EXPECT_EQ(decode_picture(bytes_of(huge.file())).error, "the pixel data is cut off");

    // PNG: an IHDR of 9000 x 9000, then one of 8000 x 8000 with a few bytes
    // of compressed data that cannot hold 64 million pixels.
    for (std::uint32_t side : {9000u, 8000u}) {
        std::string big = kPng;
        for (int i = 0; i < 4; ++i) big[16 + i] = big[20 + i] = static_cast<char>(side >> (24 - 8 * i));
        std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(big.data() + 12), 17));
        for (int i = 0; i < 4; ++i) big[29 + i] = static_cast<char>(crc >> (24 - 8 * i));
        std::string error = decode_picture(bytes_of(big)).error;
        EXPECT_NE(error.find(side == 9000 ? "too large" : "too short"), std::string::npos) << error;
    }

    // JPEG: a start-of-frame claiming 65000 x 65000.
    std::string jpeg = contents(kPictures / "pattern-jpg-baseline.jpg");
    std::size_t sof = jpeg.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    jpeg[sof + 5] = jpeg[sof + 7] = '\xFD';
    jpeg[sof + 6] = jpeg[sof + 8] = '\xE8';
    EXPECT_NE(decode_picture(bytes_of(jpeg)).error.find("too large"), std::string::npos);

    // GIF: a canvas of 65535 x 65535; an animation past its frame and pixel
    // limits; and cut anywhere.
    const std::string gif = lumetra::testing::make_test_gif({100, 100, 100});
    std::string wide = gif;
    wide[6] = wide[7] = wide[8] = wide[9] = '\xFF';
    EXPECT_NE(decode_gif_frames(bytes_of(wide)).error.find("too large"), std::string::npos);
    DecodeLimits few;
    few.max_frames = 2;
    EXPECT_EQ(decode_gif_frames(bytes_of(gif), few).error, "the GIF has more frames than 2");
    few.max_frames = 3;
    few.max_animation_pixels = 3 * kDisplayWidth * kDisplayHeight - 1;
    EXPECT_EQ(decode_gif_frames(bytes_of(gif), few).error, "the animation is too large");
    few.max_animation_pixels += 1;
    EXPECT_EQ(decode_gif_frames(bytes_of(gif), few).frames.size(), 3u);
    for (std::size_t cut : {std::size_t{5}, std::size_t{13}, gif.size() / 2, gif.size() - 1})
        EXPECT_FALSE(decode_gif_frames(bytes_of(gif.substr(0, cut))).ok()) << "GIF cut at " << cut;

    // The file itself is capped before it is read.
    DecodeLimits small;
    small.max_file_bytes = 100;
    EXPECT_EQ(read_picture(kPictures / "pattern-png-rgb.png", small).error, "the file is too large");
}

TEST(HostileFiles, InconsistentBitmapsAreErrors)
{
    auto error_of = [](const Bmp& bmp) { return decode_picture(bytes_of(bmp.file())).error; };
    Bmp rle;  // 8 x 2, RLE8, two colours
    rle.width = 8;
    rle.height = 2;
    rle.bits = 8;
    rle.compression = 1;
    rle.palette = {0xFFFFFF, 0x000000};
    auto with = [&](std::string data) {
        Bmp b = rle;
        b.pixels = std::move(data);
        return error_of(b);
    };
    EXPECT_EQ(with(std::string("\x08\x01\x00\x00\x08\x00\x00\x01", 8)), "");
    EXPECT_EQ(with(std::string("\x09\x01\x00\x01", 4)), "a compressed run goes past the picture");
    EXPECT_EQ(with(std::string("\x00\x02\x09\x00\x00\x01", 6)), "a delta moves past the picture");
    EXPECT_EQ(with(std::string("\x00\x02\x00\x03\x00\x01", 6)), "a delta moves past the picture");
    EXPECT_EQ(with(std::string("\x00\x04\x01\x01", 4)), "the compressed pixels end inside an absolute run");
    EXPECT_EQ(with(std::string("\x08\x01\x00\x00", 4)), "the compressed pixels end before the end of the picture");
    EXPECT_EQ(with(std::string("\x02\x07\x00\x01", 4)), "a colour index lies outside the palette");
    EXPECT_EQ(with(std::string("\x00\x00\x00\x00\x01\x01\x00\x01", 8)), "a compressed run goes past the picture");

    Bmp palette;  // 8-bit, two colours, index 5 in the last pixel
    palette.width = 4;
    palette.height = 1;
    palette.bits = 8;
    palette.colours_used = 2;
    palette.palette = {0xFFFFFF, 0};
    palette.pixels = std::string("\x00\x01\x00\x05", 4);
    EXPECT_EQ(error_of(palette), "a colour index lies outside the palette");
    palette.colours_used = 300;
    EXPECT_EQ(error_of(palette), "the colour table is larger than the depth allows");

    Bmp odd;
    odd.width = 0;
    EXPECT_EQ(error_of(odd), "the picture has no pixels");
    odd.width = 1;
    odd.height = 0;
    EXPECT_EQ(error_of(odd), "the picture has no pixels");
    odd.height = 1;
    odd.planes = 2;
    EXPECT_EQ(error_of(odd), "a bitmap has exactly one plane");
    odd.planes = 1;
    odd.bits = 7;
    EXPECT_EQ(error_of(odd), "unsupported depth of 7 bits");
    odd.bits = 16;
    odd.compression = 3;
    odd.masks = le32(0xF00F) + le32(0x0F00) + le32(0x00F0);
    odd.pixels = le32(0);
    EXPECT_EQ(error_of(odd), "a colour mask is not one run of bits");
    odd.compression = 4;
    EXPECT_NE(error_of(odd).find("unsupported compression"), std::string::npos);
    odd.compression = 1;
    odd.height = -1;
    EXPECT_NE(error_of(odd).find("unsupported compression"), std::string::npos);
}

TEST(HostileFiles, EmptyAndForeignFilesAreErrors)
{
    for (std::string bad : {std::string(), std::string("GIF89a"), std::string("BM"), std::string("\0\0\1\0\0\0", 6),
                            std::string("\x89PNG\r\n\x1A\n", 8), std::string("\xFF\xD8\xFF\xD9", 4)})
        EXPECT_FALSE(decode_picture(bytes_of(bad)).ok()) << bad.size();
    // An icon whose image lies past the end of the file.
    std::string icon = std::string("\0\0\1\0\1\0", 6) + std::string("\x10\x10\0\0\1\0\x20\0", 8) + le32(1000) + le32(22);
    EXPECT_EQ(decode_picture(bytes_of(icon)).error, "an icon image lies outside the file");
}
