// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>

#include "device/ReplySink.h"

namespace varnoth {

class DeviceIdentity;
class DeviceState;
class WriteLedger;
struct SessionStatus;

// The session's replies, on the reader thread: register values into the store, records into the machine
// settings and the remote-control record, the memory mode and the mic-controls-sub setting into the state,
// the name and date into the identity. A reply the ledger finds older than what the user, a file or an undo
// set is left out. A read of the master volumes outside a synchronisation that changed one is told to the
// observer as followed.
class SessionReplies : public ReplySink {
  public:
    SessionReplies(DeviceState& state, WriteLedger& ledger, DeviceIdentity& identity, SessionStatus& status);

    SessionReplies(const SessionReplies&) = delete;
    SessionReplies& operator=(const SessionReplies&) = delete;

    // The master volumes (bit 0 mic .. bit 3 sub) that a read outside a synchronisation found changed by
    // the amplifier itself since the last call.
    unsigned TakeFollowedVolumes() { return m_followedVolumes.exchange(0); }

    void OnCurEffectMode(std::uint8_t mode) override;
    void OnLevels(const wire::LevelsReply& reply) override;
    void OnRegisterArray(const wire::RegisterArrayReply& reply) override;
    void OnMicControlSub(std::uint8_t time, std::uint8_t rate) override;
    void OnKeyStudied(std::uint8_t systemCode, std::uint8_t keyIndex, std::uint8_t keyCode) override;
    void OnIrRecord(std::span<const std::uint8_t, kIrRecordSize> record) override;
    void OnDevName(const std::string& name) override;
    void OnDevDate(const std::string& date) override;
    void OnMachineRecord(std::span<const std::uint8_t, kMachineRecordSize> record) override;

  private:
    DeviceState& m_state;
    WriteLedger& m_ledger;
    DeviceIdentity& m_identity;
    SessionStatus& m_status;
    std::atomic<unsigned> m_followedVolumes{0};
};

}  // namespace varnoth
