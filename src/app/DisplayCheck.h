// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

namespace varnoth {

// Where the panel would open its window, as the environment and Qt's own options name it.
struct DisplayChoice {
    std::string platform;        // -platform, else QT_QPA_PLATFORM
    std::string x11Display;      // -display, else DISPLAY
    bool displayOption = false;  // x11Display came from -display
    std::string waylandDisplay;  // WAYLAND_DISPLAY
    std::string sessionType;     // XDG_SESSION_TYPE
};

// The choice from the environment and the values of Qt's -platform and -display options (empty when not
// given).
DisplayChoice DisplayChoiceOf(const std::string& platformOption, const std::string& displayOption);

// Why the panel cannot open a window, asked before the application object is built: without a display Qt
// ends the process by an abort, with advice (reinstalling) that does not fit. Empty when a window can open,
// and whenever the choice is not the plain X11 one: a platform named (offscreen, xcb, wayland, …) or a
// Wayland session is left to Qt. xServerAnswers tells whether the X server at a display name accepts a
// connection.
std::string WhyNoDisplay(const DisplayChoice& choice,
                         const std::function<bool(const std::string& display)>& xServerAnswers);

// Whether an X server accepts a connection at the display name (":0", "host:1.0", …), as Qt's X11
// platform would connect.
bool XServerAnswers(const std::string& display);

}  // namespace varnoth
