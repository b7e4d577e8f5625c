// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DisplayCheck.h"

#include <xcb/xcb.h>

#include <cstdlib>

namespace varnoth {

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

constexpr char kAdvice[] = ". Run the panel in a desktop session, or use varnoth-cli.";

}  // namespace

DisplayChoice DisplayChoiceOf(const std::string& platformOption, const std::string& displayOption) {
    DisplayChoice choice;
    choice.platform = platformOption.empty() ? Variable("QT_QPA_PLATFORM") : platformOption;
    choice.displayOption = !displayOption.empty();
    choice.x11Display = choice.displayOption ? displayOption : Variable("DISPLAY");
    choice.waylandDisplay = Variable("WAYLAND_DISPLAY");
    choice.sessionType = Variable("XDG_SESSION_TYPE");
    return choice;
}

std::string WhyNoDisplay(const DisplayChoice& choice,
                         const std::function<bool(const std::string& display)>& xServerAnswers) {
    if (!choice.platform.empty() || !choice.waylandDisplay.empty() || choice.sessionType == "wayland") {
        return {};
    }
    if (choice.x11Display.empty()) {
        return std::string("no display to open the window on: DISPLAY is not set") + kAdvice;
    }
    if (xServerAnswers(choice.x11Display)) {
        return {};
    }
    return "no display to open the window on: cannot connect to the X server at " + choice.x11Display +
           (choice.displayOption ? " (-display)" : " (DISPLAY)") + kAdvice;
}

bool XServerAnswers(const std::string& display) {
    xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}

}  // namespace varnoth
