// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModalHelpers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>

namespace varnoth::test {

std::unique_ptr<QTimer> When(std::function<bool()> condition, std::function<void()> action) {
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(10);
    QTimer* raw = timer.get();
    QObject::connect(raw, &QTimer::timeout, raw,
                     [raw, condition = std::move(condition), action = std::move(action)] {
                         if (condition()) {
                             raw->stop();
                             action();
                         }
                     });
    timer->start();
    return timer;
}

QMessageBox* VisibleQuestion() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box != nullptr && box->isVisible()) {
            return box;
        }
    }
    return nullptr;
}

std::unique_ptr<QTimer> AnswerQuestion(QMessageBox::StandardButton answer, QString* text) {
    return When([] { return VisibleQuestion() != nullptr; },
                [answer, text] {
                    QMessageBox* box = VisibleQuestion();
                    if (text != nullptr) {
                        *text = box->windowTitle() + "|" + box->text();
                    }
                    box->button(answer)->click();
                });
}

ModalWatchdog::ModalWatchdog(int deadlineMs) {
    m_timer.setSingleShot(true);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        m_fired = true;
        for (int i = 0; i < 10 && QApplication::activeModalWidget() != nullptr; ++i) {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->done(QDialog::Rejected);
            } else {
                modal->close();
            }
            QCoreApplication::processEvents();
        }
    });
    m_timer.start(deadlineMs);
}

}  // namespace varnoth::test
