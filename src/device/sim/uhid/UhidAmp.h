// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>

#include "device/Transport.h"
#include "device/sim/VirtualAmp.h"

struct uhid_event;

namespace varnoth {

// The virtual amplifier as a kernel HID device. It speaks the kernel's user-space HID protocol (one
// struct uhid_event per read or write) on a descriptor, normally an open /dev/uhid, so that hidraw, the HID
// library and everything above them meet it as they meet the real amplifier.
//
// The device has one vendor-defined report (usage page 0xFF00), report ID 2, with 60 data bytes in each
// direction: the host writes and reads the link's 61-byte reports, ID first. Each output report the host
// writes (or sends as a set-report request) is one command for the amplifier; the amplifier's reply goes
// back at once as an input report, with the report ID 2 in byte 0 because the kernel passes on only the
// input reports the descriptor declares. The amplifier's unasked reports (a learnt remote key) go out the
// same way while the device exists. Output reports under another report ID are dropped unanswered, and
// get-report requests are refused: the device has no feature reports.
//
// Threads: HandleEvent, Plug and Unplug run on one thread (the event loop); the unasked reports are written
// on whichever thread made the amplifier send them. Writes to the descriptor are serialised.
class UhidAmp {
  public:
    static constexpr std::uint8_t kReportId = 2;

    struct Options {
        std::string name = "VARNOTH VQ317X virtual amplifier";
        bool silent = false;  // commands are carried out but never answered
    };

    // The report descriptor the device is created with.
    static std::span<const std::uint8_t> ReportDescriptor();

    // fd stays the caller's: it is neither closed nor owned.
    UhidAmp(int fd, std::shared_ptr<VirtualAmp> amp, Options options);
    // Unplugs the device if it exists.
    ~UhidAmp();

    UhidAmp(const UhidAmp&) = delete;
    UhidAmp& operator=(const UhidAmp&) = delete;

    // Creates the device under the identifiers of the amplifier's current mode (normal or upgrade), as if
    // it were switched on. Each returns an empty string, or what went wrong.
    std::string Plug();
    // Destroys the device, as if it were unplugged; the amplifier keeps its state.
    std::string Unplug();
    bool Plugged() const { return m_plugged.load(); }
    // The identifiers the device was last created with.
    UsbIds Ids() const;

    // Reads one event from the descriptor and handles it (blocks until one comes unless the descriptor is
    // non-blocking). Returns an empty string, or why nothing could be read: the loop should end then.
    std::string HandleEvent();

    std::uint64_t CommandsHandled() const { return m_commands.load(); }

  private:
    std::string Send(const uhid_event& event);
    void Command(const std::uint8_t* data, std::size_t size);
    void SendInput(const Report& report);

    const int m_fd;
    const std::shared_ptr<VirtualAmp> m_amp;
    const Options m_options;
    int m_listener = 0;

    std::mutex m_writeMutex;
    std::atomic<bool> m_plugged{false};
    std::atomic<std::uint32_t> m_ids{0};
    std::atomic<std::uint64_t> m_commands{0};
    std::unique_ptr<uhid_event> m_in;  // the event being handled; used by HandleEvent only
};

}  // namespace varnoth
