// The closing prompt, and what happens when a save chosen in a prompt does
// not happen.
#include "shell_fixture.h"

#include "core/text_encoding.h"

namespace lumetra::testing {

namespace {

struct Prompts : ShellTest {
    void SetUp() override
    {
        ShellTest::SetUp();
        start();
    }
    void modify(int buffer)
    {
        write_byte(app.store, buffer, 1, 1, static_cast<std::uint8_t>(buffer));
        set_modified(app.store, buffer, true);
    }
    bool quit(std::initializer_list<pf::Answer> answers = {}) { return command(kCmdClose, answers); }
};

constexpr const char* kClosing = "Сохранение файлов при закрытии программы";

}  // namespace

TEST_F(Prompts, QuittingAsksAboutEachModifiedBufferShowingItAndCancelStops)
{
    modify(2);
    modify(5);
    hl::answer_file_dialog({hl::temp_dir() / "two", 1});
    EXPECT_FALSE(quit({pf::Answer::Yes, pf::Answer::Cancel}));
    EXPECT_EQ(box_titles(), (std::vector<std::string>{kClosing, kClosing}));
    expect_box(hl::message_boxes()[0], kClosing, "Данные не были сохранены, сохранить их сейчас?",
               pf::Buttons::YesNoCancel, pf::Icon::Question);
    EXPECT_EQ(current_buffer(app.store), 5);
    EXPECT_EQ(pf::selection(kBufferTabs), 4);
    EXPECT_TRUE(hl::is_shown(code_view_of(5)));
    EXPECT_FALSE(app.shell.quit_request);
    EXPECT_FALSE(is_modified(app.store, 2));
    EXPECT_TRUE(fs::exists(hl::temp_dir() / "two.chr"));
    EXPECT_TRUE(file_name(app.store, 2).empty()) << "a prompt's save names no buffer";

    // No for the rest: the program ends and saves its settings.
    EXPECT_TRUE(quit({pf::Answer::No}));
    EXPECT_EQ(hl::message_boxes().size(), 3u);
}

TEST_F(Prompts, QuittingWithNothingModifiedAsksNothing)
{
    EXPECT_TRUE(quit());
    EXPECT_TRUE(hl::message_boxes().empty());
}

TEST_F(Prompts, CloseBoxRunsTheSamePrompt)
{
    modify(3);
    hl::push_close();
    EXPECT_FALSE(pump());
    EXPECT_EQ(box_titles(), std::vector<std::string>{kClosing});
    EXPECT_EQ(current_buffer(app.store), 3);
}

TEST_F(Prompts, QuitStopsWhenTheChosenSaveIsCancelledOrFails)
{
    modify(1);
    modify(4);
    // Yes, then the dialog is cancelled: the quit stops at once.
    EXPECT_FALSE(quit({pf::Answer::Yes}));
    EXPECT_EQ(hl::message_boxes().size(), 1u);
    EXPECT_TRUE(is_modified(app.store, 1));

    // Yes, and the write fails: the error is shown and the quit stops.
    auto bad = hl::temp_dir() / "no-such-folder" / "a.chr";
    hl::answer_file_dialog({bad, 1});
    EXPECT_FALSE(quit({pf::Answer::Yes}));
    EXPECT_EQ(box_titles(), (std::vector<std::string>{kClosing, kClosing, "Ошибка"}));
    EXPECT_EQ(hl::message_boxes().back().text, "Не удалось сохранить файл\n" + path_to_utf8(bad));
    EXPECT_EQ(current_buffer(app.store), 1);
    EXPECT_TRUE(is_modified(app.store, 4));
}

TEST_F(Prompts, SaveInTheOneBufferPromptThatFailsReplacesNothing)
{
    auto named = file("named.chr", "abc");
    hl::answer_file_dialog({named, 1});
    command(kCmdOpen);
    modify(1);
    // The file becomes a folder: writing it fails.
    fs::remove(named);
    fs::create_directory(named);
    command(kCmdNew, {pf::Answer::Yes});
    EXPECT_EQ(hl::message_boxes().back().title, "Ошибка");
    EXPECT_EQ(read_byte(app.store, 1, 1, 1), 1) << "New did not clear";
    EXPECT_EQ(file_name(app.store, 1), named);
    EXPECT_TRUE(is_modified(app.store, 1));

    // With a writable name the same Yes saves and New goes on.
    fs::remove(named);
    command(kCmdNew, {pf::Answer::Yes});
    EXPECT_EQ(fs::file_size(named), 1024u);
    EXPECT_EQ(read_byte(app.store, 1, 1, 1), 0);
    EXPECT_TRUE(file_name(app.store, 1).empty());
}

}  // namespace lumetra::testing
