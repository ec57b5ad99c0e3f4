#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

#include "core/file_io.h"
#include "core/settings.h"
#include "tests/support/file_size_limit.h"

using namespace lumetra;
namespace fs = std::filesystem;

namespace {

const std::string kFirstRun =
    "[Window]\r\nX = 20\r\nY = 20\r\n[Anime]\r\nDelay = 4\r\n[Optimizacia]\r\nCountByte = 1\r\nAuto = 1\r\n"
    "[RecentFiles]\r\nFile1 = \r\nFile2 = \r\nFile3 = \r\nFile4 = \r\nFile5 = \r\nFile6 = \r\nFile7 = \r\n"
    "File8 = \r\nFile9 = \r\nFile10 = \r\n";

struct SettingsFileTest : ::testing::Test {
    fs::path dir = fs::temp_directory_path() / ("lumetra-settings-" + std::to_string(::getpid()));
    fs::path path = settings_path(dir);
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    std::string contents() { return read_file_prefix(path, 1 << 20).value_or("<none>"); }
};

RecentFiles numbered(int count)
{
    RecentFiles recent{};
    for (int i = 0; i < count; ++i) recent[i] = "f" + std::to_string(i + 1);
    return recent;
}

}  // namespace

TEST_F(SettingsFileTest, FirstRunCreatesTheFileWithDefaults)
{
    EXPECT_EQ(path.filename(), "VovirerAriruveva.inf");
    LoadedSettings loaded = load_settings(path);
    EXPECT_EQ(loaded.source, SettingsSource::Created);
    EXPECT_EQ(contents(), kFirstRun);
    EXPECT_EQ(loaded.settings.x, 20);
    EXPECT_EQ(loaded.settings.delay_index, 4);
    EXPECT_EQ(load_settings(path).source, SettingsSource::Read);
}

TEST_F(SettingsFileTest, UnreadableFileGivesDefaultsAndIsNotCreatedOrSaved)
{
    fs::create_directory(path);  // something in the way that cannot be read as a file
    LoadedSettings loaded = load_settings(path);
    EXPECT_EQ(loaded.source, SettingsSource::Unreadable);
    EXPECT_EQ(loaded.settings.count_byte, 1);
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_FALSE(save_settings(path, loaded.settings));
    fs::remove(path);
    EXPECT_FALSE(save_settings(path, loaded.settings)) << "no file at exit: nothing saved";
    EXPECT_FALSE(fs::exists(path));
}

TEST(SettingsParse, ReadingRules)
{
    Settings s = parse_settings(
        "; comment\r\n[window]\r\n\t x \t=\t -15 \r\ny=300px\r\n[ANIME]\r\nDELAY = abc\r\n"
        "[Optimizacia]\r\n;CountByte = 9\r\n[recentfiles]\r\nfile3 =  C:\\a b.chr  \r\nFile10=z\r\n");
    EXPECT_EQ(s.x, -15);
    EXPECT_EQ(s.y, 300);
    EXPECT_EQ(s.delay_index, 0);
    EXPECT_EQ(s.count_byte, 1) << "commented line is not read; missing key keeps its default";
    EXPECT_EQ(s.auto_scan, 1);
    EXPECT_EQ(s.recent[2], "C:\\a b.chr");
    EXPECT_EQ(s.recent[9], "z");
    EXPECT_EQ(s.recent[0], "");

    // Windows-1251 by default, UTF-8 after a byte-order mark.
    EXPECT_EQ(parse_settings("[RecentFiles]\r\nFile1 = C:\\\xD0\xE8\xF1.chr\r\n").recent[0], "C:\\Рис.chr");
    EXPECT_EQ(parse_settings("\xEF\xBB\xBF[RecentFiles]\nFile1 = C:\\Рис.chr\n").recent[0], "C:\\Рис.chr");
    // A key outside its group is not found.
    EXPECT_EQ(parse_settings("[Anime]\r\nX = 99\r\n").x, 20);
}

TEST(SettingsSave, KeysKeepTheirPlaceAndMissingOnesAreAdded)
{
    Settings s;
    s.x = 130;
    s.y = -5;
    s.recent[0] = "C:\\Рисунки\\logo.chr";
    std::string old = "; mine\r\n[RecentFiles]\r\nFile1 = old\r\n[window]\r\ny = 1\r\nother = keep\r\n";
    std::string text = settings_file_text(old, s);
    EXPECT_EQ(text,
              "; mine\r\n[RecentFiles]\r\nFile1 = C:\\\xD0\xE8\xF1\xF3\xED\xEA\xE8\\logo.chr\r\n"
              "File2 = \r\nFile3 = \r\nFile4 = \r\nFile5 = \r\nFile6 = \r\nFile7 = \r\nFile8 = \r\nFile9 = \r\n"
              "File10 = \r\n[window]\r\ny = -5\r\nother = keep\r\nX = 130\r\n"
              "[Anime]\r\nDelay = 4\r\n[Optimizacia]\r\nCountByte = 1\r\nAuto = 1\r\n");
    EXPECT_EQ(parse_settings(text).recent[0], s.recent[0]);
    EXPECT_EQ(parse_settings(text).x, 130);
}

// The text group appears with the first text, keeps its values, and leaves a
// file of a program that never put in a text as it was.
TEST(SettingsSave, TextGroupOnlyOnceATextWasUsed)
{
    Settings s;
    s.text_size = 20;
    EXPECT_EQ(settings_file_text(kFirstRun, s), kFirstRun);
    s.text_font = "C:\\fonts\\DejaVuSans.ttf";
    s.text_erase = 1;
    std::string text = settings_file_text(kFirstRun, s);
    EXPECT_EQ(text, kFirstRun + "[Text]\r\nFont = C:\\fonts\\DejaVuSans.ttf\r\nSize = 20\r\nErase = 1\r\n");
    Settings read = parse_settings(text);
    EXPECT_EQ(read.text_font, s.text_font);
    EXPECT_EQ(read.text_size, 20);
    EXPECT_EQ(read.text_erase, 1);
    // Once in the file, the group stays even when the font is forgotten.
    EXPECT_EQ(parse_settings(settings_file_text(text, Settings{})).text_size, 16);
    EXPECT_NE(settings_file_text(text, Settings{}).find("[Text]\r\nFont = \r\nSize = 16"), std::string::npos);
}

TEST_F(SettingsFileTest, PathOutsideTheCodePageIsKeptAsUtf8)
{
    load_settings(path);
    Settings s;
    s.recent[0] = "/home/u/図/логотип.png";
    ASSERT_TRUE(save_settings(path, s));
    std::string text = contents();
    EXPECT_TRUE(text.starts_with("\xEF\xBB\xBF[Window]\r\n"));
    EXPECT_EQ(load_settings(path).settings.recent[0], s.recent[0]);
    // Saved again with a plain path, it goes back to Windows-1251.
    s.recent[0] = "C:\\a.chr";
    ASSERT_TRUE(save_settings(path, s));
    EXPECT_TRUE(contents().starts_with("[Window]\r\n"));
}

TEST(RecentFiles, MovesToTheTopKeepingOneCopy)
{
    RecentFiles recent = numbered(10);
    add_recent_file(recent, "f4");
    EXPECT_EQ(recent, (RecentFiles{"f4", "f1", "f2", "f3", "f5", "f6", "f7", "f8", "f9", "f10"}));
    add_recent_file(recent, "new");
    EXPECT_EQ(recent, (RecentFiles{"new", "f4", "f1", "f2", "f3", "f5", "f6", "f7", "f8", "f9"}));
    add_recent_file(recent, "F4");  // letter case counts
    EXPECT_EQ(recent[0], "F4");
    EXPECT_EQ(recent[2], "f4");
    add_recent_file(recent, "F4");
    EXPECT_EQ(recent[1], "new");

    RecentFiles few = numbered(2);
    add_recent_file(few, "f2");
    EXPECT_EQ(few, (RecentFiles{"f2", "f1", "", "", "", "", "", "", "", ""}));
}

TEST(RecentFiles, MenuTexts)
{
    RecentFiles recent{};
    recent[0] = "C:\\a.chr";
    auto start = recent_menu_texts(recent, kRecentBlanksAtStart);
    auto later = recent_menu_texts(recent, kRecentBlanksAfterUpdate);
    EXPECT_EQ(start[0], "1)  C:\\a.chr");
    EXPECT_EQ(start[9], "10)  ");
    EXPECT_EQ(later[0], "1)    C:\\a.chr");
    EXPECT_EQ(later[1], "2)    ");
}

TEST(SettingsSave, DuplicateKeyChangesTheCopyThatIsRead)
{
    std::string old = "[Window]\r\nX = 1\r\nY = 2\r\n[Window]\r\nx = 3\r\n";
    ASSERT_EQ(parse_settings(old).x, 3);
    Settings s = parse_settings(old);
    s.x = 77;
    std::string text = settings_file_text(old, s);
    EXPECT_TRUE(text.starts_with("[Window]\r\nX = 1\r\nY = 2\r\n[Window]\r\nx = 77\r\n")) << text;
    EXPECT_EQ(parse_settings(text).x, 77);
}

TEST_F(SettingsFileTest, LargeFileIsReadAndSavedWhole)
{
    // A long comment ahead of the keys pushes them beyond the first MiB.
    std::string big = "; " + std::string(3 << 20, 'c') + "\r\n" + kFirstRun + "; end\r\n";
    ASSERT_TRUE(write_file_atomically(path, big));
    LoadedSettings loaded = load_settings(path);
    ASSERT_EQ(loaded.source, SettingsSource::Read);
    loaded.settings.delay_index = 9;
    ASSERT_TRUE(save_settings(path, loaded.settings));
    std::string expected = big;
    expected.replace(expected.find("Delay = 4"), 9, "Delay = 9");
    EXPECT_TRUE(read_whole_file(path, 8 << 20) == expected);
}

TEST_F(SettingsFileTest, FileAboveTheLimitIsLeftAlone)
{
    {
        std::ofstream out(path, std::ios::binary);
        out << kFirstRun;
        out.seekp((64 << 20) + 10);
        out << "; end\r\n";
    }
    auto size = fs::file_size(path);
    LoadedSettings loaded = load_settings(path);
    EXPECT_EQ(loaded.source, SettingsSource::Unreadable);
    EXPECT_FALSE(save_settings(path, loaded.settings));
    EXPECT_EQ(fs::file_size(path), size);
    EXPECT_TRUE(read_file_prefix(path, kFirstRun.size()) == kFirstRun);
}

// Saving at exit when the disk is full, the folder is gone or a folder has
// the file's name: nothing saved, nothing changed, nothing left behind.
TEST_F(SettingsFileTest, FailedSaveLeavesTheFileAsItWas)
{
    load_settings(path);
    const std::string old = contents();
    Settings s;
    s.recent[0] = std::string(400, 'p');  // the new text is larger than the limit
    EXPECT_TRUE(lumetra::testing::with_file_size_limit(old.size(), [&] { EXPECT_FALSE(save_settings(path, s)); }));
    EXPECT_EQ(contents(), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);

    fs::path gone = dir / "gone" / kSettingsFileName;
    EXPECT_FALSE(save_settings(gone, s));
    EXPECT_FALSE(fs::exists(gone.parent_path()));
    // A folder in the file's place is not read and not replaced.
    fs::create_directories(dir / "folder" / kSettingsFileName);
    EXPECT_FALSE(save_settings(dir / "folder" / kSettingsFileName, s));
    EXPECT_TRUE(fs::is_directory(dir / "folder" / kSettingsFileName));
}
