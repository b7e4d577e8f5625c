// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Application.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "app/ApplicationKeys.h"
#include "app/QuitSignals.h"
#include "device/Trace.h"
#include "session/ParameterTable.h"
#include "ui/dialogs/FeatureTexts.h"
#include "ui/main/Language.h"
#include "ui/main/MainWindow.h"
#include "ui/main/UserSettings.h"

namespace varnoth {

namespace {

// The requests a second instance sends, one line each: raise the window, or raise it and load the mode data
// file whose absolute path follows, percent-encoded (its name's bytes, whatever their encoding).
constexpr QByteArrayView kRaiseRequest = "raise\n";
constexpr QByteArrayView kOpenRequest = "open ";
constexpr QByteArrayView kRaiseDone = "ok\n";
constexpr int kSocketWaitMs = 5000;
constexpr int kStartNoticeMs = 15000;

// What the start-up says before or as the window opens, in the user's language (%1 the folder, %2 why).
constexpr Bilingual kWarningCaption{"警告", "Warning"};
constexpr Bilingual kOtherWithoutWindow{"已有一个实例在运行，但找不到它的主窗口！",
                                        "Another instance of the panel is running, but its window cannot be "
                                        "found!"};
constexpr Bilingual kWithoutGuard{
    "无法在 %1 中创建单实例标记（%2）。面板照常启动，但不会阻止再启动一个实例。",
    "Cannot create the single-instance mark in %1 (%2). The panel starts "
    "anyway, without the guard against a second instance."};
// A settings file refused at the start (%1 its path): not a file (%2 what stands there), or far too large
// (%2 its size in bytes, %3 where it was set aside).
constexpr Bilingual kSettingsNotAFile{
    "设置文件 %1 是%2，不是普通文件：面板以默认设置启动，本次运行不保存设置。",
    "The settings file %1 is %2, not a file: the panel starts with the "
    "default settings and keeps none of this run."};
constexpr Bilingual kSettingsSetAside{
    "设置文件 %1 有 %2 字节，远超设置所需：已改名为 %3，面板以默认设置启动。",
    "The settings file %1 holds %2 bytes, far more than settings take: it was "
    "set aside as %3, and the panel starts with the default settings."};
constexpr Bilingual kSettingsTooLarge{
    "设置文件 %1 有 %2 字节，远超设置所需，且无法改名：面板以默认设置启动，本次运行不保存设置。",
    "The settings file %1 holds %2 bytes, far more than settings take, and cannot be set aside: the panel "
    "starts with the default settings and keeps none of this run."};
struct SpecialFile {
    mode_t type;
    Bilingual name;
};
constexpr SpecialFile kSpecialFiles[] = {
    {S_IFIFO, {"命名管道", "a named pipe"}}, {S_IFDIR, {"文件夹", "a folder"}},
    {S_IFCHR, {"设备", "a device"}},         {S_IFBLK, {"设备", "a device"}},
    {S_IFSOCK, {"套接字", "a socket"}},
};
constexpr Bilingual kOtherKind{"特殊文件", "a special file"};

// Said in English only: without a Chinese font, Chinese cannot be read. It asks the user to install one, so
// its notice stays until the user closes it.
struct StartNotice {
    const char* text;
    bool asksToAct;
};
constexpr StartNotice kNoChineseFont{
    "No installed font shows Chinese, so the panel is in English. Install a Chinese font (for example "
    "fonts-noto-cjk) to use it in Chinese.",
    true};

// The session's own folder: the instance mark and the socket the running instance listens on live there.
// Asked for once: without one in the environment, Qt warns at each asking.
const QString& InstanceFolder() {
    static const QString folder = [] {
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        return runtime.isEmpty() ? QDir::tempPath() : runtime;
    }();
    return folder;
}

QString InstancePath(const char* suffix) {
    return InstanceFolder() + QLatin1Char('/') + QLatin1String(Application::kInstanceName) +
           QLatin1String(suffix);
}

// The address the running instance listens on: in the session folder, or, where that path is longer than a
// local socket's address may be, in the user's own folder under /tmp, named after the session folder. That
// folder counts only when it is a real folder of the user's that no one else may enter.
QString InstanceSocket() {
    const QString inSession = InstancePath("");
    if (static_cast<std::size_t>(QFile::encodeName(inSession).size()) < sizeof(sockaddr_un::sun_path)) {
        return inSession;
    }
    const QByteArray folder = "/tmp/varnoth-" + QByteArray::number(::getuid());
    ::mkdir(folder.constData(), 0700);
    struct stat status {};
    if (::lstat(folder.constData(), &status) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != ::getuid() || (status.st_mode & 077) != 0) {
        return inSession;
    }
    const QByteArray session =
        QCryptographicHash::hash(QFile::encodeName(InstanceFolder()), QCryptographicHash::Sha256)
            .toHex()
            .left(32);
    return QFile::decodeName(folder) + QLatin1Char('/') + QLatin1String(Application::kInstanceName) +
           QLatin1Char('-') + QLatin1String(session);
}

// Why the instance mark cannot be created, as the system says it.
QString WhyNoMark() {
    const QByteArray path = QFile::encodeName(InstancePath(".lock"));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    const int error = errno;
    if (fd >= 0) {
        ::close(fd);
        ::unlink(path.constData());
        return QStringLiteral("?");
    }
    return QString::fromLocal8Bit(std::strerror(error));
}

void Warn(int language, const Bilingual& text) {
    QMessageBox::warning(nullptr, QString::fromUtf8(kWarningCaption.In(language)),
                         QString::fromUtf8(text.In(language)));
}

// What the window's notice says of a settings file refused at the start, in the language.
QString RefusalNotice(const UserSettings::Refusal& refusal, int language) {
    const QString path = QDir::toNativeSeparators(refusal.path);
    if (refusal.check.verdict == SettingsFileCheck::Verdict::NotAFile) {
        const Bilingual* kind = &kOtherKind;
        for (const SpecialFile& known : kSpecialFiles) {
            if (known.type == refusal.check.type) {
                kind = &known.name;
            }
        }
        return QString::fromUtf8(kSettingsNotAFile.In(language))
            .arg(path, QString::fromUtf8(kind->In(language)));
    }
    if (refusal.setAside.isEmpty()) {
        return QString::fromUtf8(kSettingsTooLarge.In(language))
            .arg(path, QString::number(refusal.check.size));
    }
    return QString::fromUtf8(kSettingsSetAside.In(language))
        .arg(path, QString::number(refusal.check.size), QDir::toNativeSeparators(refusal.setAside));
}

// The request for the running instance: raise its window, and load the file if one is given (by its
// absolute path: the running instance works in another folder).
QByteArray RequestFor(const std::string& file) {
    if (file.empty()) {
        return kRaiseRequest.toByteArray();
    }
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(file, error);
    if (error) {
        absolute = file;
    }
    const std::string& bytes = absolute.native();
    return kOpenRequest.toByteArray() +
           QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())).toPercentEncoding() + '\n';
}

// Asks the running instance to raise its window (and to load the file). True when the request reached it;
// its answer is awaited for a while only so that the window is up before this process ends.
bool AskRunningInstanceToRaise(const std::string& file) {
    QLocalSocket socket;
    socket.connectToServer(InstanceSocket());
    if (!socket.waitForConnected(kSocketWaitMs)) {
        return false;
    }
    const QByteArray request = RequestFor(file);
    socket.write(request);
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
    InitLanguageResources();
    int language = StartLanguage();
    // Told once the window is up; the program runs either way.
    QStringList notices;
    bool noticesAskToAct = false;
    if (language == kChinese && !ChineseFontInstalled()) {
        language = kEnglish;
        notices << QString::fromUtf8(kNoChineseFont.text);
        noticesAskToAct = kNoChineseFont.asksToAct;
    }
    for (const UserSettings::Refusal& refusal : UserSettings::Refusals()) {
        notices << RefusalNotice(refusal, language);
    }
    ApplyQtTranslations(language);
    switch (ClaimSingleInstance()) {
        case InstanceCheck::Failed:
            notices << QString::fromUtf8(kWithoutGuard.In(language))
                           .arg(QDir::toNativeSeparators(InstanceFolder()), WhyNoMark());
            break;
        case InstanceCheck::OtherRaised:
            Trace(m_fileToOpen.empty() ? "Single instance: the running instance raised its window\n"
                                       : "Single instance: the running instance raised its window and loads "
                                         "the file\n");
            return 0;
        case InstanceCheck::OtherWithoutWindow:
            Warn(language, kOtherWithoutWindow);
            break;
        case InstanceCheck::First:
            break;
    }

    MainWindow mainWindow(host, language);
    m_mainWindow = &mainWindow;
    ApplicationKeys keys(mainWindow);
    qApp->installEventFilter(&keys);
    Trace("Main window: language %d\n", mainWindow.Language());
    // Logout, kill, Ctrl+C and the end of the desktop session close the window as its close box does, so
    // the amplifier gets its farewell; a firmware transfer under way ends first. They end the program without
    // asking anything (the amplifier keeps its working set either way).
    QuitSignals quitSignals;
    connect(&quitSignals, &QuitSignals::quitRequested, &mainWindow, &MainWindow::CloseWhenSafe);
    connect(qApp, &QGuiApplication::commitDataRequest, &mainWindow, &MainWindow::CloseWhenSafe);
    // Once the window has closed on such a request, every dialog loop still running ends, and one opened
    // while they unwind returns at once: nobody is left to answer it.
    connect(&mainWindow, &QDialog::finished, this, [&mainWindow] {
        if (mainWindow.QuitRequested()) {
            QCoreApplication::exit(0);
        }
    });
    if (prepare) {
        prepare(mainWindow);
    }
    if (!m_fileToOpen.empty()) {
        mainWindow.OpenModeFile(m_fileToOpen);
    }
    if (!notices.isEmpty()) {
        const QString text = notices.join(QLatin1Char('\n'));
        std::fprintf(stderr, "varnoth: %s\n", text.toLocal8Bit().constData());
        const int periodMs = noticesAskToAct ? kNoticeUntilClosed : kStartNoticeMs;
        QTimer::singleShot(0, &mainWindow,
                           [&mainWindow, text, periodMs] { mainWindow.ShowNotice(text, periodMs); });
    }
    mainWindow.exec();
    m_endingSignal = QuitSignals::Received();
    return 0;
}

Application::InstanceCheck Application::ClaimSingleInstance() {
    m_lock = std::make_unique<QLockFile>(InstancePath(".lock"));
    m_lock->setStaleLockTime(0);  // a mark is stale only when its process has gone
    if (!m_lock->tryLock(0)) {
        if (m_lock->error() != QLockFile::LockFailedError) {
            return InstanceCheck::Failed;
        }
        return AskRunningInstanceToRaise(m_fileToOpen) ? InstanceCheck::OtherRaised
                                                       : InstanceCheck::OtherWithoutWindow;
    }
    const QString socketPath = InstanceSocket();
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
            const QByteArray request = socket->readLine();
            if ((request == kRaiseRequest || request.startsWith(kOpenRequest)) && m_mainWindow) {
                RaiseWindow(*m_mainWindow);
                Trace("Single instance: raised the main window for a second instance\n");
            }
            const QByteArray file =
                request.startsWith(kOpenRequest) && request.endsWith('\n')
                    ? QByteArray::fromPercentEncoding(request.sliced(kOpenRequest.size()).chopped(1))
                    : QByteArray();
            // No file system name holds a NUL byte.
            if (!file.isEmpty() && !file.contains('\0') && m_mainWindow) {
                Trace("Single instance: a second instance gave the file %s\n", file.constData());
                m_mainWindow->OpenModeFile(file.toStdString());
            }
            socket->write(kRaiseDone.data(), kRaiseDone.size());
            socket->disconnectFromServer();
        });
    }
}

void Application::SetFileToOpen(std::string path) {
    m_fileToOpen = std::move(path);
}

void Application::RaiseWindow(QWidget& window) {
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace varnoth
