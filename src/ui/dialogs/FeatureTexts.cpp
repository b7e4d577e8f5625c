#include "ui/dialogs/FeatureTexts.h"

#include <array>
#include <cstddef>

namespace varnoth {

namespace {

struct Bilingual {
    FeatureText key;
    const char* chinese;
    const char* english;
};

// In the order of the enumeration.
constexpr std::array kTexts = {
    Bilingual{FeatureText::NotConnected, "请先连接设备!", "Please connect the device first!"},
    Bilingual{FeatureText::ConnectFirst, "请先连接设备再执行此操作!", "请先连接设备再执行此操作!"},
    Bilingual{FeatureText::Invalid, "无效", "Invalid"},
    Bilingual{FeatureText::SettingSaved, "保存设置成功!", "Setting saved"},
    Bilingual{FeatureText::RemoteSaved, "遥控器键码保存成功!", "Save remote control key successed !"},
    Bilingual{FeatureText::StudyClosing, "窗口将自动关闭", "Window will be closed!"},
    Bilingual{FeatureText::ResetMachineCaption, "机器复位", "机器复位"},
    Bilingual{FeatureText::ResetMachineQuestion, "您确定将机器复位吗?", "您确定将机器复位吗?"},
    Bilingual{FeatureText::UpgradeCaption, "升级", "升级"},
    Bilingual{FeatureText::UpgradeQuestion, "需要自动升级软件配套硬件程序吗?",
              "需要自动升级软件配套硬件程序吗?"},
    Bilingual{FeatureText::UpgradeDone, "升级完成，请重启设备!", "升级完成，请重启设备!"},
    Bilingual{FeatureText::UpgradeNoImage, "没有可用的升级程序，升级未进行!",
              "No upgrade image available, nothing was sent!"},
    Bilingual{FeatureText::UpgradeRefused, "升级文件无效，升级未进行!",
              "Image file refused, nothing was sent!"},
    Bilingual{FeatureText::UpgradeFailed, "升级失败，请重新升级!", "Upgrade failed, please upgrade again!"},
    Bilingual{FeatureText::UpgradeDeviceGone, "设备已断开，升级未完成!",
              "Device gone, upgrade not finished!"},
    Bilingual{FeatureText::UpgradeBusy, "正在升级，请稍候!", "Upgrade running, please wait!"},
    Bilingual{FeatureText::ChooseImageTitle, "选择升级程序", "Choose upgrade image"},
    Bilingual{FeatureText::ImageFilter, "升级程序 (*.bin);;所有文件 (*)",
              "Firmware image (*.bin);;All files (*)"},
    Bilingual{
        FeatureText::UpgradeNeedsMode,
        "机器不在升级模式，升级未进行!\n请先关闭电源，按住ENTER键，同时打开电源开关；指示灯为绿色时再升级。",
        "The machine is not in upgrade mode, nothing was sent!\nTurn power off, press \"enter\" while "
        "pressing \"power on\"; upgrade when status shows \"green\"."},
    Bilingual{FeatureText::UpgradeDoNotClose, "正在升级，机器程序正在写入，请勿关闭窗口或拔出USB线!",
              "Upgrading: the machine's program is being written. Do not close this window or unplug the "
              "USB cable!"},
};

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

}  // namespace varnoth
