#include "app/layout.h"

namespace lumetra {

using platform::kBorder;
using platform::kCentred;
using platform::kHidden;
using platform::WindowId;

platform::ControlSpec control_spec_of(const LayoutRow& row, WindowId window)
{
    platform::ControlSpec spec;
    spec.id = row.id;
    spec.kind = row.kind;
    spec.window = window;
    spec.parent = row.parent;
    spec.rect = row.rect;
    if (row.kind == ControlKind::Combo) {
        spec.rect.h = kListHeight;
        spec.list_height = row.rect.h;
    }
    spec.text = row.text;
    spec.style = row.style;
    spec.text_colour = row.text_colour;
    spec.background = row.background;
    spec.font = row.font;
    spec.tooltip = row.tooltip;
    spec.image = row.image;
    spec.min = row.min;
    spec.max = row.max;
    spec.value = row.value;
    return spec;
}

bool create_rows(std::span<const LayoutRow> rows, WindowId window)
{
    for (const auto& row : rows)
        if (!platform::create_control(control_spec_of(row, window))) return false;
    return true;
}

namespace {
constexpr Rgb kStartupBackground{217, 175, 212};
}

platform::WindowSpec startup_window_spec()
{
    platform::WindowSpec spec;
    spec.id = WindowId::Startup;
    spec.client_w = 440;
    spec.client_h = 40;
    spec.background = kStartupBackground;
    spec.centred = true;
    spec.topmost = true;
    spec.popup = true;
    return spec;
}

std::vector<LayoutRow> startup_rows()
{
    return {
        {215, ControlKind::Text, 0, {10, 10, 240, 24}, "Инициализация программы", 0, {}, kStartupBackground, Font::StartupBold},
        {216, ControlKind::Text, 0, {250, 10, 180, 24}, kTitleLiteral, 0, Rgb{154, 0, 0}, kStartupBackground, Font::StartupBold},
    };
}

platform::WindowSpec main_window_spec(platform::Point position)
{
    platform::WindowSpec spec;
    spec.id = WindowId::Main;
    spec.title = kTitleLiteral;
    spec.position = position;
    spec.client_w = 794;
    spec.client_h = 518;
    return spec;
}

namespace {

struct ToolPanelFrame {
    int panel, height;
    int title_id, title_width;
    const char* title;
    int close_id;
    const char* close_tip;
};

// All four overlap in the right-hand column; the mode decides which one shows.
constexpr ToolPanelFrame kToolPanels[] = {
    {kAnimationPanel, 458, 471, 228, "Анимация", 472, "Закрыть панель анимации"},
    {kLogicPanel, 300, 581, 230, "Логические операции", 595, "Закрыть панель логических операций"},
    {kOptimisationPanel, 458, 151, 228, "Оптимизация кода", 152, "Закрыть панель «Оптимизация кода»"},
    {kBinPanel, 458, 191, 228, "Преобразование кода в BIN формат    ", 192,
     "Закрыть панель «Преобразование кода в BIN формат»"},
};

constexpr int kCloseIcon = 8;

}  // namespace

std::vector<LayoutRow> tool_panel_rows(int panel)
{
    for (const auto& p : kToolPanels) {
        if (p.panel != panel) continue;
        return {
            {p.panel, ControlKind::Container, 0, {554, 32, 234, p.height}, "", kBorder | kHidden},
            {p.title_id, ControlKind::Text, p.panel, {2, 1, p.title_width, 15}, p.title, kCentred, kWhite, kStripGrey},
            {p.close_id, ControlKind::Image, p.panel, {216, 0, 16, 16}, "", 0, {}, {}, Font::Default, p.close_tip, kCloseIcon},
        };
    }
    return {};
}

}  // namespace lumetra
