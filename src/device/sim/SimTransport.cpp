// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/sim/SimTransport.h"

#include <algorithm>
#include <utility>

#include "device/Trace.h"

namespace varnoth {
namespace {

constexpr std::uint8_t kOutputReportId = 2;

std::uint64_t Mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// A number in [0, 1) drawn from the seed for the n-th reply.
double Fraction(std::uint64_t seed, std::uint64_t n) {
    return static_cast<double>(Mix(seed ^ Mix(n)) >> 11) * 0x1.0p-53;
}

}  // namespace

SimTransport::SimTransport(std::shared_ptr<VirtualAmp> amp, SimFaults faults, Presence presence,
                           std::function<void()> onVanished)
    : m_amp(std::move(amp)),
      m_presence(std::move(presence)),
      m_onVanished(std::move(onVanished)),
      m_faults(faults) {
    m_listener = m_amp->Subscribe([this](const Report& report) {
        std::lock_guard lock(m_mutex);
        QueueLocked(report);
    });
}

SimTransport::~SimTransport() {
    m_amp->Unsubscribe(m_listener);
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_reader.joinable()) {
        m_reader.join();
    }
}

bool SimTransport::GoneLocked() const {
    return m_vanished || (m_presence && !m_presence->load());
}

void SimTransport::QueueLocked(const Report& reply) {
    if (GoneLocked()) {
        return;
    }
    const std::uint64_t n = ++m_replies;
    const bool drop = m_faults.silent || (m_faults.dropEvery != 0 && n % m_faults.dropEvery == 0) ||
                      (m_faults.dropFraction > 0.0 && Fraction(m_faults.dropSeed, n) < m_faults.dropFraction);
    if (drop) {
        ++m_dropped;
        return;
    }
    const auto late = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        m_faults.jitter * Fraction(m_faults.jitterSeed, n));
    // Replies come in the order they were sent, as on the wire: a late one holds back the ones behind it.
    const TimePoint due = std::max(std::chrono::steady_clock::now() + m_faults.latency + late,
                                   m_queue.empty() ? TimePoint{} : m_queue.back().due);
    m_queue.push_back({reply, due});
    m_changed.notify_all();
}

int SimTransport::Transfer(const Report& report) {
    if (report[0] != kOutputReportId) {
        return 0;
    }
    {
        std::lock_guard lock(m_mutex);
        if (GoneLocked()) {
            return 0;
        }
    }
    const Report reply = m_amp->Receive(report);
    bool vanishedNow = false;
    {
        std::lock_guard lock(m_mutex);
        ++m_reports;
        if (m_faults.vanishAfter != 0 && m_reports >= m_faults.vanishAfter && !m_vanished) {
            m_vanished = true;
            vanishedNow = true;
            m_queue.clear();
            m_changed.notify_all();
        } else {
            QueueLocked(reply);
        }
    }
    if (vanishedNow && m_onVanished) {
        m_onVanished();
    }
    return static_cast<int>(kReportSize);
}

void SimTransport::StartReader(Deliver deliver) {
    std::unique_lock lock(m_mutex);
    if (ReaderRunningLocked()) {
        Trace("sim: a reader already runs on this link\n");
        return;
    }
    std::thread finished = std::move(m_reader);
    m_stop = false;
    m_readerDone = false;
    lock.unlock();
    if (finished.joinable()) {
        finished.join();
    }
    lock.lock();
    m_reader = std::thread([this, deliver = std::move(deliver)] { ReaderLoop(deliver); });
}

void SimTransport::WaitUntilDue(std::unique_lock<std::mutex>& lock, TimePoint due) {
    // A timed wait wakes late by the system's timer slack and wake-up time, tens of microseconds; the reply
    // would arrive late by as much. The last stretch is therefore waited out awake, with the lock released.
    const TimePoint wake = due - kAwakeStretch;
    if (std::chrono::steady_clock::now() < wake) {
        m_changed.wait_until(lock, wake);
        return;
    }
    lock.unlock();
    while (std::chrono::steady_clock::now() < due) {
        std::this_thread::yield();
    }
    lock.lock();
}

void SimTransport::ReaderLoop(Deliver deliver) {
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        if (m_queue.empty()) {
            m_changed.wait(lock);
            continue;
        }
        const TimePoint due = m_queue.front().due;
        if (std::chrono::steady_clock::now() < due) {
            WaitUntilDue(lock, due);
            continue;
        }
        const Report report = m_queue.front().report;
        m_queue.pop_front();
        if (GoneLocked()) {
            m_queue.clear();
            continue;
        }
        lock.unlock();
        deliver(report);
        lock.lock();
    }
    m_readerDone = true;
    m_changed.notify_all();
}

bool SimTransport::StopReader(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    if (!m_reader.joinable()) {
        return true;
    }
    if (m_reader.get_id() == std::this_thread::get_id()) {
        return false;
    }
    m_stop = true;
    m_changed.notify_all();
    if (!m_changed.wait_for(lock, timeout, [this] { return m_readerDone; })) {
        return false;
    }
    std::thread finished = std::move(m_reader);
    lock.unlock();
    finished.join();
    return true;
}

std::optional<Report> SimTransport::ReadOne(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    if (ReaderRunningLocked()) {
        return std::nullopt;
    }
    const TimePoint deadline = std::chrono::steady_clock::now() + timeout;
    while (!GoneLocked()) {
        const TimePoint now = std::chrono::steady_clock::now();
        if (!m_queue.empty() && m_queue.front().due <= now) {
            const Report report = m_queue.front().report;
            m_queue.pop_front();
            return report;
        }
        if (now >= deadline) {
            return std::nullopt;
        }
        const TimePoint wake = m_queue.empty() ? deadline : std::min(deadline, m_queue.front().due);
        m_changed.wait_until(lock, wake);
    }
    m_queue.clear();
    return std::nullopt;
}

void SimTransport::SetFaults(const SimFaults& faults) {
    std::lock_guard lock(m_mutex);
    m_faults = faults;
}

void SimTransport::Vanish() {
    std::lock_guard lock(m_mutex);
    m_vanished = true;
    m_queue.clear();
    m_changed.notify_all();
}

bool SimTransport::Vanished() const {
    std::lock_guard lock(m_mutex);
    return GoneLocked();
}

std::uint64_t SimTransport::RepliesDropped() const {
    std::lock_guard lock(m_mutex);
    return m_dropped;
}

}  // namespace varnoth
