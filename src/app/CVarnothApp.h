#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace varnoth {

class CSessionHost;
class CVarnothDlg;

// The application: one running instance per user session, the persistent language setting, the program-wide
// F7 key (CApplicationKeys) and the main window run for the life of the program.
class CVarnothApp : public QObject {
    Q_OBJECT

  public:
    static constexpr char kInstanceName[] = "Varnoth-VQ317X";
    static constexpr char kLanguageSetting[] = "language";

    CVarnothApp();
    ~CVarnothApp() override;

    // Start-up and run: when another instance runs, its window comes to the front and this returns 0 at once;
    // otherwise the main window, owner of the host's session, runs until it is closed; prepare sees it
    // before it runs. Returns the process exit code.
    int Run(CSessionHost& host, const std::function<void(CVarnothDlg&)>& prepare = {});

    // The persistent settings of the user: an integer by name, 0 when missing or unreadable. Failures to
    // write are ignored.
    static int ReadSetting(const QString& name);
    static void WriteSetting(const QString& name, int value);

    // Restores a minimised window and brings it to the front.
    static void RaiseWindow(QWidget& window);

  private:
    enum class InstanceCheck { First, OtherRaised, OtherWithoutWindow, Failed };

    InstanceCheck ClaimSingleInstance();
    void OnRaiseRequest();

    std::unique_ptr<QLockFile> m_lock;
    QLocalServer m_server;
    QPointer<CVarnothDlg> m_mainWindow;
};

}  // namespace varnoth
