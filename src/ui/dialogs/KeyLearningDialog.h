#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>

#include <chrono>
#include <cstdint>

#include "ui/dialogs/DialogTemplate.h"

namespace varnoth {

class RemoteCodes;

// Waits, without a time limit, for the device to report the code of the key being learnt. The main window
// passes it the learnt code; the dialog shows it and closes a moment later. "放弃学习" tells the device to
// stop learning; Esc and the close box only close the dialog. Modal.
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

  public slots:
    // The device has learnt the key; code is the key code.
    void OnKeyStudied(int code);

    // Enter does nothing.
    void accept() override {}

  private:
    void GiveUp();

    RemoteCodes& m_remote;
    int m_language;
    std::chrono::milliseconds m_closeDelay;
    QTimer m_closeTimer;
};

}  // namespace varnoth
