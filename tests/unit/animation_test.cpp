// The rules of playing: which buffers in what order, the delay, and when the
// next frame is due.
#include <gtest/gtest.h>

#include "tools/animation.h"

using namespace lumetra;

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

TEST(Animation, NextFrameIsDueOneDelayAfterTheLastWithoutCatchingUp)
{
    EXPECT_EQ(next_frame_due(1000, 200, 1000), 1200u);
    // Painting and a late timer do not push the frames after it back ...
    EXPECT_EQ(next_frame_due(1200, 200, 1290), 1400u);
    EXPECT_EQ(next_frame_due(1200, 200, 1400), 1400u);
    // ... but frames missed during a long hold-up are not shown in a burst.
    EXPECT_EQ(next_frame_due(1200, 200, 5000), 5200u);
}

TEST(Animation, StoredDelayIndexSelectsAnEntryOnlyWhenItNamesOne)
{
    EXPECT_EQ(delay_selection_from_setting(0), 0);
    EXPECT_EQ(delay_selection_from_setting(11), 11);
    EXPECT_STREQ(kAnimationDelayItems[7], "1000");
    for (int outside : {-1, 12, 2147483647}) EXPECT_EQ(delay_selection_from_setting(outside), -1) << outside;
}

TEST(Animation, FileDelayTakesTheNearestEntryTheShorterOfTwo)
{
    // Entries 10 30 50 100 200 ... 3000 4000.
    EXPECT_EQ(nearest_delay_selection(0), 0);
    EXPECT_EQ(nearest_delay_selection(20), 0) << "as near 10 as 30";
    EXPECT_EQ(nearest_delay_selection(21), 1);
    EXPECT_EQ(nearest_delay_selection(120), 3);
    EXPECT_EQ(nearest_delay_selection(655350), 11);
}
