// Every writer of the editor under three failures that need no privileges:
// a write stopped part-way by a file-size limit (as on a full disk), a
// folder gone by the time of the write, and a folder where the file should
// be. Each time the error box says so, an old file keeps its bytes, nothing
// is left behind and the buffer stays modified.
#include "shell_fixture.h"

#include "core/text_encoding.h"
#include "tests/support/file_size_limit.h"

namespace lumetra::testing {

namespace {

enum class Writer { Chr, Listing, SkipList, BinNew, BinAppend, BinInsert, BinReplace };
constexpr Writer kWriters[] = {Writer::Chr,       Writer::Listing,   Writer::SkipList,  Writer::BinNew,
                               Writer::BinAppend, Writer::BinInsert, Writer::BinReplace};

const char* name_of(Writer writer)
{
    switch (writer) {
    case Writer::Chr: return "picture.chr";
    case Writer::Listing: return "table.asm";
    case Writer::SkipList: return "skips.rtf";
    default: return "data.bin";
    }
}

bool is_bin(Writer writer) { return writer >= Writer::BinNew; }

const std::string kOld = "old bytes, kept";

struct FailedWrites : ShellTest {
    fs::path dir;
    std::size_t boxes_before = 0;

    void SetUp() override
    {
        ShellTest::SetUp();
        start();
        for (int i = 0; i < kBufferBytes; ++i)
            buffer_of(app.store, 1)->bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 7 + 1);
        control(kConvertButton);  // the listing of buffer 1 in its code view
        app.optimisation.list.lines.assign(100, "Адрес:        3FH  повторов: 12");
        dir = hl::temp_dir() / "out";
        fs::create_directories(dir);
    }
    std::size_t entries(const fs::path& folder) const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
    }
    // The writer started by the user with path typed into its save dialog;
    // asked whether to create a missing file, the user says yes.
    void write(Writer writer, const fs::path& path)
    {
        modify(1);
        boxes_before = hl::message_boxes().size();
        hl::answer_file_dialog({path, 1});
        if (!is_bin(writer)) {
            command(writer == Writer::Chr ? 3 : writer == Writer::Listing ? kCmdCodeSave : kCmdSkipExport);
            return;
        }
        command(mode_command(Mode::Bin));
        choose(kBinTarget, writer == Writer::BinNew ? 0 : 1);
        choose(kBinWhere, writer == Writer::BinAppend ? 0 : 1);
        pf::set_selection(kBinHow, writer == Writer::BinReplace ? 1 : 0);
        pf::set_text(kBinAddress, "2");
        std::error_code ec;
        if (writer != Writer::BinNew && !fs::is_regular_file(path, ec)) hl::answer_message_box(pf::Answer::Yes);
        control(kBinConvert);
    }
    // The error box, the last message; a new BIN file that cannot be made
    // gets the open error.
    void expect_error(Writer writer, const fs::path& path, bool created)
    {
        ASSERT_GT(hl::message_boxes().size(), boxes_before) << name_of(writer);
        std::string text = "Не удалось сохранить файл\n" + path_to_utf8(path);
        if (is_bin(writer) && !created) text = "Не удалось открыть файл \n\"" + path_to_utf8(path) + "\"";
        expect_box(hl::message_boxes().back(), "Ошибка", text, pf::Buttons::Ok, pf::Icon::Error);
        // Only a missing existing BIN file is asked about first.
        std::size_t boxes = is_bin(writer) && writer != Writer::BinNew && !created ? 2 : 1;
        EXPECT_EQ(hl::message_boxes().size() - boxes_before, boxes) << name_of(writer);
        EXPECT_TRUE(is_modified(app.store, 1)) << name_of(writer);
    }
};

}  // namespace

TEST_F(FailedWrites, FullDiskStopsEveryWriterPartWay)
{
    for (Writer writer : kWriters) {
        fs::path path = write_file(dir / name_of(writer), kOld);
        // Every writer has more than 512 bytes to write.
        EXPECT_TRUE(with_file_size_limit(512, [&] {
            write(writer, path);
            expect_error(writer, path, true);
        })) << name_of(writer) << ": see the failures of the child above";
        EXPECT_EQ(contents(path), kOld) << name_of(writer);
        EXPECT_EQ(entries(dir), 1u) << name_of(writer) << ": no temporary file left behind";
        fs::remove(path);
    }
}

TEST_F(FailedWrites, FolderGoneBeforeTheWrite)
{
    for (Writer writer : kWriters) {
        fs::path gone = dir / "gone";
        fs::create_directory(gone);
        fs::remove(gone);  // after the dialog was answered, before the write
        fs::path path = gone / name_of(writer);
        write(writer, path);
        expect_error(writer, path, false);
        EXPECT_FALSE(fs::exists(gone)) << name_of(writer);
    }
}

TEST_F(FailedWrites, FolderInThePlaceOfTheFile)
{
    for (Writer writer : kWriters) {
        fs::path path = dir / name_of(writer);
        fs::create_directories(path);
        write_file(path / "inside", kOld);
        write(writer, path);
        expect_error(writer, path, false);
        EXPECT_EQ(contents(path / "inside"), kOld) << name_of(writer);
        EXPECT_EQ(entries(path), 1u) << name_of(writer);
        EXPECT_EQ(entries(dir), 1u) << name_of(writer);
        fs::remove_all(path);
    }
}

}  // namespace lumetra::testing
