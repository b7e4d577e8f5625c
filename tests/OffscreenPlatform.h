// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace varnoth::test {

// Widget tests draw on Qt's offscreen platform unless the caller names another one, so that they run, and
// list their cases, on a machine without a display.
inline void UseOffscreenPlatformUnlessGiven() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

}  // namespace varnoth::test
