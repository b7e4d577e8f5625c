#include "ui/main/StepText.h"

#include <array>
#include <cstring>
#include <optional>

namespace varnoth::mainwin {
namespace {

struct Title {
    const char* name;  // the parameter table's name
    Bilingual title;
};

// clang-format off
constexpr std::array kTitles{
    Title{"InputGain_Mic", {"话筒增益", "mic gain"}},
    Title{"InputGain_Music", {"音乐增益", "music gain"}},
    Title{"NoiseGate_Mic", {"话筒噪声门", "mic noise gate"}},
    Title{"NoiseGate_Music", {"音乐噪声门", "music noise gate"}},
    Title{"ChToMainL_Mic", {"话筒至主左", "mic to main L"}},
    Title{"ChToMainR_Mic", {"话筒至主右", "mic to main R"}},
    Title{"ChToMainL_Music", {"音乐至主左", "music to main L"}},
    Title{"ChToMainR_Music", {"音乐至主右", "music to main R"}},
    Title{"ChToEffect1", {"效果一音量", "effect 1 volume"}},
    Title{"ChToEffect2", {"效果二音量", "effect 2 volume"}},
    Title{"CompressOn_Mic", {"话筒压限", "mic compressor"}},
    Title{"CompressPreset_Mic", {"话筒压限预设", "mic compressor preset"}},
    Title{"CompressAttackTime_Mic", {"话筒起始时间", "mic attack"}},
    Title{"CompressReleaseTime_Mic", {"话筒释放时间", "mic release"}},
    Title{"CompressThreshold_Mic", {"话筒门限", "mic threshold"}},
    Title{"CompressRatio_Mic", {"话筒比率", "mic ratio"}},
    Title{"CompressBoost_Mic", {"话筒激励", "mic boost"}},
    Title{"CompressOn_Music", {"音乐压限", "music compressor"}},
    Title{"CompressPreset_Music", {"音乐压限预设", "music compressor preset"}},
    Title{"CompressAttackTime_Music", {"音乐起始时间", "music attack"}},
    Title{"CompressReleaseTime_Music", {"音乐释放时间", "music release"}},
    Title{"CompressThreshold_Music", {"音乐门限", "music threshold"}},
    Title{"CompressRatio_Music", {"音乐比率", "music ratio"}},
    Title{"CompressBoost_Music", {"音乐激励", "music boost"}},
    Title{"PEQOn_Mic", {"话筒参量均衡", "mic PEQ"}},
    Title{"PEQLowGain_Mic", {"话筒低频增益", "mic PEQ low gain"}},
    Title{"PEQLMidGain_Mic", {"话筒中低频增益", "mic PEQ low-mid gain"}},
    Title{"PEQHMidGain_Mic", {"话筒中高频增益", "mic PEQ high-mid gain"}},
    Title{"PEQHighGain_Mic", {"话筒高频增益", "mic PEQ high gain"}},
    Title{"PEQLowF_Mic", {"话筒低频频率", "mic PEQ low frequency"}},
    Title{"PEQLMidF_Mic", {"话筒中低频频率", "mic PEQ low-mid frequency"}},
    Title{"PEQHMidF_Mic", {"话筒中高频频率", "mic PEQ high-mid frequency"}},
    Title{"PEQHighF_Mic", {"话筒高频频率", "mic PEQ high frequency"}},
    Title{"PEQLMidQ_Mic", {"话筒中低频Q值", "mic PEQ low-mid Q"}},
    Title{"PEQHMidQ_Mic", {"话筒中高频Q值", "mic PEQ high-mid Q"}},
    Title{"PEQOn_Music", {"音乐参量均衡", "music PEQ"}},
    Title{"PEQLowGain_Music", {"音乐低频增益", "music PEQ low gain"}},
    Title{"PEQLMidGain_Music", {"音乐中低频增益", "music PEQ low-mid gain"}},
    Title{"PEQHMidGain_Music", {"音乐中高频增益", "music PEQ high-mid gain"}},
    Title{"PEQHighGain_Music", {"音乐高频增益", "music PEQ high gain"}},
    Title{"PEQLowF_Music", {"音乐低频频率", "music PEQ low frequency"}},
    Title{"PEQLMidF_Music", {"音乐中低频频率", "music PEQ low-mid frequency"}},
    Title{"PEQHMidF_Music", {"音乐中高频频率", "music PEQ high-mid frequency"}},
    Title{"PEQHighF_Music", {"音乐高频频率", "music PEQ high frequency"}},
    Title{"PEQLMidQ_Music", {"音乐中低频Q值", "music PEQ low-mid Q"}},
    Title{"PEQHMidQ_Music", {"音乐中高频Q值", "music PEQ high-mid Q"}},
    Title{"EffectPreset", {"预设", "preset"}},
    Title{"EffectHPF", {"高通", "HPF"}},
    Title{"EffectHSF", {"高架", "HSF"}},
    Title{"EffectPreDelay", {"预延时", "pre-delay"}},
    Title{"EffectLevel", {"电平", "level"}},
    Title{"EffectDelayTime", {"延时", "delay"}},
    Title{"EffectFeedback", {"反馈", "feedback"}},
    Title{"EffectHDamp", {"高频阻尼", "HF damping"}},
    Title{"EffectThreshold", {"门限", "threshold"}},
    Title{"SubLevel", {"超低电平", "sub level"}},
    Title{"SubPhase180", {"超低相位180°", "sub phase 180°"}},
    Title{"SubFrequency", {"超低频率", "sub frequency"}},
    Title{"SubResonance", {"超低共振", "sub resonance"}},
    Title{"MicGEQ", {"话筒均衡", "mic EQ"}},
    Title{"MusicGEQ", {"音乐均衡", "music EQ"}},
    Title{"CenterGEQ", {"中置均衡", "center EQ"}},
    Title{"SubGEQ", {"超低均衡", "sub EQ"}},
    Title{"MicVol", {"话筒音量", "mic volume"}},
    Title{"MusicVol", {"音乐音量", "music volume"}},
    Title{"CenterVol", {"中置音量", "center volume"}},
    Title{"SubVol", {"超低音量", "sub volume"}},
    Title{"MicControlSubTime", {"超低恢复时间", "auto sub restore time"}},
    Title{"MicControlSubRate", {"超低比率", "auto sub rate"}},
};
// clang-format on

constexpr Bilingual kEffect[2] = {{"效果一", "effect 1"}, {"效果二", "effect 2"}};
constexpr Bilingual kBand{"频段", "band"};

}  // namespace

std::string ParameterTitle(const ParameterRef& ref, int language) {
    std::string title = ref.param->name;
    for (const Title& entry : kTitles) {
        if (std::strcmp(entry.name, ref.param->name) == 0) {
            title = entry.title.In(language);
        }
    }
    const bool english = language != 0;
    if (ref.param->count == 2) {
        return std::string(kEffect[ref.index].In(language)) + (english ? " " : "") + title;
    }
    if (ref.param->count > 2) {
        return title + " " + kBand.In(language) + (english ? " " : "") + std::to_string(ref.index + 1);
    }
    return title;
}

std::string ParameterTitle(std::string_view name, int language) {
    if (const std::optional<ParameterRef> ref = FindParameter(name)) {
        return ParameterTitle(*ref, language);
    }
    for (const Title& entry : kTitles) {
        if (name == entry.name) {
            return entry.title.In(language);
        }
    }
    return std::string(name);
}

std::string StepText(const EditStep& step, int language) {
    const std::vector<std::size_t> changed = step.Changed();
    if (changed.size() != 1 || step.wholeSet) {
        return step.action;
    }
    const ParameterRef& ref = WorkingSetParameters()[changed.front()];
    const std::size_t i = changed.front();
    return ParameterTitle(ref, language) + " " + ref.Shown(step.before[i], language) + " → " +
           ref.Shown(step.after[i], language);
}

std::string UndoCommandText(const EditStep* step, bool undo, int language) {
    const std::string command = (undo ? kUndoText : kRedoText).In(language);
    if (step == nullptr) {
        return command;
    }
    return command + (language != 0 ? ": " : "：") + StepText(*step, language);
}

}  // namespace varnoth::mainwin
