// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>

#include <chrono>

#include "ui/dialogs/DialogTemplate.h"

class QProgressBar;

namespace varnoth {

// How the synchronisation progress dialog paces itself.
struct SyncDialogTiming {
    std::chrono::milliseconds step{100};     // the bar advances one step
    std::chrono::milliseconds giveUp{8000};  // the dialog closes on its own
    int noticeMs = 1800;  // how long the give-up notice shows, unless its text asks the user to act
};

// Blocks the user while a worker thread reads or writes the whole parameter set. The bar shows activity, not
// progress. Esc, Enter and the close box do nothing; the owner ends it with Finish() when the
// synchronisation has finished, or it gives up after SyncDialogTiming::giveUp.
class SyncProgressDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplateNumber = 144;
    static constexpr int kLabelId = 1218;
    static constexpr int kProgressId = 1217;
    static const DialogTemplate& Template();
    // language: 0 Chinese, anything else English.
    explicit SyncProgressDialog(QWidget* parent = nullptr, SyncDialogTiming timing = {}, int language = 0);

    // The synchronisation has finished: stop the timers and end the dialog.
    void Finish();

  public slots:
    void accept() override;
    void reject() override;

  signals:
    // The dialog gave up waiting and has ended (sent unless the owner deleted it as it ended): the owner
    // shows `notice` for `periodMs`.
    void GaveUp(const QString& notice, int periodMs);

  private:
    void Step();
    void GiveUp();

    SyncDialogTiming m_timing;
    int m_language;
    QProgressBar* m_bar = nullptr;
    QTimer m_stepTimer;
    QTimer m_giveUpTimer;
};

}  // namespace varnoth
