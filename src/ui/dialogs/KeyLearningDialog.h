// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>

#include <chrono>
#include <cstdint>

#include "ui/dialogs/DialogTemplate.h"

namespace varnoth {

class RemoteCodes;

// Waits, without a time limit, for the device to report the code of the key being learnt (the device has
// been asked already). The main window passes it the learnt code; the dialog shows it and closes a moment
// later. Every other way out, "放弃学习", Esc, the close box or the window going away, tells the device to
// stop learning. Modal.
class KeyLearningDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplateNumber = 205;
    static constexpr int kPromptId = 1106;
    static constexpr int kInstructionId = 1107;
    static constexpr int kCodeId = 1038;
    static constexpr int kClosingId = 1004;
    static constexpr int kGiveUpId = 3;
    static constexpr int kCloseId = 1;
    static const DialogTemplate& Template();

    // prompt: what key is being learnt. language: 0 Chinese, anything else English (the closing text).
    KeyLearningDialog(const QString& prompt, RemoteCodes& remote, int language,
                      std::chrono::milliseconds closeDelay = std::chrono::milliseconds(600),
                      QWidget* parent = nullptr);
    ~KeyLearningDialog() override;

  public slots:
    // The device has learnt the key; code is the key code.
    void OnKeyStudied(int code);

    // Enter does nothing.
    void accept() override {}
    // Every end of the dialog ("放弃学习", Esc, the close box, an end decided elsewhere) stops the device
    // learning, unless it has reported the key.
    void done(int result) override;

  private:
    // Tells the device to stop learning unless it has reported the key or been told already.
    void StopStudying();

    RemoteCodes& m_remote;
    bool m_studying = true;
    int m_language;
    std::chrono::milliseconds m_closeDelay;
    QTimer m_closeTimer;
};

}  // namespace varnoth
