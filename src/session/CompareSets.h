// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include "session/EditHistory.h"

namespace varnoth {

// Two working sets, A (0) and B (1), of the connected amplifier for comparing by ear: one is live on the
// amplifier, the other is kept here. Switching keeps the live one and writes only the parameters in which
// the other differs, so the switch is heard at once. The set not yet used starts as a copy of the first.
class CompareSets {
  public:
    int Live() const { return m_live; }
    bool Used() const { return m_used; }

    // Switches the amplifier to the other set; returns the parameters written.
    int Switch(DeviceSession& session);
    // Copies set `from` over the other one: into this keeper, or onto the amplifier when the other is live.
    int Copy(DeviceSession& session, int from);
    // An undone or redone switch: the other set is live again, the amplifier has been written already.
    void Flip() { m_live = 1 - m_live; }
    void Clear();

  private:
    int m_live = 0;
    bool m_used = false;
    std::array<WorkingSet, 2> m_sets;
};

}  // namespace varnoth
