#include "DialogTestSupport.h"

#include <QAbstractButton>
#include <QDialog>
#include <QEventLoop>
#include <QTest>

#include "app/Language.h"
#include "features/CSynDlg.h"
#include "features/DialogTexts.h"

namespace varnoth::test {

namespace {

LinkTiming QuickStart() {
    LinkTiming timing;
    timing.syncStartDelay = std::chrono::milliseconds(1);
    timing.syncTailPause = std::chrono::milliseconds(1);
    return timing;
}

}  // namespace

void UseLanguage(int language) {
    LanguageTable table;
    ASSERT_TRUE(LoadLanguageTable(language, table));
    SetActiveLanguageTable(std::move(table));
}

void FakeHost::ShowSyncDialog(QWidget* over) {
    syncDialogsOver.push_back(over);
}

void UiObserver::OnKeyStudied(std::uint8_t keyCode) {
    QMetaObject::invokeMethod(
        this,
        [this, keyCode] {
            if (m_host.study) {
                m_host.study->OnKeyStudied(keyCode);
            }
        },
        Qt::BlockingQueuedConnection);
}

void UiObserver::OnSyncDone(int) {
    QMetaObject::invokeMethod(
        this, [this] { ++syncsDone; }, Qt::QueuedConnection);
}

void UiObserver::OnUpgradeDone() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_host.upgrade) {
                m_host.upgrade->OnUpgradeDone();
            }
        },
        Qt::QueuedConnection);
}

SimRig::SimRig() : session(provider, QuickStart()) {
    UseLanguage(kChinese);
}

SimRig::~SimRig() {
    session.Disconnect(false);
}

bool SimRig::Connect() {
    return session.TryConnDevice(&observer) == 1;
}

bool WaitFor(const std::function<bool()>& condition, int deadlineMs) {
    return QTest::qWaitFor(condition, deadlineMs);
}

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
