// "Преобразовать": the listing of the current buffer in its code view.
#include "shell_fixture.h"

#include "core/file_io.h"
#include "core/text_encoding.h"

namespace lumetra::testing {

namespace {

std::string golden(const char* name)
{
    auto bytes = read_file_prefix(std::filesystem::path(LUMETRA_TEST_DATA) / name, 1 << 20);
    return bytes ? decode_cp1251(*bytes) : "<missing " + std::string(name) + ">";
}

}  // namespace

TEST_F(ShellTest, ConvertWritesTheDefaultListingIntoTheFirstCodeView)
{
    start();
    write_byte(app.store, 1, 1, 1, 0x01);  // the top-left pixel
    control(kConvertButton);
    EXPECT_EQ(pf::text(code_view_of(1)), golden("example1.asm"));
    EXPECT_EQ(hl::rich_lines(code_view_of(1)).size(), 151u);
    EXPECT_EQ(hl::rich_assignments(code_view_of(1)), 1) << "the whole text in one go";
    EXPECT_EQ(pf::focused_control(), code_view_of(1));
    for (int b = 2; b <= kBufferCount; ++b) EXPECT_EQ(pf::text(code_view_of(b)), "") << b;
}

TEST_F(ShellTest, ConvertTakesThePanelsPresentStates)
{
    start();
    set_file_name(app.store, 1, "C:\\Pictures\\logo.chr");
    pf::set_checked(kOptionDb, true);
    pf::set_checked(kAddFileName, true);
    pf::set_checked(kGroupByCrystal, false);
    pf::set_value(kFirstIndent, 2);
    pf::set_value(kSecondIndent, 4);
    control(kConvertButton);
    EXPECT_EQ(pf::text(code_view_of(1)), golden("example2.asm"));
}

TEST_F(ShellTest, ConvertTwiceGivesTheListingOnce)
{
    start();
    control(kConvertButton);
    std::string once = pf::text(code_view_of(1));
    control(kConvertButton);
    EXPECT_EQ(pf::text(code_view_of(1)), once);
}

TEST_F(ShellTest, ConvertWorksOnTheCurrentBufferOnlyAndTouchesNoDocumentState)
{
    start();
    write_byte(app.store, 6, 128, 8, 0x80);
    set_modified(app.store, 6, false);
    click_tab(6);
    std::string title = pf::window_title(pf::WindowId::Main);
    control(kConvertButton);
    std::vector<std::string> lines = hl::rich_lines(code_view_of(6));
    ASSERT_EQ(lines.size(), 151u);
    EXPECT_EQ(lines[149], "            Dt            0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x80");
    EXPECT_EQ(lines[150], "");
    EXPECT_EQ(pf::text(code_view_of(1)), "");
    EXPECT_FALSE(is_modified(app.store, 6));
    EXPECT_EQ(pf::window_title(pf::WindowId::Main), title);
    EXPECT_EQ(pf::focused_control(), code_view_of(6));
}

TEST_F(ShellTest, EditsAfterConvertDoNotChangeTheListing)
{
    start();
    control(kConvertButton);
    std::string listing = pf::text(code_view_of(1));
    write_byte(app.store, 1, 1, 1, 0xFF);
    click_tab(2);
    click_tab(1);
    EXPECT_EQ(pf::text(code_view_of(1)), listing);
}

}  // namespace lumetra::testing
