// The closing prompt, and what happens when a save chosen in a prompt does
// not happen.
#include "shell_fixture.h"

#include <fstream>

#include "core/text_encoding.h"

namespace lumetra::testing {

namespace {

struct Prompts : ShellTest {
    void modify(int buffer)
    {
        write_byte(app.store, buffer, 1, 1, static_cast<std::uint8_t>(buffer));
        set_modified(app.store, buffer, true);
    }
    bool quit() { return command(5); }
    std::vector<std::string> box_titles() const
    {
        std::vector<std::string> titles;
        for (const auto& box : hl::message_boxes()) titles.push_back(box.title);
        return titles;
    }
};

constexpr const char* kClosing = "Сохранение файлов при закрытии программы";

}  // namespace

TEST_F(Prompts, QuittingAsksAboutEachModifiedBufferShowingItAndCancelStops)
{
    start();
    modify(2);
    modify(5);
    auto two = hl::temp_dir() / "two";
    hl::answer_message_box(pf::Answer::Yes);
    hl::answer_file_dialog({two, 1});
    hl::answer_message_box(pf::Answer::Cancel);
    EXPECT_FALSE(quit());
    EXPECT_EQ(box_titles(), (std::vector<std::string>{kClosing, kClosing}));
    EXPECT_EQ(hl::message_boxes()[0].text, "Данные не были сохранены, сохранить их сейчас?");
    EXPECT_EQ(hl::message_boxes()[0].buttons, pf::Buttons::YesNoCancel);
    EXPECT_EQ(hl::message_boxes()[0].icon, pf::Icon::Question);
    EXPECT_EQ(current_buffer(app.store), 5);
    EXPECT_EQ(pf::selection(7), 4);
    EXPECT_TRUE(hl::is_shown(525));
    EXPECT_FALSE(app.shell.quit_request);
    EXPECT_FALSE(is_modified(app.store, 2));
    EXPECT_TRUE(std::filesystem::exists(hl::temp_dir() / "two.chr"));
    EXPECT_TRUE(file_name(app.store, 2).empty()) << "a prompt's save names no buffer";

    // No for the rest: the program ends and saves its settings.
    hl::answer_message_box(pf::Answer::No);
    EXPECT_TRUE(quit());
    EXPECT_EQ(hl::message_boxes().size(), 3u);
}

TEST_F(Prompts, QuittingWithNothingModifiedAsksNothing)
{
    start();
    EXPECT_TRUE(quit());
    EXPECT_TRUE(hl::message_boxes().empty());
}

TEST_F(Prompts, CloseBoxRunsTheSamePrompt)
{
    start();
    modify(3);
    hl::push_close();
    EXPECT_FALSE(pump());
    EXPECT_EQ(box_titles(), std::vector<std::string>{kClosing});
    EXPECT_EQ(current_buffer(app.store), 3);
}

TEST_F(Prompts, QuitStopsWhenTheChosenSaveIsCancelledOrFails)
{
    start();
    modify(1);
    modify(4);
    // Yes, then the dialog is cancelled: the quit stops at once.
    hl::answer_message_box(pf::Answer::Yes);
    EXPECT_FALSE(quit());
    EXPECT_EQ(hl::message_boxes().size(), 1u);
    EXPECT_TRUE(is_modified(app.store, 1));

    // Yes, and the write fails: the error is shown and the quit stops.
    auto bad = hl::temp_dir() / "no-such-folder" / "a.chr";
    hl::answer_message_box(pf::Answer::Yes);
    hl::answer_file_dialog({bad, 1});
    EXPECT_FALSE(quit());
    EXPECT_EQ(box_titles(), (std::vector<std::string>{kClosing, kClosing, "Ошибка"}));
    EXPECT_EQ(hl::message_boxes().back().text, "Не удалось сохранить файл\n" + path_to_utf8(bad));
    EXPECT_EQ(current_buffer(app.store), 1);
    EXPECT_TRUE(is_modified(app.store, 4));
}

TEST_F(Prompts, SaveInTheOneBufferPromptThatFailsReplacesNothing)
{
    start();
    auto named = hl::temp_dir() / "named.chr";
    std::ofstream(named, std::ios::binary) << "abc";
    hl::answer_file_dialog({named, 1});
    command(1);
    modify(1);
    // The file becomes a folder: writing it fails.
    std::filesystem::remove(named);
    std::filesystem::create_directory(named);
    hl::answer_message_box(pf::Answer::Yes);
    command(4);
    EXPECT_EQ(hl::message_boxes().back().title, "Ошибка");
    EXPECT_EQ(read_byte(app.store, 1, 1, 1), 1) << "New did not clear";
    EXPECT_EQ(file_name(app.store, 1), named);
    EXPECT_TRUE(is_modified(app.store, 1));

    // With a writable name the same Yes saves and New goes on.
    std::filesystem::remove(named);
    hl::answer_message_box(pf::Answer::Yes);
    command(4);
    EXPECT_EQ(std::filesystem::file_size(named), 1024u);
    EXPECT_EQ(read_byte(app.store, 1, 1, 1), 0);
    EXPECT_TRUE(file_name(app.store, 1).empty());
}

}  // namespace lumetra::testing
