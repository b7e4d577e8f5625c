// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/DeviceState.h"

namespace varnoth {

DeviceState::DeviceState(DeviceLink& link, WriteLedger& ledger)
    : m_store(link, ledger), m_machine(link), m_remote(link) {}

void DeviceState::StoreMicControlSub(std::uint8_t time, std::uint8_t rate) {
    // Both are stored whether or not the first changed.
    const bool timeChanged = m_micControlSubTime.exchange(time) != time;
    const bool rateChanged = m_micControlSubRate.exchange(rate) != rate;
    if (timeChanged || rateChanged) {
        m_store.Changes().Mark(kMicControlSubChange);
    }
}

void DeviceState::StoreMemoryMode(int mode) {
    if (m_memoryMode.exchange(mode) != mode) {
        m_store.Changes().Mark(kModeChange);
    }
}

}  // namespace varnoth
