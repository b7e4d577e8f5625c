// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

namespace varnoth {

// What keeps the panel from following the amplifier's master volumes for now.
enum class FollowHold {
    None,
    NotConnected,   // no amplifier, or one in upgrade mode
    Synchronising,  // a read-all, a write-all or a memory-mode load: its end refreshes everything
    Transferring,   // a firmware transfer
    NotAnswering,   // the amplifier does not answer
    Dragging,       // the user holds a slider: the panel shows the user's value
};

// What the session and the window know at a poll.
struct FollowConditions {
    bool connected = false;
    bool synchronising = false;
    bool transferring = false;
    bool answering = true;
    bool dragging = false;
};

// Following the amplifier: volumes turned on the amplifier itself or with its remote reach the panel. While
// nothing holds it, a level poll reads the four master volumes too, once per interval; like every level
// poll it is skipped while anything else waits for the link, and nothing is ever written back. Used from
// one thread (the one that polls).
class VolumeFollow {
  public:
    using Clock = std::chrono::steady_clock;

    explicit VolumeFollow(std::chrono::milliseconds interval) : m_interval(interval) {}

    // The first reason in the order of the enumeration that holds following, or None.
    static FollowHold Hold(const FollowConditions& conditions);
    // Whether the poll at `now` reads the volumes: nothing holds following and about an interval has
    // passed since the last read went out (polls come on a timer of their own, so a tenth of the interval
    // early counts as on time).
    bool Due(Clock::time_point now, const FollowConditions& conditions) const;
    // A poll with the volumes' read went out at `now`.
    void Sent(Clock::time_point now) { m_lastRead = now; }

  private:
    std::chrono::milliseconds m_interval;
    Clock::time_point m_lastRead{};
};

}  // namespace varnoth
