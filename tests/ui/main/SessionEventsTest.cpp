// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "ui/main/DeviceEvents.h"
#include "ui/main/SessionEvents.h"

namespace varnoth {
namespace {

constexpr int kDeadlineMs = 60000;

// Whether the thread of this process sleeps, blocked in a wait, as the kernel tells.
bool Sleeping(pid_t thread) {
    std::ifstream stat("/proc/self/task/" + std::to_string(thread) + "/stat");
    const std::string text{std::istreambuf_iterator<char>(stat), std::istreambuf_iterator<char>()};
    const std::size_t name = text.rfind(')');  // the state follows the parenthesised name
    return name != std::string::npos && name + 2 < text.size() && text[name + 2] == 'S';
}

TEST(SessionEvents, ASentNotificationReturnsOnlyAfterItWasHandledOnThisThread) {
    SessionEvents events;
    std::atomic<bool> returned{false};
    std::vector<int> handled;
    bool handledBeforeReturn = false;
    QObject::connect(&events, &SessionEvents::syncDone, [&](int direction) {
        EXPECT_EQ(QThread::currentThread(), events.thread());
        handledBeforeReturn = !returned.load();
        handled.push_back(direction);
    });
    std::thread worker([&] {
        events.OnSyncDone(1);
        returned = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return returned.load(); }, kDeadlineMs));
    worker.join();
    EXPECT_EQ(handled, std::vector<int>{1});
    EXPECT_TRUE(handledBeforeReturn);
}

TEST(SessionEvents, APostedNotificationDoesNotWait) {
    SessionEvents events;
    int handled = 0;
    QObject::connect(&events, &SessionEvents::syncDone, [&](int direction) { handled += direction == 0; });
    QObject::connect(&events, &SessionEvents::upgradeDone, [&] { handled += 10; });
    std::thread([&] {
        events.OnSyncDone(0);
        events.OnUpgradeDone();
    }).join();
    EXPECT_EQ(handled, 0) << "nothing runs before this thread's event loop does";
    EXPECT_TRUE(QTest::qWaitFor([&] { return handled == 11; }, kDeadlineMs));
}

TEST(SessionEvents, WhileReleasedASenderGoesOnAndItsNotificationStillArrives) {
    SessionEvents events;
    std::vector<int> keys;
    QObject::connect(&events, &SessionEvents::keyStudied, [&](int key) { keys.push_back(key); });
    {
        // What disconnecting does: this thread waits for the reader, which must not wait for this thread.
        const SessionEvents::Release release(events);
        std::thread reader([&] { events.OnKeyStudied(7); });
        reader.join();
    }
    EXPECT_TRUE(keys.empty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return keys.size() == 1; }, kDeadlineMs));
    EXPECT_EQ(keys[0], 7);
}

TEST(SessionEvents, ShutDownFreesAWaitingSenderAndDropsWhatFollows) {
    SessionEvents events;
    int handled = 0;
    QObject::connect(&events, &SessionEvents::syncDone, [&] { ++handled; });
    std::atomic<pid_t> sender{0};
    std::thread worker([&] {
        sender = gettid();
        events.OnSyncDone(1);
    });
    // The worker waits for its notification to be handled on this thread, which handles nothing meanwhile.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kDeadlineMs);
    while ((sender.load() == 0 || !Sleeping(sender.load())) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_TRUE(Sleeping(sender.load())) << "the sender never waited";
    events.Shutdown();
    worker.join();
    std::thread([&] {
        events.OnSyncDone(1);
        events.OnSyncDone(0);
    }).join();
    // Everything posted to the events so far is handled now: a signal it carried would have been emitted.
    QCoreApplication::sendPostedEvents(&events);
    EXPECT_EQ(handled, 0);
}

TEST(DeviceEvents, ReportsFromAWatcherThreadArriveInOrderOnThisThread) {
    std::vector<std::pair<bool, QString>> seen;
    DeviceEvents::Callback sink;
    {
        DeviceEvents events;
        QObject::connect(&events, &DeviceEvents::deviceChanged, [&](bool arrived, const QString& path) {
            EXPECT_EQ(QThread::currentThread(), events.thread());
            seen.emplace_back(arrived, path);
        });
        sink = events.Sink();
        std::thread([&] {
            sink(true, "/dev/hidraw3");
            sink(false, "/dev/hidraw3");
        }).join();
        EXPECT_TRUE(QTest::qWaitFor([&] { return seen.size() == 2; }, kDeadlineMs));
    }
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_TRUE(seen[0].first);
    EXPECT_FALSE(seen[1].first);
    EXPECT_EQ(seen[1].second, "/dev/hidraw3");
    std::thread([&] { sink(true, "/dev/hidraw4"); }).join();  // the receiver has gone: nothing happens
    QCoreApplication::processEvents();
    EXPECT_EQ(seen.size(), 2u);
}

}  // namespace
}  // namespace varnoth
