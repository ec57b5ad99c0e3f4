// New, Open, Save, Save As, the recent-files list, and the save questions
// that protect unsaved buffers.
#include "shell_fixture.h"

#include <png.h>

#include <algorithm>

#include "core/settings.h"
#include "core/text_encoding.h"

namespace lumetra::testing {

namespace {

struct Documents : ShellTest {
    void SetUp() override
    {
        ShellTest::SetUp();
        start();
    }
    fs::path dir() const { return hl::temp_dir(); }
    void open(const fs::path& path, std::initializer_list<pf::Answer> answers = {})
    {
        hl::answer_file_dialog({path, 1});
        command(kCmdOpen, answers);
    }
    const hl::MessageBoxCall& last_box() const { return hl::message_boxes().back(); }
};

// A 128 x 64 PNG, white with the top-left pixel black.
fs::path write_png(const fs::path& path)
{
    std::vector<std::uint8_t> grey(128 * 64, 255);
    grey[0] = 0;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = 128;
    image.height = 64;
    image.format = PNG_FORMAT_GRAY;
    EXPECT_NE(png_image_write_to_file(&image, path.string().c_str(), 0, grey.data(), 128, nullptr), 0);
    return path;
}

}  // namespace

TEST_F(Documents, NewAsksAboutANamedModifiedBufferWithItsFileName)
{
    auto path = file("logo.chr", std::string(1024, '\x55'));
    open(path);
    ASSERT_EQ(title(), kTitle + path_to_utf8(path));
    modify(1);
    command(kCmdNew, {pf::Answer::No});
    ASSERT_EQ(hl::message_boxes().size(), 1u);
    EXPECT_EQ(last_box().text, "Файл   \"logo.chr\"\nбыл изменён, сохранить  изменения?");
    EXPECT_EQ(title(), kTitle);
    EXPECT_EQ(read_byte(app.store, 1, 1, 1), 0);
    EXPECT_FALSE(is_modified(app.store, 1));
    EXPECT_EQ(contents(path), std::string(1024, '\x55')) << "No means not saved";

    // Cancel leaves everything as it was.
    write_byte(app.store, 1, 4, 4, 0x44);
    modify(1);
    command(kCmdNew, {pf::Answer::Cancel});
    EXPECT_EQ(read_byte(app.store, 1, 4, 4), 0x44);
    EXPECT_TRUE(is_modified(app.store, 1));
}

TEST_F(Documents, SaveAsAddsChrOnlyToANameWithoutExtension)
{
    write_byte(app.store, 1, 1, 1, 0x01);
    const std::pair<const char*, const char*> cases[] = {{"logo", "logo.chr"}, {"logo.", "logo..chr"}, {"logo.bin", "logo.bin"}};
    for (auto [typed, written] : cases) {
        modify(1);
        hl::answer_file_dialog({dir() / typed, 1});
        command(kCmdSaveAs);
        auto expected = dir() / written;
        ASSERT_EQ(contents(expected).size(), 1024u) << typed;
        EXPECT_EQ(contents(expected)[0], '\x01');
        EXPECT_EQ(file_name(app.store, 1), expected);
        EXPECT_EQ(title(), kTitle + path_to_utf8(expected));
        EXPECT_FALSE(is_modified(app.store, 1));
    }
    expect_dialog(hl::file_dialogs().back(), true, "Сохранить файл...", "Font Files (*.chr)|*.chr|All Files|*.*", 1);
    EXPECT_TRUE(app.settings.recent[0].empty()) << "saving does not enter the recent list";
    EXPECT_EQ(pf::menu_item_text(kCmdFirstRecent), "1)  ");
}

TEST_F(Documents, SaveWritesTheNamedFileAndAsksForANameOnlyWhenThereIsNone)
{
    hl::press_shortcut(true, false, false, 'S');
    pump();
    ASSERT_EQ(hl::file_dialogs().size(), 1u) << "no name yet: Save As";
    auto path = file("pic.chr", "");
    hl::answer_file_dialog({path, 1});
    command(kCmdSaveAs);
    write_byte(app.store, 1, 128, 8, 0x80);
    modify(1);
    command(kCmdSave);
    EXPECT_EQ(hl::file_dialogs().size(), 2u);
    EXPECT_EQ(contents(path).back(), '\x80');
    EXPECT_FALSE(is_modified(app.store, 1));
}

TEST_F(Documents, FailedSaveReportsAndKeepsTheBufferModified)
{
    modify(1);
    auto path = dir() / "missing" / "x.chr";
    hl::answer_file_dialog({path, 1});
    command(kCmdSaveAs);
    ASSERT_EQ(hl::message_boxes().size(), 1u);
    expect_box(last_box(), "Ошибка", "Не удалось сохранить файл\n" + path_to_utf8(path), pf::Buttons::Ok, pf::Icon::Error);
    EXPECT_TRUE(is_modified(app.store, 1));
    EXPECT_EQ(file_name(app.store, 1), path) << "the chosen name is taken even so";
}

TEST_F(Documents, OpenOffersTheMostRecentFileWithItsFilter)
{
    command(kCmdOpen);
    ASSERT_EQ(hl::file_dialogs().size(), 1u);
    expect_dialog(hl::file_dialogs()[0], false, "Открыть файл...",
                  "Font Files (*.chr)|*.chr|Рисунки в форматах BMP, JPG, PNG, GIF|*.bmp;*.jpg;*.png;*.gif|Все файлы|*.*", 1);

    auto png = write_png(dir() / "Pic.PNG");
    open(png);
    EXPECT_EQ(read_byte(app.store, 1, 1, 1), 0x01);
    EXPECT_EQ(read_byte(app.store, 1, 1, 2), 0x00);
    EXPECT_EQ(title(), kTitle + path_to_utf8(png));
    EXPECT_FALSE(is_modified(app.store, 1));
    EXPECT_EQ(hl::bitmap(cell_image_of(1)).at(0, 0), kInk);

    command(kCmdOpen);
    EXPECT_EQ(hl::file_dialogs().back().dialog.filter_index, 2);
    EXPECT_EQ(hl::file_dialogs().back().dialog.preset, png);
}

TEST_F(Documents, OpenReadsAnyOtherExtensionAsAPictureFileAndClosesTheCell)
{
    write_byte(app.store, 1, 2, 1, 0xFF);
    control(cell_image_of(1), pf::EventType::DoubleClick);
    open(file("pic.jpeg", std::string("\x01\x02", 2) + std::string(2000, '\x03')), {pf::Answer::No});
    EXPECT_EQ(read_byte(app.store, 1, 1, 1), 0x01);
    EXPECT_EQ(read_byte(app.store, 1, 1, 2), 0x02);
    EXPECT_EQ(read_byte(app.store, 1, 128, 8), 0x03);
    EXPECT_EQ(open_cell(app.store), kNoCell);
    EXPECT_EQ(hl::bitmap(pixel_image_of(1, 0)).at(8, 8), kEditorGrey);
    EXPECT_FALSE(is_modified(app.store, 1)) << "no cell open any more";
}

TEST_F(Documents, CancelledOrFailedOpenKeepsTheUnsavedPictureProtected)
{
    write_byte(app.store, 1, 1, 1, 0x42);
    modify(1);
    command(kCmdOpen, {pf::Answer::No});  // dialog cancelled
    EXPECT_TRUE(is_modified(app.store, 1));

    auto missing = dir() / "gone.chr";
    open(missing, {pf::Answer::No});
    expect_box(last_box(), "Ошибка", "Не удалось открыть файл\n" + path_to_utf8(missing), pf::Buttons::Ok, pf::Icon::Error);
    EXPECT_EQ(read_byte(app.store, 1, 1, 1), 0x42);
    EXPECT_TRUE(is_modified(app.store, 1));
    EXPECT_EQ(app.settings.recent[0], path_to_utf8(missing)) << "entered before the read";

    // So the next New still asks.
    command(kCmdNew);
    EXPECT_EQ(hl::message_boxes().size(), 4u);
}

TEST_F(Documents, SaveNeverWritesOverAnImportedPicture)
{
    auto png = write_png(dir() / "pic.png");
    std::string original = contents(png);
    open(png);
    modify(1);
    command(kCmdSave);  // cancelled Save As
    ASSERT_EQ(hl::file_dialogs().size(), 2u);
    EXPECT_TRUE(hl::file_dialogs().back().save);
    EXPECT_EQ(contents(png), original);
    EXPECT_TRUE(is_modified(app.store, 1));

    // The save question does the same.
    command(kCmdNew, {pf::Answer::Yes});
    EXPECT_EQ(hl::file_dialogs().size(), 3u);
    EXPECT_EQ(contents(png), original);
    EXPECT_EQ(read_byte(app.store, 1, 1, 1), 0x01) << "cancelled dialog: nothing cleared";
}

TEST_F(Documents, RecentFilesMoveToTheTopAndOpenFromTheMenu)
{
    std::vector<fs::path> paths;
    for (int i = 1; i <= 11; ++i) paths.push_back(file("f" + std::to_string(i) + ".chr", std::string(1, char(i))));
    for (int i = 0; i < 5; ++i) open(paths[i]);
    // Entry 4 is f2; reopening it from the menu puts it first.
    ASSERT_EQ(app.settings.recent[3], path_to_utf8(paths[1]));
    command(kCmdFirstRecent + 3);
    EXPECT_EQ(read_byte(app.store, 1, 1, 1), 2);
    for (int i = 0; int from : {1, 4, 3, 2, 0}) EXPECT_EQ(app.settings.recent[i++], path_to_utf8(paths[from])) << i;
    EXPECT_EQ(pf::menu_item_text(kCmdFirstRecent), "1)    " + path_to_utf8(paths[1]));
    EXPECT_EQ(pf::menu_item_text(kCmdFirstRecent + 9), "10)    ");
    // The first entry opens too.
    clear_buffer(app.store, 1);
    command(kCmdFirstRecent);
    EXPECT_EQ(read_byte(app.store, 1, 1, 1), 2);

    for (int i = 5; i < 11; ++i) open(paths[i]);
    EXPECT_EQ(app.settings.recent[0], path_to_utf8(paths[10]));
    EXPECT_EQ(app.settings.recent[9], path_to_utf8(paths[2]));
    EXPECT_EQ(std::count(app.settings.recent.begin(), app.settings.recent.end(), path_to_utf8(paths[0])), 0)
        << "the entry pushed past the tenth place is dropped";

    // A free entry does nothing; a modified buffer is asked about first.
    app.settings.recent[9].clear();
    command(kCmdFirstRecent + 9);
    modify(1);
    command(kCmdFirstRecent + 1);  // the question is cancelled
    EXPECT_EQ(hl::message_boxes().size(), 1u);
    EXPECT_EQ(app.settings.recent[0], path_to_utf8(paths[10]));
}

TEST_F(Documents, RecentListIsSavedAtExitAndShownWithTwoBlanksAtStart)
{
    auto path = file("a.chr", "x");
    open(path);
    EXPECT_TRUE(command(kCmdClose));
    auto saved = parse_settings(contents(settings_path(hl::temp_dir())));
    EXPECT_EQ(saved.recent[0], path_to_utf8(path));

    hl::reset();
    app = App{};
    std::ofstream(settings_path(hl::temp_dir()), std::ios::binary) << "[RecentFiles]\r\nFile1 = C:\\x.bmp\r\n";
    start();
    EXPECT_EQ(pf::menu_item_text(kCmdFirstRecent), "1)  C:\\x.bmp");
    EXPECT_EQ(pf::menu_item_text(kCmdFirstRecent + 1), "2)  ");
}

}  // namespace lumetra::testing
