#include "device/hid/HidTransport.h"

#include <algorithm>
#include <utility>

#include "device/Trace.h"

namespace varnoth {
namespace {

// Puts what a read returned into the 61-byte report the dispatcher expects (see the class comment).
Report Normalise(const Report& raw, int length) {
    Report report{};
    if (length == static_cast<int>(kReportSize) - 1) {
        std::copy_n(raw.begin(), length, report.begin() + 1);
    } else {
        std::copy_n(raw.begin(), std::min(length, static_cast<int>(kReportSize)), report.begin());
    }
    return report;
}

}  // namespace

HidTransport::HidTransport(std::unique_ptr<HidDevice> device, HidTiming timing,
                           std::function<void()> onVanished)
    : device_(std::move(device)),
      timing_(timing),
      slice_(device_->Wake() ? timing.wakeableReadSlice : timing.readSlice),
      onVanished_(std::move(onVanished)) {}

HidTransport::~HidTransport() {
    JoinReader();
    std::lock_guard lock(handleMutex_);
    device_.reset();
}

int HidTransport::Transfer(const Report& report) {
    if (vanished_.load()) {
        return 0;
    }
    {
        std::lock_guard lock(stateMutex_);
        ++writers_;
    }
    device_->Wake();
    int written = 0;
    std::string error;
    {
        std::lock_guard lock(handleMutex_);
        written = device_->Write(report.data(), report.size());
        if (written < 0) {
            error = device_->ErrorText();
        }
    }
    {
        std::lock_guard lock(stateMutex_);
        --writers_;
    }
    stateChanged_.notify_all();
    if (written < 0) {
        Trace("usb write failed: %s\n", error.c_str());
        CheckVanished();
        return 0;
    }
    return written;
}

void HidTransport::StartReader(Deliver deliver) {
    JoinReader();
    {
        std::lock_guard lock(stateMutex_);
        readerExited_ = false;
    }
    reader_ = std::thread(&HidTransport::ReaderLoop, this, std::move(deliver));
}

bool HidTransport::StopReader(std::chrono::milliseconds timeout) {
    if (!reader_.joinable()) {
        return true;
    }
    stop_.store(true);
    device_->Wake();
    std::unique_lock lock(stateMutex_);
    stateChanged_.notify_all();
    if (!stateChanged_.wait_for(lock, timeout, [this] { return readerExited_; })) {
        return false;
    }
    lock.unlock();
    reader_.join();
    stop_.store(false);
    return true;
}

std::optional<Report> HidTransport::ReadOne(std::chrono::milliseconds timeout) {
    if (reader_.joinable()) {
        return std::nullopt;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (vanished_.load()) {
            return std::nullopt;
        }
        WaitForWriters();
        const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        const auto slice = std::clamp(remaining, std::chrono::milliseconds(0), slice_);
        Report report{};
        switch (ReadSlice(report, slice)) {
            case ReadResult::Report:
                return report;
            case ReadResult::Vanished:
                return std::nullopt;
            case ReadResult::Failed:
                Backoff(std::min(timing_.errorBackoff, std::max(remaining, std::chrono::milliseconds(0))));
                break;
            case ReadResult::Nothing:
                break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
    }
}

HidTransport::ReadResult HidTransport::ReadSlice(Report& report, std::chrono::milliseconds timeout) {
    Report raw{};
    int length = 0;
    std::string error;
    bool firstFailure = false;
    {
        std::lock_guard lock(handleMutex_);
        length = device_->Read(raw.data(), raw.size(), timeout);
        if (length < 0) {
            error = device_->ErrorText();
        }
        firstFailure = length < 0 && !readFailing_;
        readFailing_ = length < 0;
    }
    if (length > 0) {
        report = Normalise(raw, length);
        return ReadResult::Report;
    }
    if (length == 0) {
        return ReadResult::Nothing;
    }
    if (firstFailure) {
        Trace("usb read failed: %s\n", error.c_str());
    }
    CheckVanished();
    return vanished_.load() ? ReadResult::Vanished : ReadResult::Failed;
}

void HidTransport::WaitForWriters() {
    std::unique_lock lock(stateMutex_);
    stateChanged_.wait(lock, [this] { return writers_ == 0 || stop_.load(); });
}

void HidTransport::Backoff(std::chrono::milliseconds pause) {
    std::unique_lock lock(stateMutex_);
    stateChanged_.wait_for(lock, pause, [this] { return stop_.load(); });
}

void HidTransport::CheckVanished() {
    bool present = true;
    {
        std::lock_guard lock(handleMutex_);
        present = device_->Present();
    }
    if (present || vanished_.exchange(true)) {
        return;
    }
    Trace("usb device removed\n");
    if (onVanished_) {
        onVanished_();
    }
}

void HidTransport::ReaderLoop(Deliver deliver) {
    while (!stop_.load() && !vanished_.load()) {
        WaitForWriters();
        if (stop_.load()) {
            break;
        }
        Report report{};
        const ReadResult result = ReadSlice(report, slice_);
        if (result == ReadResult::Report) {
            deliver(report);
        } else if (result == ReadResult::Failed) {
            Backoff(timing_.errorBackoff);
        }
    }
    {
        std::lock_guard lock(stateMutex_);
        readerExited_ = true;
    }
    stateChanged_.notify_all();
}

void HidTransport::JoinReader() {
    if (!reader_.joinable()) {
        return;
    }
    stop_.store(true);
    device_->Wake();
    {
        std::lock_guard lock(stateMutex_);
        stateChanged_.notify_all();
    }
    reader_.join();
    stop_.store(false);
}

}  // namespace varnoth
