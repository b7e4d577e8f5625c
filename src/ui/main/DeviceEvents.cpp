// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/DeviceEvents.h"

#include <mutex>

namespace varnoth {

// What the watcher's callback holds: the receiver while it lives.
struct DeviceEvents::Gate {
    std::mutex mutex;
    DeviceEvents* target = nullptr;  // guarded by mutex
};

DeviceEvents::DeviceEvents(QObject* parent) : QObject(parent), m_gate(std::make_shared<Gate>()) {
    m_gate->target = this;
}

DeviceEvents::~DeviceEvents() {
    std::lock_guard lock(m_gate->mutex);
    m_gate->target = nullptr;
}

DeviceEvents::Callback DeviceEvents::Sink() {
    return [gate = m_gate](bool arrived, const std::string& path) {
        std::lock_guard lock(gate->mutex);
        DeviceEvents* target = gate->target;
        if (target == nullptr) {
            return;
        }
        const QString devicePath = QString::fromStdString(path);
        QMetaObject::invokeMethod(
            target, [target, arrived, devicePath] { emit target->deviceChanged(arrived, devicePath); },
            Qt::QueuedConnection);
    };
}

}  // namespace varnoth
