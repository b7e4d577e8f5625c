// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/ParameterStore.h"

#include <cstring>
#include <optional>
#include <span>
#include <vector>

#include "device/Commands.h"
#include "device/Trace.h"
#include "session/ParameterTable.h"
#include "session/WholeSetOrder.h"

namespace varnoth {
namespace {

constexpr std::uint8_t kFlat = 0x40;
constexpr int kReadRetries = 4;

// The writes of a register with `value`: its channel and, for a stereo pair, the one after it.
std::array<Report, 2> PairWrites(const RegisterEntry& entry, std::uint8_t value) {
    return {wire::WriteRegister{entry.block, entry.index, entry.channel, value}.Encode(),
            wire::WriteRegister{entry.block, entry.index, static_cast<std::uint8_t>(entry.channel + 1), value}
                .Encode()};
}

// Microphone EQ of memory mode 1, band by band.
constexpr std::array<std::uint8_t, pos::kBands> kMicMode1GEQ{0x32, 0x32, 0x42, 0x40, 0x40,
                                                             0x40, 0x40, 0x40, 0x40, 0x43};
// The order in which SetMicGraphicEqOfMode1 writes the bands.
constexpr std::array<std::uint8_t, pos::kBands> kMicMode1Order{0, 1, 2, 9, 3, 4, 5, 6, 7, 8};

std::uint8_t LowByte(int value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

}  // namespace

const std::array<CompressorPresetValues, ParameterStore::kPresets> ParameterStore::kCompressorPresets{{
    {0, 0, 0, 0, 0},
    {16, 64, 64, 0, 18},
    {22, 84, 64, 0, 20},
    {16, 100, 64, 0, 40},
    {11, 110, 64, 0, 30},
    {8, 117, 64, 0, 30},
    {64, 127, 64, 0, 10},
    {32, 127, 0, 0, 30},
    {16, 127, 0, 0, 32},
}};

ParameterStore::ParameterStore(DeviceLink& link, WriteLedger& ledger) : m_link(link), m_ledger(ledger) {
    const RegisterMap& map = StoreRegisterMap();
    for (std::size_t i = 0; i < kStoreSize; ++i) {
        m_store[i].store(map[i].defaultValue, std::memory_order_relaxed);
    }
}

std::uint8_t ParameterStore::Value(std::size_t position) const {
    return position < kStoreSize ? m_store[position].load(std::memory_order_relaxed) : 0;
}

void ParameterStore::StoreValue(std::size_t position, std::uint8_t value) {
    if (position >= kStoreSize) {
        return;
    }
    if (m_store[position].exchange(value, std::memory_order_relaxed) != value) {
        MarkChanged(position);
    }
}

ParameterStore::Encoded ParameterStore::Encode(std::size_t position, int value) {
    const std::optional<ParameterRef> ref = ParameterAt(static_cast<int>(position));
    if (!ref) {
        return {LowByte(value), LowByte(value)};
    }
    const std::uint8_t stored = ref->Stored(value);
    switch (StoreRegisterMap()[position].rule) {
        case ValueRule::Volume:
            return {stored, wire::VolumeOnWire(value)};
        case ValueRule::SubPhase:
            return {stored, LowByte(value)};
        case ValueRule::Plain:
        case ValueRule::PeqSwitch:
            break;
    }
    return {stored, stored};
}

void ParameterStore::WriteEncoded(std::size_t position, std::uint8_t written) {
    const RegisterEntry& entry = StoreRegisterMap()[position];
    // The device rewrites an effect's parameters when its preset is written: that write never merges with
    // another.
    if (wire::RegisterAddress{entry.block, entry.index} == wire::kEffectPresetRegister) {
        WriteRegister(entry.block, entry.index, entry.channel, written);
        return;
    }
    const std::array<Report, 2> writes = PairWrites(entry, written);
    m_link.WriteRegisters(std::span<const Report>(writes.data(), entry.stereo ? 2 : 1));
}

void ParameterStore::SetValue(std::size_t position, int value) {
    if (position >= kStoreSize) {
        return;
    }
    const Encoded encoded = Encode(position, value);
    if (!StoreRegisterMap()[position].hasRegister) {
        StoreValue(position, encoded.stored);
        return;
    }
    // Queued first, stored then: a read-back that arrives in between sees the write waiting and leaves the
    // new value alone.
    WriteEncoded(position, encoded.written);
    StoreValue(position, encoded.stored);
    m_ledger.Release(position);
}

void ParameterStore::ChooseCompressorPreset(std::size_t compressBase, std::uint8_t preset) {
    StoreValue(compressBase + pos::CompressPreset, preset);
    if (preset >= kPresets) {
        return;
    }
    const CompressorPresetValues& row = kCompressorPresets[preset];
    SetValue(compressBase + pos::CompressAttackTime, row.attack);
    SetValue(compressBase + pos::CompressReleaseTime, row.release);
    SetValue(compressBase + pos::CompressThreshold, row.threshold);
    SetValue(compressBase + pos::CompressRatio, row.ratio);
    SetValue(compressBase + pos::CompressBoost, row.boost);
}

void ParameterStore::ResetBank(std::size_t first, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        SetValue(first + i, kFlat);
    }
}

void ParameterStore::FlattenPeq(std::size_t peqBase) {
    ResetBank(peqBase + pos::PEQLowGain, pos::kPeqFields - 1);
}

void ParameterStore::FlattenGraphicEq(std::size_t bank) {
    ResetBank(bank, pos::kBands);
}

void ParameterStore::SetMicGraphicEqOfMode1() {
    for (const std::uint8_t band : kMicMode1Order) {
        SetValue(pos::MicGEQ + band, kMicMode1GEQ[band]);
    }
}

void ParameterStore::WriteAllRegisters(std::uint64_t writeAll) {
    for (const std::uint8_t position : WholeSetOrder::WritePositions()) {
        // The store's value as it stands, in the form the store keeps it (a switch on or off); an edit made
        // while the write-all goes on is newer and stays.
        std::uint8_t value = Value(position);
        const Encoded encoded = Encode(position, value);
        if (encoded.stored != value && m_store[position].compare_exchange_strong(value, encoded.stored)) {
            MarkChanged(position);
        }
        WriteEncoded(position, encoded.written);
        m_ledger.ReleaseSentBy(position, writeAll);
    }
}

void ParameterStore::ReadAllRegisters() {
    std::vector<wire::RegisterAddress> missed;
    for (const wire::RegisterAddress read : WholeSetOrder::ReadArrays()) {
        ReadRegisters(read.block, read.index);
        if (m_link.IsLinkThread() && !m_link.LastAnswered()) {
            missed.push_back(read);
        }
    }
    // A reply lost on the way would leave a stale value: ask again, while the device answers at all.
    for (int round = 0; round < kReadRetries && !missed.empty() && m_link.Answering(); ++round) {
        std::vector<wire::RegisterAddress> again;
        for (const wire::RegisterAddress read : missed) {
            ReadRegisters(read.block, read.index);
            if (!m_link.LastAnswered()) {
                again.push_back(read);
            }
        }
        missed.swap(again);
    }
}

void ParameterStore::ReadEffectRegisters() {
    for (std::uint8_t index = 1; index < pos::kEffectParams; ++index) {
        ReadRegisters(wire::kEffectPresetRegister.block, index);
    }
}

void ParameterStore::ReadInputLevel() {
    PollLevels(false);
}

bool ParameterStore::PollLevels(bool withVolumes) {
    const RegisterEntry& volumes = StoreRegisterMap()[pos::MicVol];
    const std::array<Report, 2> reports{wire::ReadRegister{wire::kLevelRegister}.Encode(),
                                        wire::ReadRegisterArray{{volumes.block, volumes.index}}.Encode()};
    return m_link.Poll(std::span<const Report>(reports.data(), withVolumes ? 2 : 1)) != 0;
}

void ParameterStore::GetPeakData(std::uint8_t* out) const {
    const std::uint32_t word = m_peakData.load(std::memory_order_relaxed);
    std::memcpy(out, &word, sizeof word);
}

std::array<std::uint8_t, kFileBlockSize> ParameterStore::GetFileBlock() const {
    std::array<std::uint8_t, kFileBlockSize> block{};
    for (std::size_t i = 0; i < kFileBlockSize; ++i) {
        block[i] = Value(i);
    }
    return block;
}

void ParameterStore::SetFileBlock(const std::array<std::uint8_t, kFileBlockSize>& block) {
    for (std::size_t i = 0; i < kFileBlockSize; ++i) {
        const RegisterEntry& entry = StoreRegisterMap()[i];
        const std::optional<ParameterRef> ref = ParameterAt(static_cast<int>(i));
        if (!entry.hasRegister) {
            StoreValue(i, block[i]);
            continue;
        }
        if (ref && !ref->param->inWriteAll) {
            // The whole-set write leaves it out: it goes now, or the panel would show what the amplifier
            // never got.
            if (Value(i) != block[i]) {
                SetValue(i, block[i]);
            }
            continue;
        }
        m_ledger.HoldForNextWriteAll(i);
        StoreValue(i, block[i]);
    }
}

void ParameterStore::WriteRegister(std::uint8_t block, std::uint8_t index, std::uint8_t channel,
                                   std::uint8_t value) {
    m_link.Send(wire::WriteRegister{block, index, channel, value});
}

void ParameterStore::ReadRegisters(std::uint8_t block, std::uint8_t index) {
    m_link.Send(wire::ReadRegisterArray{{block, index}});
}

void ParameterStore::StoreLevels(const wire::LevelsReply& reply) {
    std::uint32_t word = 0;
    static_assert(sizeof word == sizeof reply.levels);
    std::memcpy(&word, reply.levels.data(), sizeof word);
    m_peakData.store(word, std::memory_order_relaxed);
}

void ParameterStore::StoreRegisterArray(const wire::RegisterArrayReply& reply) {
    const std::uint8_t block = reply.at.block;
    const std::uint8_t index = reply.at.index;
    for (const std::uint8_t position : PositionsOfRegister(block, index)) {
        const RegisterEntry& entry = StoreRegisterMap()[position];
        // An edit still on its way to the device, or a value held for the whole-set write, is newer than
        // what the device reports now.
        if (m_ledger.ReplyIsOlder(position)) {
            continue;
        }
        const std::uint8_t value = reply.values[entry.channel];
        StoreValue(position, entry.rule == ValueRule::Volume ? wire::VolumeFromWire(value) : value);
        if (entry.stereo) {
            RepairSplitPair(position, reply);
        }
    }
}

// Both channels of a pair are written one after the other; an unplug or a lost report between the two leaves
// the amplifier with the new value on the first channel and the old one on the second, which the panel,
// showing the first, would never reveal. The first channel is what the panel shows: both get it.
void ParameterStore::RepairSplitPair(std::size_t position, const wire::RegisterArrayReply& reply) {
    const RegisterEntry& entry = StoreRegisterMap()[position];
    const std::uint8_t first = reply.values[entry.channel];
    const std::uint8_t second = reply.values[entry.channel + 1u];
    if (first == second || m_ledger.WriteIsNewer(entry.block, entry.index, entry.channel + 1)) {
        return;
    }
    const std::optional<ParameterRef> ref = ParameterAt(static_cast<int>(position));
    Trace("%s: the amplifier holds %d and %d on its two channels; both set to %d\n",
          ref ? ref->Name().c_str() : "pair", first, second, first);
    m_splitPairsRepaired.fetch_add(1);
    m_link.QueueRegisters(PairWrites(entry, first));
}

}  // namespace varnoth
