// The BIN panel (mode 5): what the user chooses, what is asked and said, and
// the bytes that reach the file.
#include "shell_fixture.h"

#include <unistd.h>

#include "app/panels/bin_panel.h"
#include "core/text_encoding.h"

namespace lumetra::testing {

namespace {

const char* const kDone = "Преобразование информации завершено.\nДанные были добавлены в файл\n";

std::string stored(const App& app, int buffer)
{
    const auto& bytes = buffer_of(app.store, buffer)->bytes;
    return {bytes.begin(), bytes.end()};
}

std::string old_bytes(std::size_t n)
{
    std::string bytes(n, '\0');
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>(250 - i);
    return bytes;
}

struct BinPanelTest : ShellTest {
    fs::path dir;
    const std::string old = old_bytes(100);  // what an existing file holds

    void SetUp() override
    {
        ShellTest::SetUp();
        start();
        for (int buffer = 1; buffer <= kBufferCount; ++buffer)
            for (int i = 0; i < kBufferBytes; ++i)
                buffer_of(app.store, buffer)->bytes[static_cast<std::size_t>(i)] =
                    static_cast<std::uint8_t>(i * 3 + buffer * 41 + (i >> 7));
        dir = hl::temp_dir() / "out";
        fs::create_directories(dir);
        command(mode_command(Mode::Bin));
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(dir, fs::perms::owner_all, ec);
        ShellTest::TearDown();
    }
    // "существующем", then where and how; address as typed.
    void existing(int where, int how = 0, const std::string& address = "0")
    {
        choose(kBinTarget, 1);
        choose(kBinWhere, where);
        pf::set_selection(kBinHow, how);
        pf::set_text(kBinAddress, address);
    }
    void slots(std::initializer_list<int> buffers)
    {
        int slot = kFirstBinSlot;
        for (int buffer : buffers) choose(slot++, buffer);
        while (slot <= kLastBinSlot) choose(slot++, 0);
    }
    fs::path file(const std::string& name, const std::string& bytes) { return write_file(dir / name, bytes); }
    // "Преобразовать данные..." with the name typed into the save dialog.
    void convert(const fs::path& chosen, int filter = 1, std::initializer_list<pf::Answer> answers = {})
    {
        hl::answer_file_dialog({chosen, filter});
        for (pf::Answer answer : answers) hl::answer_message_box(answer);
        control(kBinConvert);
    }
};

}  // namespace

TEST_F(BinPanelTest, PanelStartsWithBufferOneIntoANewFile)
{
    EXPECT_TRUE(hl::is_shown(kBinPanel));
    const auto& slot = hl::control_spec(kFirstBinSlot);
    ASSERT_EQ(slot.items.size(), 11u);
    EXPECT_EQ(slot.items[0], "Нет");
    EXPECT_EQ(slot.items[1], "Буфер  1");
    EXPECT_EQ(slot.items[10], "Буфер  10");
    EXPECT_EQ(hl::control_spec(kLastBinSlot).items, slot.items);
    EXPECT_EQ(pf::selection(kFirstBinSlot), 1);
    for (int id = kFirstBinSlot + 1; id <= kLastBinSlot; ++id) EXPECT_EQ(pf::selection(id), 0) << id;
    EXPECT_EQ(pf::control_screen_rect(kLastBinSlot).y - pf::control_screen_rect(kFirstBinSlot).y, 9 * 24);
    const std::pair<int, std::vector<std::string>> lists[] = {
        {kBinTarget, {"новом файле", "существующем"}}, {kBinWhere, {"в конец файла", "произвольно"}}, {kBinHow, {"Вставить", "Заменить"}}};
    for (const auto& [id, items] : lists) EXPECT_EQ(hl::control_spec(id).items, items) << id;
    for (int id : {kBinTarget, kBinWhere, kBinHow}) EXPECT_EQ(pf::selection(id), 0) << id;
    for (int id : {kBinWhere, kBinAddress, kBinHow}) EXPECT_FALSE(pf::is_enabled(id)) << id;
    EXPECT_EQ(pf::text(kBinAddress), "0");
    EXPECT_TRUE(hl::control_spec(kBinAddress).style & pf::kDigitsOnly);
    EXPECT_EQ(hl::control_spec(kBinAddress).text_limit, 5);
    EXPECT_FALSE(pf::is_checked(kBinGroupByCrystal));
    EXPECT_TRUE(pf::is_enabled(kBinConvert));
}

TEST_F(BinPanelTest, ConvertButtonFollowsTheSlotsAndFileOptionsFollowTheirLists)
{
    slots({});
    EXPECT_FALSE(pf::is_enabled(kBinConvert));
    choose(kLastBinSlot, 10);
    EXPECT_TRUE(pf::is_enabled(kBinConvert));
    choose(kLastBinSlot, 0);
    EXPECT_FALSE(pf::is_enabled(kBinConvert));
    control(kFirstBinSlot + 2, pf::EventType::Click);  // a click alone changes nothing
    EXPECT_FALSE(pf::is_enabled(kBinConvert));

    choose(kBinTarget, 1);
    EXPECT_TRUE(pf::is_enabled(kBinWhere));
    EXPECT_FALSE(pf::is_enabled(kBinAddress));
    choose(kBinWhere, 1);
    EXPECT_TRUE(pf::is_enabled(kBinAddress));
    EXPECT_TRUE(pf::is_enabled(kBinHow));
    choose(kBinTarget, 0);
    for (int id : {kBinWhere, kBinAddress, kBinHow}) EXPECT_FALSE(pf::is_enabled(id)) << id;
    choose(kBinTarget, 1);  // "произвольно" is still chosen
    for (int id : {kBinWhere, kBinAddress, kBinHow}) EXPECT_TRUE(pf::is_enabled(id)) << id;
    choose(kBinWhere, 0);
    for (int id : {kBinAddress, kBinHow}) EXPECT_FALSE(pf::is_enabled(id)) << id;
    EXPECT_TRUE(pf::is_enabled(kBinWhere));
}

TEST_F(BinPanelTest, NewFileHoldsTheSlotsInTheChosenCellOrder)
{
    convert(dir / "one");
    ASSERT_EQ(hl::file_dialogs().size(), 1u);
    expect_dialog(hl::file_dialogs()[0], true, "Сохранение преобразованого файла...",
                  "Бинарные файлы (*.BIN)|*.BIN|Все файлы|*.*", 1);
    // Without grouping the stored order: page 1 of crystal 1, then of crystal 2.
    EXPECT_EQ(contents(dir / "one.bin"), stored(app, 1));
    ASSERT_EQ(hl::message_boxes().size(), 1u);
    expect_box(hl::message_boxes()[0], "Преобразование", kDone + path_to_utf8(dir / "one.bin"), pf::Buttons::Ok,
               pf::Icon::Information);

    // With grouping, into the same name: replaced without a question.
    pf::set_checked(kBinGroupByCrystal, true);
    convert(dir / "one.bin");
    std::string grouped = contents(dir / "one.bin"), picture = stored(app, 1);
    ASSERT_EQ(grouped.size(), 1024u);
    EXPECT_EQ(grouped.substr(0, 64), picture.substr(0, 64));      // crystal 1, page 1
    EXPECT_EQ(grouped.substr(64, 64), picture.substr(128, 64));   // crystal 1, page 2
    EXPECT_EQ(grouped.substr(512, 64), picture.substr(64, 64));   // crystal 2, page 1
    EXPECT_EQ(box_titles(), (std::vector<std::string>{"Преобразование", "Преобразование"}));

    // Empty slots between used ones contribute nothing; a buffer may repeat.
    pf::set_checked(kBinGroupByCrystal, false);
    slots({3, 0, 3});
    convert(dir / "twice.bin");
    EXPECT_EQ(contents(dir / "twice.bin"), stored(app, 3) + stored(app, 3));
}

TEST_F(BinPanelTest, BinEndingOnlyWithTheFirstFilterAndNothingOnCancel)
{
    control(kBinConvert);  // cancelled
    EXPECT_TRUE(hl::message_boxes().empty());
    EXPECT_TRUE(fs::is_empty(dir));

    convert(dir / "plain", 2);
    EXPECT_TRUE(fs::exists(dir / "plain"));
    convert(dir / "typed.dat", 1);
    EXPECT_TRUE(fs::exists(dir / "typed.dat"));
    convert(dir / "named", 1);
    EXPECT_TRUE(fs::exists(dir / "named.bin"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 3);
    EXPECT_EQ(hl::message_boxes().back().text, kDone + path_to_utf8(dir / "named.bin"));
}

TEST_F(BinPanelTest, InsertAtTheStartAtTheEndAndBeyondIt)
{
    fs::path target = file("data.bin", old);
    slots({1, 2});
    existing(1, 0, "0");
    convert(target);
    EXPECT_EQ(contents(target), stored(app, 1) + stored(app, 2) + old);
    EXPECT_EQ(box_titles(), std::vector<std::string>{"Преобразование"});

    // At the very end: appended without a question.
    file("data.bin", old);
    slots({4});
    pf::set_text(kBinAddress, "100");
    convert(target);
    EXPECT_EQ(contents(target), old + stored(app, 4));
    EXPECT_EQ(box_titles().size(), 2u);

    // Beyond the end: asked, and No leaves the file alone without a word more.
    file("data.bin", old);
    pf::set_text(kBinAddress, "101");
    convert(target, 1, {pf::Answer::No});
    ASSERT_EQ(hl::message_boxes().size(), 3u);
    expect_box(hl::message_boxes()[2], "Внимание",
               "Начальный адрес был задан больше текущего размера файла!\nДобавить данные в конец файла?",
               pf::Buttons::YesNo, pf::Icon::Warning);
    EXPECT_EQ(contents(target), old);

    convert(target, 1, {pf::Answer::Yes});
    EXPECT_EQ(contents(target), old + stored(app, 4));
    EXPECT_EQ(box_titles(), (std::vector<std::string>{"Преобразование", "Преобразование", "Внимание", "Внимание",
                                                  "Преобразование"}));
}

TEST_F(BinPanelTest, ReplaceInsideAndPastTheEndAndAppend)
{
    fs::path target = file("data.bin", old);
    existing(1, 1, "10");
    convert(target);
    std::string replaced = contents(target);
    EXPECT_EQ(replaced, old.substr(0, 10) + stored(app, 1));
    EXPECT_EQ(replaced.size(), 1034u);

    // Past the end: written at the end, no question.
    file("data.bin", old);
    pf::set_text(kBinAddress, "99999");
    convert(target);
    EXPECT_EQ(contents(target), old + stored(app, 1));

    // "в конец файла" ignores the address field altogether.
    file("data.bin", old);
    existing(0, 1, "");
    convert(target);
    EXPECT_EQ(contents(target), old + stored(app, 1));
    EXPECT_EQ(box_titles(), (std::vector<std::string>(3, "Преобразование")));
}

TEST_F(BinPanelTest, EmptyAddressIsRefusedBeforeAnyWrite)
{
    fs::path target = file("data.bin", old);
    for (int how : {0, 1}) {
        existing(1, how, "");
        convert(target);
        EXPECT_EQ(contents(target), old);
    }
    ASSERT_EQ(hl::message_boxes().size(), 2u);
    expect_box(hl::message_boxes()[0], "Предупреждение",
               "Поле  \"Начальный адрес\"  не заполено\nНужно указать начальный адрес добавляемых данных в файл.",
               pf::Buttons::Ok, pf::Icon::Warning);
    // A sign cannot be typed, but a negative address is refused all the same.
    pf::set_text(kBinAddress, "-5");
    convert(target);
    EXPECT_EQ(hl::message_boxes().back().title, "Предупреждение");
    EXPECT_EQ(contents(target), old);
}

TEST_F(BinPanelTest, MissingExistingFileIsCreatedOnYesWhateverThePosition)
{
    existing(1, 0, "50");
    fs::path target = dir / "missing.bin";
    convert(target, 1, {pf::Answer::No});
    ASSERT_EQ(hl::message_boxes().size(), 1u);
    expect_box(hl::message_boxes()[0], "Добавление данный в файл",
               "Файл  \"" + path_to_utf8(target) + "\"  не существует!\nСоздать его?", pf::Buttons::YesNo,
               pf::Icon::Warning);
    EXPECT_FALSE(fs::exists(target));

    convert(target, 1, {pf::Answer::Yes});
    EXPECT_EQ(contents(target), stored(app, 1));
    EXPECT_EQ(box_titles(), (std::vector<std::string>{"Добавление данный в файл", "Добавление данный в файл",
                                                  "Преобразование"}));
}

// A folder in the way of the name: works as root too.
TEST_F(BinPanelTest, FailedWriteIsReportedAndNeverCalledComplete)
{
    fs::create_directory(dir / "taken.bin");
    convert(dir / "taken");
    ASSERT_EQ(hl::message_boxes().size(), 1u);
    // The new file cannot be created: the open error, the name in quotes.
    expect_box(hl::message_boxes()[0], "Ошибка", "Не удалось открыть файл \n\"" + path_to_utf8(dir / "taken.bin") + "\"",
               pf::Buttons::Ok, pf::Icon::Error);
    EXPECT_TRUE(fs::is_directory(dir / "taken.bin"));

    // "существующем" on the folder: it is no file, so the question comes first.
    existing(0);
    convert(dir / "taken.bin", 1, {pf::Answer::Yes});
    EXPECT_EQ(box_titles(), (std::vector<std::string>{"Ошибка", "Добавление данный в файл", "Ошибка"}));
}

// Needs an unprivileged user: root writes into read-only folders. CTest runs
// it once more under setpriv when the tests run as root.
TEST_F(BinPanelTest, FailedPatchLeavesTheOldFileByteForByte)
{
    if (::geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
    fs::path target = file("keep.bin", old);
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    existing(1, 0, "10");
    convert(target);
    existing(1, 1, "0");
    convert(target);
    existing(0);
    convert(target);
    EXPECT_EQ(box_titles(), (std::vector<std::string>(3, "Ошибка")));
    EXPECT_EQ(contents(target), old);
    fs::permissions(dir, fs::perms::owner_all);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1) << "no temporary file left behind";
}

}  // namespace lumetra::testing

namespace lumetra::testing {

// The messages the panel words for a conversion, the ones no story above reaches.
TEST(BinMessageBox, TitlesTextsAndIcons)
{
    fs::path file = "C:\\out\\a.bin";
    struct Row {
        BinMessageId id;
        const char* title;
        std::string text;
        pf::Icon icon;
    };
    const Row rows[] = {
        {BinMessageId::MemoryError, "Преобразование", "Ошибка при доступе к памяти!", pf::Icon::Error},
        {BinMessageId::OpenError, "Ошибка", "Не удалось открыть файл \n\"C:\\out\\a.bin\"", pf::Icon::Error},
        {BinMessageId::AskAppendBeyondEnd, "Внимание",
         "Начальный адрес был задан больше текущего размера файла!\nДобавить данные в конец файла?", pf::Icon::Warning},
        {BinMessageId::SaveError, "Ошибка", "Не удалось сохранить файл\nC:\\out\\a.bin", pf::Icon::Error},
    };
    for (const Row& row : rows) {
        BinMessageBox box = bin_message_box(row.id, file);
        EXPECT_EQ(box.title, row.title);
        EXPECT_EQ(box.text, row.text);
        EXPECT_EQ(box.icon, row.icon);
    }
}

}  // namespace lumetra::testing
