// The About window.
#include "shell_fixture.h"

namespace lumetra::testing {

namespace {

struct About : ShellTest {
    void SetUp() override
    {
        ShellTest::SetUp();
        start();
        command(kCmdAbout);
    }
    void about_event(pf::EventKind kind, int number = 0, pf::EventType type = pf::EventType::None)
    {
        hl::push_event({kind, number, type, pf::WindowId::About, {}});
        pump();
    }
    void click(int control) { about_event(pf::EventKind::Control, control, pf::EventType::Click); }
};

}  // namespace

TEST_F(About, OpensOnceFadingInWithItsControls)
{
    ASSERT_TRUE(pf::window_exists(pf::WindowId::About));
    auto window = hl::window_spec(pf::WindowId::About);
    EXPECT_EQ(pf::window_title(pf::WindowId::About), "О программе");
    EXPECT_EQ((std::pair{window.client_w, window.client_h}), (std::pair{234, 264}));
    ASSERT_EQ(hl::fades().size(), 1u);
    EXPECT_EQ((std::pair{hl::fades()[0].milliseconds, hl::fades()[0].show}), (std::pair{500, true}));
    EXPECT_TRUE(hl::window_visible(pf::WindowId::About));

    EXPECT_EQ(hl::stored_image(kAboutPicture), kImageAboutPicture);
    EXPECT_EQ(hl::control_spec(kAboutPicture).rect, (pf::Rect{30, 10, 168, 35}));
    EXPECT_FALSE(hl::control_spec(kAboutPicture).tooltip_title.empty());
    EXPECT_EQ(pf::text(kAboutPageText), "Более подробно о работе программы можно прочитать на страничке");
    EXPECT_EQ(pf::text(kAboutOkButton), "Ok");
    EXPECT_EQ(hl::control_spec(kAboutMailLink).tooltip, "Связатся с автором");
    EXPECT_EQ(pf::text(kAboutTitleText).rfind(kTitle, 0), 0u);
    for (int link : {kAboutMailLink, kAboutPageLink}) {
        EXPECT_EQ(hl::control_spec(link).text_colour, (pf::Rgb{58, 2, 197}));
        EXPECT_EQ(hl::control_spec(link).hover_colour, (pf::Rgb{2, 131, 253}));
    }

    // A second command 8 brings the same window forward.
    command(kCmdAbout);
    EXPECT_EQ(hl::fades().size(), 1u);
    EXPECT_TRUE(pf::window_exists(pf::WindowId::About));
}

TEST_F(About, PictureLightsUpUnderThePointer)
{
    hl::point_at(kAboutPicture, 10, 10);
    about_event(pf::EventKind::PointerMoved);
    EXPECT_EQ(hl::stored_image(kAboutPicture), kImageAboutPictureLit);
    EXPECT_EQ(hl::pointer_shape(), pf::PointerShape::Hand);
    hl::point_at(kAboutOkButton, 1, 1);
    about_event(pf::EventKind::PointerMoved);
    EXPECT_EQ(hl::stored_image(kAboutPicture), kImageAboutPicture);
    EXPECT_EQ(hl::pointer_shape(), pf::PointerShape::Arrow);
}

TEST_F(About, LinksOpenTheProjectsOwnPagesAndOkFadesOut)
{
    for (int link : {kAboutPageLink, kAboutPicture, kAboutMailLink, 351}) click(link);
    EXPECT_EQ(hl::opened_links(),
              (std::vector<std::string>{"https://lumetra.example/", "https://lumetra.example/", "mailto:support@lumetra.example"}));
    click(kAboutOkButton);
    EXPECT_FALSE(pf::window_exists(pf::WindowId::About));
    ASSERT_EQ(hl::fades().size(), 2u);
    EXPECT_EQ((std::pair{hl::fades()[1].milliseconds, hl::fades()[1].show}), (std::pair{1000, false}));

    // The close box does the same, and the window can be opened again.
    command(kCmdAbout);
    about_event(pf::EventKind::Close);
    EXPECT_FALSE(pf::window_exists(pf::WindowId::About));
    EXPECT_FALSE(app.shell.quit_request);
    EXPECT_EQ(hl::fades().size(), 4u);
}

}  // namespace lumetra::testing
