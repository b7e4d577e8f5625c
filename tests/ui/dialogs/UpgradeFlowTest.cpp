// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cerrno>
#include <cstddef>
#include <string>
#include <vector>

#include "FakeUpgradeSession.h"
#include "ui/dialogs/FeatureTexts.h"
#include "ui/dialogs/UpgradeFlow.h"

namespace varnoth {
namespace {

using test::FakeUpgradeSession;

constexpr int kChinese = 0;
constexpr int kEnglish = 1;

// A transfer that stopped part-way.
UpgradeResult StoppedAt(UpgradeFault fault, std::size_t page, std::size_t pages, int percent) {
    UpgradeResult result = UpgradeResult::Failed(fault, "stopped");
    result.page = page;
    result.pages = pages;
    result.percent = percent;
    return result;
}

TEST(UpgradeFlow, StartsTheCarriedImageOnlyWithADeviceAnImageAndNoTransferRunning) {
    struct Case {
        bool connected;
        bool carries;
        bool upgrading;
        int language;
        const char* notice;  // empty: started
        bool upStatus = true;
    };
    const std::vector<Case> cases{
        {false, true, false, kChinese, "请先连接设备!"},
        {false, true, false, kEnglish, "Please connect the device first!"},
        {true, false, false, kChinese, "没有可用的升级程序，升级未进行!"},
        {true, true, true, kEnglish, "Upgrade running, please wait!"},
        {true, true, false, kChinese, ""},
        {true, true, false, kChinese,
         "机器不在升级模式，升级未进行!\n请先关闭电源，按住ENTER键，同时打开电源开关；指示灯为绿色时再升级。",
         false},
    };
    for (const Case& c : cases) {
        FakeUpgradeSession session;
        session.connected = c.connected;
        session.carries = c.carries;
        session.upgrading = c.upgrading;
        session.upStatus = c.upStatus;
        UpgradeFlow flow(session);
        EXPECT_EQ(flow.MayAsk(), !c.upgrading);
        const UpgradeFlow::Start start = flow.StartCarried(c.language);
        SCOPED_TRACE(c.notice);
        EXPECT_EQ(start.notice.text, c.notice);
        EXPECT_EQ(start.started, std::string(c.notice).empty());
        EXPECT_EQ(session.started.size(), start.started ? 1u : 0u);
    }
}

TEST(UpgradeFlow, SecondStartWhileTheFirstRunsStartsNothing) {
    FakeUpgradeSession session;
    UpgradeFlow flow(session);
    EXPECT_TRUE(flow.StartCarried(kChinese).started);
    EXPECT_FALSE(flow.MayAsk()) << "no Yes/No while the transfer runs";
    EXPECT_FALSE(flow.MayClose()) << "the dialog stays while the amplifier is written";
    EXPECT_FALSE(flow.StartCarried(kChinese).started);
    EXPECT_FALSE(flow.StartFile("/tmp/image.bin", kChinese).started);
    EXPECT_EQ(session.started, std::vector<std::string>{"carried"});
}

TEST(UpgradeFlow, RefusedImageFileIsExplainedInTheUsersLanguageAndNotSent) {
    FakeUpgradeSession session;
    session.fileCheck =
        UpgradeResult::Failed(UpgradeFault::HexFile, "an Intel HEX text file", 0, "/tmp/x.hex");
    UpgradeFlow flow(session);
    UpgradeFlow::Start start = flow.StartFile("/tmp/x.hex", kEnglish);
    EXPECT_FALSE(start.started);
    EXPECT_EQ(start.notice.text, "Image file refused, nothing was sent!");
    EXPECT_EQ(
        start.problem,
        "The firmware image \"/tmp/x.hex\" is an Intel HEX text file; only raw binary images (.bin) can be "
        "sent.");
    start = flow.StartFile("/tmp/x.hex", kChinese);
    EXPECT_EQ(start.notice.text, "升级文件无效，升级未进行!");
    EXPECT_EQ(start.problem, "升级文件 \"/tmp/x.hex\"是 Intel HEX 文本文件，只能发送二进制升级程序 (.bin)。");
    EXPECT_TRUE(session.started.empty());

    session.fileCheck = {};
    EXPECT_TRUE(flow.StartFile("/tmp/x.bin", kEnglish).started);
    EXPECT_EQ(session.started, std::vector<std::string>{"/tmp/x.bin"});
}

TEST(UpgradeFlow, CompletionNoticeOnlyWhenTheWholeImageWasSentAndFailuresSayWhyInTheLanguage) {
    FakeUpgradeSession session;
    UpgradeFlow flow(session);
    session.outcome = UpgradeResult::Sent(1000, "sent");
    UpgradeFlow::Completion done = flow.Done(kEnglish);
    EXPECT_TRUE(done.sent);
    EXPECT_EQ(done.notice.text, "Upgrade finished, please restart the device!");
    EXPECT_TRUE(done.notice.asksToAct) << "the user must restart the amplifier: the notice waits for them";
    EXPECT_EQ(flow.Done(kChinese).notice.text, "升级完成，请重启设备!");

    session.outcome = StoppedAt(UpgradeFault::NoReply, 3, 12, 20);
    done = flow.Done(kChinese);
    EXPECT_FALSE(done.sent);
    EXPECT_EQ(done.notice.text, "升级失败，请重新升级!");
    EXPECT_EQ(
        done.detail.rfind("设备在第 3 页（共 12 页，已确认 20%）没有确认升级程序的报告，传输已停止。", 0), 0u)
        << done.detail;

    session.connected = false;
    session.outcome = StoppedAt(UpgradeFault::Unplugged, 3, 12, 20);
    done = flow.Done(kEnglish);
    EXPECT_FALSE(done.sent);
    EXPECT_EQ(done.notice.text, "Device gone, upgrade not finished!");
    EXPECT_EQ(done.detail.rfind("The amplifier went away during the firmware transfer, at page 3 of 12 (20% "
                                "acknowledged). The amplifier's firmware is incomplete",
                                0),
              0u)
        << done.detail;
}

// Every reason a transfer is refused or ends early reads in the user's language and names the file; a file
// name that looks like a placeholder stays as it is.
TEST(UpgradeFlow, EveryFaultIsExplainedInBothLanguages) {
    struct Case {
        UpgradeResult result;
        std::string chinese;
        std::string english;
    };
    const std::string kAgainChinese =
        "设备固件不完整，没有启动。请关闭设备电源，按住ENTER键同时打开电源进入升级模式，然后重新升级。";
    const std::string kAgainEnglish =
        " The amplifier's firmware is incomplete and was not started. Switch the amplifier off, switch it on "
        "in "
        "upgrade mode (hold ENTER while switching it on) and upgrade again.";
    const std::vector<Case> cases{
        {UpgradeResult::Failed(UpgradeFault::NotConnected, ""), "没有连接设备。",
         "No amplifier is connected."},
        {UpgradeResult::Failed(UpgradeFault::NoImage, ""), "本程序没有携带升级程序，请从文件升级。",
         "This build carries no firmware image; upgrade from an image file instead."},
        {UpgradeResult::Failed(UpgradeFault::Busy, ""), "已有升级正在进行。",
         "A firmware transfer is already running."},
        {UpgradeResult::Failed(UpgradeFault::CannotOpen, "", 0, "/a/%n.bin", ENOENT),
         "无法打开升级文件 \"/a/%n.bin\"：文件不存在。",
         "Can't open the firmware image \"/a/%n.bin\": no such file."},
        {UpgradeResult::Failed(UpgradeFault::CannotOpen, "", 0, "/a.bin", EIO),
         "无法打开升级文件 \"/a.bin\"：系统错误 5。",
         "Can't open the firmware image \"/a.bin\": system error 5."},
        {UpgradeResult::Failed(UpgradeFault::CannotRead, "", 0, "/a.bin"), "无法读取升级文件 \"/a.bin\"。",
         "Can't read the firmware image \"/a.bin\"."},
        {UpgradeResult::Failed(UpgradeFault::TooSmall, "", 7, "/a.bin"),
         "升级文件 \"/a.bin\"只有 7 字节，升级程序至少需要 100 字节。",
         "The firmware image \"/a.bin\" holds 7 bytes; a firmware image holds at least 100."},
        {UpgradeResult::Failed(UpgradeFault::TooLarge, "", 70000),
         "升级程序超过 65536 字节，超出设备的 16 位地址范围。",
         "The firmware image holds more than 65536 bytes, beyond the amplifier's 16-bit addresses."},
        {UpgradeResult::Failed(UpgradeFault::NotUpgradeMode, ""),
         "机器不在升级模式，升级未进行!\n请先关闭电源，按住ENTER键，同时打开电源开关；指示灯为绿色时再升级。",
         "The machine is not in upgrade mode, nothing was sent!\nTurn power off, press \"enter\" while "
         "pressing "
         "\"power on\"; upgrade when status shows \"green\"."},
        {UpgradeResult::Failed(UpgradeFault::TextFile, "", 0, "/a.txt"),
         "升级文件 \"/a.txt\"是文本文件，不是二进制升级程序 (.bin)。",
         "The firmware image \"/a.txt\" is a text file, not a raw binary image (.bin)."},
        {UpgradeResult::Failed(UpgradeFault::OneValue, "", 0xFF, "/a.bin"),
         "升级文件 \"/a.bin\"不含固件：所有字节都是 0xFF。",
         "The firmware image \"/a.bin\" holds no firmware: every byte is 0xFF."},
        {StoppedAt(UpgradeFault::NotSent, 1, 128, 0),
         "升级程序的报告在第 1 页（共 128 页，已确认 0%）未能发送（设备是否已拔出？），传输已停止。" +
             kAgainChinese,
         "A report of the firmware image could not be sent at page 1 of 128 (0% acknowledged) (was the "
         "amplifier unplugged?); the transfer stopped there." +
             kAgainEnglish},
        {StoppedAt(UpgradeFault::NoReply, 64, 128, 49),
         "设备在第 64 页（共 128 页，已确认 49%）没有确认升级程序的报告，传输已停止。" + kAgainChinese,
         "The amplifier did not acknowledge a report of the firmware image at page 64 of 128 (49% "
         "acknowledged); the transfer stopped there." +
             kAgainEnglish},
        {StoppedAt(UpgradeFault::Unplugged, 128, 128, 99),
         "升级过程中设备已断开，停在第 128 页（共 128 页，已确认 99%）。" + kAgainChinese,
         "The amplifier went away during the firmware transfer, at page 128 of 128 (99% acknowledged)." +
             kAgainEnglish},
        {StoppedAt(UpgradeFault::Stopped, 2, 3, 50),
         "升级已在第 2 页（共 3 页，已确认 50%）停止。" + kAgainChinese,
         "The firmware transfer was stopped at page 2 of 3 (50% acknowledged)." + kAgainEnglish},
        {UpgradeResult::Failed(UpgradeFault::NotClosed, ""),
         "设备没有确认升级结束，新程序可能无法启动。请关闭设备电源，按住ENTER键同时打开电源进入升级模式，然后"
         "重新升级。",
         "The amplifier did not confirm the end of the firmware transfer; it may not start. Switch it off, "
         "switch "
         "it on in upgrade mode (hold ENTER while switching it on) and upgrade again."},
        {UpgradeResult::Sent(1000, "sent"), "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UpgradeDetailOf(c.result, kChinese), c.chinese);
        EXPECT_EQ(UpgradeDetailOf(c.result, kEnglish), c.english);
    }
}

}  // namespace
}  // namespace varnoth
