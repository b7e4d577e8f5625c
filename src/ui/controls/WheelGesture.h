// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <functional>
#include <utility>

namespace varnoth {

// Notches of the wheel that follow each other closely are one gesture, as a drag is: a pause longer than
// kPauseMs, or a break (the pointer moved, a button or key was pressed), begins the next one.
class WheelGesture {
  public:
    static constexpr qint64 kPauseMs = 500;
    // Milliseconds on a steady clock.
    using Clock = std::function<qint64()>;

    WheelGesture();
    // Tests give a clock of their own.
    void SetClock(Clock clock) { m_clock = std::move(clock); }

    // A notch of the wheel now: whether it continues the gesture of the notch before it.
    bool Notch();
    // The next notch begins a gesture.
    void Break() { m_running = false; }

  private:
    Clock m_clock;
    qint64 m_last = 0;
    bool m_running = false;
};

}  // namespace varnoth
