// The application record: every long-lived piece of state the shell keeps,
// owned by run_program and passed by reference to every handler, so that a
// test can start from a fresh one.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "app/ids.h"
#include "core/image_store.h"
#include "core/settings.h"
#include "listing/listing.h"
#include "core/styled_text.h"
#include "font/font.h"
#include "platform/platform.h"
#include "tools/cell_clipboard.h"
#include "tools/logic.h"

namespace lumetra {


// The hover highlight of the screen view.
struct HoverState {
    HoverPhase phase = HoverPhase::Away;
    int last_cell = kNoCell;  // the cell carrying the highlight
};

// The bitmaps the screen view and the cell editor paint and hand to their
// image controls. They hold no picture data of their own: every paint reads
// the image store.
struct ScreenView {
    std::vector<platform::Bitmap> cells;   // cell images 20..147, 32 x 32
    std::vector<platform::Bitmap> pixels;  // pixel images 280..343, 16 x 16
    HoverState hover;
};

// The last change of button state seen over a pixel image of the cell
// editor: a pixel changes only when this triple changes.
struct DrawingSample {
    int image = 0;
    bool left = false, right = false;
    bool operator==(const DrawingSample&) const = default;
};

struct ShellState {
    Mode mode = Mode::Editing;
    bool quit_request = false;
    int popup_target = kNoCell;
    DrawingSample last_sample;
    bool about_picture_hovered = false;
};

// What the skip list of the optimisation panel shows: the export writes it.
struct OptimisationState {
    StyledText list;
};

// Playing the animation panel's frames: a state that spans events. While it
// plays the loop hands every event to the player, and the platform's timer
// brings each next frame.
struct AnimationState {
    bool playing = false;
    std::vector<int> frames;  // buffers, one round in slot order
    std::size_t frame = 0;    // the one on screen
    int tab = 0;              // the tab selected before playing, selected again at its end
    int delay_ms = 0;
    std::uint64_t next_due_ms = 0;  // on the platform's clock
};

// The text dialog while it is open: a state that spans events. The screen
// view shows the buffer with the text drawn in; the buffer itself changes
// only when the dialog is closed with OK.
// Every font file of the font folders: a bitmap font has one a size. A big
// system font folder takes a while to read, so the list is read again only
// when a folder has changed since (its last write time, none when missing).
struct FontCatalogue {
    std::vector<std::pair<std::filesystem::path, std::filesystem::file_time_type>> folders;  // as read
    std::vector<FontInfo> files;
};

struct TextDialogState {
    bool open = false;
    std::vector<FontInfo> fonts;  // the font list's entries, in its order
    // The font last opened, kept while the fields ask for the same one.
    FontHandle font;
    std::filesystem::path font_path;
    int font_size = 0;
};

struct App {
    ImageStore store;
    ShellState shell;
    ScreenView view;
    AnimationState animation;
    ListingOptionsSet listing_options{};
    CellClipboard clipboard;
    LogicUndo logic_undo;
    OptimisationState optimisation;
    TextDialogState text;
    FontCatalogue font_files;
    // As read at start-up; the animation delay is stored when it is chosen,
    // the position and the optimisation panel's options are taken from the
    // window at exit, the rest is written back as it was read.
    Settings settings;
    std::filesystem::path settings_file;
};

}  // namespace lumetra
