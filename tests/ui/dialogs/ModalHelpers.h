// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMessageBox>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

// Driving modal dialogs and message boxes from a test: actions run from within whatever modal loop runs.
namespace varnoth::test {

inline constexpr int kModalDeadlineMs = 60000;

// Runs action once on the user-interface thread, from within whatever modal loop runs, as soon as condition
// holds. The returned timer stops when it has run; destroying it cancels the action.
std::unique_ptr<QTimer> When(std::function<bool()> condition, std::function<void()> action);

// The message box on the screen, or nullptr.
QMessageBox* VisibleQuestion();

// Answers the next message box with `answer` and keeps its caption and text as "caption|text".
std::unique_ptr<QTimer> AnswerQuestion(QMessageBox::StandardButton answer, QString* text = nullptr);

// Closes every modal dialog still open after the deadline, so that a failing test ends.
class ModalWatchdog {
  public:
    explicit ModalWatchdog(int deadlineMs = kModalDeadlineMs);
    bool Fired() const { return m_fired; }

  private:
    QTimer m_timer;
    bool m_fired = false;
};

}  // namespace varnoth::test
