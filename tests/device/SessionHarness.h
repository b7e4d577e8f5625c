// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <ostream>
#include <vector>

#include "FakeTransport.h"
#include "session/DeviceSession.h"

namespace varnoth::test {

// One register write as the device receives it.
struct Write {
    int block;
    int index;
    int channel;
    int value;
    bool operator==(const Write&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Write& w) {
    return out << "(" << w.block << ", " << w.index << ", " << w.channel << ", " << w.value << ")";
}

// The register writes among the reports.
inline std::vector<Write> WritesIn(const std::vector<Report>& reports) {
    std::vector<Write> writes;
    for (const Report& r : reports) {
        if (r[1] == 0x09) {
            writes.push_back({r[2], r[3], r[4], r[5]});
        }
    }
    return writes;
}

class RecordingObserver : public SessionObserver {
  public:
    void OnKeyStudied(std::uint8_t keyCode) override {
        std::lock_guard lock(m_mutex);
        m_keys.push_back(keyCode);
    }
    void OnSyncDone(int direction) override {
        {
            std::lock_guard lock(m_mutex);
            m_syncs.push_back(direction);
        }
        m_cv.notify_all();
    }
    std::vector<int> Keys() const {
        std::lock_guard lock(m_mutex);
        return m_keys;
    }
    std::vector<int> Syncs() const {
        std::lock_guard lock(m_mutex);
        return m_syncs;
    }
    bool WaitForSyncs(std::size_t count, std::chrono::milliseconds deadline = 20s) const {
        std::unique_lock lock(m_mutex);
        return m_cv.wait_for(lock, deadline, [&] { return m_syncs.size() >= count; });
    }

  private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_cv;
    std::vector<int> m_keys;
    std::vector<int> m_syncs;
};

// Fast worker delays; the reply wait keeps its default since the fake device answers at once.
inline LinkTiming FastTiming() {
    LinkTiming timing;
    timing.syncStartDelay = std::chrono::milliseconds(1);
    timing.syncTailPause = std::chrono::milliseconds(1);
    return timing;
}

// A session on a fake device.
struct SessionHarness {
    explicit SessionHarness(LinkTiming timing = FastTiming())
        : session(std::make_unique<DeviceSession>(provider, timing)) {}

    // Connects and forgets what was sent so far.
    bool Connect() {
        const bool connected = session->Connect(&observer) == 1;
        wire->ClearSent();
        return connected;
    }

    std::vector<Write> Writes() const { return WritesIn(wire->Sent()); }

    // Delivers a reply as the reader thread does; false when the session did not take it in time.
    bool Reply(const Report& report) {
        wire->Inject(report);
        return wire->WaitUntilIdle();
    }

    std::shared_ptr<FakeWire> wire = std::make_shared<FakeWire>();
    std::shared_ptr<FakeProvider> provider = std::make_shared<FakeProvider>(wire);
    RecordingObserver observer;
    std::unique_ptr<DeviceSession> session;
};

// A test on a session connected to a fake device.
class ConnectedSessionTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(h.Connect()); }

    // Delivers a reply to the session as the reader thread does, and waits until it is taken.
    void Reply(const Report& report) { ASSERT_TRUE(h.Reply(report)); }

    SessionHarness h;
};

}  // namespace varnoth::test
