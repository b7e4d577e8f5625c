// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>

namespace varnoth::bench {

// The one application object of a widget benchmark. The benchmark's main (BenchMain.cpp) makes it, on Qt's
// offscreen platform unless the caller names another one.
inline QApplication& BenchApplication() {
    return *static_cast<QApplication*>(QCoreApplication::instance());
}

}  // namespace varnoth::bench
