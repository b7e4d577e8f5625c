// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/CompareSets.h"

namespace varnoth {

int CompareSets::Switch(DeviceSession& session) {
    const int other = 1 - m_live;
    m_sets[static_cast<std::size_t>(m_live)] = CaptureWorkingSet(session);
    if (!m_used) {
        m_sets[static_cast<std::size_t>(other)] = m_sets[static_cast<std::size_t>(m_live)];
        m_used = true;
    }
    EditStep change;
    change.before = m_sets[static_cast<std::size_t>(m_live)];
    change.after = m_sets[static_cast<std::size_t>(other)];
    m_live = other;
    return ApplyStep(session, change, false);
}

int CompareSets::Copy(DeviceSession& session, int from) {
    const auto to = static_cast<std::size_t>(1 - from);
    m_used = true;
    if (static_cast<int>(to) != m_live) {
        m_sets[to] = from == m_live ? CaptureWorkingSet(session) : m_sets[static_cast<std::size_t>(from)];
        return 0;
    }
    EditStep change;
    change.before = CaptureWorkingSet(session);
    change.after = m_sets[static_cast<std::size_t>(from)];
    return ApplyStep(session, change, false);
}

void CompareSets::Clear() {
    m_live = 0;
    m_used = false;
    m_sets = {};
}

}  // namespace varnoth
