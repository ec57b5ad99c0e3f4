#include "app/modes.h"

#include <algorithm>
#include <array>

#include "app/layout.h"
#include "app/menus.h"
#include "app/startup.h"
#include "app/views/cell_editor.h"
#include "app/views/screen_view.h"
#include "app/panels/conversion_panel.h"
#include "app/panels/logic_panel.h"

namespace lumetra {

namespace {

struct ModeRow {
    Mode mode;
    const char* name;
    std::array<int, 2> panels;  // 0: no second panel
    bool keeps_open_cell;       // only the editing mode keeps a cell open
    bool disables_logic_undo;   // entering it starts the logic panel without undo
};

constexpr ModeRow kModes[] = {
    {Mode::Editing, "Редактирование", {kCellEditorPanel, kConversionPanel}, true, false},
    {Mode::Animation, "Анимация", {kAnimationPanel, 0}, false, false},
    {Mode::Logic, "Логические операции", {kLogicPanel, kConversionPanel}, false, true},
    {Mode::Optimisation, "Оптимизация кода", {kOptimisationPanel, 0}, false, true},
    {Mode::Bin, "Преобразование кода в BIN формат", {kBinPanel, 0}, false, true},
};

constexpr int kRightHandPanels[] = {kCellEditorPanel, kConversionPanel, kAnimationPanel,
                                    kLogicPanel,      kOptimisationPanel, kBinPanel};

}  // namespace

void switch_mode(App& app, Mode m)
{
    const ModeRow& row = kModes[mode_number(m) - 1];
    app.shell.mode = m;
    for (const ModeRow& other : kModes) platform::check_menu_item(mode_command(other.mode), other.mode == m);
    platform::set_toolbar_tooltip(kCmdNextMode, row.name);
    for (int panel : row.panels)
        if (panel != kCellEditorPanel && panel != kConversionPanel && panel != 0) make_tool_panel(app, panel);
    for (int panel : kRightHandPanels)
        platform::show(panel, std::find(row.panels.begin(), row.panels.end(), panel) != row.panels.end());

    if (!row.keeps_open_cell) {
        clear_read_out();
        close_open_cell(app);
    }
    if (row.disables_logic_undo) platform::enable(kLogicUndoButton, false);
}

}  // namespace lumetra
