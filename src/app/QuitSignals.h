// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

namespace varnoth {

// Turns SIGTERM (logout, kill) and SIGINT (Ctrl+C in the terminal) into a signal on the user-interface
// thread, so that the program ends the way closing its window does: with the farewell to the amplifier.
// The handlers only note the signal and write a byte to a pipe; one instance at a time.
class QuitSignals : public QObject {
    Q_OBJECT

  public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

    // The first of the signals that came since this instance was made, also one not yet handed on as
    // quitRequested (it came while the window was closing); 0 when none came.
    static int Received();

  signals:
    void quitRequested(int signalNumber);

  private:
    void OnReadable();

    int m_fds[2] = {-1, -1};
    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace varnoth
