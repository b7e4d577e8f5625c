#include "device/sim/SimTransport.h"

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

SimTransport::SimTransport(std::shared_ptr<VirtualAmp> amp, SimFaults faults, Presence presence)
    : amp_(std::move(amp)), presence_(std::move(presence)), faults_(faults) {
    listener_ = amp_->Subscribe([this](const Report& report) {
        std::lock_guard lock(mutex_);
        QueueLocked(report);
    });
}

SimTransport::~SimTransport() {
    amp_->Unsubscribe(listener_);
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    if (reader_.joinable()) {
        reader_.join();
    }
}

bool SimTransport::GoneLocked() const {
    return vanished_ || (presence_ && !presence_->load());
}

void SimTransport::QueueLocked(const Report& reply) {
    if (GoneLocked()) {
        return;
    }
    const std::uint64_t n = ++replies_;
    const bool drop = faults_.silent || (faults_.dropEvery != 0 && n % faults_.dropEvery == 0) ||
                      (faults_.dropFraction > 0.0 && Fraction(faults_.dropSeed, n) < faults_.dropFraction);
    if (drop) {
        ++dropped_;
        return;
    }
    queue_.push_back({reply, std::chrono::steady_clock::now() + faults_.latency});
    changed_.notify_all();
}

int SimTransport::Transfer(const Report& report) {
    if (report[0] != kOutputReportId) {
        return 0;
    }
    {
        std::lock_guard lock(mutex_);
        if (GoneLocked()) {
            return 0;
        }
    }
    const Report reply = amp_->Receive(report);
    std::lock_guard lock(mutex_);
    ++reports_;
    if (faults_.vanishAfter != 0 && reports_ >= faults_.vanishAfter) {
        vanished_ = true;
        queue_.clear();
        changed_.notify_all();
        return static_cast<int>(kReportSize);
    }
    QueueLocked(reply);
    return static_cast<int>(kReportSize);
}

void SimTransport::StartReader(Deliver deliver) {
    std::unique_lock lock(mutex_);
    if (ReaderRunningLocked()) {
        Trace("sim: a reader already runs on this link\n");
        return;
    }
    std::thread finished = std::move(reader_);
    stop_ = false;
    readerDone_ = false;
    lock.unlock();
    if (finished.joinable()) {
        finished.join();
    }
    lock.lock();
    reader_ = std::thread([this, deliver = std::move(deliver)] { ReaderLoop(deliver); });
}

void SimTransport::WaitUntilDue(std::unique_lock<std::mutex>& lock, TimePoint due) {
    // A timed wait wakes late by the system's timer slack and wake-up time, tens of microseconds; the reply
    // would arrive late by as much. The last stretch is therefore waited out awake, with the lock released.
    const TimePoint wake = due - kAwakeStretch;
    if (std::chrono::steady_clock::now() < wake) {
        changed_.wait_until(lock, wake);
        return;
    }
    lock.unlock();
    while (std::chrono::steady_clock::now() < due) {
        std::this_thread::yield();
    }
    lock.lock();
}

void SimTransport::ReaderLoop(Deliver deliver) {
    std::unique_lock lock(mutex_);
    while (!stop_) {
        if (queue_.empty()) {
            changed_.wait(lock);
            continue;
        }
        const TimePoint due = queue_.front().due;
        if (std::chrono::steady_clock::now() < due) {
            WaitUntilDue(lock, due);
            continue;
        }
        const Report report = queue_.front().report;
        queue_.pop_front();
        if (GoneLocked()) {
            queue_.clear();
            continue;
        }
        lock.unlock();
        deliver(report);
        lock.lock();
    }
    readerDone_ = true;
    changed_.notify_all();
}

bool SimTransport::StopReader(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!reader_.joinable()) {
        return true;
    }
    if (reader_.get_id() == std::this_thread::get_id()) {
        return false;
    }
    stop_ = true;
    changed_.notify_all();
    if (!changed_.wait_for(lock, timeout, [this] { return readerDone_; })) {
        return false;
    }
    std::thread finished = std::move(reader_);
    lock.unlock();
    finished.join();
    return true;
}

std::optional<Report> SimTransport::ReadOne(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (ReaderRunningLocked()) {
        return std::nullopt;
    }
    const TimePoint deadline = std::chrono::steady_clock::now() + timeout;
    while (!GoneLocked()) {
        const TimePoint now = std::chrono::steady_clock::now();
        if (!queue_.empty() && queue_.front().due <= now) {
            const Report report = queue_.front().report;
            queue_.pop_front();
            return report;
        }
        if (now >= deadline) {
            return std::nullopt;
        }
        const TimePoint wake = queue_.empty() ? deadline : std::min(deadline, queue_.front().due);
        changed_.wait_until(lock, wake);
    }
    queue_.clear();
    return std::nullopt;
}

void SimTransport::SetFaults(const SimFaults& faults) {
    std::lock_guard lock(mutex_);
    faults_ = faults;
}

void SimTransport::Vanish() {
    std::lock_guard lock(mutex_);
    vanished_ = true;
    queue_.clear();
    changed_.notify_all();
}

bool SimTransport::Vanished() const {
    std::lock_guard lock(mutex_);
    return GoneLocked();
}

std::uint64_t SimTransport::RepliesDropped() const {
    std::lock_guard lock(mutex_);
    return dropped_;
}

}  // namespace varnoth
