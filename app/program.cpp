#include "app/program.h"

#include "app/drop_and_command_line.h"
#include "app/event_loop.h"
#include "app/layout.h"
#include "app/menus.h"
#include "app/modes.h"
#include "app/startup.h"
#include "app/views/screen_view.h"
#include "app/views/code_view.h"
#include "app/panels/conversion_panel.h"
#include "app/panels/animation_panel.h"
#include "app/panels/bin_panel.h"
#include "app/panels/logic_panel.h"
#include "app/panels/optimisation_panel.h"

namespace lumetra {

using platform::WindowId;

int clamp_window_coordinate(int stored) { return stored < -20 || stored > 3000 ? 10 : stored; }

namespace {

// The main window's contents, in the order they are made.
bool create_main_window_contents(App& app)
{
    if (!make_code_view(1)) return false;
    show_code_view(1, false);
    if (!platform::create_control(buffer_tabs_spec())) return false;
    if (!create_rows(screen_view_rows())) return false;
    if (!create_rows(cell_editor_rows())) return false;
    show_view_bitmaps(app.view);
    if (!create_rows(conversion_panel_rows())) return false;
    // Every buffer starts with the options the panel was created with.
    save_listing_options(app.listing_options, 1);
    app.listing_options.fill(app.listing_options[0]);
    // The four tool panels wait for their modes (make_tool_panel).
    return true;
}

}  // namespace

bool make_tool_panel(App& app, int panel)
{
    if (platform::control_exists(panel)) return true;
    switch (panel) {
    case kAnimationPanel: return create_rows(tool_panel_rows(panel)) && create_animation_panel(app.settings);
    case kLogicPanel: return create_rows(tool_panel_rows(panel)) && create_logic_panel();
    case kOptimisationPanel: return create_rows(tool_panel_rows(panel)) && create_optimisation_panel(app.settings);
    case kBinPanel: return create_rows(tool_panel_rows(panel)) && create_bin_panel();
    default: return false;
    }
}

bool start_up(App& app, const std::vector<std::filesystem::path>& arguments)
{
    app.settings_file = settings_path(platform::temp_directory());
    make_view_bitmaps(app.view);

    app.settings = load_settings(app.settings_file).settings;
    app.settings.x = clamp_window_coordinate(app.settings.x);
    app.settings.y = clamp_window_coordinate(app.settings.y);

    // The start-up window is a courtesy: the program goes on without it.
    if (platform::create_window(startup_window_spec())) {
        create_rows(startup_rows(), WindowId::Startup);
        platform::show_window(WindowId::Startup);
    }

    if (!platform::create_window(main_window_spec({app.settings.x, app.settings.y})) ||
        !create_main_window_contents(app) || !create_menus_and_toolbar(app))
        return false;

    switch_mode(app, Mode::Editing);
    platform::show_window(WindowId::Main);
    open_command_line_file(app, arguments);
    platform::accept_dropped_files(true);
    if (platform::window_exists(WindowId::Startup)) platform::close_window(WindowId::Startup);
    return true;
}

void save_app_settings(App& app)
{
    platform::Point at = platform::window_position(WindowId::Main);
    app.settings.x = at.x;
    app.settings.y = at.y;
    store_animation_settings(app.settings);
    store_optimisation_settings(app.settings);
    save_settings(app.settings_file, app.settings);
}

int run_program(const std::vector<std::filesystem::path>& arguments)
{
    App app;
    if (start_up(app, arguments)) event_loop(app);
    platform::shutdown();
    return 0;
}

}  // namespace lumetra
