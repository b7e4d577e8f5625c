// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/WriteLedger.h"

#include "device/Commands.h"
#include "device/Opcodes.h"

namespace varnoth {
namespace {

std::uint32_t RegisterKey(std::uint8_t block, std::uint8_t index, std::uint8_t channel) {
    return static_cast<std::uint32_t>(block) << 16 | static_cast<std::uint32_t>(index) << 8 | channel;
}

std::uint8_t OpcodeOf(const Report& report) {
    return report[wire::kOpcodeByte];
}

// The register a register write sets.
std::uint32_t WrittenKey(const Report& report) {
    const wire::WriteRegister write = wire::WriteRegister::Decode(report);
    return RegisterKey(write.block, write.index, write.channel);
}

// The register array a read asks for.
std::uint32_t ReadKey(const Report& report) {
    const wire::ReadRegisterArray read = wire::ReadRegisterArray::Decode(report);
    return RegisterKey(read.at.block, read.at.index, 0);
}

// The command that sets a record and the one that reads it, where a command sets it outside the whole-set
// write (0: none).
struct RecordCommands {
    std::uint8_t write;
    std::uint8_t read;
};
constexpr std::array<RecordCommands, 3> kRecordCommands{{
    {op::SetMicControlSub, op::ReadMicControlSub},  // Record::MicControlSub
    {0, 0},                                         // Record::Machine
    {0, 0},                                         // Record::Ir
}};

}  // namespace

void WriteLedger::OnLinkStarted() {
    std::lock_guard lock(m_mutex);
    m_sent = 0;
    m_writtenAt.clear();
    m_readAt.clear();
    m_commandAt.clear();
    m_waitingWrites.clear();
    m_waitingCommands.clear();
}

void WriteLedger::OnQueued(const Report& report) {
    std::lock_guard lock(m_mutex);
    ++m_waitingCommands[OpcodeOf(report)];
    if (OpcodeOf(report) == op::WriteRegister) {
        ++m_waitingWrites[WrittenKey(report)];
    }
}

void WriteLedger::OnUnqueued(const Report& report) {
    std::lock_guard lock(m_mutex);
    const auto less = [](auto& counts, auto key) {
        if (const auto it = counts.find(key); it != counts.end() && --it->second <= 0) {
            counts.erase(it);
        }
    };
    less(m_waitingCommands, OpcodeOf(report));
    if (OpcodeOf(report) == op::WriteRegister) {
        less(m_waitingWrites, WrittenKey(report));
    }
}

void WriteLedger::OnSent(const Report& report) {
    std::lock_guard lock(m_mutex);
    const std::uint64_t sent = ++m_sent;
    m_commandAt[OpcodeOf(report)] = sent;
    if (OpcodeOf(report) == op::WriteRegister) {
        m_writtenAt[WrittenKey(report)] = sent;
    } else if (OpcodeOf(report) == op::ReadRegisterArray) {
        m_readAt[ReadKey(report)] = sent;
    }
}

bool WriteLedger::WriteIsNewerLocked(std::uint8_t block, std::uint8_t index, std::uint8_t channel) const {
    // Any waiting write of it counts: a register write, or a command written alone (an effect preset).
    if (m_waitingWrites.contains(RegisterKey(block, index, channel))) {
        return true;
    }
    const auto written = m_writtenAt.find(RegisterKey(block, index, channel));
    if (written == m_writtenAt.end()) {
        return false;
    }
    const auto read = m_readAt.find(RegisterKey(block, index, 0));
    return read == m_readAt.end() || read->second < written->second;
}

bool WriteLedger::CommandIsNewerLocked(std::uint8_t write, std::uint8_t read) const {
    if (m_waitingCommands.contains(write)) {
        return true;
    }
    const auto written = m_commandAt.find(write);
    if (written == m_commandAt.end()) {
        return false;
    }
    const auto asked = m_commandAt.find(read);
    return asked == m_commandAt.end() || asked->second < written->second;
}

bool WriteLedger::WriteIsNewer(std::uint8_t block, std::uint8_t index, std::uint8_t channel) const {
    std::lock_guard lock(m_mutex);
    return WriteIsNewerLocked(block, index, channel);
}

bool WriteLedger::ReplyIsOlder(std::size_t position) const {
    if (position >= kStoreSize) {
        return false;
    }
    const RegisterEntry& entry = StoreRegisterMap()[position];
    std::lock_guard lock(m_mutex);
    return m_heldUntil[position] != 0 || WriteIsNewerLocked(entry.block, entry.index, entry.channel);
}

bool WriteLedger::ReplyIsOlder(Record record) const {
    const auto r = static_cast<std::size_t>(record);
    const RecordCommands& commands = kRecordCommands[r];
    std::lock_guard lock(m_mutex);
    return m_recordHeldUntil[r] != 0 ||
           (commands.write != 0 && CommandIsNewerLocked(commands.write, commands.read));
}

std::uint64_t WriteLedger::AskWriteAll() {
    std::lock_guard lock(m_mutex);
    return ++m_writeAllsAsked;
}

std::uint64_t WriteLedger::NextWriteAll() const {
    std::lock_guard lock(m_mutex);
    return m_writeAllsAsked + 1;
}

void WriteLedger::HoldForNextWriteAll(std::size_t position) {
    std::lock_guard lock(m_mutex);
    if (position < kStoreSize) {
        m_heldUntil[position] = m_writeAllsAsked + 1;
    }
}

void WriteLedger::HoldForNextWriteAll(Record record) {
    std::lock_guard lock(m_mutex);
    m_recordHeldUntil[static_cast<std::size_t>(record)] = m_writeAllsAsked + 1;
}

void WriteLedger::Release(std::size_t position) {
    std::lock_guard lock(m_mutex);
    if (position < kStoreSize) {
        m_heldUntil[position] = 0;
    }
}

void WriteLedger::Release(Record record) {
    std::lock_guard lock(m_mutex);
    m_recordHeldUntil[static_cast<std::size_t>(record)] = 0;
}

void WriteLedger::ReleaseIfSent(std::uint64_t& heldUntil, std::uint64_t writeAll) {
    if (heldUntil != 0 && heldUntil <= writeAll) {
        heldUntil = 0;
    }
}

void WriteLedger::ReleaseSentBy(std::size_t position, std::uint64_t writeAll) {
    std::lock_guard lock(m_mutex);
    if (position < kStoreSize) {
        ReleaseIfSent(m_heldUntil[position], writeAll);
    }
}

void WriteLedger::ReleaseSentBy(Record record, std::uint64_t writeAll) {
    std::lock_guard lock(m_mutex);
    ReleaseIfSent(m_recordHeldUntil[static_cast<std::size_t>(record)], writeAll);
}

void WriteLedger::ReleaseHolds() {
    std::lock_guard lock(m_mutex);
    m_heldUntil.fill(0);
    m_recordHeldUntil.fill(0);
}

}  // namespace varnoth
