#include "tools/animation.h"

#include <algorithm>
#include <charconv>

namespace lumetra {

namespace {
constexpr int kShortestDelay = 10;
constexpr int kLongestDelay = 5000;
constexpr int kSliceFrom = 200;  // delays from here on are sliced
constexpr int kSlice = 100;
}  // namespace

int used_slot_count(const AnimationSlots& slots)
{
    return static_cast<int>(std::count_if(slots.begin(), slots.end(), [](int slot) { return valid_buffer(slot); }));
}

std::vector<int> animation_frames(const AnimationSlots& slots)
{
    std::vector<int> frames;
    for (int slot : slots)
        if (valid_buffer(slot)) frames.push_back(slot);
    return frames;
}

int delay_selection_from_setting(int stored)
{
    return stored >= 0 && stored < static_cast<int>(kAnimationDelayItems.size()) ? stored : -1;
}

int animation_delay(std::optional<std::string_view> shown_text)
{
    if (!shown_text) return kDefaultAnimationDelay;
    int delay = 0;
    const char* end = shown_text->data() + shown_text->size();
    auto [stop, error] = std::from_chars(shown_text->data(), end, delay);
    if (error != std::errc() || stop != end || delay < kShortestDelay || delay > kLongestDelay)
        return kDefaultAnimationDelay;
    return delay;
}

std::vector<AnimationWaitStep> animation_wait_plan(int delay_ms)
{
    using Kind = AnimationWaitStep::Kind;
    if (delay_ms < kSliceFrom) return {{Kind::Poll, 0}, {Kind::Sleep, delay_ms}};
    std::vector<AnimationWaitStep> steps;
    for (int round = 0; round < delay_ms / kSlice; ++round) {
        steps.push_back({Kind::Sleep, kSlice});
        steps.push_back({Kind::Poll, 0});
    }
    return steps;
}

}  // namespace lumetra
