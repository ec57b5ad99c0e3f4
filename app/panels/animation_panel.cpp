#include "app/panels/animation_panel.h"

#include <algorithm>

#include "app/modes.h"
#include "app/views/code_view.h"
#include "app/views/screen_view.h"
#include "app/panels/conversion_panel.h"
#include "tools/animation.h"
#include "tools/bin_conversion.h"

namespace lumetra {

using platform::EventKind;
using platform::EventType;
using platform::kDisabled;
using platform::WindowId;

namespace {


AnimationSlots slots_from_panel()
{
    AnimationSlots slots{};
    for (int i = 0; i < kAnimationSlotCount; ++i) slots[i] = std::max(0, platform::selection(kFirstAnimationSlot + i));
    return slots;
}

std::optional<std::string> shown_delay()
{
    if (platform::selection(kAnimationDelay) < 0) return std::nullopt;
    return platform::text(kAnimationDelay);
}

bool same_cell(const ImageStore& store, int a, int b, int cell)
{
    for (int byte = 1; byte <= kCellBytes; ++byte)
        if (read_byte(store, a, cell, byte) != read_byte(store, b, cell, byte)) return false;
    return true;
}

// The tab of the frame's buffer and its picture, on screen at once rather
// than when the window next finds time to paint. The buffer does not become
// current. After the first frame only the cells that differ from the frame
// before get their new picture (frames tend to differ in a few cells); the
// view then paints them all in one pass.
void show_frame(App& app, int buffer, int shown_before)
{
    platform::set_selection(kBufferTabs, buffer - 1);
    platform::repaint_now(kBufferTabs);
    if (!valid_buffer(shown_before)) {
        paint_all_cells(app, buffer);
    } else {
        for (int cell = 1; cell <= kCellCount; ++cell)
            if (!same_cell(app.store, shown_before, buffer, cell))
                paint_cell(app, cell_image_of(cell), CellState::Normal, buffer);
    }
    platform::repaint_now(kScreenArea);
}

// Back to the buffer of the remembered tab, as it was before playing.
void end_playing(App& app, int tab)
{
    platform::enable(kAnimationStart, true);
    platform::enable(kAnimationStop, false);
    const int buffer = tab + 1;
    platform::set_selection(kBufferTabs, tab);
    set_current_buffer(app.store, buffer);
    paint_all_cells(app, buffer);
    restore_listing_options(app.listing_options, buffer);
    clear_cell_editor(app);
    set_open_cell(app.store, kNoCell);
    show_window_title(app);
    show_code_view(buffer, false);
}

void stop_playing(App& app)
{
    platform::stop_timer();
    const int tab = app.animation.tab;
    app.animation = {};
    end_playing(app, tab);
}

// The timer brings the next frame when it is due (at once when that is past).
void time_next_frame(const AnimationState& playing)
{
    const std::uint64_t now = platform::now_ms();
    platform::start_timer(playing.next_due_ms > now ? static_cast<int>(playing.next_due_ms - now) : 0);
}

void show_next_frame(App& app)
{
    AnimationState& playing = app.animation;
    const int shown = playing.frames[playing.frame];
    playing.frame = (playing.frame + 1) % playing.frames.size();
    show_frame(app, playing.frames[playing.frame], shown);
    playing.next_due_ms = next_frame_due(playing.next_due_ms, playing.delay_ms, platform::now_ms());
    time_next_frame(playing);
}

}  // namespace

std::vector<LayoutRow> animation_panel_rows()
{
    constexpr int p = kAnimationPanel;
    constexpr Font m = Font::Message;
    std::vector<LayoutRow> rows = {
        {500, ControlKind::Frame, p, {20, 40, 184, 280}, "Выберите рисунки для анимации", 0, {}, {}, m}};
    // Slot 1 at the top: the arrow beside the lists points the way they are played.
    for (int i = 0; i < kAnimationSlotCount; ++i)
        rows.push_back(
            {kFirstAnimationSlot + i, ControlKind::Combo, p, {58, 64 + 24 * i, 100, 180}, "", 0, {}, {}, m});
    rows.insert(rows.end(), {
        {kAnimationArrow, ControlKind::Image, p, {170, 90, 24, 24}, "", 0, {}, {}, Font::Default,
         "Направление сканирования выпадающих списков", kImageArrowDown},
        {501, ControlKind::Text, p, {10, 350, 80, 15}, "Задержка, мс:", 0, {}, {}, m},
        {kAnimationDelay, ControlKind::Combo, p, {100, 346, 70, 100}, "", 0, {}, {}, m},
        {kAnimationStart, ControlKind::Button, p, {30, 400, 80, 24}, kAnimationTitle, 0, {}, {}, m},
        {kAnimationStop, ControlKind::Button, p, {120, 400, 80, 24}, "Стоп", kDisabled, {}, {}, m},
    });
    return rows;
}

bool create_animation_panel(const Settings& settings)
{
    auto slot_items = bin_slot_items();
    for (const LayoutRow& row : animation_panel_rows()) {
        platform::ControlSpec spec = control_spec_of(row);
        if (row.id >= kFirstAnimationSlot && row.id <= kLastAnimationSlot)
            spec.items.assign(slot_items.begin(), slot_items.end());
        if (row.id == kAnimationDelay) spec.items.assign(kAnimationDelayItems.begin(), kAnimationDelayItems.end());
        if (!platform::create_control(spec)) return false;
    }
    for (int id = kFirstAnimationSlot; id <= kLastAnimationSlot; ++id) platform::set_selection(id, 0);
    platform::set_selection(kFirstAnimationSlot, 1);
    platform::set_selection(kFirstAnimationSlot + 1, 2);
    platform::set_selection(kAnimationDelay, delay_selection_from_setting(settings.delay_index));
    return true;
}

void show_animation_buffers(App& app, int first_buffer, int count, int delay_ms)
{
    for (int i = 0; i < kAnimationSlotCount; ++i)
        platform::set_selection(kFirstAnimationSlot + i, i < count ? first_buffer + i : 0);
    platform::set_selection(kAnimationDelay, nearest_delay_selection(delay_ms));
    app.settings.delay_index = platform::selection(kAnimationDelay);
}

void animation_delay_event(App& app, int, EventType type)
{
    if (type == EventType::SelectionChanged) app.settings.delay_index = platform::selection(kAnimationDelay);
}

void store_animation_settings(Settings& settings)
{
    // The setting follows the list as it is chosen: at exit the list may no
    // longer answer (a task list closing the program closes every top-level
    // window, the drop-down lists among them, before the main window). A
    // value the list could not take is kept as the list took it: none.
    settings.delay_index = delay_selection_from_setting(settings.delay_index);
}

void play_animation(App& app)
{
    std::vector<int> frames = animation_frames(slots_from_panel());
    if (frames.empty()) return;
    int tab = platform::selection(kBufferTabs);
    if (!valid_buffer(tab + 1)) tab = current_buffer(app.store) - 1;
    // The option controls may show changes not yet stored for the current
    // buffer; the end of playing sets the controls from the stored options.
    save_listing_options(app.listing_options, current_buffer(app.store));
    platform::enable(kAnimationStart, false);
    platform::enable(kAnimationStop, true);

    // The first frame is due now, the next one delay later.
    const int delay = animation_delay(shown_delay());
    app.animation = {true, std::move(frames), 0, tab, delay, platform::now_ms() + static_cast<std::uint64_t>(delay)};
    show_frame(app, app.animation.frames[0], 0);
    time_next_frame(app.animation);
}

void animation_event(App& app, const platform::Event& event)
{
    const bool main = event.window == WindowId::Main;
    switch (event.kind) {
    case EventKind::Timer:
        show_next_frame(app);
        return;
    case EventKind::Control:
        if (main && event.number == kAnimationStop) return stop_playing(app);
        if (main && event.number == kAnimationCloseImage) {
            if (event.type == EventType::Click) switch_mode(app, Mode::Editing);
            return stop_playing(app);
        }
        // The picture beside the lists only shows their order.
        if (main && event.number == kAnimationArrow) return;
        // A delay chosen now is kept for the next start (and the settings),
        // though the click is refused as any other.
        if (main && event.number == kAnimationDelay) animation_delay_event(app, event.number, event.type);
        platform::default_beep();
        return;
    case EventKind::Command:
        // Menus, toolbar and shortcuts are refused: the command is dropped.
        platform::default_beep();
        return;
    case EventKind::Close:
        // Closing the About window is ignored: it stays open until it is
        // closed again after playing.
        if (main && platform::message_box(kAnimationTitle, "Прекратить анимацию?", platform::Buttons::YesNo,
                                          platform::Icon::Question) == platform::Answer::Yes)
            stop_playing(app);
        return;
    default:
        // Pointer moves, the right button, dropped files: taken and forgotten.
        return;
    }
}

void animation_start_event(App& app, int, EventType)
{
    if (used_slot_count(slots_from_panel()) < kMinAnimationFrames) {
        platform::message_box(kAnimationTitle, "Для анимации нужно как минимум 2 рисунка!", platform::Buttons::Ok,
                              platform::Icon::Warning);
        return;
    }
    play_animation(app);
}

}  // namespace lumetra
