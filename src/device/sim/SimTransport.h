// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "device/Transport.h"
#include "device/sim/VirtualAmp.h"

namespace varnoth {

// Faults the in-process link can add to the replies of the virtual amplifier. Every choice is
// deterministic: the same reports give the same replies.
struct SimFaults {
    std::chrono::milliseconds latency{0};  // each reply arrives this long after its command
    std::chrono::milliseconds jitter{0};   // and up to this much later again, chosen by jitterSeed
    std::uint64_t jitterSeed = 1;
    unsigned dropEvery = 0;     // every n-th reply is lost (0: none)
    double dropFraction = 0.0;  // this fraction of the replies is lost, chosen by dropSeed
    std::uint64_t dropSeed = 1;
    bool silent = false;            // no reply arrives at all
    std::uint64_t vanishAfter = 0;  // the device vanishes right after taking this many reports (0: never)
};

// The link to a VirtualAmp inside the process. Transfer hands each report to the amplifier at once and
// queues its reply (and any reply the amplifier sends unasked) for the reader thread, or for ReadOne while
// no reader runs. Once the device has vanished (vanishAfter reached, Vanish(), or the presence flag given by
// the provider cleared by an unplug) Transfer returns 0, ReadOne returns nothing and the reader delivers
// nothing more; when it vanished by vanishAfter, onVanished is called once, as a removal would be noticed.
// Transfer refuses (returns 0) a report whose byte 0 is not the output report ID 2, as the
// HID driver does.
class SimTransport : public Transport {
  public:
    using Presence = std::shared_ptr<const std::atomic<bool>>;

    explicit SimTransport(std::shared_ptr<VirtualAmp> amp, SimFaults faults = {}, Presence presence = nullptr,
                          std::function<void()> onVanished = {});
    ~SimTransport() override;

    SimTransport(const SimTransport&) = delete;
    SimTransport& operator=(const SimTransport&) = delete;

    int Transfer(const Report& report) override;
    void StartReader(Deliver deliver) override;
    bool StopReader(std::chrono::milliseconds timeout) override;
    std::optional<Report> ReadOne(std::chrono::milliseconds timeout) override;

    // Applies to the replies queued from now on.
    void SetFaults(const SimFaults& faults);
    void Vanish();
    bool Vanished() const;
    std::uint64_t RepliesDropped() const;

  private:
    using TimePoint = std::chrono::steady_clock::time_point;
    struct Pending {
        Report report;
        TimePoint due;
    };

    // How long before a reply is due the reader stops sleeping and watches the clock.
    static constexpr std::chrono::microseconds kAwakeStretch{150};

    bool GoneLocked() const;
    // Waits (the lock held by the caller, released meanwhile) until due or until woken.
    void WaitUntilDue(std::unique_lock<std::mutex>& lock, TimePoint due);
    void QueueLocked(const Report& reply);
    void ReaderLoop(Deliver deliver);
    bool ReaderRunningLocked() const { return m_reader.joinable() && !m_readerDone; }

    const std::shared_ptr<VirtualAmp> m_amp;
    const Presence m_presence;
    const std::function<void()> m_onVanished;
    int m_listener = 0;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    SimFaults m_faults;
    std::deque<Pending> m_queue;
    std::uint64_t m_reports = 0;
    std::uint64_t m_replies = 0;
    std::uint64_t m_dropped = 0;
    bool m_vanished = false;
    bool m_stop = false;
    bool m_readerDone = false;
    std::thread m_reader;
};

}  // namespace varnoth
