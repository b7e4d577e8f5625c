#include "ui/main/WindowUndo.h"

#include <QAction>
#include <QMenu>

#include "session/DeviceSession.h"
#include "ui/main/MainWindow.h"
#include "ui/main/StepText.h"

namespace varnoth {

using namespace mainwin;

WindowUndo::WindowUndo(MainWindow& window, DeviceSession& session)
    : m_window(window),
      m_session(session),
      m_undoAction(new QAction(&window)),
      m_redoAction(new QAction(&window)),
      m_menu(new QMenu(&window)) {
    m_undoAction->setShortcut(QKeySequence::Undo);
    m_redoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QAction* action : {m_undoAction, m_redoAction}) {
        action->setShortcutContext(Qt::WindowShortcut);
        window.addAction(action);
        m_menu->addAction(action);
    }
    m_menu->setToolTipsVisible(true);
    connect(m_undoAction, &QAction::triggered, this, &WindowUndo::Undo);
    connect(m_redoAction, &QAction::triggered, this, &WindowUndo::Redo);
    window.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&window, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        UpdateActions();
        m_menu->popup(m_window.mapToGlobal(at));
    });
    UpdateActions();
}

WindowUndo::~WindowUndo() = default;

WindowUndo::Edit::Edit(WindowUndo& undo, int source, const std::string& action, bool wholeSet)
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
    if (step->wholeSet) {
        StoreStep(m_session, *step, undo);
        UpdateActions();
        m_session.SynchronizeData(true);
        m_window.ShowSyncDialog(&m_window);
        return;
    }
    ApplyStep(m_session, *step, undo);
    m_window.RefreshAll();
    UpdateActions();
}

void WindowUndo::OnSynchronised() {
    if (m_session.IsConnected() == 0) {
        return;
    }
    const std::string amplifier =
        m_session.GetDevPath() + '\n' + m_session.GetDevName() + '\n' + m_session.GetDevDate();
    if (amplifier != m_amplifier) {
        if (!m_amplifier.empty()) {
            m_history.Clear();
        }
        m_amplifier = amplifier;
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
}

}  // namespace varnoth
