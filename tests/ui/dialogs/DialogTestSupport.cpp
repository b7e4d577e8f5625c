// SPDX-License-Identifier: GPL-3.0-or-later
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

LinkTiming QuickStart(std::chrono::milliseconds replyWait) {
    LinkTiming timing;
    timing.replyWait = replyWait;
    timing.syncStartDelay = std::chrono::milliseconds(1);
    timing.syncTailPause = std::chrono::milliseconds(1);
    timing.upgradeStartDelay = std::chrono::milliseconds(1);
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

SimRig::SimRig(std::chrono::milliseconds replyWait) : session(provider, QuickStart(replyWait)) {
    UseLanguage(kChinese);
}

SimRig::~SimRig() {
    session.Disconnect(false);
}

bool SimRig::Connect() {
    return session.Connect(&observer) == 1;
}

const char* NameOf(AmpState state) {
    switch (state) {
        case AmpState::Connected:
            return "connected";
        case AmpState::Disconnected:
            return "disconnected";
        case AmpState::UpgradeMode:
            return "upgrade mode";
        case AmpState::WriteFails:
            return "write fails";
    }
    return "?";
}

void SimRig::Settle() {
    session.WaitUntilSent(std::chrono::milliseconds(kDeadlineMs));
    QCoreApplication::processEvents();
}

bool SimRig::Enter(AmpState state) {
    session.SetWaitForTransfers(false);
    switch (state) {
        case AmpState::Disconnected:
            return !session.IsConnected();
        case AmpState::Connected:
            return Connect() && !session.InUpgradeMode();
        case AmpState::UpgradeMode:
            provider->Unplug();
            amp->SetUpgradeMode(true);
            provider->Plug();
            return Connect() && session.InUpgradeMode();
        case AmpState::WriteFails:
            if (!Connect()) {
                return false;
            }
            // The link is gone before the watcher has told anyone: the session still counts as connected.
            provider->Unplug();
            return session.IsConnected();
    }
    return false;
}

bool WaitFor(const std::function<bool()>& condition, int deadlineMs) {
    return QTest::qWaitFor(condition, deadlineMs);
}

}  // namespace varnoth::test
