// SPDX-License-Identifier: GPL-3.0-or-later
// The main of a widget benchmark. Its application object lives in main, so it ends before the program's
// static objects do: among them are Qt's per-thread caches (fonts, animation timers), from which the main
// thread's share is let go when the application ends. An application that outlived main let it go after
// they had gone, and Qt warned at every exit ("QThreadStorage: Thread ... exited after QThreadStorage ...
// destroyed").

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QtGlobal>

int main(int argc, char* argv[]) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
