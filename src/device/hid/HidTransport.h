// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "device/Transport.h"
#include "device/hid/HidBackend.h"

namespace varnoth {

struct HidTiming {
    // Longest single read when the device's reads cannot be woken: bounds how long a write and a stop wait.
    std::chrono::milliseconds readSlice{5};
    // Longest single read when they can (a write or a stop wakes the read at once).
    std::chrono::milliseconds wakeableReadSlice{100};
    // Pause after a failed read, so a failing device does not keep a core busy.
    std::chrono::milliseconds errorBackoff{20};
};

// The transport over one open HID handle.
//
// Every call on the handle is made under one lock, because the HID library keeps per-handle state that
// is not safe to touch from two threads at once. The reader thread reads in slices of at most
// HidTiming::readSlice (or wakeableReadSlice) and releases the lock between slices; Transfer wakes a read in
// progress and is let in before the reader's next slice. Deliver runs without the lock, so a Transfer from
// inside it, or from a thread that deliver waits for, goes through.
//
// Input reports: a device with numbered reports delivers the report ID as byte 0, and the 61 bytes are
// passed on as they stand. A report one byte short came without its ID byte (unnumbered reports): it is
// moved up by one so the reply opcode is at byte 1, and byte 0 is 0. Shorter reports are zero-filled.
//
// When a failure turns out to be the device's removal, the reader ends, Transfer returns 0 at once,
// ReadOne returns nothing, and onVanished runs once, on the thread that noticed.
class HidTransport : public Transport {
  public:
    HidTransport(std::unique_ptr<HidDevice> device, HidTiming timing = {},
                 std::function<void()> onVanished = {});
    ~HidTransport() override;

    HidTransport(const HidTransport&) = delete;
    HidTransport& operator=(const HidTransport&) = delete;

    int Transfer(const Report& report) override;
    void StartReader(Deliver deliver) override;
    bool StopReader(std::chrono::milliseconds timeout) override;
    std::optional<Report> ReadOne(std::chrono::milliseconds timeout) override;

    bool Vanished() const { return m_vanished.load(); }

  private:
    enum class ReadResult { Report, Nothing, Failed, Vanished };

    ReadResult ReadSlice(Report& report, std::chrono::milliseconds timeout);
    void WaitForWriters();
    void Backoff(std::chrono::milliseconds pause);
    void CheckVanished();
    void ReaderLoop(Deliver deliver);
    void JoinReader();

    std::unique_ptr<HidDevice> m_device;
    const HidTiming m_timing;
    std::chrono::milliseconds m_slice;
    std::function<void()> m_onVanished;

    std::mutex m_handleMutex;    // held for every call on m_device except Wake
    bool m_readFailing = false;  // the last read failed; guarded by m_handleMutex

    std::mutex m_stateMutex;
    std::condition_variable m_stateChanged;
    int m_writers = 0;  // Transfers waiting for or holding the handle; guarded by m_stateMutex
    bool m_readerExited = false;

    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_vanished{false};
    std::thread m_reader;
};

}  // namespace varnoth
