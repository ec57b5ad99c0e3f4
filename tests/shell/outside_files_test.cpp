// Files dropped onto the main window and the file named on the command line.
#include "shell_fixture.h"

#include "core/text_encoding.h"

namespace lumetra::testing {

namespace {

struct OutsideFiles : ShellTest {
    void drop(std::vector<fs::path> files) { main_event(pf::EventKind::FilesDropped, std::move(files)); }
};

}  // namespace

TEST_F(OutsideFiles, OnlyTheFirstDroppedFileCountsAndItsExtensionIgnoresCase)
{
    start();
    auto picture = file("b.chr", "\x07");
    drop({file("a.txt", "\x05"), picture, picture});
    EXPECT_EQ(read_byte(app.store, 1, 1, 1), 0);
    EXPECT_TRUE(app.settings.recent[0].empty());

    drop({file("EMPTY.CHR", ""), picture});
    drop({hl::temp_dir() / "missing.chr"});
    drop({hl::temp_dir()});
    EXPECT_EQ(read_byte(app.store, 1, 1, 1), 0);
    EXPECT_TRUE(hl::message_boxes().empty()) << "ignored without a message";

    // Capitals pass the extension test; PNG is imported by its content.
    auto png = file("LOGO.PNG", "not a picture");
    drop({png});
    EXPECT_EQ(hl::message_boxes().back().text, "Не удалось открыть файл\n" + path_to_utf8(png));
    EXPECT_EQ(app.settings.recent[0], path_to_utf8(png));

    drop({file("C.CHR", "\x09")});
    EXPECT_EQ(read_byte(app.store, 1, 1, 1), 9);
    EXPECT_EQ(title(), kTitle + path_to_utf8(hl::temp_dir() / "C.CHR"));
}

TEST_F(OutsideFiles, DroppedFileAsksAboutTheCurrentBufferFirst)
{
    start();
    write_byte(app.store, 1, 1, 1, 0x33);
    set_modified(app.store, 1, true);
    auto picture = file("d.chr", "\x01");
    drop({picture});  // the question is cancelled
    EXPECT_EQ(hl::message_boxes().size(), 1u);
    EXPECT_EQ(read_byte(app.store, 1, 1, 1), 0x33);
    hl::answer_message_box(pf::Answer::No);
    drop({picture});
    EXPECT_EQ(read_byte(app.store, 1, 1, 1), 0x01);
    EXPECT_FALSE(is_modified(app.store, 1));
}

TEST_F(OutsideFiles, CommandLineFileIsReadWhateverItsExtension)
{
    auto text = file("notes.txt", "\xF0\x0F");
    ASSERT_TRUE(start_up(app, {text, file("second.chr", "\x01")}));
    EXPECT_EQ(read_byte(app.store, 1, 1, 1), 0xF0);
    EXPECT_EQ(read_byte(app.store, 1, 1, 2), 0x0F);
    EXPECT_EQ(title(), kTitle + path_to_utf8(text));
    EXPECT_EQ(app.settings.recent[0], path_to_utf8(text));
    EXPECT_EQ(hl::bitmap(cell_image_of(1)).at(0, 16), kInk);
    EXPECT_TRUE(hl::message_boxes().empty());
}

TEST_F(OutsideFiles, RelativeCommandLineNameIsTakenFromTheCurrentFolder)
{
    fs::path whole = file("rel.chr", "\x05");
    fs::path here = fs::current_path();
    fs::current_path(hl::temp_dir());
    bool started = start_up(app, {fs::path(".") / "rel.chr"});
    fs::current_path(here);  // a later change of folder must not matter
    ASSERT_TRUE(started);
    EXPECT_EQ(read_byte(app.store, 1, 1, 1), 0x05);
    EXPECT_EQ(file_name(app.store, 1), whole);
    EXPECT_EQ(title(), kTitle + path_to_utf8(whole));
    EXPECT_EQ(app.settings.recent[0], path_to_utf8(whole));
}

TEST_F(OutsideFiles, EmptyOrMissingCommandLineFileIsIgnored)
{
    ASSERT_TRUE(start_up(app, {file("empty.chr", "")}));
    EXPECT_TRUE(app.settings.recent[0].empty());
    hl::reset();
    app = App{};
    ASSERT_TRUE(start_up(app, {hl::temp_dir() / "nothing.chr"}));
    EXPECT_TRUE(app.settings.recent[0].empty());
    EXPECT_TRUE(hl::message_boxes().empty());
    EXPECT_EQ(title(), kTitle);
}

}  // namespace lumetra::testing
