// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/Replies.h"

#include <algorithm>

namespace varnoth::wire {
namespace {

constexpr std::size_t kArg = kFirstArgByte;
// Register replies: block and index, then the channels; the levels sit further on.
constexpr std::size_t kValuesAt = 4;
constexpr std::size_t kLevelsAt = 15;
// The mic-controls-sub reply: the selector, then time and rate.
constexpr std::size_t kMicControlSubAt = 3;

Report RegisterValues(std::uint8_t opcode, RegisterAddress at,
                      const std::array<std::uint8_t, kArrayChannels>& values) {
    Report report = ReplyReport(opcode);
    report[kArg] = at.block;
    report[kArg + 1] = at.index;
    std::copy(values.begin(), values.end(), report.begin() + kValuesAt);
    return report;
}

template <std::size_t size>
Report RecordReply(std::uint8_t opcode, const std::array<std::uint8_t, size>& record) {
    Report report = ReplyReport(opcode);
    std::copy(record.begin(), record.end(), report.begin() + kArg);
    return report;
}

template <std::size_t size>
std::array<std::uint8_t, size> RecordOf(const Report& report) {
    std::array<std::uint8_t, size> record{};
    std::copy_n(report.begin() + kArg, size, record.begin());
    return record;
}

// The text's bytes and a zero byte after them; a text longer than the report is cut.
Report TextReply(std::uint8_t opcode, const std::string& text) {
    Report report = ReplyReport(opcode);
    const std::size_t n = std::min(text.size(), kReportSize - kArg - 1);
    std::copy_n(text.begin(), n, report.begin() + kArg);
    return report;
}

std::string TextOf(const Report& report, std::size_t maxChars) {
    const auto* first = report.data() + kArg;
    const auto* last = report.data() + report.size();
    const auto* end = std::find(first, last, std::uint8_t{0});
    end = first + std::min(static_cast<std::size_t>(end - first), maxChars);
    std::string text;
    for (const auto* p = first; p != end; ++p) {
        if (*p < 0x80) {
            text += static_cast<char>(*p);
        } else {
            text += static_cast<char>(0xC0 | (*p >> 6));
            text += static_cast<char>(0x80 | (*p & 0x3F));
        }
    }
    return text;
}

}  // namespace

Report AckReply::Encode() const {
    Report report = ReplyReport(kOpcode);
    report[kArg] = acknowledged;
    report[kArg + 1] = done ? kDone : kIgnored;
    return report;
}
AckReply AckReply::Decode(const Report& report) {
    return {report[kArg], report[kArg + 1] == kDone};
}

Report CurEffectModeReply::Encode() const {
    Report report = ReplyReport(op::ReadCurEffectMode);
    report[kArg] = mode;
    return report;
}
CurEffectModeReply CurEffectModeReply::Decode(const Report& report) {
    return {report[kArg]};
}

Report RegisterReply::Encode() const {
    return RegisterValues(op::ReadRegister, at, values);
}

Report RegisterArrayReply::Encode() const {
    return RegisterValues(op::ReadRegisterArray, at, values);
}
RegisterArrayReply RegisterArrayReply::Decode(const Report& report) {
    RegisterArrayReply reply{{report[kArg], report[kArg + 1]}, {}};
    std::copy_n(report.begin() + kValuesAt, kArrayChannels, reply.values.begin());
    return reply;
}

Report LevelsReply::Encode() const {
    Report report = ReplyReport(op::ReadRegister);
    report[kArg] = kLevelRegister.block;
    report[kArg + 1] = kLevelRegister.index;
    std::copy(levels.begin(), levels.end(), report.begin() + kLevelsAt);
    return report;
}
std::optional<LevelsReply> LevelsReply::Decode(const Report& report) {
    if (RegisterAddress{report[kArg], report[kArg + 1]} != kLevelRegister) {
        return std::nullopt;
    }
    LevelsReply reply{};
    std::copy_n(report.begin() + kLevelsAt, reply.levels.size(), reply.levels.begin());
    return reply;
}

Report MicControlSubReply::Encode() const {
    Report report = ReplyReport(op::ReadMicControlSub);
    report[kArg] = kMicControlSubSelector;
    report[kMicControlSubAt] = time;
    report[kMicControlSubAt + 1] = rate;
    return report;
}
MicControlSubReply MicControlSubReply::Decode(const Report& report) {
    return {report[kMicControlSubAt], report[kMicControlSubAt + 1]};
}

Report KeyStudiedReply::Encode() const {
    Report report = ReplyReport(op::StudyKey);
    report[kArg] = systemCode;
    report[kArg + 1] = keyIndex;
    report[kArg + 2] = keyCode;
    return report;
}
KeyStudiedReply KeyStudiedReply::Decode(const Report& report) {
    return {report[kArg], report[kArg + 1], report[kArg + 2]};
}

Report IrRecordReply::Encode() const {
    return RecordReply(op::ReadIRSet, record);
}
IrRecordReply IrRecordReply::Decode(const Report& report) {
    return {RecordOf<kIrRecordSize>(report)};
}

Report MachineRecordReply::Encode() const {
    return RecordReply(op::Machine_ReadAll, record);
}
MachineRecordReply MachineRecordReply::Decode(const Report& report) {
    return {RecordOf<kMachineRecordSize>(report)};
}

Report DevNameReply::Encode() const {
    return TextReply(op::ReadDevName, name);
}
DevNameReply DevNameReply::Decode(const Report& report) {
    return {TextOf(report, kDevNameChars)};
}

Report DevDateReply::Encode() const {
    return TextReply(op::ReadDevDate, date);
}
DevDateReply DevDateReply::Decode(const Report& report) {
    return {TextOf(report, kDevDateChars)};
}

}  // namespace varnoth::wire
