// Layout tables: one row a control, as data. Rows are turned into the
// platform's control descriptions and created in table order.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/ids.h"
#include "lumetra_version.h"
#include "platform/platform.h"

namespace lumetra {

using platform::ControlKind;
using platform::Font;
using platform::Rect;
using platform::Rgb;

struct LayoutRow {
    int id = 0;
    ControlKind kind = ControlKind::Text;
    int parent = 0;  // 0 the window, platform::kToolbarParent, or a container
    Rect rect;       // in the parent's client area
    const char* text = "";
    unsigned style = platform::kNoStyle;
    std::optional<Rgb> text_colour{};
    std::optional<Rgb> background{};
    Font font = Font::Default;
    const char* tooltip = "";
    int image = -1;  // a stored image shown by an image control
    int min = 0, max = 0, value = 0;
};

inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kStripGrey{132, 132, 132};  // title strips of the panels

// A drop-down list's row gives the height of its dropped list as rect.h;
// closed, every list is one field of this height.
constexpr int kListHeight = 21;

inline constexpr const char* kTitleLiteral = "Lumetra v " LUMETRA_VERSION " For PIC  —  ";

platform::ControlSpec control_spec_of(const LayoutRow& row, platform::WindowId window = platform::WindowId::Main);
// False as soon as one control cannot be created.
bool create_rows(std::span<const LayoutRow> rows, platform::WindowId window = platform::WindowId::Main);

// The start-up window and its two texts.
platform::WindowSpec startup_window_spec();
std::vector<LayoutRow> startup_rows();

// The main window, placed at the stored position.
platform::WindowSpec main_window_spec(platform::Point position);

// The four tool panels: container, title strip and close image each. Their
// contents are laid out by the tools themselves.
std::vector<LayoutRow> tool_panel_rows(int panel);


}  // namespace lumetra
