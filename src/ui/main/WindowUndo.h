#pragma once

#include <QObject>
#include <QPoint>

#include <string>

#include "session/EditHistory.h"

class QAction;
class QMenu;

namespace varnoth {

class DeviceSession;
class MainWindow;

// Undo and redo of the main window's edits: the history of this connection, the two commands with their
// keys (Ctrl+Z; Ctrl+Shift+Z and Ctrl+Y) and the context menu of the window's background. Undoing sends
// only what the step changed; a memory mode or file load is undone and redone by a write-all with the
// progress dialog. The history is cleared when another amplifier has been synchronised.
class WindowUndo : public QObject {
    Q_OBJECT

  public:
    WindowUndo(MainWindow& window, DeviceSession& session);
    ~WindowUndo() override;

    // One edit of the user's: what the session holds before and after its life is one step, or part of the
    // step of the same source and gesture. Nested edits belong to the outermost one.
    class Edit {
      public:
        Edit(WindowUndo& undo, int source, const std::string& action, bool wholeSet = false);
        ~Edit();
        Edit(const Edit&) = delete;
        Edit& operator=(const Edit&) = delete;

      private:
        WindowUndo& m_undo;
    };

    // A press of a mouse button or a key starts a new gesture: a drag is one gesture.
    void NewGesture() { ++m_gesture; }
    void Undo();
    void Redo();
    // After every synchronisation: a different amplifier starts a history of its own.
    void OnSynchronised();
    // The commands' texts and tooltips name the step they take, in the window's language.
    void UpdateActions();

    QAction* UndoAction() const { return m_undoAction; }
    QAction* RedoAction() const { return m_redoAction; }
    QMenu* BackgroundMenu() const { return m_menu; }
    const EditHistory& History() const { return m_history; }

  private:
    void Apply(bool undo);

    MainWindow& m_window;
    DeviceSession& m_session;
    EditHistory m_history;
    QAction* m_undoAction;
    QAction* m_redoAction;
    QMenu* m_menu;
    unsigned m_gesture = 0;
    int m_depth = 0;
    std::string m_amplifier;
};

}  // namespace varnoth
