// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/FeatureTexts.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdio>

#include "session/FileKind.h"

namespace varnoth {

namespace {

struct Bilingual {
    FeatureText key;
    const char* chinese;
    const char* english;
    // The text asks the user to do something: a notice with it stays until the user closes it.
    bool asksToAct = false;
};

constexpr bool kAsksToAct = true;

// In the order of the enumeration.
constexpr std::array kTexts = {
    Bilingual{FeatureText::NotConnected, "请先连接设备!", "Please connect the device first!", kAsksToAct},
    Bilingual{FeatureText::ConnectFirst, "请先连接设备再执行此操作!",
              "Please connect the device before doing this!", kAsksToAct},
    Bilingual{FeatureText::InUpgradeMode, "机器处于升级模式，无法执行此操作!",
              "The amplifier is in upgrade mode; nothing was sent!"},
    Bilingual{FeatureText::NotReceived, "设备没有收到，请检查连接后重试!",
              "The amplifier did not receive it; check the connection and try again!", kAsksToAct},
    Bilingual{FeatureText::Invalid, "无效", "Invalid"},
    Bilingual{FeatureText::SettingSaved, "保存设置成功!", "Setting saved"},
    Bilingual{FeatureText::RemoteSaved, "遥控器键码保存成功!", "Save remote control key successed !"},
    Bilingual{FeatureText::StudyClosing, "窗口将自动关闭", "Window will be closed!"},
    Bilingual{FeatureText::ResetMachineCaption, "机器复位", "Reset machine"},
    Bilingual{FeatureText::ResetMachineQuestion, "您确定将机器复位吗?",
              "Reset the machine to its factory settings?"},
    Bilingual{FeatureText::UpgradeCaption, "升级", "Upgrade"},
    Bilingual{FeatureText::UpgradeQuestion, "需要自动升级软件配套硬件程序吗?",
              "Upgrade the amplifier's firmware now?"},
    Bilingual{FeatureText::UpgradeDone, "升级完成，请重启设备!",
              "Upgrade finished, please restart the device!", kAsksToAct},
    Bilingual{FeatureText::UpgradeNoImage, "没有可用的升级程序，升级未进行!",
              "No upgrade image available, nothing was sent!"},
    Bilingual{FeatureText::UpgradeRefused, "升级文件无效，升级未进行!",
              "Image file refused, nothing was sent!"},
    Bilingual{FeatureText::UpgradeFailed, "升级失败，请重新升级!", "Upgrade failed, please upgrade again!",
              kAsksToAct},
    Bilingual{FeatureText::UpgradeDeviceGone, "设备已断开，升级未完成!",
              "Device gone, upgrade not finished!"},
    Bilingual{FeatureText::UpgradeBusy, "正在升级，请稍候!", "Upgrade running, please wait!"},
    Bilingual{FeatureText::UnknownVersion, "未知版本", "Unknown version"},
    Bilingual{FeatureText::SyncTitle, "同步过程", "Synchronising"},
    Bilingual{FeatureText::SyncRunning, "当前正在与机器同步数据,请稍后......",
              "Synchronising data with the machine, please wait......"},
    Bilingual{FeatureText::SyncGaveUp, "错误,建议重连设备", "Error, please reconnect the device", kAsksToAct},
    Bilingual{FeatureText::ChooseImageTitle, "选择升级程序", "Choose upgrade image"},
    Bilingual{FeatureText::ImageFilter, "升级程序 (*.bin);;所有文件 (*)",
              "Firmware image (*.bin);;All files (*)"},
    Bilingual{FeatureText::UpgradeDoNotClose, "正在升级，机器程序正在写入，请勿关闭窗口或拔出USB线!",
              "Upgrading: the machine's program is being written. Do not close this window or unplug the "
              "USB cable!"},
    Bilingual{FeatureText::StatusInUpgradeMode, "机器处于升级模式", "The amplifier is in upgrade mode"},
    Bilingual{FeatureText::StatusNotInUpgradeMode, "机器不在升级模式",
              "The amplifier is not in upgrade mode"},
    Bilingual{
        FeatureText::SignalFlow,
        "信号流程图：话筒与音乐输入各经增益、噪声门、压缩器和四段参量均衡；两路效果取自两条通道；话筒、音乐、"
        "中置均衡与超低音处理各接十段图示均衡和主音量，输出至主声道、中置和超低音",
        "Signal flow: the mic and music inputs each pass gain, noise gate, compressor and 4-band "
        "parametric EQ; both paths send to effects 1 and 2; the mic, music and centre 10-band graphic "
        "EQs and the subwoofer processor with its own graphic EQ lead through the master volumes to the "
        "main, centre and subwoofer outputs"},
    Bilingual{FeatureText::KeyCodeField, "学到的键码", "Learnt key code"},
    Bilingual{FeatureText::FirmwareVersion, "硬件版本:", "Firmware: "},
    Bilingual{FeatureText::ModelName, "机器名称:", "Model: "},
};

// The explanations of a refused or incomplete transfer. "%file" is the image ("the firmware image" or the
// file by name), "%n" the number the fault carries, "%max" the size limit, "%why" the system's reason,
// "%byte" the one value of a one-value file, "%kind" the kind of file it is; where a transfer stopped
// part-way "%page" is the page it stopped in, "%pages" the image's pages, "%percent" the percentage
// acknowledged and "%again" what to do.
struct FaultText {
    UpgradeFault fault;
    const char* chinese;
    const char* english;
};

constexpr std::array kFaultTexts = {
    FaultText{UpgradeFault::NotConnected, "没有连接设备。", "No amplifier is connected."},
    FaultText{
        UpgradeFault::NotUpgradeMode,
        "机器不在升级模式，升级未进行!\n请先关闭电源，按住ENTER键，同时打开电源开关；指示灯为绿色时再升级。",
        "The machine is not in upgrade mode, nothing was sent!\nTurn power off, press \"enter\" while "
        "pressing \"power on\"; upgrade when status shows \"green\"."},
    FaultText{UpgradeFault::NoImage, "本程序没有携带升级程序，请从文件升级。",
              "This build carries no firmware image; upgrade from an image file instead."},
    FaultText{UpgradeFault::Busy, "已有升级正在进行。", "A firmware transfer is already running."},
    FaultText{UpgradeFault::HexFile, "%file是 Intel HEX 文本文件，只能发送二进制升级程序 (.bin)。",
              "%file is an Intel HEX text file; only raw binary images (.bin) can be sent."},
    FaultText{UpgradeFault::TextFile, "%file是文本文件，不是二进制升级程序 (.bin)。",
              "%file is a text file, not a raw binary image (.bin)."},
    FaultText{UpgradeFault::OtherKind, "%file是%kind，不是二进制升级程序 (.bin)。",
              "%file is %kind, not a raw binary image (.bin)."},
    FaultText{UpgradeFault::OneValue, "%file不含固件：所有字节都是 %byte。",
              "%file holds no firmware: every byte is %byte."},
    FaultText{UpgradeFault::CannotOpen, "无法打开%file：%why。", "Can't open %file: %why."},
    FaultText{UpgradeFault::CannotRead, "无法读取%file。", "Can't read %file."},
    FaultText{UpgradeFault::TooSmall, "%file只有 %n 字节，升级程序至少需要 %max 字节。",
              "%file holds %n bytes; a firmware image holds at least %max."},
    FaultText{UpgradeFault::TooLarge, "%file超过 %max 字节，超出设备的 16 位地址范围。",
              "%file holds more than %max bytes, beyond the amplifier's 16-bit addresses."},
    FaultText{UpgradeFault::NotSent,
              "升级程序的报告在第 %page 页（共 %pages 页，已确认 %percent%）未能发送（设备是否已拔出？），"
              "传输已停止。%again",
              "A report of the firmware image could not be sent at page %page of %pages (%percent% "
              "acknowledged) (was the amplifier unplugged?); the transfer stopped there.%again"},
    FaultText{UpgradeFault::NoReply,
              "设备在第 %page 页（共 %pages 页，已确认 %percent%）没有确认升级程序的报告，传输已停止。%again",
              "The amplifier did not acknowledge a report of the firmware image at page %page of %pages "
              "(%percent% acknowledged); the transfer stopped there.%again"},
    FaultText{UpgradeFault::Unplugged,
              "升级过程中设备已断开，停在第 %page 页（共 %pages 页，已确认 %percent%）。%again",
              "The amplifier went away during the firmware transfer, at page %page of %pages (%percent% "
              "acknowledged).%again"},
    FaultText{UpgradeFault::Stopped, "升级已在第 %page 页（共 %pages 页，已确认 %percent%）停止。%again",
              "The firmware transfer was stopped at page %page of %pages (%percent% acknowledged).%again"},
    FaultText{
        UpgradeFault::NotClosed,
        "设备没有确认升级结束，新程序可能无法启动。请关闭设备电源，按住ENTER键同时打开电源进入升级模式，然后"
        "重新升级。",
        "The amplifier did not confirm the end of the firmware transfer; it may not start. Switch it off, "
        "switch it on in upgrade mode (hold ENTER while switching it on) and upgrade again."},
};

// "%again": what to do after a transfer that stopped part-way.
constexpr const char* kAgainChinese =
    "设备固件不完整，没有启动。请关闭设备电源，按住ENTER键同时打开电源进入升级模式，然后重新升级。";
constexpr const char* kAgainEnglish =
    " The amplifier's firmware is incomplete and was not started. Switch the amplifier off, switch it on in "
    "upgrade mode (hold ENTER while switching it on) and upgrade again.";

// The system's reason for a failed open, for the errors a user can act on.
struct SystemErrorText {
    int error;
    const char* chinese;
    const char* english;
};

constexpr std::array kSystemErrors = {
    SystemErrorText{ENOENT, "文件不存在", "no such file"},
    SystemErrorText{EACCES, "没有访问权限", "permission denied"},
    SystemErrorText{EPERM, "没有访问权限", "permission denied"},
    SystemErrorText{EISDIR, "这是一个文件夹", "it is a folder"},
};

void ReplaceAll(std::string& text, const std::string& placeholder, const std::string& value) {
    for (std::size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size())) {
        text.replace(at, placeholder.size(), value);
    }
}

std::string SystemReason(int error, bool chinese) {
    for (const SystemErrorText& known : kSystemErrors) {
        if (known.error == error) {
            return chinese ? known.chinese : known.english;
        }
    }
    return (chinese ? "系统错误 " : "system error ") + std::to_string(error);
}

constexpr bool InEnumerationOrder() {
    for (std::size_t i = 0; i < kTexts.size(); ++i) {
        if (static_cast<std::size_t>(kTexts[i].key) != i) {
            return false;
        }
    }
    return true;
}
static_assert(InEnumerationOrder(), "one text per key, in the order of FeatureText");

}  // namespace

std::string FeatureTextOf(FeatureText text, int language) {
    const Bilingual& entry = kTexts[static_cast<std::size_t>(text)];
    return language == 0 ? entry.chinese : entry.english;
}

FeatureNotice FeatureNoticeOf(FeatureText text, int language) {
    return FeatureNotice{FeatureTextOf(text, language), kTexts[static_cast<std::size_t>(text)].asksToAct};
}

std::string UpgradeDetailOf(const UpgradeResult& result, int language) {
    const auto* entry = std::find_if(kFaultTexts.begin(), kFaultTexts.end(),
                                     [&result](const FaultText& f) { return f.fault == result.fault; });
    if (entry == kFaultTexts.end()) {
        return {};
    }
    const bool chinese = language == 0;
    std::string text = chinese ? entry->chinese : entry->english;
    std::string file = chinese ? (result.path.empty() ? "升级程序" : "升级文件") : "the firmware image";
    if (!result.path.empty()) {
        file += " \"" + result.path + "\"";
    }
    if (!chinese && text.rfind("%file", 0) == 0) {
        file[0] = 'T';
    }
    ReplaceAll(text, "%n", std::to_string(result.count));
    ReplaceAll(text, "%max",
               std::to_string(result.fault == UpgradeFault::TooSmall ? FirmwareUpgrade::kMinImageSize
                                                                     : FirmwareUpgrade::kMaxImageSize));
    ReplaceAll(text, "%why", SystemReason(result.systemError, chinese));
    char byte[8];
    std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned>(result.count & 0xFF));
    ReplaceAll(text, "%byte", byte);
    // "%pages" before "%page", which begins it.
    ReplaceAll(text, "%pages", std::to_string(result.pages));
    ReplaceAll(text, "%page", std::to_string(result.page));
    ReplaceAll(text, "%percent", std::to_string(result.percent));
    ReplaceAll(text, "%again", chinese ? kAgainChinese : kAgainEnglish);
    if (result.fault == UpgradeFault::OtherKind) {
        ReplaceAll(text, "%kind", FileKind::Name(result.count, language));
    }
    // Last, so that nothing in a file name is taken for a placeholder.
    ReplaceAll(text, "%file", file);
    return text;
}

}  // namespace varnoth
