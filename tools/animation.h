// Playing buffers one after another as the frames of a moving picture: which
// buffers, in what order, how long each stays and when the next is due. The
// animation panel reads its lists and follows these rules; nothing here
// touches a control or the clock.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/image_store.h"

namespace lumetra {

constexpr int kAnimationSlotCount = 10;
// Slot 1..10, top to bottom: 0 = "Нет", k = buffer k. A buffer may stand in
// several slots and is then shown several times per round.
using AnimationSlots = std::array<int, kAnimationSlotCount>;

// Slots that name a buffer; playing needs two of them (not two buffers).
int used_slot_count(const AnimationSlots& slots);
constexpr int kMinAnimationFrames = 2;

// The buffers of the used slots in slot order: one round of frames. Empty
// slots cost no time.
std::vector<int> animation_frames(const AnimationSlots& slots);

// The entries of the delay list, in milliseconds; the stored setting is the
// index of the chosen entry.
inline constexpr std::array<const char*, 12> kAnimationDelayItems = {
    "10", "30", "50", "100", "200", "500", "800", "1000", "1500", "2000", "3000", "4000"};
inline constexpr int kDefaultAnimationDelay = 200;

// The list's selection for a stored index: the index itself when it names an
// entry, otherwise -1 (no entry chosen).
int delay_selection_from_setting(int stored);

// The entry of the delay list nearest to delay_ms (of two as near, the
// shorter): how an animation read from a file keeps its pace.
int nearest_delay_selection(int delay_ms);

// The delay from the text the delay list shows (nothing when no entry is
// chosen). Anything but a whole decimal number within 10..5000 gives 200.
int animation_delay(std::optional<std::string_view> shown_text);

// When the frame after one due at due_ms is due: one delay later, so that
// the time a frame takes to paint does not add up from frame to frame. A
// player that is already past that (held up by a question, say) starts
// counting again from now_ms rather than showing the missed frames at once.
std::uint64_t next_frame_due(std::uint64_t due_ms, int delay_ms, std::uint64_t now_ms);

}  // namespace lumetra
