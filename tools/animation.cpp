#include "tools/animation.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace lumetra {

namespace {
constexpr int kShortestDelay = 10;
constexpr int kLongestDelay = 5000;
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

int nearest_delay_selection(int delay_ms)
{
    int nearest = 0;
    long best = -1;
    for (std::size_t i = 0; i < kAnimationDelayItems.size(); ++i) {
        const long distance = std::labs(std::atol(kAnimationDelayItems[i]) - static_cast<long>(delay_ms));
        if (best < 0 || distance < best) {
            best = distance;
            nearest = static_cast<int>(i);
        }
    }
    return nearest;
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

std::uint64_t next_frame_due(std::uint64_t due_ms, int delay_ms, std::uint64_t now_ms)
{
    const std::uint64_t delay = static_cast<std::uint64_t>(std::max(0, delay_ms));
    return due_ms + delay >= now_ms ? due_ms + delay : now_ms + delay;
}

}  // namespace lumetra
