// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "FakeHidBackend.h"
#include "device/Trace.h"
#include "device/hid/HidProvider.h"

namespace varnoth {
namespace {

using test::FakeHid;
using test::FakeHidBackend;

constexpr UsbIds kOtherIds{0x046d, 0xc52b};

struct Device {
    std::string path;
    UsbIds ids;
    bool failOpen = false;
    bool denyAccess = false;
    bool listedTwice = false;
};

struct OpenCase {
    const char* name;
    std::vector<Device> devices;
    std::string openedPath;  // empty: nothing opens
    bool upgradeMode = false;
    std::string failureMentions;
};

std::vector<Device> OthersThen(std::vector<Device> tail) {
    std::vector<Device> devices;
    for (int i = 0; i < 12; ++i) {
        devices.push_back({"/dev/hidraw" + std::to_string(i), kOtherIds});
    }
    devices.insert(devices.end(), tail.begin(), tail.end());
    return devices;
}

const std::string kLongPath = "/sys/devices/" + std::string(600, 'x') + "/hidraw9";

TEST(HidProvider, OpensTheAmplifierWhereverItIsEnumerated) {
    const std::vector<OpenCase> cases = {
        {"normal", {{"/dev/hidraw1", kNormalIds}}, "/dev/hidraw1", false, ""},
        {"upgrade mode", {{"/dev/hidraw1", kUpgradeIds}}, "/dev/hidraw1", true, ""},
        {"normal before upgrade",
         {{"/dev/hidraw1", kUpgradeIds}, {"/dev/hidraw2", kNormalIds}},
         "/dev/hidraw2",
         false,
         ""},
        {"after twelve other interfaces", OthersThen({{"/dev/hidraw12", kNormalIds}}), "/dev/hidraw12", false,
         ""},
        {"listed twice", {{"/dev/hidraw1", kNormalIds, false, false, true}}, "/dev/hidraw1", false, ""},
        {"first interface busy",
         {{"/dev/hidraw1", kNormalIds, true}, {"/dev/hidraw2", kNormalIds}},
         "/dev/hidraw2",
         false,
         ""},
        {"path longer than any fixed field", {{kLongPath, kNormalIds}}, kLongPath, false, ""},
        {"nothing present", OthersThen({}), "", false, "No amplifier found."},
        {"only busy", {{"/dev/hidraw1", kUpgradeIds, true}}, "", false, "could not be opened: busy"},
        {"access denied",
         {{"/dev/hidraw5", kNormalIds, false, true}},
         "",
         false,
         "Access to the amplifier at /dev/hidraw5 was denied. Install the udev rule "
         "resources/linux/70-varnoth.rules as " +
             InstalledUdevRulePath()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto backend = std::make_shared<FakeHidBackend>();
        std::vector<std::shared_ptr<FakeHid>> hids;
        for (const auto& d : c.devices) {
            auto hid = backend->Add(d.path, d.ids);
            hid->failOpen = d.failOpen;
            hid->denyAccess = d.denyAccess;
            hid->listedTwice = d.listedTwice;
            hids.push_back(hid);
        }
        HidProvider provider(backend);
        OpenResult result = provider.Open(kNormalIds, kUpgradeIds);

        EXPECT_EQ(result.path, c.openedPath);
        EXPECT_EQ(result.transport != nullptr, !c.openedPath.empty());
        EXPECT_EQ(result.upgradeMode, c.upgradeMode);
        if (c.failureMentions.empty()) {
            EXPECT_EQ(result.failure, "");
        } else {
            EXPECT_NE(result.failure.find(c.failureMentions), std::string::npos) << result.failure;
        }
        int opens = 0;
        for (const auto& hid : hids) {
            opens += hid->opens;
        }
        EXPECT_EQ(opens, c.openedPath.empty() ? 0 : 1) << "exactly the opened interface holds a handle";
    }
}

TEST(HidProvider, TracesEachStepOfTheSearch) {
    auto backend = std::make_shared<FakeHidBackend>();
    backend->Add("/dev/hidraw1", kNormalIds)->failOpen = true;
    backend->Add("/dev/hidraw2", kNormalIds);
    std::string trace;
    TraceSink previous = SetTraceSink([&](const std::string& line) { trace += line; });
    OpenResult result = HidProvider(backend).Open(kNormalIds, kUpgradeIds);
    SetTraceSink(previous);

    EXPECT_EQ(trace,
              "开始枚举usb设备\n"
              "枚举usb设备成功\n设备路径:\r\n/dev/hidraw1\n尝试打开通信端口....\n"
              "无法打开通信端口。不能读取设备信息!(设备连接可能不正确?)\n"
              "枚举usb设备成功\n设备路径:\r\n/dev/hidraw2\n尝试打开通信端口....\n"
              "打开通信端口成功!\n正在读取设备的标识...\n连接目标设备成功!\n");
}

TEST(HidProvider, ReportsAVanishedDeviceWithItsPath) {
    auto backend = std::make_shared<FakeHidBackend>();
    backend->Add("/dev/hidraw7", kNormalIds);
    HidProvider provider(backend);
    std::mutex mutex;
    std::vector<std::string> removed;
    provider.SetVanishedHandler([&](const std::string& path) {
        std::lock_guard lock(mutex);
        removed.push_back(path);
    });
    OpenResult result = provider.Open(kNormalIds, kUpgradeIds);
    ASSERT_NE(result.transport, nullptr);

    backend->Remove("/dev/hidraw7");
    Report report{2, 0x80};
    EXPECT_EQ(result.transport->Transfer(report), 0);
    std::lock_guard lock(mutex);
    EXPECT_EQ(removed, std::vector<std::string>{"/dev/hidraw7"});
}

TEST(ListAmplifiers, ListsEachAmplifierOnceWithItsMode) {
    FakeHidBackend backend;
    backend.Add("/dev/hidraw0", kOtherIds, "Mouse");
    backend.Add("/dev/hidraw1", kUpgradeIds, "Loader")->listedTwice = true;
    backend.Add("/dev/hidraw2", kNormalIds, "Amplifier");

    const auto list = ListAmplifiers(backend);

    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].path, "/dev/hidraw2");
    EXPECT_FALSE(list[0].upgradeMode);
    EXPECT_EQ(list[0].product, "Amplifier");
    EXPECT_EQ(list[0].ids.vendor, kNormalIds.vendor);
    EXPECT_EQ(list[1].path, "/dev/hidraw1");
    EXPECT_TRUE(list[1].upgradeMode);
    EXPECT_EQ(list[1].ids.product, kUpgradeIds.product);
}

}  // namespace
}  // namespace varnoth
