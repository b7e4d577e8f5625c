// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/SessionEvents.h"

#include <QThread>

#include <memory>
#include <utility>

namespace varnoth {

SessionEvents::SessionEvents(QObject* parent) : QObject(parent) {}

SessionEvents::~SessionEvents() {
    Shutdown();
}

void SessionEvents::OnKeyStudied(std::uint8_t keyCode) {
    Send([this, keyCode] { emit keyStudied(keyCode); });
}

void SessionEvents::OnSyncDone(int direction) {
    auto emitter = [this, direction] { emit syncDone(direction); };
    if (direction == 0) {
        Post(emitter);
    } else {
        Send(emitter);
    }
}

void SessionEvents::OnUpgradeDone() {
    Post([this] { emit upgradeDone(); });
}

void SessionEvents::OnAnswering(bool answering) {
    Post([this, answering] { emit answeringChanged(answering); });
}

void SessionEvents::OnVolumesFollowed() {
    Post([this] { emit volumesFollowed(); });
}

void SessionEvents::OnStoreChanged() {
    Post([this] { emit storeChanged(); });
}

void SessionEvents::Post(std::function<void()> emitter) {
    if (IsShutDown()) {
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this, emitter = std::move(emitter)] {
            if (!IsShutDown()) {
                emitter();
            }
        },
        Qt::QueuedConnection);
}

void SessionEvents::Send(std::function<void()> emitter) {
    if (QThread::currentThread() == thread()) {
        if (!IsShutDown()) {
            emitter();
        }
        return;
    }
    auto handled = std::make_shared<bool>(false);  // guarded by m_mutex
    {
        std::lock_guard lock(m_mutex);
        if (m_shutDown) {
            return;
        }
    }
    QMetaObject::invokeMethod(
        this,
        [this, handled, emitter = std::move(emitter)] {
            if (!IsShutDown()) {
                emitter();
            }
            {
                std::lock_guard lock(m_mutex);
                *handled = true;
            }
            m_handled.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(m_mutex);
    m_handled.wait(lock, [&] { return *handled || m_shutDown || m_releases > 0; });
}

void SessionEvents::Shutdown() {
    {
        std::lock_guard lock(m_mutex);
        m_shutDown = true;
    }
    m_handled.notify_all();
}

bool SessionEvents::IsShutDown() const {
    std::lock_guard lock(m_mutex);
    return m_shutDown;
}

void SessionEvents::SetReleased(int change) {
    {
        std::lock_guard lock(m_mutex);
        m_releases += change;
    }
    m_handled.notify_all();
}

SessionEvents::Release::Release(SessionEvents& events) : m_events(events) {
    m_events.SetReleased(1);
}

SessionEvents::Release::~Release() {
    m_events.SetReleased(-1);
}

}  // namespace varnoth
