// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "../Collector.h"
#include "FakeHidBackend.h"
#include "device/hid/PollingWatcher.h"
#include "device/hid/UdevWatcher.h"

namespace varnoth {
namespace {

using namespace std::chrono_literals;
using test::FakeHidBackend;
using Event = std::pair<bool, std::string>;

// What a watcher reports.
class Events : public test::Collector<Event> {
  public:
    DeviceWatcher::Callback Callback() {
        return [this](bool arrived, const std::string& path) { Add({arrived, path}); };
    }
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
    // A second watcher at the same pace sees the next change: the stopped one had as long to report the
    // arrival before it.
    PollingWatcher later(backend, 5ms);
    Events laterEvents;
    ASSERT_TRUE(later.Start(laterEvents.Callback()));
    backend->Remove("/dev/hidraw2");
    ASSERT_TRUE(laterEvents.WaitFor(1));
    later.Stop();
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
