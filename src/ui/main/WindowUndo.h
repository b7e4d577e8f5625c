// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <functional>
#include <string>
#include <utility>

#include "session/CompareSets.h"
#include "session/EditHistory.h"
#include "ui/controls/WheelGesture.h"

class QAction;
class QMenu;

namespace varnoth {

class DeviceSession;
class MainWindow;

// Undo and redo of the main window's edits: the history of this connection, the two commands with their
// keys (Ctrl+Z; Ctrl+Shift+Z and Ctrl+Y) and the context menu of the window's background. Undoing sends
// only what the step changed; a memory mode or file load is undone and redone by a write-all with the
// progress dialog. The history is cleared when another amplifier has been synchronised.
//
// The same menu compares two working sets A and B (Ctrl+B switches, "Copy A to B" and back); the window's
// title shows which one is live once comparing has begun. A switch is a step of the history like any edit.
//
// A screen reader hears each of these as it happens, in the window's language: "Undo: mic gain 80 → 64"
// (the command's text), "Set B", "Copy A to B".
class WindowUndo : public QObject {
    Q_OBJECT

  public:
    WindowUndo(MainWindow& window, DeviceSession& session);
    ~WindowUndo() override;

    // One edit of the user's: what the session holds before and after its life is one step, or part of the
    // step of the same source and gesture. Nested edits belong to the outermost one.
    class Edit {
      public:
        Edit(WindowUndo& undo, UndoSource source, const std::string& action, bool wholeSet = false);
        ~Edit();
        Edit(const Edit&) = delete;
        Edit& operator=(const Edit&) = delete;

      private:
        WindowUndo& m_undo;
    };

    // A press of a mouse button or a key starts a new gesture: a drag is one gesture.
    void NewGesture() { ++m_gesture; }
    // Within an Edit: the effect's preset was chosen again; the step takes its values as they are read back.
    void PresetReloaded(int effect) { m_history.PresetReloaded(effect); }
    // A notch of the wheel over a control: notches on the same control that follow each other closely
    // (WheelGesture) are one gesture, as a drag is.
    void WheelTurned(QObject* control);
    // Tests give the wheel's gestures a clock of their own.
    void SetWheelClock(WheelGesture::Clock clock) { m_wheel.SetClock(std::move(clock)); }
    void Undo();
    void Redo();
    // After every synchronisation: a different amplifier starts a history of its own.
    void OnSynchronised();
    // The edits made offline were sent (keep) or given up for the amplifier's settings.
    void SettleOffline(bool keep) {
        m_history.SettleOffline(keep);
        UpdateActions();
    }
    // The amplifier itself set the parameter NAME to value: no step undoes or redoes it any more.
    void Follow(const char* name, std::uint8_t value);
    // The commands' texts and tooltips name the step they take, in the window's language.
    void UpdateActions();

    // A/B compare.
    void SwitchCompare();
    void CopyCompare(int from);
    const CompareSets& Compare() const { return m_compare; }

    QAction* UndoAction() const { return m_undoAction; }
    QAction* RedoAction() const { return m_redoAction; }
    QAction* CompareAction() const { return m_compareAction; }
    QAction* CopyAction(int from) const { return m_copyActions[from]; }
    QMenu* BackgroundMenu() const { return m_menu; }
    // Runs before the background menu shows at a point (global coordinates): other entries follow it.
    void SetMenuPreparer(std::function<void(const QPoint& global)> prepare) {
        m_prepareMenu = std::move(prepare);
    }
    const EditHistory& History() const { return m_history; }

  private:
    void Apply(bool undo);
    void ShowLiveSet();
    QString LiveSetText() const;

    MainWindow& m_window;
    DeviceSession& m_session;
    EditHistory m_history;
    CompareSets m_compare;
    QString m_title;
    QAction* m_undoAction;
    QAction* m_redoAction;
    QAction* m_compareAction;
    QAction* m_copyActions[2];
    QMenu* m_menu;
    std::function<void(const QPoint&)> m_prepareMenu;
    unsigned m_gesture = 0;
    QPointer<QObject> m_wheelControl;
    WheelGesture m_wheel;
    int m_depth = 0;
    std::string m_amplifier;
};

}  // namespace varnoth
