// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>

#include "session/MachineSettings.h"
#include "session/ParameterStore.h"
#include "session/RemoteCodes.h"

namespace varnoth {

class DeviceLink;
class WriteLedger;

// What the panel knows of the amplifier's settings: the parameter store, the machine settings, the
// remote-control record, the mic-controls-sub setting and the memory mode, and which records a whole-set
// write sends. The user's edits and the amplifier's replies fill it; the two settings of the session's own
// mark their change bits in the store's change feed. Any thread reads and sets it: every value is an
// atomic.
class DeviceState {
  public:
    DeviceState(DeviceLink& link, WriteLedger& ledger);

    DeviceState(const DeviceState&) = delete;
    DeviceState& operator=(const DeviceState&) = delete;

    ParameterStore& Store() { return m_store; }
    const ParameterStore& Store() const { return m_store; }
    MachineSettings& Machine() { return m_machine; }
    const MachineSettings& Machine() const { return m_machine; }
    RemoteCodes& Remote() { return m_remote; }
    const RemoteCodes& Remote() const { return m_remote; }

    // The mic-controls-sub setting as stored (time 0 is off); storing sends nothing.
    std::uint8_t MicControlSubTime() const { return m_micControlSubTime.load(); }
    std::uint8_t MicControlSubRate() const { return m_micControlSubRate.load(); }
    void StoreMicControlSub(std::uint8_t time, std::uint8_t rate);
    // The memory mode 0..3 the amplifier works in; storing sends nothing.
    int MemoryMode() const { return m_memoryMode.load(); }
    void StoreMemoryMode(int mode);

    // Whether a whole-set write (and a file's load) carries the remote-control record and the machine
    // settings.
    bool WritesRemoteRecord() const { return m_writesRemote.load(); }
    void SetWritesRemoteRecord(bool writes) { m_writesRemote.store(writes); }
    bool WritesMachineRecord() const { return m_writesMachine.load(); }
    void SetWritesMachineRecord(bool writes) { m_writesMachine.store(writes); }

  private:
    ParameterStore m_store;
    MachineSettings m_machine;
    RemoteCodes m_remote;
    std::atomic<std::uint8_t> m_micControlSubTime{0};
    std::atomic<std::uint8_t> m_micControlSubRate{0};
    std::atomic<int> m_memoryMode{0};
    std::atomic<bool> m_writesRemote{true};
    std::atomic<bool> m_writesMachine{true};
};

}  // namespace varnoth
