// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QObject>
#include <QPointer>
#include <QString>

#include <vector>

namespace varnoth::test {

// What a screen reader would be told while one lives: the platform's accessibility is switched on (the
// offscreen platform has no bridge to switch it on by itself) and every event is kept, with what the
// accessibility bridge would read of its object then.
class AccessibleEvents {
  public:
    struct Event {
        QAccessible::Event type;
        QPointer<QObject> object;
        QAccessible::Role role;
        QString name;   // the object's name as the event went out
        QString value;  // a value change's value
    };

    AccessibleEvents();
    ~AccessibleEvents();
    AccessibleEvents(const AccessibleEvents&) = delete;
    AccessibleEvents& operator=(const AccessibleEvents&) = delete;

    const std::vector<Event>& All() const { return m_events; }
    void Clear() { m_events.clear(); }
    // The events of a type, in order.
    std::vector<Event> Of(QAccessible::Event type) const;
    // What a screen reader speaks of its own accord without the focus: the notifications that became
    // showing, by name, in order.
    std::vector<QString> Notifications() const;

  private:
    static void Record(QAccessibleEvent* event);

    std::vector<Event> m_events;
    QAccessible::UpdateHandler m_previous;
    bool m_wasActive;
};

}  // namespace varnoth::test
