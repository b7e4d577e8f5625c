#include "ui/main/EditRules.h"

#include <algorithm>

#include "session/MachineSettings.h"
#include "ui/main/MainWindowTemplate.h"

namespace varnoth::mainwin {

namespace {

constexpr int kStepMax = 127;
constexpr int kSubTimeMax = 255;
constexpr int kSubRateMax = 99;
constexpr int kVolumeMax = 36;

using R = SliderRule;
using A = AfterEdit;
using P = Param;

constexpr SliderEdit kSliderEdits[] = {
    {kGainSlider, kStepMax, R::Down, P::InputGain_Mic, A::ValueLabel, 2150, 1051},
    {kGateSlider, kStepMax, R::Down, P::NoiseGate_Mic, A::ValueLabel, 2151, 1052},
    {2102, kStepMax, R::Compressor, P::CompressThreshold_Mic, A::RefreshCompressor, 2152, 1055},
    {2103, kStepMax, R::Compressor, P::CompressRatio_Mic, A::RefreshCompressor, 2153, 1056},
    {2104, kStepMax, R::Compressor, P::CompressAttackTime_Mic, A::RefreshCompressor, 2154, 1057},
    {2105, kStepMax, R::Compressor, P::CompressReleaseTime_Mic, A::RefreshCompressor, 2155, 1058},
    {2106, kStepMax, R::Compressor, P::CompressBoost_Mic, A::RefreshCompressor, 2156, 1059},
    {2107, kStepMax, R::Effect, P::ChToEffect1, A::EffectLabel, 2157, 1089},
    {2108, kStepMax, R::Effect, P::EffectHPF_0, A::EffectLabel, 2158, 1060},
    {2109, kStepMax, R::Effect, P::EffectHSF_0, A::EffectLabel, 2159, 1053},
    {2110, kStepMax, R::Effect, P::EffectLevel_0, A::EffectLabel, 2160, 1061},
    {2111, kStepMax, R::Effect, P::EffectDelayTime_0, A::EffectLabel, 2161, 1062},
    {2112, kStepMax, R::Effect, P::EffectFeedback_0, A::EffectLabel, 2162, 1063},
    {2113, kStepMax, R::Effect, P::ChToEffect2, A::EffectLabel, 2163, 1090},
    {2114, kStepMax, R::Effect, P::EffectHPF_1, A::EffectLabel, 2164, 1068},
    {2115, kStepMax, R::Effect, P::EffectHSF_1, A::EffectLabel, 2165, 1066},
    {2116, kStepMax, R::Effect, P::EffectLevel_1, A::EffectLabel, 2166, 1069},
    {2117, kStepMax, R::Effect, P::EffectDelayTime_1, A::EffectLabel, 2167, 1070},
    {2118, kStepMax, R::Effect, P::EffectFeedback_1, A::EffectLabel, 2168, 1071},
    {kSubTimeSlider, kSubTimeMax, R::Down, P::MicControlSubTime, A::RefreshAutoSub, 2169, 1074},
    {kSubRateSlider, kSubRateMax, R::Down, P::MicControlSubRate, A::RefreshAutoSub, 2170, 1075},
    {kSubLevelSlider, kStepMax, R::Down, P::SubLevel, A::ValueLabel, 2171, 1076},
    {kSubFrequencySlider, kStepMax, R::Down, P::SubFrequency, A::SubFrequencyLabel, 2172, 1086},
    {kSubResonanceSlider, kStepMax, R::Down, P::SubResonance, A::ValueLabel, 2173, 1087},
    {kMicVolSlider, kVolumeMax, R::Position, P::MicVol, A::MasterVolume, kMicVolValue, 1026},
    {kMusicVolSlider, kVolumeMax, R::Position, P::MusicVol, A::MasterVolume, kMusicVolValue, 1030},
    {kCenterVolSlider, kVolumeMax, R::Position, P::CenterVol, A::MasterVolume, kCenterVolValue, 1028},
    {kSubVolSlider, kVolumeMax, R::Position, P::SubVol, A::MasterVolume, kSubVolValue, 1032},
};

}  // namespace

std::span<const SliderEdit> SliderEdits() {
    return kSliderEdits;
}

const SliderEdit* FindSliderEdit(int id) {
    const auto* edit = std::find_if(std::begin(kSliderEdits), std::end(kSliderEdits),
                                    [id](const SliderEdit& e) { return e.id == id; });
    return edit == std::end(kSliderEdits) ? nullptr : edit;
}

int SliderValue(SliderRule rule, int maximum, int position) {
    const int d = (maximum - position) & 0xFF;
    switch (rule) {
        case SliderRule::Down:
            return d;
        case SliderRule::Compressor:
            return (kStepMax - d) & 0xFF;
        case SliderRule::Effect:
            return kStepMax - position;
        case SliderRule::Position:
            break;
    }
    return position;
}

int SliderPosition(SliderRule rule, int maximum, int value) {
    switch (rule) {
        case SliderRule::Down:
            return maximum - value;
        case SliderRule::Compressor:
            return value - kStepMax + maximum;
        case SliderRule::Effect:
            return kStepMax - value;
        case SliderRule::Position:
            break;
    }
    return value;
}

bool VolumeLocked(const MachineSettings& machine, int sliderId) {
    if (machine.Get_EnableLockFunc() == 0) {
        return false;
    }
    switch (sliderId) {
        case kMicVolSlider:
            return machine.Get_Lock_MicVol() != 0;
        case kMusicVolSlider:
            return machine.Get_Lock_MusicVol() != 0;
        default:
            return false;
    }
}

MicControlSubSetting ToggledMicControlSub(std::uint8_t time, std::uint8_t rate) {
    constexpr std::uint8_t kOnTime = 10;
    constexpr std::uint8_t kDefaultRate = 20;
    if (time != 0) {
        return {0, rate};
    }
    return {kOnTime, rate != 0 ? rate : kDefaultRate};
}

}  // namespace varnoth::mainwin
