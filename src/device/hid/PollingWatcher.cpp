#include "device/hid/PollingWatcher.h"

#include <utility>

namespace varnoth {

PollingWatcher::PollingWatcher(std::shared_ptr<HidBackend> backend, std::chrono::milliseconds interval)
    : backend_(std::move(backend)), interval_(interval) {}

PollingWatcher::~PollingWatcher() {
    Stop();
}

bool PollingWatcher::Start(Callback callback) {
    Stop();
    {
        std::lock_guard lock(mutex_);
        stop_ = false;
    }
    thread_ = std::thread(&PollingWatcher::Run, this, std::move(callback), Paths());
    return true;
}

void PollingWatcher::Stop() {
    if (!thread_.joinable()) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    stopRequested_.notify_all();
    thread_.join();
}

std::set<std::string> PollingWatcher::Paths() {
    std::set<std::string> paths;
    for (auto& device : backend_->Enumerate({0, 0})) {
        paths.insert(std::move(device.path));
    }
    return paths;
}

void PollingWatcher::Run(Callback callback, std::set<std::string> known) {
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            if (stopRequested_.wait_for(lock, interval_, [this] { return stop_; })) {
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
