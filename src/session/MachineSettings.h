// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "session/MachineFieldTable.h"

namespace varnoth {

class DeviceLink;

// The amplifier's machine settings: power-on volumes, maximum volumes, front-panel locks and the volume
// save mode, as an 11-byte record held twice. The saved copy is what the device holds (as last received or
// applied) and is what Saved reads; the working copy is what Set edits and ApplyMachineSet
// sends. The reader thread replaces both copies while the user-interface thread edits: every byte is an
// atomic.
class MachineSettings {
  public:
    static constexpr std::size_t kRecordSize = 11;
    using Record = std::array<std::uint8_t, kRecordSize>;

    explicit MachineSettings(DeviceLink& link);

    MachineSettings(const MachineSettings&) = delete;
    MachineSettings& operator=(const MachineSettings&) = delete;

    // Asks the device for its record; the reply replaces both copies.
    int Machine_ReadAll();
    // Sends the working copy to the device; once the report went out it is the saved copy. Returns the count
    // sent (0 when the report did not go out, and the saved copy stays).
    int ApplyMachineSet();
    // Discards the edits: the saved copy over the working copy.
    void CancelSet();

    // A field of the saved copy: a whole byte as it is, a lock as 1 or 0.
    std::uint8_t Saved(MachineField field) const;
    // Edits a field of the working copy: a whole byte takes the value's low byte, a lock is set by any value
    // but 0.
    void Set(MachineField field, int value);

    // Both copies whole, in record order.
    Record GetSavedRecord() const;
    Record GetWorkingRecord() const;

  protected:
    // Copies 11 bytes into the saved copy and then into the working copy (the device's reply).
    void Machine_SetBuf(const std::uint8_t* bytes);
    // Copies the settings, bytes 0..8 of a record, into the working copy; the reserved pair stays.
    void SetWorkingSettings(const Record& record);

  private:
    friend class DeviceSession;
    friend class SessionReplies;

    DeviceLink& m_link;
    std::array<std::atomic<std::uint8_t>, kRecordSize> m_saved{};
    std::array<std::atomic<std::uint8_t>, kRecordSize> m_working{};
};

}  // namespace varnoth
