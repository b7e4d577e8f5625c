// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace varnoth {

class SessionHost;
class MainWindow;

// The application: one running instance per user session, the language from the user settings, the
// program-wide F7 key (ApplicationKeys) and the main window run for the life of the program.
class Application : public QObject {
    Q_OBJECT

  public:
    static constexpr char kInstanceName[] = "Varnoth-VQ317X";

    Application();
    ~Application() override;

    // Start-up and run: when another instance runs, its window comes to the front and this returns 0 at once;
    // otherwise the main window, owner of the host's session, runs until it is closed; prepare sees it
    // before it runs. Returns the process exit code.
    int Run(SessionHost& host, const std::function<void(MainWindow&)>& prepare = {});
    // The signal (SIGTERM, SIGINT) that ended the run, or 0: once everything is cleaned up, the process
    // ends by it, as the command line does, so that whoever sent it sees that it worked.
    int EndingSignal() const { return m_endingSignal; }

    // A mode data file (the bytes of its name) for the window to load once it has synchronised
    // (MainWindow::OpenModeFile). When another instance runs, Run hands the file to it instead.
    void SetFileToOpen(std::string path);

    // Restores a minimised window and brings it to the front.
    static void RaiseWindow(QWidget& window);

  private:
    enum class InstanceCheck { First, OtherRaised, OtherWithoutWindow, Failed };

    InstanceCheck ClaimSingleInstance();
    void OnRaiseRequest();

    std::string m_fileToOpen;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer m_server;
    QPointer<MainWindow> m_mainWindow;
    int m_endingSignal = 0;
};

}  // namespace varnoth
