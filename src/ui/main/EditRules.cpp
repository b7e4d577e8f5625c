// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/EditRules.h"

#include <algorithm>

#include "session/MachineSettings.h"
#include "ui/main/MainWindowTemplate.h"

namespace varnoth::mainwin {

namespace {

// The positions of the compressor and effect rules run over 0..127.
constexpr int kStepMax = 127;

using R = SliderRule;
using P = Param;

constexpr SliderEdit kSliderEdits[] = {
    {kGainSlider, R::Down, P::InputGain_Mic, 2150, 1051},
    {kGateSlider, R::Down, P::NoiseGate_Mic, 2151, 1052},
    {kThresholdSlider, R::Compressor, P::CompressThreshold_Mic, 2152, 1055},
    {kRatioSlider, R::Compressor, P::CompressRatio_Mic, 2153, 1056},
    {kAttackSlider, R::Compressor, P::CompressAttackTime_Mic, 2154, 1057},
    {kReleaseSlider, R::Compressor, P::CompressReleaseTime_Mic, 2155, 1058},
    {kBoostSlider, R::Compressor, P::CompressBoost_Mic, 2156, 1059},
    {kEffect1SendSlider, R::Effect, P::ChToEffect1, 2157, 1089},
    {kEffect1SendSlider + 1, R::Effect, P::EffectHPF_0, 2158, 1060},
    {kEffect1SendSlider + 2, R::Effect, P::EffectHSF_0, 2159, 1053},
    {kEffect1SendSlider + 3, R::Effect, P::EffectLevel_0, 2160, 1061},
    {kEffect1SendSlider + 4, R::Effect, P::EffectDelayTime_0, 2161, 1062},
    {kEffect1SendSlider + 5, R::Effect, P::EffectFeedback_0, 2162, 1063},
    {kEffect2SendSlider, R::Effect, P::ChToEffect2, 2163, 1090},
    {kEffect2SendSlider + 1, R::Effect, P::EffectHPF_1, 2164, 1068},
    {kEffect2SendSlider + 2, R::Effect, P::EffectHSF_1, 2165, 1066},
    {kEffect2SendSlider + 3, R::Effect, P::EffectLevel_1, 2166, 1069},
    {kEffect2SendSlider + 4, R::Effect, P::EffectDelayTime_1, 2167, 1070},
    {kEffect2SendSlider + 5, R::Effect, P::EffectFeedback_1, 2168, 1071},
    {kSubTimeSlider, R::Down, P::MicControlSubTime, 2169, 1074},
    {kSubRateSlider, R::Down, P::MicControlSubRate, 2170, 1075},
    {kSubLevelSlider, R::Down, P::SubLevel, 2171, 1076},
    {kSubFrequencySlider, R::Down, P::SubFrequency, 2172, 1086},
    {kSubResonanceSlider, R::Down, P::SubResonance, 2173, 1087},
    {kMicVolSlider, R::Position, P::MicVol, kMicVolValue, 1026},
    {kMusicVolSlider, R::Position, P::MusicVol, kMusicVolValue, 1030},
    {kCenterVolSlider, R::Position, P::CenterVol, kCenterVolValue, 1028},
    {kSubVolSlider, R::Position, P::SubVol, kSubVolValue, 1032},
};

}  // namespace

std::span<const SliderEdit> SliderEdits() {
    return kSliderEdits;
}

int SliderMaximum(const SliderEdit& edit) {
    return Ref(edit.param).param->max;
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
    if (machine.Saved(MachineField::EnableLockFunc) == 0) {
        return false;
    }
    switch (sliderId) {
        case kMicVolSlider:
            return machine.Saved(MachineField::Lock_MicVol) != 0;
        case kMusicVolSlider:
            return machine.Saved(MachineField::Lock_MusicVol) != 0;
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
