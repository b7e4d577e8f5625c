// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/MachineSettings.h"

#include <array>

#include "device/Commands.h"
#include "device/DeviceLink.h"
#include "session/MachineRules.h"

namespace varnoth {
namespace {

constexpr std::uint8_t kWhole = 0xFF;

// A setting that is a whole byte of the record, with that byte's rule.
constexpr MachineSettings::RecordField WholeByte(const char* name, std::size_t byte) {
    const MachineByteRule& rule = kMachineRecordRules[byte];
    return {name, byte, kWhole, rule.min, rule.max, rule.offValue != kNoOffValue};
}

}  // namespace

MachineSettings::MachineSettings(DeviceLink& link) : m_link(link) {}

std::span<const MachineSettings::RecordField> MachineSettings::RecordFields() {
    // The whole bytes take their rules from the record's rule table; the locks are one bit each.
    static constexpr std::array<RecordField, 14> kFields{{
        WholeByte("VolMode", kVolMode),
        WholeByte("PowerMicVol", kPowerMicVol),
        WholeByte("PowerMusicVol", kPowerMusicVol),
        WholeByte("MaxMicVol", kMaxMicVol),
        WholeByte("MaxMusicVol", kMaxMusicVol),
        WholeByte("MaxCenterVol", kMaxCenterVol),
        WholeByte("MaxSubVol", kMaxSubVol),
        WholeByte("EnableLockFunc", kEnableLockFunc),
        {"Lock_MicVol", kLockBits, kLockMicVol, 0, 1, false},
        {"Lock_MusicVol", kLockBits, kLockMusicVol, 0, 1, false},
        {"Lock_MicMenu", kLockBits, kLockMicMenu, 0, 1, false},
        {"Lock_MusicMenu", kLockBits, kLockMusicMenu, 0, 1, false},
        {"Lock_LoadMode", kLockBits, kLockLoadMode, 0, 1, false},
        {"Lock_SaveMode", kLockBits, kLockSaveMode, 0, 1, false},
    }};
    return kFields;
}

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

void MachineSettings::SetLockBit(LockMask bit, int lock) {
    const std::uint8_t bits = m_working[kLockBits].load(std::memory_order_relaxed);
    SetWorking(kLockBits, static_cast<std::uint8_t>(lock != 0 ? bits | bit : bits & ~bit));
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
    for (std::size_t i = 0; i < kSettingsBytes; ++i) {
        m_working[i].store(record[i], std::memory_order_relaxed);
    }
}

}  // namespace varnoth
