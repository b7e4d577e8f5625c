// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/sim/uhid/UhidAmp.h"

#include <linux/uhid.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "device/Trace.h"

namespace varnoth {
namespace {

constexpr std::uint8_t kDescriptor[] = {
    0x06, 0x00, 0xFF,  // usage page: vendor defined 0xFF00
    0x09, 0x01,        // usage 1
    0xA1, 0x01,        // collection: application
    0x85, 0x02,        //   report ID 2
    0x15, 0x00,        //   logical minimum 0
    0x26, 0xFF, 0x00,  //   logical maximum 255
    0x75, 0x08,        //   report size: 8 bits
    0x95, 0x3C,        //   report count: 60
    0x09, 0x01,        //   usage 1
    0x81, 0x02,        //   input: data, variable, absolute
    0x09, 0x01,        //   usage 1
    0x91, 0x02,        //   output: data, variable, absolute
    0xC0,              // end collection
};
static_assert(sizeof kDescriptor <= HID_MAX_DESCRIPTOR_SIZE);

std::uint32_t Pack(UsbIds ids) {
    return (std::uint32_t{ids.vendor} << 16) | ids.product;
}

std::unique_ptr<uhid_event> NewEvent(std::uint32_t type) {
    auto event = std::make_unique<uhid_event>();
    std::memset(event.get(), 0, sizeof(uhid_event));
    event->type = type;
    return event;
}

void CopyText(std::uint8_t* dest, std::size_t capacity, const std::string& text) {
    std::memcpy(dest, text.data(), std::min(text.size(), capacity - 1));
}

}  // namespace

std::span<const std::uint8_t> UhidAmp::ReportDescriptor() {
    return kDescriptor;
}

UhidAmp::UhidAmp(int fd, std::shared_ptr<VirtualAmp> amp, Options options)
    : m_fd(fd), m_amp(std::move(amp)), m_options(std::move(options)), m_in(NewEvent(0)) {
    m_listener = m_amp->Subscribe([this](const Report& report) {
        if (!m_options.silent) {
            SendInput(report);
        }
    });
}

UhidAmp::~UhidAmp() {
    m_amp->Unsubscribe(m_listener);
    Unplug();
}

UsbIds UhidAmp::Ids() const {
    const std::uint32_t packed = m_ids.load();
    return {static_cast<std::uint16_t>(packed >> 16), static_cast<std::uint16_t>(packed & 0xFFFF)};
}

std::string UhidAmp::Plug() {
    const UsbIds ids = m_amp->UpgradeMode() ? kUpgradeIds : kNormalIds;
    auto event = NewEvent(UHID_CREATE2);
    uhid_create2_req& create = event->u.create2;
    CopyText(create.name, sizeof create.name, m_options.name);
    CopyText(create.phys, sizeof create.phys, "varnoth-virtual-amp");
    create.rd_size = sizeof kDescriptor;
    // The HID library lists only devices on the buses it knows; a USB device without a USB parent (as this
    // one is) it lists with the identifiers from HID, an empty manufacturer and no interface number.
    create.bus = BUS_USB;
    create.vendor = ids.vendor;
    create.product = ids.product;
    std::memcpy(create.rd_data, kDescriptor, sizeof kDescriptor);

    std::lock_guard lock(m_writeMutex);
    if (m_plugged.load()) {
        return {};
    }
    std::string failure = Send(*event);
    if (!failure.empty()) {
        return "cannot create the HID device: " + failure;
    }
    m_ids.store(Pack(ids));
    m_plugged.store(true);
    return {};
}

std::string UhidAmp::Unplug() {
    auto event = NewEvent(UHID_DESTROY);
    std::lock_guard lock(m_writeMutex);
    if (!m_plugged.load()) {
        return {};
    }
    m_plugged.store(false);
    std::string failure = Send(*event);
    return failure.empty() ? failure : "cannot destroy the HID device: " + failure;
}

std::string UhidAmp::HandleEvent() {
    uhid_event& event = *m_in;
    std::memset(&event, 0, sizeof event);
    const ssize_t got = ::read(m_fd, &event, sizeof event);
    if (got < 0) {
        if (errno == EAGAIN || errno == EINTR) {
            return {};
        }
        return std::string("cannot read from the HID device: ") + std::strerror(errno);
    }
    if (got == 0) {
        return "the HID device's descriptor was closed";
    }
    switch (event.type) {
        case UHID_START:
            Trace("uhid: started\n");
            break;
        case UHID_STOP:
            Trace("uhid: stopped\n");
            break;
        case UHID_OPEN:
            Trace("uhid: opened by the host\n");
            break;
        case UHID_CLOSE:
            Trace("uhid: closed by the host\n");
            break;
        case UHID_OUTPUT:
            Command(event.u.output.data, std::min<std::size_t>(event.u.output.size, UHID_DATA_MAX));
            break;
        case UHID_SET_REPORT: {
            const std::uint32_t id = event.u.set_report.id;
            auto reply = NewEvent(UHID_SET_REPORT_REPLY);
            reply->u.set_report_reply.id = id;
            {
                std::lock_guard lock(m_writeMutex);
                Send(*reply);
            }
            Command(event.u.set_report.data, std::min<std::size_t>(event.u.set_report.size, UHID_DATA_MAX));
            break;
        }
        case UHID_GET_REPORT: {
            auto reply = NewEvent(UHID_GET_REPORT_REPLY);
            reply->u.get_report_reply.id = event.u.get_report.id;
            reply->u.get_report_reply.err = EIO;
            std::lock_guard lock(m_writeMutex);
            Send(*reply);
            break;
        }
        default:
            Trace("uhid: event %u ignored\n", static_cast<unsigned>(event.type));
            break;
    }
    return {};
}

void UhidAmp::Command(const std::uint8_t* data, std::size_t size) {
    Report command{};
    std::copy_n(data, std::min(size, kReportSize), command.begin());
    if (size == 0 || command[0] != kReportId) {
        Trace("uhid: output report with ID %u dropped\n", size == 0 ? 0u : unsigned{command[0]});
        return;
    }
    const Report reply = m_amp->Receive(command);
    m_commands.fetch_add(1);
    if (!m_options.silent) {
        SendInput(reply);
    }
}

void UhidAmp::SendInput(const Report& report) {
    auto event = NewEvent(UHID_INPUT2);
    event->u.input2.size = kReportSize;
    std::copy(report.begin(), report.end(), event->u.input2.data);
    event->u.input2.data[0] = kReportId;
    std::lock_guard lock(m_writeMutex);
    if (m_plugged.load()) {
        Send(*event);
    }
}

// Caller holds m_writeMutex.
std::string UhidAmp::Send(const uhid_event& event) {
    const ssize_t written = ::write(m_fd, &event, sizeof event);
    if (written < 0) {
        std::string failure = std::strerror(errno);
        Trace("uhid: write failed: %s\n", failure.c_str());
        return failure;
    }
    return {};
}

}  // namespace varnoth
