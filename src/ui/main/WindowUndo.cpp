// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/WindowUndo.h"

#include <QAction>
#include <QMenu>

#include "session/DeviceSession.h"
#include "ui/main/MainWindow.h"
#include "ui/main/StepText.h"

namespace varnoth {

using namespace mainwin;

namespace {

constexpr Bilingual kCompareText{"A/B 比较", "Compare A/B"};
constexpr Bilingual kCopyText[2] = {{"复制 A 到 B", "Copy A to B"}, {"复制 B 到 A", "Copy B to A"}};
constexpr char kSetNames[2] = {'A', 'B'};
// What a screen reader hears after a switch: the set now live.
constexpr Bilingual kLiveSetText[2] = {{"A 组", "Set A"}, {"B 组", "Set B"}};

}  // namespace

WindowUndo::WindowUndo(MainWindow& window, DeviceSession& session)
    : m_window(window),
      m_session(session),
      m_title(window.windowTitle()),
      m_undoAction(new QAction(&window)),
      m_redoAction(new QAction(&window)),
      m_compareAction(new QAction(&window)),
      m_copyActions{new QAction(&window), new QAction(&window)},
      m_menu(new QMenu(&window)) {
    m_undoAction->setShortcut(QKeySequence::Undo);
    m_redoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QAction* action : {m_undoAction, m_redoAction}) {
        action->setShortcutContext(Qt::WindowShortcut);
        window.addAction(action);
        m_menu->addAction(action);
    }
    m_menu->addSeparator();
    m_compareAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    m_compareAction->setShortcutContext(Qt::WindowShortcut);
    window.addAction(m_compareAction);
    m_menu->addAction(m_compareAction);
    connect(m_compareAction, &QAction::triggered, this, &WindowUndo::SwitchCompare);
    for (int from = 0; from < 2; ++from) {
        m_menu->addAction(m_copyActions[from]);
        connect(m_copyActions[from], &QAction::triggered, this, [this, from] { CopyCompare(from); });
    }
    m_menu->setToolTipsVisible(true);
    connect(m_undoAction, &QAction::triggered, this, &WindowUndo::Undo);
    connect(m_redoAction, &QAction::triggered, this, &WindowUndo::Redo);
    window.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&window, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        UpdateActions();
        if (m_prepareMenu) {
            m_prepareMenu(m_window.mapToGlobal(at));
        }
        m_menu->popup(m_window.mapToGlobal(at));
    });
    UpdateActions();
}

WindowUndo::~WindowUndo() = default;

WindowUndo::Edit::Edit(WindowUndo& undo, UndoSource source, const std::string& action, bool wholeSet)
    : m_undo(undo) {
    if (m_undo.m_depth++ == 0) {
        m_undo.m_history.Begin(m_undo.m_session, source, m_undo.m_gesture, action, wholeSet);
    }
}

WindowUndo::Edit::~Edit() {
    if (--m_undo.m_depth == 0) {
        m_undo.m_history.End(m_undo.m_session);
        m_undo.UpdateActions();
    }
}

void WindowUndo::WheelTurned(QObject* control) {
    if (!m_wheel.Notch() || control != m_wheelControl) {
        NewGesture();
    }
    m_wheelControl = control;
}

void WindowUndo::Undo() {
    Apply(true);
}

void WindowUndo::Redo() {
    Apply(false);
}

void WindowUndo::Apply(bool undo) {
    if (m_depth != 0 || m_window.IsSyncing()) {
        return;
    }
    const EditStep* step = undo ? m_history.Undo(m_session) : m_history.Redo();
    if (step == nullptr) {
        return;
    }
    // The command's text as the menu showed it: "Undo: mic gain 80 → 64".
    QString said = QString::fromStdString(UndoCommandText(step, undo, m_window.Language()));
    if (step->wholeSet && !step->overtaken) {
        StoreStep(m_session, *step, undo);
        UpdateActions();
        m_session.SynchronizeData(true);
        m_window.Announce(said);
        m_window.ShowSyncDialog(&m_window);
        return;
    }
    ApplyStep(m_session, *step, undo);
    if (step->source.kind == UndoSource::Kind::Compare) {
        m_compare.Flip();
        ShowLiveSet();
        said += (m_window.Language() != 0 ? QStringLiteral(", ") : QStringLiteral("，")) + LiveSetText();
    }
    m_window.RefreshAll();
    UpdateActions();
    // Last, after the control with the focus has spoken its new value.
    m_window.Announce(said);
}

void WindowUndo::SwitchCompare() {
    if (m_depth != 0 || m_window.IsSyncing()) {
        return;
    }
    NewGesture();
    {
        const std::string action =
            std::string(kCompareText.In(m_window.Language())) + " → " + kSetNames[1 - m_compare.Live()];
        const Edit step(*this, UndoSource::Of(UndoSource::Kind::Compare), action);
        m_compare.Switch(m_session);
    }
    ShowLiveSet();
    m_window.RefreshAll();
    m_window.Announce(LiveSetText());
}

void WindowUndo::CopyCompare(int from) {
    if (m_depth != 0 || m_window.IsSyncing()) {
        return;
    }
    NewGesture();
    {
        const Edit step(*this, UndoSource::Of(UndoSource::Kind::CompareCopy),
                        kCopyText[from].In(m_window.Language()));
        m_compare.Copy(m_session, from);
    }
    ShowLiveSet();
    m_window.RefreshAll();
    m_window.Announce(QString::fromUtf8(kCopyText[from].In(m_window.Language())));
}

void WindowUndo::ShowLiveSet() {
    m_window.setWindowTitle(m_compare.Used()
                                ? m_title + QStringLiteral(" [%1]").arg(QChar(kSetNames[m_compare.Live()]))
                                : m_title);
}

QString WindowUndo::LiveSetText() const {
    return QString::fromUtf8(kLiveSetText[m_compare.Live()].In(m_window.Language()));
}

void WindowUndo::OnSynchronised() {
    if (!m_session.IsConnected()) {
        return;
    }
    const std::string amplifier =
        m_session.GetDevPath() + '\n' + m_session.GetDevName() + '\n' + m_session.GetDevDate();
    if (amplifier != m_amplifier) {
        if (!m_amplifier.empty()) {
            m_history.Clear();
            m_compare.Clear();
            ShowLiveSet();
        }
        m_amplifier = amplifier;
        UpdateActions();
    }
}

void WindowUndo::Follow(const char* name, std::uint8_t value) {
    if (const std::optional<std::size_t> parameter = WorkingSetPosition(name)) {
        m_history.Follow(*parameter, value);
        UpdateActions();
    }
}

void WindowUndo::UpdateActions() {
    const int language = m_window.Language();
    const auto set = [language](QAction* action, const EditStep* step, bool undo) {
        const QString text = QString::fromStdString(UndoCommandText(step, undo, language));
        action->setText(text);
        action->setToolTip(text);
        action->setEnabled(step != nullptr);
    };
    set(m_undoAction, m_history.NextUndo(), true);
    set(m_redoAction, m_history.NextRedo(), false);
    m_compareAction->setText(QString::fromUtf8(kCompareText.In(language)) +
                             QStringLiteral(" (%1)").arg(QChar(kSetNames[m_compare.Live()])));
    for (int from = 0; from < 2; ++from) {
        m_copyActions[from]->setText(QString::fromUtf8(kCopyText[from].In(language)));
    }
}

}  // namespace varnoth
