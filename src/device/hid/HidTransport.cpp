// SPDX-License-Identifier: GPL-3.0-or-later
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
    : m_device(std::move(device)),
      m_timing(timing),
      m_slice(m_device->Wake() ? timing.wakeableReadSlice : timing.readSlice),
      m_onVanished(std::move(onVanished)) {}

HidTransport::~HidTransport() {
    JoinReader();
    std::lock_guard lock(m_handleMutex);
    m_device.reset();
}

int HidTransport::Transfer(const Report& report) {
    if (m_vanished.load()) {
        return 0;
    }
    {
        std::lock_guard lock(m_stateMutex);
        ++m_writers;
    }
    m_device->Wake();
    int written = 0;
    std::string error;
    {
        std::lock_guard lock(m_handleMutex);
        written = m_device->Write(report.data(), report.size());
        if (written < 0) {
            error = m_device->ErrorText();
        }
    }
    {
        std::lock_guard lock(m_stateMutex);
        --m_writers;
    }
    m_stateChanged.notify_all();
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
        std::lock_guard lock(m_stateMutex);
        m_readerExited = false;
    }
    m_reader = std::thread(&HidTransport::ReaderLoop, this, std::move(deliver));
}

bool HidTransport::StopReader(std::chrono::milliseconds timeout) {
    if (!m_reader.joinable()) {
        return true;
    }
    m_stop.store(true);
    m_device->Wake();
    std::unique_lock lock(m_stateMutex);
    m_stateChanged.notify_all();
    if (!m_stateChanged.wait_for(lock, timeout, [this] { return m_readerExited; })) {
        return false;
    }
    lock.unlock();
    m_reader.join();
    m_stop.store(false);
    return true;
}

std::optional<Report> HidTransport::ReadOne(std::chrono::milliseconds timeout) {
    if (m_reader.joinable()) {
        return std::nullopt;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (m_vanished.load()) {
            return std::nullopt;
        }
        WaitForWriters();
        const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        const auto slice = std::clamp(remaining, std::chrono::milliseconds(0), m_slice);
        Report report{};
        switch (ReadSlice(report, slice)) {
            case ReadResult::Report:
                return report;
            case ReadResult::Vanished:
                return std::nullopt;
            case ReadResult::Failed:
                Backoff(std::min(m_timing.errorBackoff, std::max(remaining, std::chrono::milliseconds(0))));
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
        std::lock_guard lock(m_handleMutex);
        length = m_device->Read(raw.data(), raw.size(), timeout);
        if (length < 0) {
            error = m_device->ErrorText();
        }
        firstFailure = length < 0 && !m_readFailing;
        m_readFailing = length < 0;
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
    return m_vanished.load() ? ReadResult::Vanished : ReadResult::Failed;
}

void HidTransport::WaitForWriters() {
    std::unique_lock lock(m_stateMutex);
    m_stateChanged.wait(lock, [this] { return m_writers == 0 || m_stop.load(); });
}

void HidTransport::Backoff(std::chrono::milliseconds pause) {
    std::unique_lock lock(m_stateMutex);
    m_stateChanged.wait_for(lock, pause, [this] { return m_stop.load(); });
}

void HidTransport::CheckVanished() {
    bool present = true;
    {
        std::lock_guard lock(m_handleMutex);
        present = m_device->Present();
    }
    if (present || m_vanished.exchange(true)) {
        return;
    }
    Trace("usb device removed\n");
    if (m_onVanished) {
        m_onVanished();
    }
}

void HidTransport::ReaderLoop(Deliver deliver) {
    while (!m_stop.load() && !m_vanished.load()) {
        WaitForWriters();
        if (m_stop.load()) {
            break;
        }
        Report report{};
        const ReadResult result = ReadSlice(report, m_slice);
        if (result == ReadResult::Report) {
            deliver(report);
        } else if (result == ReadResult::Failed) {
            Backoff(m_timing.errorBackoff);
        }
    }
    {
        std::lock_guard lock(m_stateMutex);
        m_readerExited = true;
    }
    m_stateChanged.notify_all();
}

void HidTransport::JoinReader() {
    if (!m_reader.joinable()) {
        return;
    }
    m_stop.store(true);
    m_device->Wake();
    {
        std::lock_guard lock(m_stateMutex);
        m_stateChanged.notify_all();
    }
    m_reader.join();
    m_stop.store(false);
}

}  // namespace varnoth
