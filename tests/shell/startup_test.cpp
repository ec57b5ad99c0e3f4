#include "shell_fixture.h"

#include "core/settings.h"

namespace lumetra::testing {

TEST_F(ShellTest, FirstRunOpensTheEditorInModeOne)
{
    start();
    EXPECT_EQ(pf::window_title(pf::WindowId::Main), "Lumetra v 3.4 For PIC  —  ");
    EXPECT_TRUE(hl::window_visible(pf::WindowId::Main));
    EXPECT_TRUE(hl::window_shown(pf::WindowId::Startup));
    EXPECT_FALSE(pf::window_exists(pf::WindowId::Startup)) << "gone before the first event";
}

}  // namespace lumetra::testing
