// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <optional>
#include <string>
#include <vector>

#include "session/ParameterTable.h"

class QAction;
class QMenu;
class QPoint;
class QWidget;

namespace varnoth {

class DeviceSession;
class MainWindow;
class WindowUndo;

// Quick resets to the parameters' defaults: Ctrl+click on a slider or on its name resets that slider's
// parameter; the context menu of each group of controls (the window's background menu over the group, and
// the EQ graphs' own menus) resets every parameter the group shows. Each reset is one undo step and sends
// only the parameters that were not at their default. An effect's parameters that its preset sets are reset
// to that preset's values: the effect's preset is chosen again, and the amplifier sets them. A locked master
// volume keeps its value and says so.
class QuickResets : public QObject {
    Q_OBJECT

  public:
    // The groups of controls, as framed on the window; the channel strip and the graphic EQ are those of
    // the shown path and page.
    enum class Group { Channel, Effect1, Effect2, AutoSub, Subwoofer, GraphicEq, Volumes };

    QuickResets(MainWindow& window, DeviceSession& session, WindowUndo& undo);
    ~QuickResets() override;

    // Resets the parameter of a slider (its template ID).
    void ResetSlider(int sliderId);
    void ResetGroup(Group group);
    // The group under a point in global coordinates.
    std::optional<Group> GroupAt(const QPoint& global) const;
    // The menu entry that resets a group, in the window's language.
    QString GroupEntry(Group group) const;
    // The background menu's entry: shown over a group, hidden elsewhere.
    QAction* GroupAction() const { return m_groupAction; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::vector<ParameterRef> GroupParameters(Group group) const;
    // Sets the parameters to their defaults as one step named `action`; those that the preset of their effect
    // sets, to its values.
    void Reset(const std::vector<ParameterRef>& params, const std::string& action);
    void AddToEqMenu(QMenu* menu, int controlId);
    // The slider a press on this widget resets, or 0.
    int SliderOf(const QObject* widget) const;

    MainWindow& m_window;
    DeviceSession& m_session;
    WindowUndo& m_undo;
    QAction* m_groupAction;
};

}  // namespace varnoth
