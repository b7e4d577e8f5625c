#include <QApplication>
#include <QKeySequence>
#include <QShortcut>
#include <QTimer>

#include <cstdio>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/ProgramDevices.h"
#include "device/Trace.h"
#include "ui/main/MainWindow.h"
#include "ui/main/SessionHost.h"

namespace {

using varnoth::MainWindow;

// How long --screenshot waits for a synchronisation before it saves the window as it stands (without an
// amplifier, or with one that does not answer, the panel shows itself disconnected).
constexpr int kScreenshotBoundMs = 10000;

// Saves the window as PNG once the first synchronisation has ended and the progress dialog has gone, or when
// none has ended within the bound, then closes it. Questions are answered No and messages only traced, so
// that nothing waits for a user. saved tells whether the picture was written.
void TakeScreenshotWhenSynchronised(MainWindow& window, const QString& path, bool& saved) {
    varnoth::MainWindowHooks hooks;
    hooks.question = [](QWidget&, const QString& caption, const QString& text) {
        varnoth::Trace("Question answered No: %s: %s\n", qPrintable(caption), qPrintable(text));
        return false;
    };
    hooks.warning = [](QWidget&, const QString& caption, const QString& text) {
        varnoth::Trace("Message: %s: %s\n", qPrintable(caption), qPrintable(text));
    };
    window.SetHooks(std::move(hooks));

    auto* poll = new QTimer(&window);
    poll->setInterval(100);
    auto* bound = new QTimer(&window);
    bound->setSingleShot(true);
    const auto shoot = [&window, path, &saved, poll, bound] {
        poll->stop();
        bound->stop();
        saved = window.grab().save(path, "PNG");
        if (saved) {
            varnoth::Trace("Screenshot saved: %s\n", qPrintable(path));
        } else {
            std::fprintf(stderr, "varnoth: cannot save the screenshot to %s\n", qPrintable(path));
        }
        window.close();
    };
    QObject::connect(poll, &QTimer::timeout, &window, [&window, shoot] {
        if (!window.IsSyncing()) {
            shoot();
        }
    });
    QObject::connect(bound, &QTimer::timeout, &window, [shoot] {
        varnoth::Trace("Screenshot: no synchronisation within %d ms, the window as it stands\n",
                       kScreenshotBoundMs);
        shoot();
    });
    QObject::connect(&window, &MainWindow::synchronised, poll, [poll] { poll->start(); });
    bound->start(kScreenshotBoundMs);
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // The arguments Qt has not taken for itself.
    const QStringList arguments = QApplication::arguments();
    std::vector<std::string> args;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        args.push_back(arguments[i].toStdString());
    }
    const varnoth::CommandLine options = varnoth::ParseCommandLine(args);
    if (!options.error.empty()) {
        std::fprintf(stderr, "varnoth: %s\n%s", options.error.c_str(), varnoth::CommandLineUsage().c_str());
        return 2;
    }
    if (options.trace) {
        varnoth::EnableTraceToStderr();
    }

    varnoth::ProgramDevices devices;
    if (const std::string problem = devices.Open(options); !problem.empty()) {
        std::fprintf(stderr, "varnoth: %s\n", problem.c_str());
        return 2;
    }
    varnoth::SessionHost host(devices.Provider());
    varnoth::Application app;
    bool hadWindow = false;
    bool screenshotSaved = false;
    const int result = app.Run(host, [&](MainWindow& window) {
        hadWindow = true;
        devices.Watch(window.DeviceSink());
        if (devices.Simulated()) {
            auto* plug = new QShortcut(QKeySequence(Qt::Key_F9), &window);
            QObject::connect(plug, &QShortcut::activated, &window,
                             [&devices] { devices.ToggleSimulatedPlug(); });
        }
        if (!options.screenshot.empty()) {
            TakeScreenshotWhenSynchronised(window, QString::fromStdString(options.screenshot),
                                           screenshotSaved);
        }
    });
    devices.Stop();
    if (result != 0) {
        return result;
    }
    if (!options.screenshot.empty() && !screenshotSaved) {
        // Without a window of its own (another instance is running) there is nothing to save.
        if (!hadWindow) {
            std::fprintf(stderr,
                         "varnoth: no screenshot saved to %s: another instance of the program is running\n",
                         options.screenshot.c_str());
        }
        return 1;
    }
    return 0;
}
