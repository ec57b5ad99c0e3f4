// The rules of playing: which buffers in what order, the delay, and when the
// player listens between frames.
#include <gtest/gtest.h>

#include "tools/animation.h"

using namespace lumetra;

namespace {

using Kind = AnimationWaitStep::Kind;
constexpr AnimationWaitStep poll{Kind::Poll, 0};
constexpr AnimationWaitStep slice{Kind::Sleep, 100};

}  // namespace

TEST(Animation, DelayIsTheShownNumberWithin10To5000ElseTwoHundred)
{
    EXPECT_EQ(animation_delay("10"), 10);
    EXPECT_EQ(animation_delay("5000"), 5000);
    EXPECT_EQ(animation_delay("800"), 800);
    for (const char* outside : {"9", "5001", "0", "-100", "", "abc", "12abc", " 100", "99999999999"})
        EXPECT_EQ(animation_delay(outside), 200) << '"' << outside << '"';
    EXPECT_EQ(animation_delay(std::nullopt), 200);
}

TEST(Animation, FramesAreTheUsedSlotsInSlotOrder)
{
    EXPECT_EQ(animation_frames({0, 2, 0, 0, 0, 0, 7, 0, 0, 0}), (std::vector<int>{2, 7}));
    EXPECT_EQ(animation_frames({4, 0, 0, 0, 0, 0, 0, 0, 0, 9}), (std::vector<int>{4, 9}));
    // Slots count, not buffers: the same buffer twice plays twice per round.
    EXPECT_EQ(animation_frames({3, 0, 3, 1, 0, 0, 0, 0, 0, 0}), (std::vector<int>{3, 3, 1}));
    EXPECT_EQ(used_slot_count({0, 5, 0, 0, 0, 0, 0, 0, 0, 5}), 2);
    EXPECT_EQ(used_slot_count({0, 0, 0, 0, 0, 0, 0, 0, 0, 10}), 1);
    EXPECT_EQ(animation_frames({}), std::vector<int>{});
}

TEST(Animation, ShortDelaysPollOnceThenSleepTheWholeDelay)
{
    EXPECT_EQ(animation_wait_plan(10), (std::vector<AnimationWaitStep>{poll, {Kind::Sleep, 10}}));
    EXPECT_EQ(animation_wait_plan(100), (std::vector<AnimationWaitStep>{poll, {Kind::Sleep, 100}}));
}

TEST(Animation, LongDelaysSleepInHundredMillisecondSlicesEachFollowedByAPoll)
{
    EXPECT_EQ(animation_wait_plan(200), (std::vector<AnimationWaitStep>{slice, poll, slice, poll}));
    std::vector<AnimationWaitStep> longest = animation_wait_plan(4000);
    ASSERT_EQ(longest.size(), 80u);
    for (std::size_t i = 0; i < longest.size(); i += 2) {
        EXPECT_EQ(longest[i], slice) << i;
        EXPECT_EQ(longest[i + 1], poll) << i;
    }
}

TEST(Animation, StoredDelayIndexSelectsAnEntryOnlyWhenItNamesOne)
{
    EXPECT_EQ(delay_selection_from_setting(0), 0);
    EXPECT_EQ(delay_selection_from_setting(11), 11);
    EXPECT_STREQ(kAnimationDelayItems[7], "1000");
    for (int outside : {-1, 12, 2147483647}) EXPECT_EQ(delay_selection_from_setting(outside), -1) << outside;
}
