// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/OfflineEdits.h"

#include <QAction>
#include <QMenu>

#include <utility>

#include "session/DeviceSession.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MainWindowTexts.h"
#include "ui/main/WindowUndo.h"

namespace varnoth {

using namespace mainwin;

namespace {

constexpr int kNoticeMs = 4000;

// %1 is a number of parameters.
constexpr Bilingual kOfflineNotice{
    "离线：未连接设备。更改保留在面板中，设备连接后可以发送。",
    "Offline: no amplifier is connected. The edits stay in the panel and can be "
    "sent when it is back."};
constexpr Bilingual kOfflineChanged{"离线 (%1)", "Offline (%1)"};
constexpr Bilingual kOfflineTip{
    "离线：面板中有 %1 项参数已更改，尚未发送到设备",
    "Offline: %1 parameter(s) changed in the panel, not sent to an amplifier yet"};
constexpr Bilingual kQuestionCaption{"离线更改", "Offline changes"};
constexpr Bilingual kQuestion{
    "设备未连接时在面板中更改的参数有 %1 项与设备当前的设置不同。\n"
    "把这些离线更改发送到设备吗？选择“否”则采用设备的设置。",
    "While the amplifier was not connected, the panel was changed: %1 parameter(s) "
    "differ from the amplifier's settings.\nSend the offline changes to the "
    "amplifier? No takes the amplifier's settings."};
constexpr Bilingual kKeptNotice{
    "已连接的设备采用其自身的设置；离线准备的参数已保留，可从窗口的右键菜单载入。",
    "This amplifier keeps its own settings; the set prepared offline is kept: load "
    "it from the window's context menu."};
constexpr Bilingual kLoadKeptText{"载入离线准备的参数（%1 项不同）",
                                  "Load the set prepared offline (%1 differ)"};
constexpr Bilingual kLoadKeptAction{"载入离线参数", "load the offline set"};

QString Text(const Bilingual& text, int language, int count = 0) {
    return QString::fromUtf8(text.In(language)).replace(QStringLiteral("%1"), QString::number(count));
}

int Differences(const WorkingSet& a, const WorkingSet& b) {
    if (a.size() != b.size()) {
        return 0;
    }
    int count = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        count += a[i] != b[i] ? 1 : 0;
    }
    return count;
}

}  // namespace

OfflineEdits::OfflineEdits(MainWindow& window, DeviceSession& session, WindowUndo& undo)
    : QObject(&window),
      m_window(window),
      m_session(session),
      m_undo(undo),
      m_loadKept(new QAction(&window)),
      m_reference(CaptureWorkingSet(session)) {
    undo.BackgroundMenu()->addSeparator();
    undo.BackgroundMenu()->addAction(m_loadKept);
    connect(m_loadKept, &QAction::triggered, this, &OfflineEdits::LoadKept);
    connect(undo.BackgroundMenu(), &QMenu::aboutToShow, this, &OfflineEdits::UpdateAction);
    connect(&window, &MainWindow::synchronised, this, &OfflineEdits::OnSynchronised);
    UpdateAction();
}

std::string OfflineEdits::Amplifier() const {
    return m_session.GetDevPath() + '\n' + m_session.GetDevName() + '\n' + m_session.GetDevDate();
}

void OfflineEdits::Disconnected() {
    if (m_offline) {
        return;
    }
    m_offline = true;
    m_told = false;
    m_reference = CaptureWorkingSet(m_session);
    m_leftAmplifier = m_amplifier;
    EndShowingPrepared();
}

void OfflineEdits::Connecting() {
    if (!m_offline) {
        return;
    }
    m_offline = false;
    const WorkingSet now = CaptureWorkingSet(m_session);
    m_prepared = Differences(now, m_reference) != 0 ? now : WorkingSet{};
    m_showsPrepared = !m_prepared.empty();
}

void OfflineEdits::EndShowingPrepared() {
    if (std::exchange(m_showsPrepared, false)) {
        m_window.RefreshAll();
    }
}

int OfflineEdits::Changed() const {
    return m_offline ? Differences(CaptureWorkingSet(m_session), m_reference) : 0;
}

QString OfflineEdits::StatusText() const {
    const int changed = Changed();
    return changed == 0 ? QString::fromUtf8(ConnectionText(false, m_window.Language()))
                        : Text(kOfflineChanged, m_window.Language(), changed);
}

QString OfflineEdits::StatusTip() const {
    const int changed = Changed();
    return changed == 0 ? QString() : Text(kOfflineTip, m_window.Language(), changed);
}

void OfflineEdits::StoreChanged() {
    if (!m_offline || m_session.IsConnected()) {
        return;
    }
    const int changed = Changed();
    m_window.SetStatus(0);
    if (changed != 0 && !m_told) {
        m_told = true;
        m_window.ShowNotice(Text(kOfflineNotice, m_window.Language()), kNoticeMs);
    }
}

void OfflineEdits::OnSynchronised(int direction) {
    if (direction != 0 || !m_session.IsConnected() || m_session.GetDevName().empty()) {
        EndShowingPrepared();
        return;
    }
    m_amplifier = Amplifier();
    if (m_prepared.empty()) {
        EndShowingPrepared();
        UpdateAction();
        return;
    }
    const WorkingSet prepared = m_prepared;
    const WorkingSet held = CaptureWorkingSet(m_session);
    // The offline changes on the amplifier's settings: what else it changed meanwhile stays.
    EditStep change;
    change.before = held;
    change.after = held;
    for (std::size_t i = 0; i < prepared.size() && i < held.size() && i < m_reference.size(); ++i) {
        if (prepared[i] != m_reference[i]) {
            change.after[i] = prepared[i];
        }
    }
    const int differ = Differences(change.after, held);
    const int language = m_window.Language();
    const bool send = differ != 0 && m_amplifier == m_leftAmplifier &&
                      m_window.Ask(Text(kQuestionCaption, language), Text(kQuestion, language, differ));
    m_prepared.clear();
    if (send) {
        ApplyStep(m_session, change, false);
    }
    EndShowingPrepared();
    if (differ == 0 || send) {
        m_undo.SettleOffline(true);
        return;
    }
    m_undo.SettleOffline(false);
    if (m_amplifier != m_leftAmplifier) {
        m_kept = prepared;
        m_window.ShowNotice(Text(kKeptNotice, language), kNoticeMs);
    }
    UpdateAction();
}

void OfflineEdits::LoadKept() {
    if (m_kept.empty() || m_window.IsSyncing()) {
        return;
    }
    m_undo.NewGesture();
    {
        const WindowUndo::Edit step(m_undo, UndoSource::Of(UndoSource::Kind::Command),
                                    kLoadKeptAction.In(m_window.Language()), true);
        EditStep change;
        change.before = CaptureWorkingSet(m_session);
        change.after = m_kept;
        StoreStep(m_session, change, false);
    }
    m_kept.clear();
    UpdateAction();
    m_session.SynchronizeData(true);
    m_window.ShowSyncDialog(&m_window);
}

void OfflineEdits::UpdateAction() {
    const int differ = m_kept.empty() ? 0 : Differences(m_kept, CaptureWorkingSet(m_session));
    m_loadKept->setText(Text(kLoadKeptText, m_window.Language(), differ));
    m_loadKept->setVisible(!m_kept.empty());
}

}  // namespace varnoth
