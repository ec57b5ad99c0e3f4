// The shell's table of numbers and what is built from it: invariants that
// hold whatever the numbers are, plus the one mapping the cell images rely on.
#include "shell_fixture.h"

#include <map>
#include <set>

#include "app/event_loop.h"
#include "app/ids.h"
#include "app/layout.h"
#include "app/menus.h"

namespace lumetra::testing {

TEST(Ids, ControlNumbersOfCellAndPixelImages)
{
    EXPECT_EQ(cell_image_of(1), 20);
    EXPECT_EQ(cell_image_of(128), 147);
    EXPECT_EQ(cell_image_of(129), 0);
    EXPECT_EQ(cell_of_image(147), 128);
    EXPECT_EQ(cell_of_image(19), kNoCell);
    EXPECT_EQ(cell_of_image(148), kNoCell);
    EXPECT_EQ(pixel_image_of(1, 0), 280);
    EXPECT_EQ(pixel_image_of(8, 7), 343);
    EXPECT_EQ(pixel_image_of(9, 0), 0);
}

namespace {

bool intersect(const pf::Rect& a, const pf::Rect& b)
{
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

// Controls that lie on top of each other by design: one of them shows at a time.
int stack_of(int id)
{
    if (id >= code_view_of(1) && id <= code_view_of(kBufferCount)) return 1;
    for (int panel : {kCellEditorPanel, kConversionPanel, kAnimationPanel, kLogicPanel, kOptimisationPanel, kBinPanel})
        if (id == panel) return 2;
    if (id == kSkipList || id == kSkipListLabel || id == kSkipListProgress) return 3;
    return 0;
}

// Pairs placed so that they touch: the close image sits on its panel's title
// strip, and some labels reach into the control below or beside them.
bool touch_by_design(int a, int b)
{
    static const std::set<std::pair<int, int>> pairs = {
        {471, kAnimationCloseImage}, {581, kLogicCloseImage}, {151, kOptimisationCloseImage}, {191, kBinCloseImage},
        {552, kReadOutCode},         {207, kBinTarget},       {207, kBinWhere},               {210, kBinAddress},
        {210, kBinHow},              {164, kSkipMapLabel},              {172, kCountByteSpin},
    };
    return pairs.count({a, b}) || pairs.count({b, a});
}

}  // namespace

// Frames surround their neighbours; every other pair of controls with the
// same parent keeps apart unless it is one of the stacks above.
TEST_F(ShellTest, NoTwoControlsOfOneContainerOverlap)
{
    start();
    for (Mode mode : {Mode::Animation, Mode::Logic, Mode::Optimisation, Mode::Bin}) command(mode_command(mode));
    std::vector<int> ids = hl::controls_in_creation_order();
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const pf::ControlSpec& a = hl::control_spec(ids[i]);
        if (a.kind == pf::ControlKind::Frame) continue;
        for (std::size_t j = i + 1; j < ids.size(); ++j) {
            const pf::ControlSpec& b = hl::control_spec(ids[j]);
            if (b.kind == pf::ControlKind::Frame || a.window != b.window || a.parent != b.parent) continue;
            if ((stack_of(a.id) != 0 && stack_of(a.id) == stack_of(b.id)) || touch_by_design(a.id, b.id)) continue;
            EXPECT_FALSE(intersect(a.rect, b.rect)) << a.id << " and " << b.id;
        }
    }
}

// Every drop-down list opens its list as high as its panel's table says;
// closed, they are all one field high.
TEST_F(ShellTest, DropDownListsOpenAsHighAsTheLayoutSays)
{
    start();
    for (Mode mode : {Mode::Animation, Mode::Logic, Mode::Optimisation, Mode::Bin}) command(mode_command(mode));
    std::map<int, int> heights;
    for (int id : hl::controls_in_creation_order())
        if (hl::control_spec(id).kind == pf::ControlKind::Combo) {
            heights[id] = hl::control_spec(id).list_height;
            EXPECT_EQ(hl::control_spec(id).rect.h, kListHeight) << id;
        }
    std::map<int, int> expected = {{kAnimationDelay, 100}, {kBinTarget, 80}, {kBinWhere, 80}, {kBinHow, 80}};
    for (int id = kLogicFirst; id <= kLogicResult; ++id) expected[id] = 180;
    for (int i = 0; i < 10; ++i) expected[kFirstAnimationSlot + i] = expected[kFirstBinSlot + i] = 180;
    EXPECT_EQ(heights, expected);
}

// Every command a menu, popup, toolbar button or shortcut can send has a
// row of the command table, and no two rows claim the same number.
TEST_F(ShellTest, EveryCommandReachesOneHandler)
{
    start();
    std::set<int> sent;
    auto collect = [&sent](const std::vector<pf::MenuItem>& items, auto&& self) -> void {
        for (const auto& item : items) {
            if (item.command != 0) sent.insert(item.command);
            self(item.items, self);
        }
    };
    collect(hl::main_menu(), collect);
    for (int popup : {kPopupCell, kPopupCodeView, kPopupSkipList}) collect(hl::popup_menu(popup), collect);
    for (const auto& button : hl::toolbar())
        if (button.command != 0) sent.insert(button.command);
    for (const auto& shortcut : hl::shortcuts()) sent.insert(shortcut.command);

    for (int command : sent) {
        int rows = 0;
        for (const CommandRow& row : command_rows())
            if (command >= row.first && command <= row.last) ++rows;
        EXPECT_EQ(rows, 1) << "command " << command;
    }
    for (const CommandRow& row : command_rows()) EXPECT_TRUE(row.handler && row.first <= row.last) << row.first;
}

// Every row of the control table names controls that exist, once.
TEST_F(ShellTest, EveryControlRowNamesExistingControls)
{
    start();
    for (Mode mode : {Mode::Animation, Mode::Logic, Mode::Optimisation, Mode::Bin}) command(mode_command(mode));
    std::set<int> claimed;
    for (const ControlRow& row : control_rows()) {
        EXPECT_TRUE(row.handler && row.first <= row.last) << row.first;
        for (int id = row.first; id <= row.last; ++id) {
            EXPECT_TRUE(pf::control_exists(id)) << id;
            EXPECT_TRUE(claimed.insert(id).second) << id << " has two rows";
        }
    }
}

}  // namespace lumetra::testing
