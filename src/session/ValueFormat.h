// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

// Conversions between the device's raw parameter bytes and what the user sees: display texts (UTF-8)
// and the values the EQ and compressor panels hold. Pure functions; texts do not depend on the locale.
namespace varnoth::ValueFormat {

// Compressor of the shown path.
double ThresholdDb(std::uint8_t t);
std::string ThresholdText(std::uint8_t t);  // "-50.0dB"
std::string RatioText(std::uint8_t r);      // "128:128" .. "1:128"
double RatioSlope(std::uint8_t r);          // (128 - r) / 128
double AttackMs(std::uint8_t a);
std::string AttackText(std::uint8_t a);  // "0.1ms"
double ReleaseMs(std::uint8_t l);
std::string ReleaseText(std::uint8_t l);  // "10ms"
double BoostFactor(std::uint8_t b);
std::string BoostText(std::uint8_t b);  // "x1.0"

// Effect engines.
std::string EffectHpfText(std::uint8_t v);       // "OFF", "5Hz" .. "600Hz"
std::string EffectHsfText(std::uint8_t v);       // "-12.0db" .. "+6.0db"
std::string EffectLevelText(std::uint8_t v);     // "-∞", "-42.0db" .. "-0.0db"
std::string EffectDelayText(std::uint8_t v);     // "40ms" .. "1365ms"
std::string EffectFeedbackText(std::uint8_t v);  // "0%" .. "100%"

// A raw value in decimal (send levels, sub level and resonance, volumes, gain, gate).
std::string RawText(int v);

// Subwoofer.
std::string SubFrequencyText(std::uint8_t f);  // "10Hz" .. "260Hz"

// Mic-controls-sub: a time of 0 switches the function off and both labels read "无效" / "Invalid".
// language: 0 Chinese, anything else English.
std::string MicControlSubTimeText(std::uint8_t t, int language);                  // "0.1s" .. "25.5s"
std::string MicControlSubRateText(std::uint8_t t, std::uint8_t r, int language);  // "20%"

// Graphic EQ: a bank byte is a band gain in whole dB around 64.
int GeqGainDb(std::uint8_t x);
std::uint8_t GeqByte(double gainDb);

// Parametric EQ, bands 0 (low) .. 3 (high).
constexpr int kPeqBands = 4;
float PeqGainDb(std::uint8_t g);
std::uint8_t PeqGainByte(double gainDb);
float PeqQ(std::uint8_t q);
std::uint8_t PeqQByte(double q);
// band outside 0..3 gives 0.
float PeqFrequencyHz(int band, std::uint8_t f);
std::uint8_t PeqFrequencyByte(int band, double hz);

}  // namespace varnoth::ValueFormat
