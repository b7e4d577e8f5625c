// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

class QEvent;

namespace varnoth {

class MainWindow;

// The program-wide keys, seen in every window of the program, also while a dialog runs: releasing F7 opens
// the machine settings dialog of the main window, except while the synchronisation progress dialog shows,
// when the key goes on to its window as usual. Install it on the application (installEventFilter).
class ApplicationKeys : public QObject {
    Q_OBJECT

  public:
    explicit ApplicationKeys(MainWindow& mainWindow, QObject* parent = nullptr);

    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPointer<MainWindow> m_mainWindow;
    bool m_f7Ready = true;
};

}  // namespace varnoth
