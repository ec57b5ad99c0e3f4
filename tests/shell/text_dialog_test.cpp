// The text dialog: its fonts, the preview on the screen view, OK and
// "Отмена", the cell popup's corner, refusals and the settings it keeps.
#include "shell_fixture.h"

#include <algorithm>

#include "core/raster.h"
#include "core/settings.h"
#include "core/text_encoding.h"
#include "font/font.h"

namespace lumetra::testing {

namespace {

const fs::path kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// A bitmap font of one size, 8 pixels, with an "A".
const fs::path kTiny = fs::path(LUMETRA_TEST_DATA) / "fonts" / "tiny.bdf";

struct TextDialog : ShellTest {
    fs::path fonts;

    void SetUp() override
    {
        ShellTest::SetUp();
        fonts = hl::temp_dir() / "fonts";
        fs::create_directories(fonts);
        fs::copy_file(kDejaVu, fonts / "DejaVuSans.ttf");
        fs::copy_file(kTiny, fonts / "tiny.bdf");
        // The system's folder is missing: the program's own still counts.
        hl::set_font_folders({hl::temp_dir() / "no-such-folder", fonts});
        start();
    }
    void dialog_event(pf::EventKind kind, int number = 0, pf::EventType type = pf::EventType::None)
    {
        hl::push_event({kind, number, type, pf::WindowId::Text, {}});
        pump();
    }
    void click(int control) { dialog_event(pf::EventKind::Control, control, pf::EventType::Click); }
    void type(int field, const std::string& text)
    {
        hl::type_text(field, text);
        pump();
    }
    void choose_font(const std::string& name)
    {
        const auto& items = hl::control_spec(kTextFont).items;
        auto found = std::find(items.begin(), items.end(), name);
        ASSERT_NE(found, items.end()) << name;
        pf::set_selection(kTextFont, static_cast<int>(found - items.begin()));
        dialog_event(pf::EventKind::Control, kTextFont, pf::EventType::SelectionChanged);
    }
    // What the screen view shows, read back from its cell images.
    ScreenBuffer shown() const
    {
        ScreenBuffer picture;
        for (int cell = 1; cell <= kCellCount; ++cell)
            for (int byte = 1; byte <= kCellBytes; ++byte)
                for (int bit = 0; bit < 8; ++bit)
                    if (hl::bitmap(cell_image_of(cell)).at(kViewScale * (byte - 1), kViewScale * bit) == kInk)
                        picture.bytes[static_cast<std::size_t>(byte_offset(cell, byte))] |= std::uint8_t(1u << bit);
        return picture;
    }
    // The text as the font library draws it onto a buffer.
    static ScreenBuffer drawn(const ScreenBuffer& under, const fs::path& font, int size, const std::string& text,
                              int x, int y, Ink ink = Ink::Set)
    {
        FontResult opened = open_font(font, size);
        EXPECT_TRUE(opened.font) << opened.error;
        Raster raster = raster_from_screen(under);
        if (opened.font) draw_text(raster, *opened.font, text, x, y, ink);
        return screen_from_raster(raster);
    }
    const ScreenBuffer& buffer() { return *buffer_of(app.store, 1); }
};

}  // namespace

// The fonts of both folders by "family style"; typing previews on the screen
// view while the buffer and the main window stay as they are. From a cell's
// popup the text starts at that cell's corner (the last cell of a row, so
// that its row and column both count from the first cell).
TEST_F(TextDialog, PreviewsEveryChangeWithoutTouchingTheBuffer)
{
    control(cell_image_of(48), pf::EventType::RightClick);
    command(kCmdCellText);
    ASSERT_TRUE(pf::window_exists(pf::WindowId::Text));
    EXPECT_TRUE(hl::window_visible(pf::WindowId::Text));
    EXPECT_FALSE(pf::is_window_enabled(pf::WindowId::Main));
    EXPECT_EQ(hl::control_spec(kTextFont).items, (std::vector<std::string>{"DejaVu Sans Book", "Tiny Regular"}));
    EXPECT_EQ(pf::value(kTextSize), 16);
    EXPECT_EQ((std::pair{pf::value(kTextX), pf::value(kTextY)}), (std::pair{120, 16}));

    type(kTextInput, "Ab");
    const ScreenBuffer blank;
    EXPECT_EQ(shown(), drawn(blank, kDejaVu, 16, "Ab", 120, 16));
    type(kTextSize, "20");
    type(kTextX, "30");
    EXPECT_EQ(shown(), drawn(blank, kDejaVu, 20, "Ab", 30, 16));
    EXPECT_EQ(buffer(), blank);
    EXPECT_FALSE(is_modified(app.store, 1));

    // The main window's commands and clicks are refused meanwhile.
    const int beeps = hl::beeps();
    command(kCmdNew);
    control(kConvertButton);
    EXPECT_EQ(hl::beeps(), beeps + 2);
    EXPECT_TRUE(pf::window_exists(pf::WindowId::Text));
}

TEST_F(TextDialog, OkWritesTheBufferAndCancelLeavesIt)
{
    // Erasing from a full picture.
    buffer_of(app.store, 1)->bytes.fill(0xFF);
    const ScreenBuffer full = buffer();
    // From the "Файл" menu the text starts at 0,0 even after a cell's popup.
    control(cell_image_of(48), pf::EventType::RightClick);
    command(kCmdText);
    type(kTextInput, "Hi");
    pf::set_checked(kTextErase, true);
    click(kTextErase);
    const ScreenBuffer erased = drawn(full, kDejaVu, 16, "Hi", 0, 0, Ink::Clear);
    EXPECT_EQ(shown(), erased);

    for (int close : {kTextCancel, 0}) {
        if (close) click(close);
        else dialog_event(pf::EventKind::Close);
        EXPECT_FALSE(pf::window_exists(pf::WindowId::Text)) << close;
        EXPECT_EQ(buffer(), full);
        EXPECT_EQ(shown(), full);
        EXPECT_FALSE(is_modified(app.store, 1));
        command(kCmdText);
        type(kTextInput, "Hi");
        pf::set_checked(kTextErase, true);
    }
    const int listing_writes = hl::rich_assignments(code_view_of(1));
    click(kTextOk);
    EXPECT_FALSE(pf::window_exists(pf::WindowId::Text));
    EXPECT_TRUE(pf::is_window_enabled(pf::WindowId::Main));
    EXPECT_EQ(buffer(), erased);
    EXPECT_EQ(shown(), erased);
    EXPECT_TRUE(is_modified(app.store, 1));
    EXPECT_EQ(hl::rich_assignments(code_view_of(1)), listing_writes) << "the listing waits for Преобразовать";
}

// A bitmap font takes only its own sizes, and a font that went away cannot be
// drawn with: each is said, and nothing changes.
TEST_F(TextDialog, RefusalsChangeNothing)
{
    command(kCmdText);
    type(kTextInput, "A");
    choose_font("Tiny Regular");
    EXPECT_EQ(pf::value(kTextSize), 8) << "moved to the font's size";
    EXPECT_EQ(shown(), drawn(ScreenBuffer{}, fonts / "tiny.bdf", 8, "A", 0, 0));
    type(kTextSize, "9");
    EXPECT_EQ(pf::text(kTextNote), "У шрифта «Tiny Regular» нет размера 9, есть только 8.");
    EXPECT_EQ(shown(), ScreenBuffer{});
    click(kTextOk);
    ASSERT_EQ(hl::message_boxes().size(), 1u);
    expect_box(hl::message_boxes()[0], "Текст", "У шрифта «Tiny Regular» нет размера 9, есть только 8.", pf::Buttons::Ok,
               pf::Icon::Error);

    choose_font("DejaVu Sans Book");
    fs::remove(fonts / "DejaVuSans.ttf");
    type(kTextSize, "12");
    click(kTextOk);
    ASSERT_EQ(hl::message_boxes().size(), 2u);
    EXPECT_TRUE(hl::message_boxes()[1].text.starts_with("Не удалось открыть шрифт «" + path_to_utf8(fonts / "DejaVuSans.ttf")))
        << hl::message_boxes()[1].text;
    EXPECT_TRUE(pf::window_exists(pf::WindowId::Text));
    EXPECT_EQ(buffer(), ScreenBuffer{});
    EXPECT_FALSE(is_modified(app.store, 1));
}

// OK keeps font, size and mode for the next time and in the settings file; a
// close of the main window cancels the open dialog and ends the program.
TEST_F(TextDialog, SettingsKeepTheLastChoice)
{
    command(kCmdText);
    choose_font("Tiny Regular");
    type(kTextInput, "A");
    pf::set_checked(kTextErase, true);
    click(kTextOk);
    command(kCmdText);
    EXPECT_EQ(pf::text(kTextFont), "Tiny Regular");
    EXPECT_EQ(pf::value(kTextSize), 8);
    EXPECT_TRUE(pf::is_checked(kTextErase));
    EXPECT_EQ(pf::text(kTextInput), "");

    main_event(pf::EventKind::Close);
    EXPECT_FALSE(pf::window_exists(pf::WindowId::Text));
    Settings saved = load_settings(app.settings_file).settings;
    EXPECT_EQ(saved.text_font, path_to_utf8(fonts / "tiny.bdf"));
    EXPECT_EQ(saved.text_size, 8);
    EXPECT_EQ(saved.text_erase, 1);
}

// A bitmap font in one file a size is one entry with all its sizes; each size
// draws from its own file, and that file is what the settings keep. Fonts
// added while the program runs are listed at the dialog's next opening.
TEST_F(TextDialog, OneEntryForABitmapFontInFilesOfEachSize)
{
    command(kCmdText);
    click(kTextCancel);
    const fs::path terminus = "/usr/share/fonts/X11/misc";
    for (const char* name : {"ter-u12n_unicode.pcf.gz", "ter-u16n_unicode.pcf.gz"})
        fs::copy_file(terminus / name, fonts / name);
    command(kCmdText);
    const auto& items = hl::control_spec(kTextFont).items;
    ASSERT_EQ(items.size(), 3u) << "DejaVu, Terminus once, Tiny";
    choose_font(items[1]);
    type(kTextInput, "Ж");
    for (int size : {12, 16}) {
        type(kTextSize, std::to_string(size));
        EXPECT_EQ(pf::text(kTextNote), "");
        EXPECT_EQ(shown(), drawn(ScreenBuffer{}, fonts / ("ter-u" + std::to_string(size) + "n_unicode.pcf.gz"), size,
                                 "Ж", 0, 0));
    }
    click(kTextOk);
    EXPECT_EQ(app.settings.text_font, path_to_utf8(fonts / "ter-u16n_unicode.pcf.gz"));
}

}  // namespace lumetra::testing
