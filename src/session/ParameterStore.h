// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "device/DeviceLink.h"
#include "device/Replies.h"
#include "device/Transport.h"
#include "session/ChangeFeed.h"
#include "session/RegisterMap.h"
#include "session/StoreChanges.h"
#include "session/WriteLedger.h"

namespace varnoth {

// One compressor preset: the five values it sets.
struct CompressorPresetValues {
    std::uint8_t threshold;
    std::uint8_t ratio;
    std::uint8_t attack;
    std::uint8_t release;
    std::uint8_t boost;
};

// The copy of every DSP parameter of the amplifier, one byte per parameter. Each setter stores the value
// and submits its write to the link (queued for the link thread, or sent there); each getter returns the
// stored byte. Replies to register reads are
// stored by the reader thread while the user-interface thread reads and edits: every byte is an atomic.
class ParameterStore {
  public:
    static constexpr std::size_t kPresets = 9;
    static const std::array<CompressorPresetValues, kPresets> kCompressorPresets;

    // Sends through link; what a read reply may replace is the ledger's to say.
    ParameterStore(DeviceLink& link, WriteLedger& ledger);

    ParameterStore(const ParameterStore&) = delete;
    ParameterStore& operator=(const ParameterStore&) = delete;

    // The stored byte at a store position (0 outside the store).
    std::uint8_t Value(std::size_t position) const;
    // Stores the value as its parameter keeps it (see ParameterRef::Stored) and submits the write of its
    // register(s) to the link; a position without a register is only stored.
    void SetValue(std::size_t position, int value);
    // Stores the byte alone: nothing is sent.
    void StoreValue(std::size_t position, std::uint8_t value);
    // The compressor preset of the compressor at compressBase (pos::Compress_Mic or pos::Compress_Music):
    // the number is stored and presets 0..8 write their row into the other fields.
    void ChooseCompressorPreset(std::size_t compressBase, std::uint8_t preset);

    // Which store positions changed (edits, read replies, loads), plus the session's own settings
    // (kMicControlSubChange, kModeChange), for each of the views that subscribe, taken at its own pace.
    ChangeFeed& Changes() { return m_changes; }
    // Tells the views of a position again although its byte stays: a control that shows something else
    // (a value between two steps of the amplifier) is set back to what the store holds.
    void Touch(std::size_t position) { MarkChanged(position); }

    // Whole-set transfer: every parameter the whole-set write sends, and every register of the store read
    // back (asking again for replies lost on the way while the amplifier answers at all).
    // `writeAll` is the number WriteLedger::AskWriteAll gave the whole-set write: a value held for a later
    // one stays held.
    void WriteAllRegisters(std::uint64_t writeAll);
    void ReadAllRegisters();
    // The eight parameters of both effects' registers that a preset sets.
    void ReadEffectRegisters();

    // Resets: the PEQ of a path (pos::PEQ_Mic or pos::PEQ_Music) and a graphic EQ bank to flat, the
    // microphone EQ to that of memory mode 1.
    void FlattenPeq(std::size_t peqBase);
    void FlattenGraphicEq(std::size_t bank);
    void SetMicGraphicEqOfMode1();

    // Levels: ReadInputLevel asks for the four input levels, which the reply puts into the level word.
    void ReadInputLevel();
    // The same level poll, and with volumes the read of the four master volumes after it (the read the
    // read-all makes of them); one poll, skipped while anything else waits. False when it was skipped or
    // not sent.
    bool PollLevels(bool withVolumes);
    // Copies the level word (microphone 1 and 2, music 1 and 2) to out[0..3].
    void GetPeakData(std::uint8_t* out) const;

    // How many stereo pairs a read found holding two different values and set both channels of again.
    std::uint64_t SplitPairsRepaired() const { return m_splitPairsRepaired.load(); }

    // The 112 parameter bytes in file order, as they stand.
    std::array<std::uint8_t, kFileBlockSize> GetFileBlock() const;
    // Takes a file's (or a whole-set undo's) bytes, sending nothing: each is held (in the ledger) against
    // the amplifier's read replies until the whole-set write sends it, so that a read-all that runs
    // meanwhile cannot put the amplifier's older values back.
    void SetFileBlock(const std::array<std::uint8_t, kFileBlockSize>& block);

    // The register replies, on the reader thread: the levels into the level word, the channels of an array
    // into the positions they map to, except where the ledger holds a newer value.
    void StoreLevels(const wire::LevelsReply& reply);
    void StoreRegisterArray(const wire::RegisterArrayReply& reply);

  private:
    void WriteRegister(std::uint8_t block, std::uint8_t index, std::uint8_t channel, std::uint8_t value);
    void ReadRegisters(std::uint8_t block, std::uint8_t index);
    void MarkChanged(std::size_t bit) { m_changes.Mark(bit); }
    void RepairSplitPair(std::size_t position, const wire::RegisterArrayReply& reply);
    void ResetBank(std::size_t first, std::size_t count);
    // The byte the store keeps and the byte the register receives for a value (see ValueRule).
    struct Encoded {
        std::uint8_t stored;
        std::uint8_t written;
    };
    static Encoded Encode(std::size_t position, int value);
    // Writes the register(s) of a position: queued from another thread, sent at once on the link thread.
    void WriteEncoded(std::size_t position, std::uint8_t written);

    DeviceLink& m_link;
    WriteLedger& m_ledger;
    std::array<std::atomic<std::uint8_t>, kStoreSize> m_store;
    ChangeFeed m_changes;
    // The four level bytes in report order.
    std::atomic<std::uint32_t> m_peakData{0};
    std::atomic<std::uint64_t> m_splitPairsRepaired{0};
};

}  // namespace varnoth
