// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/sim/SimLevels.h"

#include <algorithm>

namespace varnoth {
namespace {

constexpr std::int64_t kPhraseMs = 6000;
constexpr std::int64_t kSyllableMs = 250;
constexpr std::int64_t kBeatMs = 500;
constexpr std::int64_t kSectionMs = 16000;

std::uint64_t Mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// A number in [0, range) drawn from the seed, a stream and a step.
unsigned Draw(std::uint64_t seed, std::uint64_t stream, std::int64_t step, unsigned range) {
    return static_cast<unsigned>(Mix(seed ^ Mix(stream ^ Mix(static_cast<std::uint64_t>(step)))) % range);
}

std::int64_t PhraseLength(std::uint64_t seed, std::int64_t phrase) {
    return 3500 + Draw(seed, 1, phrase, 1500);
}

// A voice: louder syllables that swell and fade, at most 68; 0 at a syllable's edges.
unsigned Voice(std::uint64_t seed, std::uint64_t stream, std::int64_t t) {
    const std::int64_t syllable = t / kSyllableMs;
    const std::int64_t phase = t % kSyllableMs;
    const unsigned peak =
        Draw(seed, stream, syllable, 16) == 0 ? 66 : 36 + Draw(seed, stream + 1, syllable, 26);
    const std::int64_t half = kSyllableMs / 2;
    const std::int64_t distance = phase < half ? phase : kSyllableMs - phase;
    return static_cast<unsigned>(peak * (distance + half / 2) / (half + half / 2));
}

unsigned Floor(std::uint64_t seed, std::uint64_t stream, std::int64_t t) {
    return Draw(seed, stream, t / 100, SimLevels::kMicFloor + 1);
}

}  // namespace

bool SimLevels::Singing(std::uint64_t seed, std::chrono::milliseconds time) {
    const std::int64_t t = std::max<std::int64_t>(time.count(), 0);
    return t % kPhraseMs < PhraseLength(seed, t / kPhraseMs);
}

std::array<std::uint8_t, 4> SimLevels::At(std::uint64_t seed, std::chrono::milliseconds time) {
    const std::int64_t t = std::max<std::int64_t>(time.count(), 0);
    const std::int64_t phrase = t / kPhraseMs;
    const bool singing = Singing(seed, time);
    const bool duet = phrase % 3 == 2;

    unsigned mic1 = singing ? std::max(Voice(seed, 10, t), Floor(seed, 2, t) + 1) : Floor(seed, 2, t);
    unsigned mic2 = singing && duet ? std::max(Voice(seed, 20, t), Floor(seed, 3, t)) : Floor(seed, 3, t);

    const bool loudSection = (t / kSectionMs) % 2 == 1;
    const std::int64_t beatPhase = t % kBeatMs;
    const unsigned base = loudSection ? 40 : 30;
    const unsigned pulse = static_cast<unsigned>(18 * (kBeatMs - beatPhase) / kBeatMs);
    const unsigned music1 = base + pulse + Draw(seed, 30, t / 50, 6);
    const unsigned music2 = base + pulse + Draw(seed, 31, t / 50, 6);

    auto clamp = [](unsigned v) { return static_cast<std::uint8_t>(std::min<unsigned>(v, kMax)); };
    return {clamp(mic1), clamp(mic2), clamp(music1), clamp(music2)};
}

}  // namespace varnoth
