// Opening an animated GIF: its frames go into the buffers from the current
// one on and the animation panel is set to play them.
#include "shell_fixture.h"

#include "app/ids.h"
#include "core/text_encoding.h"
#include "tests/support/test_gif.h"

namespace lumetra::testing {

namespace {

struct GifOpen : ShellTest {
    // Frame k has k in its first byte; the later frames stay a second.
    fs::path write_gif(const std::string& name, int count, int first_delay_ms)
    {
        std::vector<int> delays(static_cast<std::size_t>(count), 1000);
        delays[0] = first_delay_ms;
        return file(name, make_test_gif(delays));
    }
    void open(const fs::path& path, std::initializer_list<pf::Answer> answers = {})
    {
        hl::answer_file_dialog({path, 1});
        command(kCmdOpen, answers);
    }
    std::vector<int> slots()
    {
        std::vector<int> shown;
        for (int i = 0; i < 10; ++i) shown.push_back(pf::selection(kFirstAnimationSlot + i));
        return shown;
    }
};

}  // namespace

TEST_F(GifOpen, CommandLineFillsBuffersAndTheAnimationPanel)
{
    auto gif = write_gif("walk.gif", 3, 90);
    ASSERT_TRUE(start_up(app, {gif}));
    for (int buffer = 1; buffer <= 3; ++buffer) {
        EXPECT_EQ(read_byte(app.store, buffer, 1, 1), buffer);
        EXPECT_EQ(file_name(app.store, buffer), gif);
        EXPECT_FALSE(is_modified(app.store, buffer));
    }
    EXPECT_EQ(read_byte(app.store, 4, 1, 1), 0);
    EXPECT_EQ(current_buffer(app.store), 1);
    EXPECT_EQ(title(), kTitle + path_to_utf8(gif));
    EXPECT_EQ(slots(), (std::vector<int>{1, 2, 3, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(pf::text(kAnimationDelay), "100") << "the entry nearest 90 ms";
    EXPECT_TRUE(hl::message_boxes().empty());
}

TEST_F(GifOpen, EachUnsavedBufferIsAskedAboutAndFramesBeyondTheLastAreCounted)
{
    start();
    click_tab(8);
    write_byte(app.store, 9, 1, 1, 0x55);
    modify(9);
    auto gif = write_gif("run.gif", 5, 1000);

    // Cancel at buffer 9: buffer 8 is done, 9 and 10 are not.
    open(gif, {pf::Answer::Cancel});
    ASSERT_EQ(hl::message_boxes().size(), 1u);
    EXPECT_EQ(hl::message_boxes()[0].title, "Сохранение файла");
    EXPECT_EQ(read_byte(app.store, 8, 1, 1), 1);
    EXPECT_EQ(read_byte(app.store, 9, 1, 1), 0x55);
    EXPECT_TRUE(is_modified(app.store, 9));
    EXPECT_EQ(read_byte(app.store, 10, 1, 1), 0);
    EXPECT_EQ(current_buffer(app.store), 8);
    EXPECT_EQ(slots(), (std::vector<int>{8, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

    // No: buffers 8 to 10 take three frames, two are left out and told.
    open(gif, {pf::Answer::No});
    for (int buffer = 8; buffer <= 10; ++buffer) EXPECT_EQ(read_byte(app.store, buffer, 1, 1), buffer - 7);
    ASSERT_EQ(hl::message_boxes().size(), 3u);
    expect_box(hl::message_boxes()[2], "Анимация",
               "Анимация содержит кадров: 5.\nВ буферы 8 – 10 загружено кадров: 3, не поместилось: 2.",
               pf::Buttons::Ok, pf::Icon::Information);
    EXPECT_EQ(current_buffer(app.store), 8);
    EXPECT_EQ(pf::selection(kBufferTabs), 7);
    EXPECT_EQ(slots(), (std::vector<int>{8, 9, 10, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(pf::text(kAnimationDelay), "1000");

    // From the last buffer only one frame fits.
    click_tab(10);
    open(gif);
    EXPECT_EQ(hl::message_boxes().back().text,
              "Анимация содержит кадров: 5.\nВ буфер 10 загружено кадров: 1, не поместилось: 4.");
}

TEST_F(GifOpen, DamagedGifChangesNoBuffer)
{
    start();
    write_byte(app.store, 1, 1, 1, 0x66);
    std::string bytes = contents(write_gif("whole.gif", 3, 100));
    auto cut = file("cut.gif", bytes.substr(0, bytes.size() - 40));
    open(cut);
    ASSERT_EQ(hl::message_boxes().size(), 1u);
    expect_box(hl::message_boxes()[0], "Ошибка", "Не удалось открыть файл\n" + path_to_utf8(cut), pf::Buttons::Ok,
               pf::Icon::Error);
    EXPECT_EQ(read_byte(app.store, 1, 1, 1), 0x66);
    EXPECT_EQ(read_byte(app.store, 2, 1, 1), 0);
    EXPECT_TRUE(file_name(app.store, 1).empty());
}

}  // namespace lumetra::testing
