// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/MainWindowTexts.h"

#include "ui/main/MainWindowTemplate.h"

namespace varnoth::mainwin {

namespace {

constexpr Bilingual kEffectPresetNames[kEffectPresets] = {
    {"0: 关闭", "0: OFF"},
    {"1: 小房间 A", "1: Short Room A"},
    {"2: 小房间 B", "2: Short Room B"},
    {"3: 小房间 C", "3: Short Room C"},
    {"4: 房间 A", "4: Room A"},
    {"5: 房间 B", "5: Room B"},
    {"6: 小礼堂 A", "6: Small Hall A"},
    {"7: 小礼堂 B", "7: Small Hall B"},
    {"8: 大礼堂 A", "8: Large Hall A"},
    {"9: 大礼堂 B", "9: Large Hall B"},
    {"10: 短金属", "10: Short Plate"},
    {"11: 人声金属", "11: Vocal Plate"},
    {"12: 教堂 A", "12: Church A"},
    {"13: 教堂 B", "13: Church B"},
    {"14: 大教堂", "14: Cathedral"},
    {"15: 混响门 A", "15: Gated Reverb A"},
    {"16: 混响门 B", "16: Gated Reverb B"},
    {"17: 金属门 A", "17: Gated Plate A"},
    {"18: 金属门 B", "18: Gated Plate B"},
    {"19: 单声回声", "19: Mono Echo"},
    {"20: 双声回声", "20: Stereo Echo"},
    {"21: 3/4单声回声", "21: Mono 3/4 Echo"},
    {"22: 3/4双声回声", "22: Stereo 3/4 Echo"},
    {"23: 4/4单声回声", "23: Mono 4/4 Echo"},
    {"24: 4/4双声回声", "24: Stereo 4/4 Echo"},
    {"25: 单声三连音回声", "25: Mono Triplet Echo"},
    {"26: 双声三连声回声", "26: Stereo Triplet Echo"},
    {"27: 弹簧混响", "27: Spring Reverb"},
};

constexpr Bilingual kCompressorPresetNames[kCompressorPresets] = {
    {"压限:自定义参数", "CP:User Defined Mode"},     {"1: 压缩 1: -18dB 2:1", "1: Comp1: -18dB 2:1"},
    {"2: 压缩 2: -15dB 3:1", "2: Comp2: -15dB 3:1"}, {"3: 压缩 3: -18dB 5:1", "3: Comp3: -18dB 5:1"},
    {"4: 压缩 4: -21dB 7:1", "4: Comp4: -21dB 7:1"}, {"5: 压缩 5: -24dB 12:1", "5: Comp5: -24dB 12:1"},
    {"6: 限制 1: -6dB", "6: Limiter 1: -6dB"},       {"7: 限制 2: -12dB", "7: Limiter 2: -12dB"},
    {"8: 限制 3: -18dB", "8: Limiter 3: -18dB"},
};

constexpr Bilingual kEqPageTitles[kEqPages] = {
    {"中置总均衡", "CENTER EQ"},
    {"话筒总均衡", "MIC EQ"},
    {"音乐总均衡", "MUSIC EQ"},
    {"超低总均衡", "SUB EQ"},
};

constexpr Bilingual kCopyEqMenu = {"复制本均衡到", "Copy this graphic EQ to"};

constexpr Bilingual kFlatEqQuestions[kEqPages] = {
    {"您确定要重置中置均衡?", "Reset center EQ?"},
    {"您确定要重置话筒均衡?", "Reset mic EQ?"},
    {"您确定要重置音乐均衡?", "Reset music EQ?"},
    {"您确定要重置超低均衡?", "Reset sub EQ?"},
};

constexpr Bilingual kSavedMode{"已储存模式", "Saved Mode"};
constexpr Bilingual kModeNumbers[kModes] = {{"一", "1"}, {"二", "2"}, {"三", "3"}, {"四", "4"}};

constexpr Bilingual kConnected{"USB已连接", "Connected"};
constexpr Bilingual kDisconnected{"USB未连接", "Disconnect"};
constexpr Bilingual kNotAnswering{"USB无响应", "Not answering"};
constexpr Bilingual kStatusPrefixText{"当前状态:", "Status:"};
constexpr Bilingual kMicChannel{"话筒控制", "Mic control"};
constexpr Bilingual kMusicChannel{"音乐控制", "Music control"};
constexpr Bilingual kMicVolLocked{"话筒音量已锁定!", "Mic vol locked!"};
constexpr Bilingual kMusicVolLocked{"音乐音量已锁定!", "Music vol locked!"};

constexpr Tooltip kTooltips[] = {
    {kLanguageButton, {"更改语言设置", "Change the language"}},
    {kLoadFileButton, {"载入效果配置文件", "Load a mode data file"}},
    {kSaveFileButton, {"保存效果配置文件", "Save a mode data file"}},
    {kSettingsButton, {"设置限制音量与其他功能", "Volume limits and other functions"}},
    {kMicViewButton, {"进行话筒相关参数设置", "Set the microphone's parameters"}},
    {kMusicViewButton, {"进行音乐相关参数设置", "Set the music's parameters"}},
    {kFlatPeqButton, {"重置参量均衡", "Flatten the parametric EQ"}},
    {kMicVolSlider, {"话筒主音量", "Mic master volume"}},
    {kMusicVolSlider, {"音乐主音量", "Music master volume"}},
    {kCenterVolSlider, {"中置主音量", "Center master volume"}},
    {kSubVolSlider, {"超低主音量", "Subwoofer master volume"}},
    {kRawValuesBox, {"切换效果显示值的方式", "Show the effects' values as raw numbers"}},
    {1089,
     {"效果一音量-通道发送至效果处理的音量", "Effect 1 volume: how much of the channel goes to the effect"}},
    {1060, {"高通滤波-通过高频部分,低频部分被切掉", "High-pass filter: passes the highs, cuts the lows"}},
    {1068, {"高通滤波-通过高频部分,低频部分被切掉", "High-pass filter: passes the highs, cuts the lows"}},
    {1053, {"高架滤波-将某部分低频提升或衰减", "Shelving filter: raises or lowers a band of frequencies"}},
    {1066, {"高架滤波-将某部分低频提升或衰减", "Shelving filter: raises or lowers a band of frequencies"}},
    {1061, {"效果声的音量", "Level of the effect sound"}},
    {1069, {"效果声的音量", "Level of the effect sound"}},
    {1062, {"效果声之间的时间间隔", "Time between the repeats"}},
    {1070, {"效果声之间的时间间隔", "Time between the repeats"}},
    {1063, {"反馈声的反馈速度", "How strongly the repeats feed back"}},
    {1071, {"反馈声的反馈速度", "How strongly the repeats feed back"}},
    {1090,
     {"效果二音量-通道发送至效果处理的音量", "Effect 2 volume: how much of the channel goes to the effect"}},
    {kFlatEqButton, {"重置当前均衡", "Flatten the shown graphic EQ"}},
    {1074,
     {"当话筒无声时，超低音从无声到有声的恢复时间",
      "How long the subwoofer takes to come back once the mic is silent"}},
    {1075, {"当话筒有声时，超低音音量降到一定比率", "How far the subwoofer falls while the mic is in use"}},
    {kOtherButton,
     {"重置模式或机器、遥控学习、在线升级",
      "Reset a memory mode or the machine, learn remote-control keys, upgrade the firmware"}},
};

}  // namespace

std::span<const Bilingual> EffectPresetNames() {
    return kEffectPresetNames;
}

std::span<const Bilingual> CompressorPresetNames() {
    return kCompressorPresetNames;
}

const char* CopyEqMenuText(int language) {
    return kCopyEqMenu.In(language);
}

const char* EqPageTitle(int page, int language) {
    return page >= 0 && page < kEqPages ? kEqPageTitles[page].In(language) : nullptr;
}

const char* ConnectionText(bool connected, int language) {
    return (connected ? kConnected : kDisconnected).In(language);
}

const char* NotAnsweringText(int language) {
    return kNotAnswering.In(language);
}

const char* StatusPrefix(int language) {
    return kStatusPrefixText.In(language);
}

const char* ChannelName(bool micView, int language) {
    return (micView ? kMicChannel : kMusicChannel).In(language);
}

const char* VolumeLockedNotice(int sliderId, int language) {
    switch (sliderId) {
        case kMicVolSlider:
            return kMicVolLocked.In(language);
        case kMusicVolSlider:
            return kMusicVolLocked.In(language);
        default:
            return nullptr;
    }
}

std::string SavedModeNotice(int mode, int language) {
    if (mode < 0 || mode >= kModes) {
        return {};
    }
    return std::string(kSavedMode.In(language)) + kModeNumbers[mode].In(language);
}

const char* FlatEqQuestion(int page, int language) {
    return page >= 0 && page < kEqPages ? kFlatEqQuestions[page].In(language) : nullptr;
}

std::span<const Tooltip> Tooltips() {
    return kTooltips;
}

}  // namespace varnoth::mainwin
