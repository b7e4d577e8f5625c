// SPDX-License-Identifier: GPL-3.0-or-later
#include "AccessibleEvents.h"

#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

namespace varnoth::test {

namespace {

AccessibleEvents* g_recorder = nullptr;

QPlatformAccessibility* Platform() {
    QPlatformIntegration* integration = QGuiApplicationPrivate::platformIntegration();
    return integration != nullptr ? integration->accessibility() : nullptr;
}

}  // namespace

AccessibleEvents::AccessibleEvents() : m_wasActive(QAccessible::isActive()) {
    g_recorder = this;
    m_previous = QAccessible::installUpdateHandler(&AccessibleEvents::Record);
    if (QPlatformAccessibility* platform = Platform()) {
        platform->setActive(true);
    }
}

AccessibleEvents::~AccessibleEvents() {
    if (QPlatformAccessibility* platform = Platform()) {
        platform->setActive(m_wasActive);
    }
    QAccessible::installUpdateHandler(m_previous);
    g_recorder = nullptr;
}

void AccessibleEvents::Record(QAccessibleEvent* event) {
    if (g_recorder == nullptr) {
        return;
    }
    Event kept{event->type(), event->object(), QAccessible::NoRole, {}, {}};
    if (QAccessibleInterface* node = event->accessibleInterface()) {
        kept.role = node->role();
        kept.name = node->text(QAccessible::Name);
    }
    if (event->type() == QAccessible::ValueChanged) {
        kept.value = static_cast<QAccessibleValueChangeEvent*>(event)->value().toString();
    }
    g_recorder->m_events.push_back(kept);
}

std::vector<AccessibleEvents::Event> AccessibleEvents::Of(QAccessible::Event type) const {
    std::vector<Event> found;
    for (const Event& event : m_events) {
        if (event.type == type) {
            found.push_back(event);
        }
    }
    return found;
}

std::vector<QString> AccessibleEvents::Notifications() const {
    std::vector<QString> names;
    for (const Event& event : Of(QAccessible::ObjectShow)) {
        if (event.role == QAccessible::Notification) {
            names.push_back(event.name);
        }
    }
    return names;
}

}  // namespace varnoth::test
