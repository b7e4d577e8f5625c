// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <chrono>
#include <cstdint>

namespace varnoth {

// The input levels the virtual amplifier reports: a singer on the two microphone channels (phrases of a few
// seconds with breaths between them, a second voice joining every third phrase) and a backing track on the
// two music channels (a steady beat at 120 per minute, louder in every other section of 16 s). The levels are
// a pure function of the seed and the time, so a test can rely on them.
class SimLevels {
  public:
    // Quiet floor, loud ceiling: a level never exceeds kMax.
    static constexpr std::uint8_t kMax = 70;
    // While nobody sings the microphone levels stay at or below kMicFloor.
    static constexpr std::uint8_t kMicFloor = 4;
    // The backing track never falls below kMusicMin.
    static constexpr std::uint8_t kMusicMin = 20;

    // Microphone 1, microphone 2, music 1, music 2 at the given time since the song started.
    static std::array<std::uint8_t, 4> At(std::uint64_t seed, std::chrono::milliseconds time);

    // Whether the singer sings at that time (the first microphone is above its floor).
    static bool Singing(std::uint64_t seed, std::chrono::milliseconds time);
};

}  // namespace varnoth
