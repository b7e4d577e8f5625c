#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeUpgradeSession.h"
#include "ui/dialogs/UpgradeFlow.h"

namespace varnoth {
namespace {

using test::FakeUpgradeSession;

constexpr int kChinese = 0;
constexpr int kEnglish = 1;

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
        EXPECT_EQ(start.notice, c.notice);
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

TEST(UpgradeFlow, RefusedImageFileIsExplainedAndNotSent) {
    FakeUpgradeSession session;
    session.fileProblem = "The firmware image \"/tmp/x.hex\" is an Intel HEX text file.";
    UpgradeFlow flow(session);
    const UpgradeFlow::Start start = flow.StartFile("/tmp/x.hex", kEnglish);
    EXPECT_FALSE(start.started);
    EXPECT_EQ(start.notice, "Image file refused, nothing was sent!");
    EXPECT_EQ(start.problem, session.fileProblem);
    EXPECT_TRUE(session.started.empty());

    session.fileProblem.clear();
    EXPECT_TRUE(flow.StartFile("/tmp/x.bin", kEnglish).started);
    EXPECT_EQ(session.started, std::vector<std::string>{"/tmp/x.bin"});
}

TEST(UpgradeFlow, CompletionNoticeOnlyWhenTheWholeImageWasSent) {
    FakeUpgradeSession session;
    UpgradeFlow flow(session);
    session.outcome = {true, "sent"};
    UpgradeFlow::Completion done = flow.Done(kEnglish);
    EXPECT_TRUE(done.sent);
    EXPECT_EQ(done.text, "升级完成，请重启设备!");

    session.outcome = {false, "3 reports of the firmware image could not be sent"};
    done = flow.Done(kChinese);
    EXPECT_FALSE(done.sent);
    EXPECT_EQ(done.text, "升级失败，请重新升级!");
    EXPECT_EQ(done.detail, session.outcome.message);

    session.connected = false;
    done = flow.Done(kEnglish);
    EXPECT_FALSE(done.sent);
    EXPECT_EQ(done.text, "Device gone, upgrade not finished!");
}

}  // namespace
}  // namespace varnoth
