// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "session/RegisterMap.h"

namespace varnoth::test {

// How a value label shows its slider's value.
enum class Shown {
    Raw,
    Threshold,
    Ratio,
    Attack,
    Release,
    Boost,
    Hpf,
    Hsf,
    Level,
    Delay,
    Feedback,
    SubFrequency
};

inline constexpr int kNone = -1;

// Every slider that edits a store field: its range, whether its maximum is at the bottom, and the field it
// edits in microphone and in music view (kNone: the same field in both views).
struct SliderCase {
    int id;
    int maximum;
    bool vertical;
    int micField;
    int musicField;
    int label;
    Shown shown;
};
inline const SliderCase kSliders[] = {
    {2100, 127, true, pos::InputGain_Mic, pos::InputGain_Music, 2150, Shown::Raw},
    {2101, 127, true, pos::NoiseGate_Mic, pos::NoiseGate_Music, 2151, Shown::Raw},
    {2102, 127, false, pos::Compress_Mic + pos::CompressThreshold,
     pos::Compress_Music + pos::CompressThreshold, 2152, Shown::Threshold},
    {2103, 127, false, pos::Compress_Mic + pos::CompressRatio, pos::Compress_Music + pos::CompressRatio, 2153,
     Shown::Ratio},
    {2104, 127, false, pos::Compress_Mic + pos::CompressAttackTime,
     pos::Compress_Music + pos::CompressAttackTime, 2154, Shown::Attack},
    {2105, 127, false, pos::Compress_Mic + pos::CompressReleaseTime,
     pos::Compress_Music + pos::CompressReleaseTime, 2155, Shown::Release},
    {2106, 127, false, pos::Compress_Mic + pos::CompressBoost, pos::Compress_Music + pos::CompressBoost, 2156,
     Shown::Boost},
    {2107, 127, true, pos::ChToEffect1, kNone, 2157, Shown::Raw},
    {2108, 127, true, pos::Effect1 + pos::EffectHPF, kNone, 2158, Shown::Hpf},
    {2109, 127, true, pos::Effect1 + pos::EffectHSF, kNone, 2159, Shown::Hsf},
    {2110, 127, true, pos::Effect1 + pos::EffectLevel, kNone, 2160, Shown::Level},
    {2111, 127, true, pos::Effect1 + pos::EffectDelayTime, kNone, 2161, Shown::Delay},
    {2112, 127, true, pos::Effect1 + pos::EffectFeedback, kNone, 2162, Shown::Feedback},
    {2113, 127, true, pos::ChToEffect2, kNone, 2163, Shown::Raw},
    {2114, 127, true, pos::Effect2 + pos::EffectHPF, kNone, 2164, Shown::Hpf},
    {2115, 127, true, pos::Effect2 + pos::EffectHSF, kNone, 2165, Shown::Hsf},
    {2116, 127, true, pos::Effect2 + pos::EffectLevel, kNone, 2166, Shown::Level},
    {2117, 127, true, pos::Effect2 + pos::EffectDelayTime, kNone, 2167, Shown::Delay},
    {2118, 127, true, pos::Effect2 + pos::EffectFeedback, kNone, 2168, Shown::Feedback},
    {2121, 127, true, pos::SubLevel, kNone, 2171, Shown::Raw},
    {2122, 127, true, pos::SubFrequency, kNone, 2172, Shown::SubFrequency},
    {2123, 127, true, pos::SubResonance, kNone, 2173, Shown::Raw},
    {1106, 36, false, pos::MicVol, kNone, 1027, Shown::Raw},
    {1103, 36, false, pos::MusicVol, kNone, 1031, Shown::Raw},
    {1104, 36, false, pos::CenterVol, kNone, 1029, Shown::Raw},
    {1105, 36, false, pos::SubVol, kNone, 1033, Shown::Raw},
};

}  // namespace varnoth::test
