// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

namespace varnoth {

// Tells a screen reader what just happened without taking the keyboard focus: "Undo: mic gain 80 → 64".
// A widget of no size that sighted users never see, whose role is a notification named by its message.
// Each message renames it and shows it anew: the accessibility bridge reports a notification that becomes
// showing, which Orca speaks as it comes, after whatever the control with the focus said.
class Announcer : public QWidget {
    Q_OBJECT

  public:
    explicit Announcer(QWidget* parent);

    // Speaks `message` (in the language of the window it belongs to).
    void Announce(const QString& message);
    // The last message, empty before the first.
    QString Message() const { return accessibleName(); }
};

}  // namespace varnoth
