#include "DialogTestSupport.h"

#include <QAbstractButton>
#include <QDialog>
#include <QEventLoop>
#include <QTest>

#include "ui/dialogs/DialogTexts.h"
#include "ui/dialogs/SyncProgressDialog.h"
#include "ui/main/Language.h"

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

}  // namespace varnoth::test
