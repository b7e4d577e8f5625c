// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/Commands.h"

#include <algorithm>

namespace varnoth::wire {
namespace {

constexpr std::size_t kArg = kFirstArgByte;

std::uint8_t High(std::uint16_t address) {
    return static_cast<std::uint8_t>(address >> 8);
}
std::uint8_t Low(std::uint16_t address) {
    return static_cast<std::uint8_t>(address & 0xFF);
}
std::uint16_t AddressAt(const Report& report) {
    return static_cast<std::uint16_t>(report[kArg] << 8 | report[kArg + 1]);
}

template <std::size_t size>
Report RecordCommand(std::uint8_t opcode, const std::array<std::uint8_t, size>& record) {
    Report report = CommandReport(opcode, {});
    std::copy(record.begin(), record.end(), report.begin() + kArg);
    return report;
}

template <std::size_t size>
std::array<std::uint8_t, size> RecordOf(const Report& report) {
    std::array<std::uint8_t, size> record{};
    std::copy_n(report.begin() + kArg, size, record.begin());
    return record;
}

}  // namespace

Report SaveMode::Encode() const {
    return CommandReport(op::SaveMode, {mode});
}
SaveMode SaveMode::Decode(const Report& report) {
    return {report[kArg]};
}

Report LoadMode::Encode() const {
    return CommandReport(op::LoadMode, {mode});
}
LoadMode LoadMode::Decode(const Report& report) {
    return {report[kArg]};
}

Report ResetMode::Encode() const {
    return CommandReport(op::ResetMode, {mode});
}
ResetMode ResetMode::Decode(const Report& report) {
    return {report[kArg]};
}

Report ReadCurEffectMode::Encode() const {
    return CommandReport(op::ReadCurEffectMode, {});
}

Report WriteRegister::Encode() const {
    return CommandReport(op::WriteRegister, {block, index, channel, value});
}
WriteRegister WriteRegister::Decode(const Report& report) {
    return {report[kArg], report[kArg + 1], report[kArg + 2], report[kArg + 3]};
}

Report ReadRegister::Encode() const {
    return CommandReport(op::ReadRegister, {at.block, at.index, channel});
}
ReadRegister ReadRegister::Decode(const Report& report) {
    return {{report[kArg], report[kArg + 1]}, report[kArg + 2]};
}

Report ReadRegisterArray::Encode() const {
    return CommandReport(op::ReadRegisterArray, {at.block, at.index, count});
}
ReadRegisterArray ReadRegisterArray::Decode(const Report& report) {
    return {{report[kArg], report[kArg + 1]}, report[kArg + 2]};
}

Report SetMicControlSub::Encode() const {
    return CommandReport(op::SetMicControlSub, {selector, time, rate});
}
SetMicControlSub SetMicControlSub::Decode(const Report& report) {
    return {report[kArg + 1], report[kArg + 2], report[kArg]};
}

Report ReadMicControlSub::Encode() const {
    return CommandReport(op::ReadMicControlSub, {});
}

Report StudyKey::Encode() const {
    return CommandReport(op::StudyKey, {keyIndex});
}
StudyKey StudyKey::Decode(const Report& report) {
    return {report[kArg]};
}

Report CancelStudying::Encode() const {
    return CommandReport(op::CancelStudying, {});
}

Report ReadIRSet::Encode() const {
    return CommandReport(op::ReadIRSet, {});
}

Report ApplyIRSet::Encode() const {
    return RecordCommand(op::ApplyIRSet, record);
}
ApplyIRSet ApplyIRSet::Decode(const Report& report) {
    return {RecordOf<kIrRecordSize>(report)};
}

Report ApplyMachineSet::Encode() const {
    return RecordCommand(op::ApplyMachineSet, record);
}
ApplyMachineSet ApplyMachineSet::Decode(const Report& report) {
    return {RecordOf<kMachineRecordSize>(report)};
}

Report MachineReadAll::Encode() const {
    return CommandReport(op::Machine_ReadAll, {});
}

Report ResetMachine::Encode() const {
    return CommandReport(op::ResetMachine, {key});
}
ResetMachine ResetMachine::Decode(const Report& report) {
    return {report[kArg]};
}

Report ReadDevName::Encode() const {
    return CommandReport(op::ReadDevName, {});
}

Report ReadDevDate::Encode() const {
    return CommandReport(op::ReadDevDate, {});
}

Report UnLockMachine::Encode() const {
    return CommandReport(op::UnLockMachine, {});
}

Report UpgradeBlock::Encode() const {
    return CommandReport(op::UpgradeBlock, {High(address), Low(address), mark});
}
UpgradeBlock UpgradeBlock::Decode(const Report& report) {
    return {AddressAt(report), report[kArg + 2]};
}

// The image's bytes follow the address and the count.
constexpr std::size_t kUpgradeDataAt = kArg + 3;
static_assert(kUpgradeDataAt + kMaxUpgradeChunk == kReportSize);

UpgradeData UpgradeData::Of(std::uint16_t address, std::span<const std::uint8_t> bytes) {
    UpgradeData chunk{address, static_cast<std::uint8_t>(std::min(bytes.size(), kMaxUpgradeChunk)), {}};
    std::copy_n(bytes.begin(), chunk.count, chunk.data.begin());
    return chunk;
}
Report UpgradeData::Encode() const {
    Report report = CommandReport(op::UpgradeData, {High(address), Low(address), count});
    std::copy_n(data.begin(), std::min<std::size_t>(count, kMaxUpgradeChunk),
                report.begin() + kUpgradeDataAt);
    return report;
}
UpgradeData UpgradeData::Decode(const Report& report) {
    UpgradeData chunk{AddressAt(report), report[kArg + 2], {}};
    std::copy_n(report.begin() + kUpgradeDataAt, kMaxUpgradeChunk, chunk.data.begin());
    return chunk;
}

// Its three argument bytes are fixed.
Report UpgradeExit::Encode() const {
    return CommandReport(op::UpgradeExit, {0, 0, 1});
}

}  // namespace varnoth::wire
