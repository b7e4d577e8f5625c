// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <mutex>

#include "device/LinkEvents.h"
#include "session/RegisterMap.h"

namespace varnoth {

// The one place that answers "is this reply older than what the user, a file or an undo set?". It learns
// from the link what waits, what went out and in which order (LinkEvents), and from the session what a
// file or an undo holds for the next whole-set write.
//
// A reply is older than a write of its register (or of a setting written by one command and read by
// another, the mic-controls-sub setting) while that write waits in the queue or is being sent, and once it
// went out until the next read of it goes out: a read that crossed the write, or whose reply comes late, must
// not replace the newer value. A value a file or an undo set is held until the whole-set write asked for
// after it has sent it: whole-set writes are numbered in the order they are asked for, so an earlier one
// still on its way does not release it.
//
// Threads: the link tells its events on any thread under its queue lock; the reader thread asks; the
// session holds and releases on its threads. Everything sits behind one mutex, and the ledger never calls
// out.
class WriteLedger : public LinkEvents {
  public:
    // The records a file or an undo sets besides the store's bytes.
    enum class Record { MicControlSub, Machine, Ir };

    // Link events.
    void OnLinkStarted() override;
    void OnQueued(const Report& report) override;
    void OnUnqueued(const Report& report) override;
    void OnSent(const Report& report) override;

    // Is a read reply of the register at this store position older than what the store holds (a write of
    // its channel is newer, or the position is held for a whole-set write)?
    bool ReplyIsOlder(std::size_t position) const;
    // Is a write of this register channel newer than any read reply of it now?
    bool WriteIsNewer(std::uint8_t block, std::uint8_t index, std::uint8_t channel) const;
    // Is a reply of the record older than what the session holds (held for a whole-set write, or for the
    // mic-controls-sub setting a newer command that sets it)?
    bool ReplyIsOlder(Record record) const;

    // Whole-set writes: the number of the one asked for now, and of the next one to be asked for.
    std::uint64_t AskWriteAll();
    std::uint64_t NextWriteAll() const;
    // A value of a file or an undo: held until the next whole-set write asked for sends it.
    void HoldForNextWriteAll(std::size_t position);
    void HoldForNextWriteAll(Record record);
    // The user set the position anew: its write protects it from now on, no hold. A record the whole-set
    // write will not send is not held.
    void Release(std::size_t position);
    void Release(Record record);
    // The whole-set write numbered writeAll has sent the position or the record: a hold it covers ends.
    void ReleaseSentBy(std::size_t position, std::uint64_t writeAll);
    void ReleaseSentBy(Record record, std::uint64_t writeAll);
    // A new connection: every hold for the last one's whole-set write ends.
    void ReleaseHolds();

  private:
    static constexpr std::size_t kRecords = 3;
    using Key = std::uint32_t;

    static void ReleaseIfSent(std::uint64_t& heldUntil, std::uint64_t writeAll);
    bool WriteIsNewerLocked(std::uint8_t block, std::uint8_t index, std::uint8_t channel) const;
    bool CommandIsNewerLocked(std::uint8_t write, std::uint8_t read) const;

    mutable std::mutex m_mutex;  // guards everything below
    // Reports counted in the order they went out; when each register channel was last written, each register
    // last read and each opcode last sent. Cleared at every connection.
    std::uint64_t m_sent = 0;
    std::map<Key, std::uint64_t> m_writtenAt;
    std::map<Key, std::uint64_t> m_readAt;
    std::map<std::uint8_t, std::uint64_t> m_commandAt;
    // What waits in the link's queue or is being sent: register writes by channel, reports by opcode.
    std::map<Key, int> m_waitingWrites;
    std::map<std::uint8_t, int> m_waitingCommands;
    // 0, or the number of the whole-set write that sends the held value.
    std::array<std::uint64_t, kStoreSize> m_heldUntil{};
    std::array<std::uint64_t, kRecords> m_recordHeldUntil{};
    std::uint64_t m_writeAllsAsked = 0;
};

}  // namespace varnoth
