// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

namespace varnoth {

class DeviceLink;

// The amplifier's machine settings: power-on volumes, maximum volumes, front-panel locks and the volume
// save mode, as an 11-byte record held twice. The saved copy is what the device holds (as last received or
// applied) and is what every getter reads; the working copy is what the setters edit and ApplyMachineSet
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

    void SetVolMode(std::uint8_t value) { SetWorking(kVolMode, value); }
    void SetPowerMicVol(std::uint8_t value) { SetWorking(kPowerMicVol, value); }
    void SetPowerMusicVol(std::uint8_t value) { SetWorking(kPowerMusicVol, value); }
    void SetMaxMicVol(std::uint8_t value) { SetWorking(kMaxMicVol, value); }
    void SetMaxMusicVol(std::uint8_t value) { SetWorking(kMaxMusicVol, value); }
    void SetMaxCenterVol(std::uint8_t value) { SetWorking(kMaxCenterVol, value); }
    void SetMaxSubVol(std::uint8_t value) { SetWorking(kMaxSubVol, value); }
    void EnableLockFunc(int enable) { SetWorking(kEnableLockFunc, static_cast<std::uint8_t>(enable & 0xFF)); }

    void Lock_MicVol(int lock) { SetLockBit(kLockMicVol, lock); }
    void Lock_MusicVol(int lock) { SetLockBit(kLockMusicVol, lock); }
    void Lock_MicMenu(int lock) { SetLockBit(kLockMicMenu, lock); }
    void Lock_MusicMenu(int lock) { SetLockBit(kLockMusicMenu, lock); }
    void Lock_LoadMode(int lock) { SetLockBit(kLockLoadMode, lock); }
    void Lock_SaveMode(int lock) { SetLockBit(kLockSaveMode, lock); }

    std::uint8_t GetVolMode() const { return Saved(kVolMode); }
    std::uint8_t GetPowerMicVol() const { return Saved(kPowerMicVol); }
    std::uint8_t GetPowerMusicVol() const { return Saved(kPowerMusicVol); }
    std::uint8_t GetMaxMicVol() const { return Saved(kMaxMicVol); }
    std::uint8_t GetMaxMusicVol() const { return Saved(kMaxMusicVol); }
    std::uint8_t GetMaxCenterVol() const { return Saved(kMaxCenterVol); }
    std::uint8_t GetMaxSubVol() const { return Saved(kMaxSubVol); }
    std::uint8_t Get_EnableLockFunc() const { return Saved(kEnableLockFunc); }

    std::uint8_t Get_Lock_MicVol() const { return SavedLockBit(kLockMicVol); }
    std::uint8_t Get_Lock_MusicVol() const { return SavedLockBit(kLockMusicVol); }
    std::uint8_t Get_Lock_MicMenu() const { return SavedLockBit(kLockMicMenu); }
    std::uint8_t Get_Lock_MusicMenu() const { return SavedLockBit(kLockMusicMenu); }
    std::uint8_t Get_Lock_LoadMode() const { return SavedLockBit(kLockLoadMode); }
    std::uint8_t Get_Lock_SaveMode() const { return SavedLockBit(kLockSaveMode); }

    // Both copies whole, in record order.
    Record GetSavedRecord() const;
    Record GetWorkingRecord() const;

    // A setting as a field of the record: its name (the setter's without Set), its byte, the bits it takes
    // there, its range, and whether 255 stands for "off". The reserved pair and the spare lock bits have
    // none.
    struct RecordField {
        const char* name;
        std::size_t byte;
        std::uint8_t mask;
        int min;
        int max;
        bool offAllowed;
    };
    static std::span<const RecordField> RecordFields();

  protected:
    // Copies 11 bytes into the saved copy and then into the working copy (the device's reply).
    void Machine_SetBuf(const std::uint8_t* bytes);
    // Copies the settings, bytes 0..8 of a record, into the working copy; the reserved pair stays.
    void SetWorkingSettings(const Record& record);

  private:
    friend class DeviceSession;
    friend class SessionReplies;

    enum Field : std::size_t {
        kVolMode = 0,
        kPowerMicVol = 1,
        kPowerMusicVol = 2,
        kMaxMicVol = 3,
        kMaxMusicVol = 4,
        kMaxCenterVol = 5,
        kMaxSubVol = 6,
        kEnableLockFunc = 7,
        kLockBits = 8,
        kSettingsBytes = 9,
    };
    enum LockMask : std::uint8_t {
        kLockMicVol = 0x01,
        kLockMusicVol = 0x02,
        kLockMicMenu = 0x04,
        kLockMusicMenu = 0x08,
        kLockLoadMode = 0x10,
        kLockSaveMode = 0x20,
    };

    void SetWorking(Field field, std::uint8_t value) {
        m_working[field].store(value, std::memory_order_relaxed);
    }
    std::uint8_t Saved(Field field) const { return m_saved[field].load(std::memory_order_relaxed); }
    void SetLockBit(LockMask bit, int lock);
    std::uint8_t SavedLockBit(LockMask bit) const { return (Saved(kLockBits) & bit) != 0 ? 1 : 0; }

    DeviceLink& m_link;
    std::array<std::atomic<std::uint8_t>, kRecordSize> m_saved{};
    std::array<std::atomic<std::uint8_t>, kRecordSize> m_working{};
};

}  // namespace varnoth
