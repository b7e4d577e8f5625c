// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controls/WheelGesture.h"

#include <chrono>

namespace varnoth {

WheelGesture::WheelGesture()
    : m_clock([] {
          return static_cast<qint64>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now().time_since_epoch())
                                         .count());
      }) {}

bool WheelGesture::Notch() {
    const qint64 now = m_clock();
    const bool continues = m_running && now - m_last <= kPauseMs;
    m_running = true;
    m_last = now;
    return continues;
}

}  // namespace varnoth
