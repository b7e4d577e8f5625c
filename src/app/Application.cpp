// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Application.h"

#include <QApplication>
#include <QDir>
#include <QLocalSocket>
#include <QMessageBox>
#include <QStandardPaths>
#include <QWidget>

#include "app/ApplicationKeys.h"
#include "app/QuitSignals.h"
#include "device/Trace.h"
#include "ui/main/Language.h"
#include "ui/main/MainWindow.h"
#include "ui/main/ModeChanges.h"
#include "ui/main/UserSettings.h"

namespace varnoth {

namespace {

constexpr QByteArrayView kRaiseRequest = "raise\n";
constexpr QByteArrayView kRaiseDone = "ok\n";
constexpr int kSocketWaitMs = 5000;

// The session's own folder: the instance mark and the socket the running instance listens on live there.
// Asked for once: without one in the environment, Qt warns at each asking.
QString InstancePath(const char* suffix) {
    static const QString folder = [] {
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        return runtime.isEmpty() ? QDir::tempPath() : runtime;
    }();
    return folder + QLatin1Char('/') + QLatin1String(Application::kInstanceName) + QLatin1String(suffix);
}

void Warn(const QString& text) {
    QMessageBox::warning(nullptr, QStringLiteral("警告"), text);
}

// Asks the running instance to raise its window. True when the request reached it; its answer is awaited
// for a while only so that the window is up before this process ends.
bool AskRunningInstanceToRaise() {
    QLocalSocket socket;
    socket.connectToServer(InstancePath(""));
    if (!socket.waitForConnected(kSocketWaitMs)) {
        return false;
    }
    socket.write(kRaiseRequest.data(), kRaiseRequest.size());
    if (!socket.waitForBytesWritten(kSocketWaitMs)) {
        return false;
    }
    while (!socket.canReadLine() && socket.waitForReadyRead(kSocketWaitMs)) {
    }
    return true;
}

}  // namespace

Application::Application() {
    connect(&m_server, &QLocalServer::newConnection, this, &Application::OnRaiseRequest);
}

Application::~Application() = default;

int Application::Run(SessionHost& host, const std::function<void(MainWindow&)>& prepare) {
    switch (ClaimSingleInstance()) {
        case InstanceCheck::Failed:
            Warn(QStringLiteral("创建信标对象失败，程序退出！"));
            return 1;
        case InstanceCheck::OtherRaised:
            Trace("Single instance: the running instance raised its window\n");
            return 0;
        case InstanceCheck::OtherWithoutWindow:
            Warn(QStringLiteral("已有一个实例在运行，但找不到它的主窗口！"));
            break;
        case InstanceCheck::First:
            break;
    }

    InitLanguageResources();
    const int language = UserSettings::Read(QLatin1String(UserSettings::kLanguage));
    MainWindow mainWindow(host, language);
    m_mainWindow = &mainWindow;
    ApplicationKeys keys(mainWindow);
    qApp->installEventFilter(&keys);
    Trace("Main window: language %d\n", mainWindow.Language());
    // Logout, kill, Ctrl+C and the end of the desktop session close the window as its close box does, so
    // the amplifier gets its farewell; a firmware transfer under way ends first. They end the program without
    // asking about unsaved changes (the amplifier keeps its working set either way).
    QuitSignals quitSignals;
    const auto quit = [&mainWindow] {
        mainWindow.Modes().AskNoMore();
        mainWindow.CloseWhenSafe();
    };
    connect(&quitSignals, &QuitSignals::quitRequested, &mainWindow, quit);
    connect(qApp, &QGuiApplication::commitDataRequest, &mainWindow, quit);
    if (prepare) {
        prepare(mainWindow);
    }
    mainWindow.exec();
    return 0;
}

Application::InstanceCheck Application::ClaimSingleInstance() {
    m_lock = std::make_unique<QLockFile>(InstancePath(".lock"));
    m_lock->setStaleLockTime(0);  // a mark is stale only when its process has gone
    if (!m_lock->tryLock(0)) {
        if (m_lock->error() != QLockFile::LockFailedError) {
            return InstanceCheck::Failed;
        }
        return AskRunningInstanceToRaise() ? InstanceCheck::OtherRaised : InstanceCheck::OtherWithoutWindow;
    }
    const QString socketPath = InstancePath("");
    QLocalServer::removeServer(socketPath);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server.listen(socketPath)) {
        Trace("Single instance: cannot listen on %s\n", qPrintable(socketPath));
    }
    return InstanceCheck::First;
}

void Application::OnRaiseRequest() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                return;
            }
            if (socket->readLine() == kRaiseRequest && m_mainWindow) {
                RaiseWindow(*m_mainWindow);
                Trace("Single instance: raised the main window for a second instance\n");
            }
            socket->write(kRaiseDone.data(), kRaiseDone.size());
            socket->disconnectFromServer();
        });
    }
}

void Application::RaiseWindow(QWidget& window) {
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace varnoth
