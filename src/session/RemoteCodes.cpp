// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/RemoteCodes.h"

#include <algorithm>

#include "device/DeviceLink.h"
#include "device/Opcodes.h"

namespace varnoth {

RemoteCodes::RemoteCodes(DeviceLink& link) : m_link(link) {}

int RemoteCodes::ApplyIRSet() {
    Report report{};
    report[0] = 2;
    report[1] = op::ApplyIRSet;
    const Record record = GetRecord();
    std::copy(record.begin(), record.end(), report.begin() + 2);
    return m_link.WriteReport(report);
}

int RemoteCodes::ReadIRSet() {
    return m_link.SendCommand(op::ReadIRSet);
}

int RemoteCodes::StudyKey(int keyIndex) {
    return m_link.SendCommand(op::StudyKey, {keyIndex & 0xFF});
}

int RemoteCodes::CancelStudying() {
    return m_link.SendCommand(op::CancelStudying);
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
