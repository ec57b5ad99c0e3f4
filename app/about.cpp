#include "app/about.h"

#include "app/ids.h"
#include "app/layout.h"

namespace lumetra {

using platform::ControlSpec;
using platform::Event;
using platform::EventKind;
using platform::EventType;
using platform::WindowId;

namespace {


constexpr Rgb kLinkColour{58, 2, 197};
constexpr Rgb kLinkHoverColour{2, 131, 253};

constexpr int kFadeInMs = 500;
constexpr int kFadeOutMs = 1000;

struct LinkRow {
    int control;
    const char* target;
};
constexpr LinkRow kLinks[] = {{kAboutMailLink, kContactMail}, {kAboutPicture, kWebPage}, {kAboutPageLink, kWebPage}};

std::vector<ControlSpec> about_controls()
{
    const std::string about_text =
        std::string(kTitleLiteral) + "редактор картинок для графических ЖКИ 128 × 64 на KS0107/KS0108";
    const LayoutRow rows[] = {
        {kAboutPicture, ControlKind::Image, 0, {30, 10, 168, 35}, "", 0, {}, {}, Font::Default,
         "Страничка программы: описание, примеры и новые версии", kImageAboutPicture},
        {354, ControlKind::Frame, 0, {8, 60, 210, 108}},
        {350, ControlKind::Text, 0, {16, 72, 200, 50},
         about_text.c_str(), 0,
         Rgb{146, 7, 109}},
        {357, ControlKind::Text, 0, {16, 118, 195, 30}, "Более подробно о работе программы можно прочитать на страничке",
         0, Rgb{151, 6, 64}},
        {kAboutPageLink, ControlKind::Link, 0, {16, 146, 200, 15}, "lumetra.example", 0, kLinkColour},
        {351, ControlKind::Text, 0, {16, 180, 200, 15}, "Разработка: команда Lumetra"},
        {352, ControlKind::Text, 0, {16, 200, 50, 15}, "Почта:"},
        {kAboutMailLink, ControlKind::Link, 0, {74, 200, 100, 15}, "Написать письмо", 0, kLinkColour, {}, Font::Default,
         "Связатся с автором"},
        {kAboutOkButton, ControlKind::Button, 0, {70, 230, 80, 24}, "Ok"},
    };
    std::vector<ControlSpec> specs;
    for (const auto& row : rows) {
        ControlSpec spec = control_spec_of(row, WindowId::About);
        for (const auto& link : kLinks)
            if (link.control == row.id && row.kind == ControlKind::Link) {
                spec.link = link.target;
                spec.hover_colour = kLinkHoverColour;
            }
        if (row.id == kAboutPicture) spec.tooltip_title = "Lumetra";
        specs.push_back(spec);
    }
    return specs;
}

void close_about_window(App& app)
{
    platform::fade_window(WindowId::About, kFadeOutMs, false);
    platform::close_window(WindowId::About);
    if (app.shell.about_picture_hovered) platform::set_pointer_shape(platform::PointerShape::Arrow);
    app.shell.about_picture_hovered = false;
}

// The hand and the larger picture while the pointer is over the picture.
void follow_pointer(App& app)
{
    bool over = platform::control_screen_rect(kAboutPicture).contains(platform::pointer_position());
    if (over) {
        platform::set_pointer_shape(platform::PointerShape::Hand);
        if (!app.shell.about_picture_hovered) {
            app.shell.about_picture_hovered = true;
            platform::set_image(kAboutPicture, kImageAboutPictureLit);
        }
    } else if (app.shell.about_picture_hovered) {
        app.shell.about_picture_hovered = false;
        platform::set_pointer_shape(platform::PointerShape::Arrow);
        platform::set_image(kAboutPicture, kImageAboutPicture);
    }
}

}  // namespace

void show_about_window(App& app, int)
{
    if (platform::window_exists(WindowId::About)) {
        platform::show_window(WindowId::About);
        return;
    }
    platform::WindowSpec spec;
    spec.id = WindowId::About;
    spec.title = "О программе";
    spec.client_w = 234;
    spec.client_h = 264;
    spec.centred = true;
    if (!platform::create_window(spec)) return;
    for (const auto& control : about_controls()) {
        if (!platform::create_control(control)) {
            platform::close_window(WindowId::About);
            return;
        }
    }
    app.shell.about_picture_hovered = false;
    platform::fade_window(WindowId::About, kFadeInMs, true);
}

void about_window_event(App& app, const Event& event)
{
    if (!platform::window_exists(WindowId::About)) return;
    bool clicked = event.kind == EventKind::Control && event.type == EventType::Click;
    if (event.kind == EventKind::Close || (clicked && event.number == kAboutOkButton)) {
        close_about_window(app);
        return;
    }
    if (clicked)
        for (const auto& link : kLinks)
            if (link.control == event.number) platform::open_link(link.target);
    follow_pointer(app);
}

}  // namespace lumetra
