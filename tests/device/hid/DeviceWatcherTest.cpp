// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "FakeHidBackend.h"
#include "device/hid/PollingWatcher.h"
#include "device/hid/UdevWatcher.h"

namespace varnoth {
namespace {

using namespace std::chrono_literals;
using test::FakeHidBackend;
using Event = std::pair<bool, std::string>;

class Events {
  public:
    DeviceWatcher::Callback Callback() {
        return [this](bool arrived, const std::string& path) {
            std::lock_guard lock(m_mutex);
            m_events.emplace_back(arrived, path);
            m_changed.notify_all();
        };
    }
    bool WaitFor(std::size_t count) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, 10s, [&] { return m_events.size() >= count; });
    }
    std::vector<Event> Take() {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_events, {});
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Event> m_events;
};

TEST(PollingWatcher, ReportsArrivalsAndRemovalsOfAnyHidDevice) {
    auto backend = std::make_shared<FakeHidBackend>();
    backend->Add("/dev/hidraw0", {0x046d, 0xc52b});
    PollingWatcher watcher(backend, 5ms);
    Events events;
    ASSERT_TRUE(watcher.Start(events.Callback()));

    backend->Add("/dev/hidraw1", kNormalIds);
    ASSERT_TRUE(events.WaitFor(1));
    EXPECT_EQ(events.Take(), (std::vector<Event>{{true, "/dev/hidraw1"}}))
        << "a device present at the start is not reported";

    backend->Remove("/dev/hidraw0");
    ASSERT_TRUE(events.WaitFor(1));
    EXPECT_EQ(events.Take(), (std::vector<Event>{{false, "/dev/hidraw0"}}));

    watcher.Stop();
    backend->Add("/dev/hidraw2", kUpgradeIds);
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(events.Take().empty()) << "nothing is reported after Stop";
}

TEST(UdevWatcher, StartsAndStopsWithoutEvents) {
    UdevWatcher watcher;
    Events events;
    if (!watcher.Start(events.Callback())) {
        GTEST_SKIP() << "no udev monitor in this environment";
    }
    watcher.Stop();
    watcher.Stop();
    EXPECT_TRUE(events.Take().empty());
}

}  // namespace
}  // namespace varnoth
