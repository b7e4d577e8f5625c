// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/hid/PollingWatcher.h"

#include <utility>

namespace varnoth {

PollingWatcher::PollingWatcher(std::shared_ptr<HidBackend> backend, std::chrono::milliseconds interval)
    : m_backend(std::move(backend)), m_interval(interval) {}

PollingWatcher::~PollingWatcher() {
    Stop();
}

bool PollingWatcher::Start(Callback callback) {
    Stop();
    {
        std::lock_guard lock(m_mutex);
        m_stop = false;
    }
    m_thread = std::thread(&PollingWatcher::Run, this, std::move(callback), Paths());
    return true;
}

void PollingWatcher::Stop() {
    if (!m_thread.joinable()) {
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_stopRequested.notify_all();
    m_thread.join();
}

std::set<std::string> PollingWatcher::Paths() {
    std::set<std::string> paths;
    for (auto& device : m_backend->Enumerate({0, 0})) {
        paths.insert(std::move(device.path));
    }
    return paths;
}

void PollingWatcher::Run(Callback callback, std::set<std::string> known) {
    for (;;) {
        {
            std::unique_lock lock(m_mutex);
            if (m_stopRequested.wait_for(lock, m_interval, [this] { return m_stop; })) {
                return;
            }
        }
        std::set<std::string> now = Paths();
        for (const auto& path : known) {
            if (!now.contains(path)) {
                callback(false, path);
            }
        }
        for (const auto& path : now) {
            if (!known.contains(path)) {
                callback(true, path);
            }
        }
        known = std::move(now);
    }
}

}  // namespace varnoth
