// A fresh headless machine and a fresh application for every test.
#pragma once

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/event_loop.h"
#include "app/startup.h"
#include "platform/headless/headless_test.h"

namespace lumetra::testing {

namespace hl = lumetra::headless;
namespace pf = lumetra::platform;

struct ShellTest : ::testing::Test {
    App app;

    void SetUp() override { hl::reset(); }
    void TearDown() override { hl::discard(); }

    void start() { ASSERT_TRUE(start_up(app, {})); }

    // Runs one pass of the loop for every queued event; true when the quit
    // path ended the program.
    bool pump()
    {
        while (hl::pending_events() > 0)
            if (run_pass(app, pf::wait_event())) return true;
        return false;
    }
    bool command(int number)
    {
        hl::push_command(number);
        return pump();
    }
    void control(int id, pf::EventType type = pf::EventType::Click)
    {
        hl::push_control(id, type);
        pump();
    }
    void move_to(int id, int dx, int dy)
    {
        hl::point_at(id, dx, dy);
        hl::push_event({pf::EventKind::PointerMoved, 0, pf::EventType::None, pf::WindowId::Main, {}});
        pump();
    }
    void click_tab(int buffer)
    {
        pf::set_selection(7, buffer - 1);
        control(7);
    }
};

}  // namespace lumetra::testing
