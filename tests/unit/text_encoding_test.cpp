#include <gtest/gtest.h>

#include <iconv.h>

#include "core/text_encoding.h"
#include "core/styled_text.h"

using namespace lumetra;

namespace {

// glibc's own converter, which nobody here wrote.
std::optional<std::string> iconv_convert(const char* to, const char* from, const std::string& in)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out(in.size() * 4 + 4, '\0');
    char* src = const_cast<char*>(in.data());
    char* dst = out.data();
    size_t src_left = in.size(), dst_left = out.size();
    size_t rc = iconv(cd, &src, &src_left, &dst, &dst_left);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1)) return std::nullopt;
    out.resize(out.size() - dst_left);
    return out;
}

}  // namespace

TEST(TextEncoding, AgreesWithIconvOnAll256Bytes)
{
    int compared = 0;
    for (int b = 0; b < 256; ++b) {
        std::string byte(1, static_cast<char>(b));
        auto expected = iconv_convert("UTF-8", "CP1251", byte);
        if (!expected) {
            EXPECT_EQ(b, 0x98) << "only 0x98 is unassigned";
            continue;
        }
        ++compared;
        EXPECT_EQ(decode_cp1251(byte), *expected) << "byte " << b;
        EXPECT_EQ(encode_cp1251(*expected), byte) << "byte " << b;
    }
    EXPECT_EQ(compared, 255);
    EXPECT_EQ(encode_cp1251(decode_cp1251("\x98")), "\x98");
}

TEST(TextEncoding, RefusesWhatTheCodePageCannotHold)
{
    EXPECT_EQ(encode_cp1251("Файл  —  C:\\logo.chr"), "\xD4\xE0\xE9\xEB  \x97  C:\\logo.chr");
    EXPECT_FALSE(encode_cp1251("日本"));
    EXPECT_FALSE(encode_cp1251("é"));          // Latin-1 letter, not in 1251
    EXPECT_FALSE(encode_cp1251("\xD0"));       // cut short
    EXPECT_FALSE(encode_cp1251("\xC0\xAF"));   // overlong
    EXPECT_FALSE(encode_cp1251("\xED\xA0\x80"));  // surrogate
}

TEST(TextEncoding, PathsRoundTripThroughUtf8)
{
    std::string name = "/tmp/Рисунки/логотип.chr";
    EXPECT_EQ(path_to_utf8(utf8_to_path(name)), name);
}

// A rich-text view's lines: every kind of line end breaks once, and an empty
// text holds no line (a view set to "" shows nothing, not one empty line).
TEST(SplitLines, EachLineEndBreaksOnce)
{
    EXPECT_EQ(split_lines(""), std::vector<std::string>{});
    EXPECT_EQ(split_lines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(split_lines("a\r\n\r\n"), (std::vector<std::string>{"a", "", ""}));
}
