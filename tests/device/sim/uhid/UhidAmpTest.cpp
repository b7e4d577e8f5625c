// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <linux/uhid.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/Opcodes.h"
#include "device/sim/SimTestSupport.h"
#include "device/sim/uhid/UhidAmp.h"

namespace varnoth {
namespace {

using test::Command;

// Plays the kernel's side of the user-space HID node over a socket pair that keeps message boundaries.
class UhidAmpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        int fds[2];
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds), 0);
        m_device = fds[0];
        m_kernel = fds[1];
    }
    void TearDown() override {
        bridge.reset();
        ::close(m_device);
        ::close(m_kernel);
    }

    void Start(UhidAmp::Options options = {}) {
        bridge = std::make_unique<UhidAmp>(m_device, amp, options);
        ASSERT_EQ(bridge->Plug(), "");
        const auto created = Next();
        ASSERT_TRUE(created && created->type == UHID_CREATE2);
    }

    static std::unique_ptr<uhid_event> Event(std::uint32_t type) {
        auto event = std::make_unique<uhid_event>();
        std::memset(event.get(), 0, sizeof(uhid_event));
        event->type = type;
        return event;
    }

    // The kernel delivers an event, and the bridge handles it.
    void Deliver(const uhid_event& event) {
        ASSERT_EQ(::write(m_kernel, &event, sizeof event), static_cast<ssize_t>(sizeof event));
        EXPECT_EQ(bridge->HandleEvent(), "");
    }

    void Output(const Report& report) {
        auto event = Event(UHID_OUTPUT);
        std::memcpy(event->u.output.data, report.data(), report.size());
        event->u.output.size = report.size();
        event->u.output.rtype = UHID_OUTPUT_REPORT;
        Deliver(*event);
    }

    // The next event the bridge wrote; the bridge writes before it returns, so nothing is waited for.
    std::unique_ptr<uhid_event> Next() {
        pollfd fd{m_kernel, POLLIN, 0};
        if (::poll(&fd, 1, 0) != 1) {
            return nullptr;
        }
        auto event = Event(0);
        EXPECT_EQ(::read(m_kernel, event.get(), sizeof(uhid_event)),
                  static_cast<ssize_t>(sizeof(uhid_event)));
        return event;
    }

    // The input report the bridge sent next, failing the test when there is none.
    Report NextInput() {
        const auto event = Next();
        if (!event || event->type != UHID_INPUT2) {
            ADD_FAILURE() << "no input report";
            return {};
        }
        EXPECT_EQ(event->u.input2.size, kReportSize);
        Report report{};
        std::memcpy(report.data(), event->u.input2.data, report.size());
        return report;
    }

    std::shared_ptr<VirtualAmp> amp = std::make_shared<VirtualAmp>();
    std::unique_ptr<UhidAmp> bridge;
    int m_device = -1;
    int m_kernel = -1;
};

struct MainItem {
    bool input;
    unsigned usagePage;
    unsigned reportId;
    unsigned bits;
    bool operator==(const MainItem&) const = default;
};

// The input and output items of a report descriptor, with the global state each is declared under.
std::vector<MainItem> MainItems(std::span<const std::uint8_t> descriptor) {
    std::vector<MainItem> items;
    unsigned page = 0, id = 0, size = 0, count = 0;
    for (std::size_t at = 0; at < descriptor.size();) {
        const std::uint8_t prefix = descriptor[at];
        const std::size_t length = (prefix & 3) == 3 ? 4 : prefix & 3;
        unsigned value = 0;
        for (std::size_t i = 0; i < length && at + 1 + i < descriptor.size(); ++i) {
            value |= unsigned{descriptor[at + 1 + i]} << (8 * i);
        }
        switch (prefix & 0xFC) {
            case 0x04:
                page = value;
                break;
            case 0x84:
                id = value;
                break;
            case 0x74:
                size = value;
                break;
            case 0x94:
                count = value;
                break;
            case 0x80:
            case 0x90:
                items.push_back({(prefix & 0xFC) == 0x80, page, id, size * count});
                break;
        }
        at += 1 + length;
    }
    return items;
}

TEST_F(UhidAmpTest, CreatesOneVendorReportOfSixtyBytesEachWayUnderTheModesIdentifiers) {
    const std::vector<MainItem> expected = {{true, 0xFF00, 2, 480}, {false, 0xFF00, 2, 480}};
    EXPECT_EQ(MainItems(UhidAmp::ReportDescriptor()), expected);

    for (const bool upgradeMode : {false, true}) {
        amp->SetUpgradeMode(upgradeMode);
        auto device = std::make_unique<UhidAmp>(m_device, amp, UhidAmp::Options{.name = "amp under test"});
        ASSERT_EQ(device->Plug(), "");
        const auto created = Next();
        ASSERT_TRUE(created && created->type == UHID_CREATE2);
        const uhid_create2_req& create = created->u.create2;
        const UsbIds ids = upgradeMode ? kUpgradeIds : kNormalIds;
        EXPECT_EQ(create.vendor, ids.vendor) << "upgrade mode " << upgradeMode;
        EXPECT_EQ(create.product, ids.product) << "upgrade mode " << upgradeMode;
        EXPECT_EQ(device->Ids().vendor, ids.vendor);
        EXPECT_EQ(create.bus, BUS_USB) << "the HID library does not list devices on other buses";
        EXPECT_STREQ(reinterpret_cast<const char*>(create.name), "amp under test");
        const auto descriptor = UhidAmp::ReportDescriptor();
        ASSERT_EQ(create.rd_size, descriptor.size());
        EXPECT_EQ(std::memcmp(create.rd_data, descriptor.data(), descriptor.size()), 0);

        EXPECT_EQ(device->Plug(), "") << "plugging in twice creates one device";
        EXPECT_EQ(Next(), nullptr);

        device.reset();
        const auto destroyed = Next();
        EXPECT_TRUE(destroyed && destroyed->type == UHID_DESTROY) << "the device goes with its owner";
    }
}

TEST_F(UhidAmpTest, AnswersEachOutputReportWithOneInputReportUnderReportIdTwo) {
    Start();
    Output(Command(op::ReadDevName));
    const Report name = NextInput();
    EXPECT_EQ(name[0], UhidAmp::kReportId);
    EXPECT_EQ(name[1], op::ReadDevName);
    EXPECT_STREQ(reinterpret_cast<const char*>(&name[2]), "VQ317X");

    Output(Command(op::WriteRegister, {0x0A, 0x20, 1, 0x33}));
    EXPECT_EQ(NextInput()[1], VirtualAmp::kAck);
    EXPECT_EQ(amp->Register(0x0A, 0x20, 1), 0x33);
    EXPECT_EQ(Next(), nullptr) << "one reply per command";
    EXPECT_EQ(bridge->CommandsHandled(), 2u);
}

TEST_F(UhidAmpTest, SetReportIsOneCommandAndIsAcknowledgedToTheKernel) {
    Start();
    auto event = Event(UHID_SET_REPORT);
    const Report command = Command(op::ReadDevDate);
    event->u.set_report.id = 77;
    event->u.set_report.rnum = 2;
    event->u.set_report.rtype = UHID_OUTPUT_REPORT;
    event->u.set_report.size = command.size();
    std::memcpy(event->u.set_report.data, command.data(), command.size());
    Deliver(*event);

    const auto reply = Next();
    ASSERT_TRUE(reply && reply->type == UHID_SET_REPORT_REPLY);
    EXPECT_EQ(reply->u.set_report_reply.id, 77u);
    EXPECT_EQ(reply->u.set_report_reply.err, 0);
    const Report date = NextInput();
    EXPECT_EQ(date[1], op::ReadDevDate);
    EXPECT_STREQ(reinterpret_cast<const char*>(&date[2]), "2011-11-28");
}

TEST_F(UhidAmpTest, RefusesGetReportAndDropsReportsUnderAnotherId) {
    Start();
    auto get = Event(UHID_GET_REPORT);
    get->u.get_report.id = 5;
    get->u.get_report.rnum = 2;
    Deliver(*get);
    const auto refused = Next();
    ASSERT_TRUE(refused && refused->type == UHID_GET_REPORT_REPLY);
    EXPECT_EQ(refused->u.get_report_reply.id, 5u);
    EXPECT_NE(refused->u.get_report_reply.err, 0);

    Report foreign = Command(op::ReadDevName);
    foreign[0] = 1;
    Output(foreign);
    auto empty = Event(UHID_OUTPUT);
    Deliver(*empty);
    for (const std::uint32_t type : {UHID_START, UHID_OPEN, UHID_CLOSE, UHID_STOP}) {
        Deliver(*Event(type));
    }
    EXPECT_EQ(Next(), nullptr);
    EXPECT_EQ(amp->ReportsReceived(), 0u);
}

TEST_F(UhidAmpTest, ALearntKeyGoesOutUnaskedOnlyWhileTheDeviceExists) {
    Start();
    Output(Command(op::StudyKey, {3}));
    NextInput();
    ASSERT_TRUE(amp->PressRemoteKey(0x20, 0x1C));
    const Report learnt = NextInput();
    EXPECT_EQ(learnt[0], UhidAmp::kReportId);
    EXPECT_EQ(learnt[1], VirtualAmp::kStudiedKey);
    EXPECT_EQ(learnt[2], 0x20);
    EXPECT_EQ(learnt[3], 3);
    EXPECT_EQ(learnt[4], 0x1C);

    ASSERT_EQ(bridge->Unplug(), "");
    const auto destroyed = Next();
    ASSERT_TRUE(destroyed && destroyed->type == UHID_DESTROY);
    EXPECT_FALSE(bridge->Plugged());
    amp->InjectReport(Command(op::ReadIRSet));
    EXPECT_EQ(Next(), nullptr) << "an unplugged device sends nothing";

    ASSERT_EQ(bridge->Plug(), "");
    const auto created = Next();
    EXPECT_TRUE(created && created->type == UHID_CREATE2);
    amp->InjectReport(Command(op::ReadIRSet));
    EXPECT_EQ(NextInput()[1], op::ReadIRSet);
}

TEST_F(UhidAmpTest, ASilentAmplifierCarriesOutCommandsWithoutAnswering) {
    Start({.silent = true});
    Output(Command(op::WriteRegister, {0x0A, 0x20, 0, 0x21}));
    Output(Command(op::ReadDevName));
    EXPECT_EQ(Next(), nullptr);
    EXPECT_EQ(amp->Register(0x0A, 0x20, 0), 0x21);
}

TEST_F(UhidAmpTest, TellsWhenTheNodeIsClosedOrFails) {
    Start();
    ::shutdown(m_kernel, SHUT_WR);
    EXPECT_NE(bridge->HandleEvent(), "");
    ::close(m_kernel);
    m_kernel = ::dup(m_device);
    ASSERT_EQ(bridge->Unplug(), "cannot destroy the HID device: Broken pipe");
    EXPECT_NE(bridge->Plug(), "");
    EXPECT_FALSE(bridge->Plugged());
}

}  // namespace
}  // namespace varnoth
