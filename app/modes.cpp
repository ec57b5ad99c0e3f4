#include "app/modes.h"

#include <algorithm>
#include <array>

#include "app/layout.h"
#include "app/menus.h"
#include "editor/cell_editor.h"
#include "editor/screen_view.h"
#include "listing/conversion_panel.h"
#include "tools/logic_panel.h"

namespace lumetra {

namespace {

struct ModeRow {
    int mode;
    const char* name;
    std::array<int, 2> panels;  // 0: no second panel
};

constexpr ModeRow kModes[] = {
    {1, "Редактирование", {kCellEditorPanel, kConversionPanel}},
    {2, "Анимация", {kAnimationPanel, 0}},
    {3, "Логические операции", {kLogicPanel, kConversionPanel}},
    {4, "Оптимизация кода", {kOptimisationPanel, 0}},
    {5, "Преобразование кода в BIN формат", {kBinPanel, 0}},
};

constexpr int kRightHandPanels[] = {kCellEditorPanel, kConversionPanel, kAnimationPanel,
                                    kLogicPanel,      kOptimisationPanel, kBinPanel};

}  // namespace

void switch_mode(App& app, int m)
{
    if (m < 1 || m > kModeCount) return;
    const ModeRow& row = kModes[m - 1];
    app.shell.mode = m;
    for (int mode = 1; mode <= kModeCount; ++mode) platform::check_menu_item(kFirstModeCommand + mode - 1, mode == m);
    platform::set_toolbar_tooltip(kModeButton, row.name);
    for (int panel : kRightHandPanels)
        platform::show(panel, std::find(row.panels.begin(), row.panels.end(), panel) != row.panels.end());

    if (m >= 2) {
        // Only the editing mode keeps a cell open.
        clear_read_out();
        close_open_cell(app);
    }
    // Every entry into the logic mode starts with its undo disabled.
    if (m >= 3) platform::enable(kLogicUndoButton, false);
}

}  // namespace lumetra
