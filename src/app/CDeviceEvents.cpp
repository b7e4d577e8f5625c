#include "app/CDeviceEvents.h"

#include <mutex>

namespace varnoth {

// What the watcher's callback holds: the receiver while it lives.
struct CDeviceEvents::Gate {
    std::mutex mutex;
    CDeviceEvents* target = nullptr;  // guarded by mutex
};

CDeviceEvents::CDeviceEvents(QObject* parent) : QObject(parent), m_gate(std::make_shared<Gate>()) {
    m_gate->target = this;
}

CDeviceEvents::~CDeviceEvents() {
    std::lock_guard lock(m_gate->mutex);
    m_gate->target = nullptr;
}

CDeviceEvents::Callback CDeviceEvents::Sink() {
    return [gate = m_gate](bool arrived, const std::string& path) {
        std::lock_guard lock(gate->mutex);
        CDeviceEvents* target = gate->target;
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
