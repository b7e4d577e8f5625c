// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/RemoteCodes.h"

#include <algorithm>

#include "device/Commands.h"
#include "device/DeviceLink.h"

namespace varnoth {

RemoteCodes::RemoteCodes(DeviceLink& link) : m_link(link) {}

int RemoteCodes::ApplyIRSet() {
    static_assert(kRecordSize == wire::kIrRecordSize);
    return m_link.Send(wire::ApplyIRSet{GetRecord()});
}

int RemoteCodes::ReadIRSet() {
    return m_link.Send(wire::ReadIRSet{});
}

int RemoteCodes::StudyKey(int keyIndex) {
    return m_link.Send(wire::StudyKey{static_cast<std::uint8_t>(keyIndex & 0xFF)});
}

int RemoteCodes::CancelStudying() {
    return m_link.Send(wire::CancelStudying{});
}

RemoteCodes::Record RemoteCodes::GetRecord() const {
    Record record{};
    for (std::size_t i = 0; i < kRecordSize; ++i) {
        record[i] = m_keys[i].load(std::memory_order_relaxed);
    }
    return record;
}

void RemoteCodes::SetSysKey(std::uint8_t code) {
    m_keys[0].store(code, std::memory_order_relaxed);
}

bool RemoteCodes::SetKey(int index, std::uint8_t code) {
    if (index < 0 || static_cast<std::size_t>(index) >= kRecordSize) {
        return false;
    }
    m_keys[static_cast<std::size_t>(index)].store(code, std::memory_order_relaxed);
    return true;
}

void RemoteCodes::SetAllKey(const std::uint8_t* bytes, int count) {
    const std::size_t n = std::min(static_cast<std::size_t>(std::max(count, 0)), kRecordSize);
    for (std::size_t i = 0; i < n; ++i) {
        m_keys[i].store(bytes[i], std::memory_order_relaxed);
    }
}

}  // namespace varnoth
