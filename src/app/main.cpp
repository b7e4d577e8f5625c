// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QIcon>
#include <QKeySequence>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QScrollArea>
#include <QShortcut>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/DisplayCheck.h"
#include "app/ProgramDevices.h"
#include "app/UserHome.h"
#include "device/Trace.h"
#include "ui/controls/ImageResources.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/MachineSettingsDialog.h"
#include "ui/dialogs/Notice.h"
#include "ui/dialogs/OtherFunctionsDialog.h"
#include "ui/dialogs/RemoteLearningDialog.h"
#include "ui/dialogs/SessionUpgrade.h"
#include "ui/dialogs/SyncProgressDialog.h"
#include "ui/dialogs/UpgradeDialog.h"
#include "ui/main/MainWindow.h"
#include "ui/main/SessionHost.h"

namespace {

using varnoth::MainWindow;

bool SaveGrab(const QPixmap& picture, const QString& path) {
    if (picture.save(path, "PNG")) {
        varnoth::Trace("Screenshot saved: %s\n", qPrintable(path));
        return true;
    }
    std::fprintf(stderr, "varnoth: cannot save the screenshot to %s\n", qPrintable(path));
    return false;
}

// The whole window, its menu bar above its controls, also when a screen smaller than the window shows the
// controls in a scroll area.
QPixmap WholeLayout(MainWindow& window) {
    auto* scroll = window.findChild<QScrollArea*>(QString(), Qt::FindDirectChildrenOnly);
    if (scroll == nullptr || scroll->widget() == nullptr) {
        return window.grab();
    }
    QWidget& controls = *scroll->widget();
    auto* bar = window.findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
    const int top = bar != nullptr ? bar->height() : 0;
    const qreal ratio = window.devicePixelRatioF();
    QPixmap picture((QSizeF(controls.size() + QSize(0, top)) * ratio).toSize());
    picture.setDevicePixelRatio(ratio);
    picture.fill(window.palette().color(QPalette::Window));
    QPainter painter(&picture);
    if (bar != nullptr) {
        const QSize shown = bar->size();
        bar->resize(controls.width(), top);
        bar->render(&painter);
        bar->resize(shown);
    }
    controls.render(&painter, QPoint(0, top));
    return picture;
}

// Every dialog of the program as it first shows, saved beside the main window's picture as FILE-NAME.png.
bool SaveDialogScreenshots(MainWindow& window, const QString& path) {
    QString base = path;
    if (base.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) {
        base.chop(4);
    }
    varnoth::DeviceSession& session = window.Session();
    varnoth::SessionUpgrade upgrade(session);
    const auto save = [&](QWidget& dialog, const char* name) {
        dialog.show();
        QCoreApplication::processEvents();
        const bool saved =
            SaveGrab(dialog.grab(), base + QLatin1Char('-') + QLatin1String(name) + QStringLiteral(".png"));
        dialog.hide();
        return saved;
    };
    bool ok = true;
    {
        varnoth::MachineSettingsDialog dialog(session, window, &window);
        ok = save(dialog, "settings") && ok;
    }
    {
        varnoth::OtherFunctionsDialog dialog(session, window, &window);
        ok = save(dialog, "other") && ok;
    }
    {
        varnoth::RemoteLearningDialog dialog(session, window, &window);
        ok = save(dialog, "remote") && ok;
    }
    {
        varnoth::UpgradeDialog dialog(upgrade, window, &window);
        ok = save(dialog, "upgrade") && ok;
    }
    {
        varnoth::AboutDialog dialog(session, &window);
        ok = save(dialog, "about") && ok;
    }
    {
        varnoth::SyncProgressDialog dialog(&window, {}, window.Language());
        ok = save(dialog, "progress") && ok;
    }
    {
        varnoth::Notice dialog(&window, window.Language());
        dialog.SetNotice(window.Language() == 0 ? QStringLiteral("升级完成，请重启设备!")
                                                : QStringLiteral("Mic vol locked!"),
                         60000);
        ok = save(dialog, "notice") && ok;
    }
    return ok;
}

// How long --screenshot waits for a synchronisation before it saves the window as it stands (without an
// amplifier, or with one that does not answer, the panel shows itself disconnected).
constexpr int kScreenshotBoundMs = 10000;

// Saves the window (and with dialogs every dialog) as PNG once the first synchronisation has ended and the
// progress dialog has gone, or when none has ended within the bound, then closes it. Questions are answered
// No and messages only traced, so that nothing waits for a user. saved tells whether every picture was
// written.
void TakeScreenshotWhenSynchronised(MainWindow& window, const QString& path, bool dialogs, bool& saved) {
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
    const auto shoot = [&window, path, dialogs, &saved, poll, bound] {
        poll->stop();
        bound->stop();
        saved = SaveGrab(WholeLayout(window), path) && (!dialogs || SaveDialogScreenshots(window, path));
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

// The program up to its end, with everything it made cleaned up; endingSignal is the signal that ended it.
int RunPanel(int argc, char* argv[], int& endingSignal) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (const auto answer = varnoth::ImmediateAnswer(args)) {
        std::fputs(answer->c_str(), stdout);
        return 0;
    }
    // Checked before the application object is built, which needs a display: a wrong argument is told as
    // such wherever the program runs.
    const varnoth::CommandLine options = varnoth::ParseCommandLine(args);
    if (!options.error.empty()) {
        std::fprintf(stderr, "varnoth: %s\nTry 'varnoth --help' for more information.\n",
                     options.error.c_str());
        return 2;
    }
    if (options.trace) {
        varnoth::EnableTraceToStderr();
    }
    // An unknown scenario is a wrong argument too.
    varnoth::ProgramDevices devices;
    if (const std::string problem = devices.Open(options); !problem.empty()) {
        std::fprintf(stderr, "varnoth: %s\n", problem.c_str());
        return 2;
    }
    // Without a display Qt would abort with advice that does not fit; the trouble is said as it is.
    if (const std::string problem = varnoth::WhyNoDisplay(
            varnoth::DisplayChoiceOf(options.qtPlatform, options.qtDisplay), varnoth::XServerAnswers);
        !problem.empty()) {
        std::fprintf(stderr, "varnoth: %s\n", problem.c_str());
        return 1;
    }
    // Without a home folder the settings of this run go to a private folder that ends with it.
    std::optional<QTemporaryDir> privateSettings;
    if (const std::string problem = varnoth::EnsureHomeFolder(); !problem.empty()) {
        privateSettings.emplace();
        qputenv("XDG_CONFIG_HOME", privateSettings->path().toLocal8Bit());
        std::fprintf(stderr, "varnoth: %s: the settings of this run are not kept\n", problem.c_str());
    }
    QApplication application(argc, argv);
    // The desktop shows the window under the desktop entry of this name, with the icon installed for it.
    QGuiApplication::setDesktopFileName(QStringLiteral(VARNOTH_APP_ID));
    // Every window takes the icon, in all its sizes, from the theme, or the one the program carries.
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral(VARNOTH_APP_ID), varnoth::CarriedApplicationIcon()));
    varnoth::SessionHost host(devices.Provider());
    varnoth::Application app;
    app.SetFileToOpen(options.file);
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
                                           options.dialogScreenshots, screenshotSaved);
        }
    });
    devices.Stop();
    endingSignal = app.EndingSignal();
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

}  // namespace

int main(int argc, char* argv[]) {
    int endingSignal = 0;
    const int code = RunPanel(argc, argv, endingSignal);
    // Ended by SIGTERM or SIGINT: the amplifier has had its farewell and everything is cleaned up. The
    // process ends by that signal, as varnoth-cli does, so that a shell or the service manager sees so.
    if (endingSignal != 0) {
        std::signal(endingSignal, SIG_DFL);
        std::raise(endingSignal);
    }
    return code;
}
