#include "app/CSessionEvents.h"

#include <QThread>

#include <memory>
#include <utility>

namespace varnoth {

CSessionEvents::CSessionEvents(QObject* parent) : QObject(parent) {}

CSessionEvents::~CSessionEvents() {
    Shutdown();
}

void CSessionEvents::OnKeyStudied(std::uint8_t keyCode) {
    Send([this, keyCode] { emit keyStudied(keyCode); });
}

void CSessionEvents::OnSyncDone(int wParam) {
    auto emitter = [this, wParam] { emit syncDone(wParam); };
    if (wParam == 0) {
        Post(emitter);
    } else {
        Send(emitter);
    }
}

void CSessionEvents::OnUpgradeDone() {
    Post([this] { emit upgradeDone(); });
}

void CSessionEvents::Post(std::function<void()> emitter) {
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

void CSessionEvents::Send(std::function<void()> emitter) {
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

void CSessionEvents::Shutdown() {
    {
        std::lock_guard lock(m_mutex);
        m_shutDown = true;
    }
    m_handled.notify_all();
}

bool CSessionEvents::IsShutDown() const {
    std::lock_guard lock(m_mutex);
    return m_shutDown;
}

void CSessionEvents::SetReleased(int change) {
    {
        std::lock_guard lock(m_mutex);
        m_releases += change;
    }
    m_handled.notify_all();
}

CSessionEvents::Release::Release(CSessionEvents& events) : m_events(events) {
    m_events.SetReleased(1);
}

CSessionEvents::Release::~Release() {
    m_events.SetReleased(-1);
}

}  // namespace varnoth
