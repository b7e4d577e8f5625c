// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/MachineSettings.h"

#include <array>

#include "device/Commands.h"
#include "device/DeviceLink.h"

namespace varnoth {

MachineSettings::MachineSettings(DeviceLink& link) : m_link(link) {}

int MachineSettings::Machine_ReadAll() {
    return m_link.Send(wire::MachineReadAll{});
}

int MachineSettings::ApplyMachineSet() {
    static_assert(kRecordSize == wire::kMachineRecordSize);
    wire::ApplyMachineSet apply{};
    for (std::size_t i = 0; i < kRecordSize; ++i) {
        apply.record[i] = m_working[i].load(std::memory_order_relaxed);
    }
    const int sent = m_link.Send(apply);
    // The saved copy stands for what the device holds: the lock checks and volume limits must not follow
    // settings the device never got.
    if (sent == static_cast<int>(kReportSize)) {
        for (std::size_t i = 0; i < kRecordSize; ++i) {
            m_saved[i].store(apply.record[i], std::memory_order_relaxed);
        }
    }
    return sent;
}

void MachineSettings::CancelSet() {
    for (std::size_t i = 0; i < kRecordSize; ++i) {
        m_working[i].store(m_saved[i].load(std::memory_order_relaxed), std::memory_order_relaxed);
    }
}

std::uint8_t MachineSettings::Saved(MachineField field) const {
    const MachineFieldRow& row = MachineFieldRowOf(field);
    return row.In(m_saved[row.byte].load(std::memory_order_relaxed));
}

void MachineSettings::Set(MachineField field, int value) {
    const MachineFieldRow& row = MachineFieldRowOf(field);
    std::atomic<std::uint8_t>& byte = m_working[row.byte];
    std::uint8_t old = byte.load(std::memory_order_relaxed);
    while (!byte.compare_exchange_weak(old, row.With(old, value), std::memory_order_relaxed)) {
    }
}

MachineSettings::Record MachineSettings::GetSavedRecord() const {
    Record record{};
    for (std::size_t i = 0; i < kRecordSize; ++i) {
        record[i] = m_saved[i].load(std::memory_order_relaxed);
    }
    return record;
}

MachineSettings::Record MachineSettings::GetWorkingRecord() const {
    Record record{};
    for (std::size_t i = 0; i < kRecordSize; ++i) {
        record[i] = m_working[i].load(std::memory_order_relaxed);
    }
    return record;
}

void MachineSettings::Machine_SetBuf(const std::uint8_t* bytes) {
    for (std::size_t i = 0; i < kRecordSize; ++i) {
        m_saved[i].store(bytes[i], std::memory_order_relaxed);
    }
    for (std::size_t i = 0; i < kRecordSize; ++i) {
        m_working[i].store(bytes[i], std::memory_order_relaxed);
    }
}

void MachineSettings::SetWorkingSettings(const Record& record) {
    for (std::size_t i = 0; i < kMachineSettingsBytes; ++i) {
        m_working[i].store(record[i], std::memory_order_relaxed);
    }
}

}  // namespace varnoth
