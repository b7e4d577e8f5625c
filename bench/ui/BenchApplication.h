#pragma once

#include <QApplication>
#include <QtGlobal>

namespace varnoth::bench {

// The one application object of a widget benchmark, on Qt's offscreen platform unless the caller names
// another one.
inline QApplication& BenchApplication() {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static QApplication app(argc, argv);
    return app;
}

}  // namespace varnoth::bench
