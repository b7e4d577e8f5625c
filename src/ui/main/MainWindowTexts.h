// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string>

#include "session/ParameterTable.h"

// The texts the main window chooses itself (UTF-8): list entries, page titles, status texts, notices,
// prompts and tooltips. Language index 0 is Chinese; anything else is English.
namespace varnoth::mainwin {

inline constexpr int kEffectPresets = 28;
inline constexpr int kCompressorPresets = 9;

// The list entries of the effect and compressor presets; the index is the preset number.
std::span<const Bilingual> EffectPresetNames();
std::span<const Bilingual> CompressorPresetNames();

// The title of graphic EQ page 0..3 (centre, microphone, music, subwoofer); nullptr for another page.
const char* EqPageTitle(int page, int language);
// The graphic EQ menu's entry that copies the shown page to another.
const char* CopyEqMenuText(int language);

// Label 1017: "Connected" / "USB已连接" or "Disconnect" / "USB未连接".
const char* ConnectionText(bool connected, int language);
// The status while the connected amplifier does not answer.
const char* NotAnsweringText(int language);
// Label 1064 and label 1054 of the shown path.
const char* StatusPrefix(int language);
const char* ChannelName(bool micView, int language);

// The notice of a locked master volume; nullptr for a slider that has no lock.
const char* VolumeLockedNotice(int sliderId, int language);

// Device events.
inline constexpr Bilingual kUpgradeCaption{"升级", "Upgrade"};
inline constexpr Bilingual kErrorCaption{"错误", "Error"};
inline constexpr Bilingual kUpgradeModeQuestion{
    "机器为升级模式，是否升级?", "The amplifier is in upgrade mode. Upgrade its firmware now?"};
inline constexpr Bilingual kModelMismatch{
    "机型与该软件不匹配,USB已断开!",
    "This amplifier is a model this program does not control; it has been disconnected!"};
inline constexpr Bilingual kOlderFirmwareQuestion{
    "软件与硬件版本不匹配(软件版本高于硬件)\r\n是否升级软件绑定的硬件程序?",
    "The amplifier's firmware is older than the one this program carries.\nUpgrade the amplifier with it?"};
inline constexpr Bilingual kNewerFirmwareQuestion{
    "软件与硬件版本不匹配(软件版本低于硬件),建议升级调音软件!\r\n"
    "选择\"是\"强行控制(容易引发未知问题),选择\"否\"断开连接！",
    "The amplifier's firmware is newer than this program knows; an update of this program is recommended.\n"
    "Yes controls the amplifier anyway (which may cause unknown problems); No disconnects it."};

// Closing with edits the amplifier never acknowledged: their names follow the text.
inline constexpr Bilingual kNotDeliveredCaption{"未送达", "Not delivered"};
inline constexpr Bilingual kNotDelivered{"设备没有确认这些更改，它们可能没有送达设备：",
                                         "The amplifier did not acknowledge these changes; they may not have "
                                         "reached it: "};

// Commands.
inline constexpr Bilingual kLoadModeLocked{"载入模式已锁定!", "Load mode locked!"};
inline constexpr Bilingual kSaveModeLocked{"存储模式已锁定!", "Save mode locked!"};
inline constexpr Bilingual kFileSaved{"文件保存成功!", "File saved"};
// A chosen name whose extension became "vqm" names a file that exists: %1 is its path.
inline constexpr Bilingual kReplaceFileQuestion{"文件 %1 已存在，要替换它吗?",
                                                "%1 already exists. Do you want to replace it?"};
inline constexpr Bilingual kConfirmCaption{"确认?", "Confirm?"};
inline constexpr Bilingual kFlatEqDone{"均衡已经置零", "Flat finished"};
inline constexpr Bilingual kFlatMicPeqQuestion{"您确定要重置话筒参量均衡吗?", "Reset the mic PEQ?"};
inline constexpr Bilingual kFlatMusicPeqQuestion{"您确定要重置音乐参量均衡吗?", "Reset the music PEQ?"};
inline constexpr Bilingual kMicPeqFlat{"话筒参量均衡已置零", "Mic PEQ Flat finished"};
inline constexpr Bilingual kMusicPeqFlat{"音乐参量均衡已置零", "Music PEQ Flat finished"};
inline constexpr Bilingual kDefaultMicEqQuestion{"您确定要重置成出厂话筒均衡?", "Reset default mic EQ?"};
inline constexpr Bilingual kDefaultMicEqDone{"均衡已经置为出厂均衡", "Flat default EQ "};

inline constexpr Bilingual kNotAnsweringNotice{
    "设备没有响应，修改将在设备响应后发送",
    "The amplifier is not answering; changes are sent when it answers."};
inline constexpr Bilingual kAnsweringAgainNotice{"设备已恢复响应", "The amplifier answers again."};
inline constexpr Bilingual kSyncUnansweredNotice{"设备没有响应，未能读取参数",
                                                 "The amplifier did not answer; its settings were not read."};
inline constexpr Bilingual kOpenFailedCaption{"无法打开设备", "The amplifier cannot be opened"};

// The notice after saving memory mode 0..3: "已储存模式一" / "Saved Mode1".
std::string SavedModeNotice(int mode, int language);
// The question before flattening graphic EQ page 0..3; nullptr for another page.
const char* FlatEqQuestion(int page, int language);

// Tooltips, in the order they are added, in both languages.
struct Tooltip {
    int id;
    Bilingual text;
};
std::span<const Tooltip> Tooltips();

}  // namespace varnoth::mainwin
