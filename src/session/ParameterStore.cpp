#include "session/ParameterStore.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

#include "device/Opcodes.h"
#include "device/Trace.h"

namespace varnoth {
namespace {

constexpr int kVolumeOffset = 40;
constexpr std::uint8_t kPeqOn = 0x7F;
constexpr std::uint8_t kFlat = 0x40;
constexpr std::uint8_t kArraySize = 8;
constexpr std::uint8_t kLevelBlock = 8;
constexpr std::uint8_t kEqBlock = 10;
constexpr std::uint8_t kLevelIndex = 0x30;
constexpr std::size_t kLevelByte = 15;
constexpr std::size_t kFirstChannelByte = 4;
constexpr int kReadRetries = 4;
constexpr std::uint8_t kEffectPresetBlock = 3;
constexpr std::uint8_t kEffectPresetIndex = 0;

// The order in which CK750_WriteAll rewrites the store; the routing to the main outputs and the master
// volumes are not written.
constexpr auto kWriteAllOrder = [] {
    std::array<std::uint8_t, 102> order{};
    std::size_t n = 0;
    for (std::uint8_t p : {pos::InputGain_Mic, pos::InputGain_Music, pos::NoiseGate_Mic, pos::NoiseGate_Music,
                           pos::ChToEffect1, pos::ChToEffect2}) {
        order[n++] = p;
    }
    for (std::uint8_t base : {pos::Compress_Mic, pos::Compress_Music}) {
        for (std::uint8_t f : {pos::CompressOn, pos::CompressAttackTime, pos::CompressReleaseTime,
                               pos::CompressThreshold, pos::CompressRatio, pos::CompressBoost}) {
            order[n++] = static_cast<std::uint8_t>(base + f);
        }
    }
    for (std::uint8_t base : {pos::PEQ_Mic, pos::PEQ_Music}) {
        for (std::uint8_t f = 0; f < pos::kPeqFields; ++f) {
            order[n++] = static_cast<std::uint8_t>(base + f);
        }
    }
    for (std::uint8_t base : {pos::Effect1, pos::Effect2}) {
        for (std::uint8_t p = 0; p < pos::kEffectParams; ++p) {
            order[n++] = static_cast<std::uint8_t>(base + p);
        }
    }
    for (std::uint8_t band = 0; band < pos::kBands; ++band) {
        for (std::uint8_t bank : {pos::MicGEQ, pos::MusicGEQ, pos::CenterGEQ, pos::SubGEQ}) {
            order[n++] = static_cast<std::uint8_t>(bank + band);
        }
    }
    for (std::uint8_t p : {pos::SubLevel, pos::SubFrequency, pos::SubPhase180, pos::SubResonance}) {
        order[n++] = p;
    }
    return order;
}();

struct RegisterRead {
    std::uint8_t block;
    std::uint8_t index;
};

// The fifty registers CK750_ReadAll asks for, in order.
constexpr auto kReadAllOrder = [] {
    std::array<RegisterRead, 50> order{};
    std::size_t n = 0;
    for (std::uint8_t i = 4; i <= 9; ++i)
        order[n++] = {8, i};
    for (std::uint8_t i = 0; i <= 5; ++i)
        order[n++] = {5, i};
    for (std::uint8_t i : {0, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14})
        order[n++] = {9, i};
    for (std::uint8_t i = 0; i <= 8; ++i)
        order[n++] = {3, i};
    order[n++] = {10, 32};
    for (std::uint8_t i = 0; i <= 9; ++i)
        order[n++] = {10, i};
    for (std::uint8_t i = 1; i <= 7; ++i)
        order[n++] = {11, i};
    return order;
}();

// Microphone EQ of memory mode 1, band by band.
constexpr std::array<std::uint8_t, pos::kBands> kMicMode1GEQ{0x32, 0x32, 0x42, 0x40, 0x40,
                                                             0x40, 0x40, 0x40, 0x40, 0x43};
// The order in which ResetMicMode1GEQ writes the bands.
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

ParameterStore::ParameterStore(DeviceLink& link) : m_link(link) {
    const RegisterMap& map = StoreRegisterMap();
    for (std::size_t i = 0; i < kStoreSize; ++i) {
        m_store[i].store(map[i].defaultValue, std::memory_order_relaxed);
    }
}

std::uint8_t ParameterStore::Param(std::size_t position) const {
    return m_store[position].load(std::memory_order_relaxed);
}

void ParameterStore::Store(std::size_t position, std::uint8_t value) {
    m_store[position].store(value, std::memory_order_relaxed);
}

void ParameterStore::SetParam(std::size_t position, int value) {
    const RegisterEntry& entry = StoreRegisterMap()[position];
    std::uint8_t stored = LowByte(value);
    std::uint8_t written = stored;
    switch (entry.rule) {
        case ValueRule::Plain:
            break;
        case ValueRule::Volume:
            written = LowByte(value + kVolumeOffset);
            break;
        case ValueRule::PeqSwitch:
            stored = value != 0 ? kPeqOn : 0;
            written = stored;
            break;
        case ValueRule::SubPhase:
            stored = value != 0 ? 1 : 0;
            break;
    }
    if (!entry.hasRegister) {
        Store(position, stored);
        return;
    }
    // The device rewrites an effect's parameters when its preset is written: that write never merges with
    // another.
    if (entry.block == kEffectPresetBlock && entry.index == kEffectPresetIndex) {
        Store(position, stored);
        WriteK750Data(entry.block, entry.index, entry.channel, written);
        return;
    }
    const std::array<Report, 2> writes{
        DeviceLink::BuildCommand(op::WriteK750Data, {entry.block, entry.index, entry.channel, written}),
        DeviceLink::BuildCommand(op::WriteK750Data, {entry.block, entry.index, entry.channel + 1, written})};
    // Queued first, stored then: a read-back that arrives in between sees the write waiting and leaves the
    // new value alone.
    m_link.WriteRegisters(std::span<const Report>(writes.data(), entry.stereo ? 2 : 1));
    Store(position, stored);
}

void ParameterStore::SetCompressPreset(std::uint8_t compressBase, std::uint8_t preset) {
    Store(compressBase + pos::CompressPreset, preset);
    if (preset >= kPresets) {
        return;
    }
    const CompressorPresetValues& row = kCompressorPresets[preset];
    SetParam(compressBase + pos::CompressAttackTime, row.attack);
    SetParam(compressBase + pos::CompressReleaseTime, row.release);
    SetParam(compressBase + pos::CompressThreshold, row.threshold);
    SetParam(compressBase + pos::CompressRatio, row.ratio);
    SetParam(compressBase + pos::CompressBoost, row.boost);
}

void ParameterStore::SetEffectParam(int effect, std::uint8_t param, std::uint8_t value) {
    if (effect != 0 && effect != 1) {
        return;
    }
    SetParam((effect == 0 ? pos::Effect1 : pos::Effect2) + param, value);
}

std::uint8_t ParameterStore::EffectParam(int effect, std::uint8_t param) const {
    if (effect != 0 && effect != 1) {
        return 0;
    }
    return Param((effect == 0 ? pos::Effect1 : pos::Effect2) + param);
}

void ParameterStore::SetBand(std::uint8_t bank, int band, int value) {
    if (band < 0 || band >= pos::kBands) {
        return;
    }
    SetParam(bank + static_cast<std::size_t>(band), value);
}

std::uint8_t ParameterStore::Band(std::uint8_t bank, int band) const {
    if (band < 0 || band >= pos::kBands) {
        return 0;
    }
    return Param(bank + static_cast<std::size_t>(band));
}

void ParameterStore::ResetBank(std::uint8_t first, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        SetParam(first + i, kFlat);
    }
}

void ParameterStore::SetPEQ_Reset_Mic() {
    ResetBank(pos::PEQ_Mic + pos::PEQLowGain, pos::kPeqFields - 1);
}
void ParameterStore::SetPEQ_Reset_Music() {
    ResetBank(pos::PEQ_Music + pos::PEQLowGain, pos::kPeqFields - 1);
}
void ParameterStore::ResetMicGEQ() {
    ResetBank(pos::MicGEQ, pos::kBands);
}
void ParameterStore::ResetMusicGEQ() {
    ResetBank(pos::MusicGEQ, pos::kBands);
}
void ParameterStore::ResetCenterGEQ() {
    ResetBank(pos::CenterGEQ, pos::kBands);
}
void ParameterStore::ResetSubGEQ() {
    ResetBank(pos::SubGEQ, pos::kBands);
}

void ParameterStore::ResetMicMode1GEQ() {
    for (const std::uint8_t band : kMicMode1Order) {
        SetParam(pos::MicGEQ + band, kMicMode1GEQ[band]);
    }
}

bool ParameterStore::SentByWriteAll(std::size_t position) {
    return std::find(kWriteAllOrder.begin(), kWriteAllOrder.end(), position) != kWriteAllOrder.end();
}

void ParameterStore::CK750_WriteAll() {
    for (const std::uint8_t position : kWriteAllOrder) {
        SetParam(position, Param(position));
    }
}

void ParameterStore::CK750_ReadAll() {
    std::vector<RegisterRead> missed;
    for (const RegisterRead& read : kReadAllOrder) {
        ReadK750Data(read.block, read.index, kArraySize);
        if (m_link.IsLinkThread() && !m_link.LastAnswered()) {
            missed.push_back(read);
        }
    }
    // A reply lost on the way would leave a stale value: ask again, while the device answers at all.
    for (int round = 0; round < kReadRetries && !missed.empty() && m_link.Answering(); ++round) {
        std::vector<RegisterRead> again;
        for (const RegisterRead& read : missed) {
            ReadK750Data(read.block, read.index, kArraySize);
            if (!m_link.LastAnswered()) {
                again.push_back(read);
            }
        }
        missed.swap(again);
    }
}

void ParameterStore::ReadEffect() {
    for (std::uint8_t index = 1; index < pos::kEffectParams; ++index) {
        ReadK750Data(3, index, kArraySize);
    }
}

void ParameterStore::ReadInputLevel() {
    PollLevels(false);
}

bool ParameterStore::PollLevels(bool withVolumes) {
    const RegisterEntry& volumes = StoreRegisterMap()[pos::MicVol];
    const std::array<Report, 2> reports{
        DeviceLink::BuildCommand(op::ReadK750Single, {kLevelBlock, kLevelIndex, 0}),
        DeviceLink::BuildCommand(op::ReadK750Array, {volumes.block, volumes.index, kArraySize})};
    return m_link.Poll(std::span<const Report>(reports.data(), withVolumes ? 2 : 1)) != 0;
}

void ParameterStore::ReadEqLevel() {
    WriteK750Data(kEqBlock, kLevelIndex, 0, 0);
}

void ParameterStore::GetPeakData(std::uint8_t* out) const {
    const std::uint32_t word = m_peakData.load(std::memory_order_relaxed);
    std::memcpy(out, &word, sizeof word);
}

std::array<std::uint8_t, kFileBlockSize> ParameterStore::GetFileBlock() const {
    std::array<std::uint8_t, kFileBlockSize> block{};
    for (std::size_t i = 0; i < kFileBlockSize; ++i) {
        block[i] = Param(i);
    }
    return block;
}

void ParameterStore::SetFileBlock(const std::array<std::uint8_t, kFileBlockSize>& block) {
    for (std::size_t i = 0; i < kFileBlockSize; ++i) {
        Store(i, block[i]);
    }
}

void ParameterStore::WriteK750Data(std::uint8_t block, std::uint8_t index, std::uint8_t channel,
                                   std::uint8_t value) {
    m_link.SendCommand(op::WriteK750Data, {block, index, channel, value});
}

void ParameterStore::ReadK750Data(std::uint8_t block, std::uint8_t index, std::uint8_t size) {
    m_link.SendCommand(size == kArraySize ? op::ReadK750Array : op::ReadK750Single, {block, index, size});
}

void ParameterStore::ReadK750Byte(const Report& report) {
    if (report[1] == op::ReadK750Single) {
        ReadSingleByteBuf(report);
    } else {
        ReadArrayBuf(report);
    }
}

void ParameterStore::ReadSingleByteBuf(const Report& report) {
    if (report[3] != kLevelIndex) {
        return;
    }
    if (report[2] == kLevelBlock) {
        std::uint32_t word = 0;
        std::memcpy(&word, report.data() + kLevelByte, sizeof word);
        m_peakData.store(word, std::memory_order_relaxed);
    } else if (report[2] == kEqBlock) {
        Trace("Read eq peak \n");
    }
}

void ParameterStore::ReadArrayBuf(const Report& report) {
    const std::uint8_t block = report[2];
    const std::uint8_t index = report[3];
    const RegisterMap& map = StoreRegisterMap();
    for (std::size_t position = 0; position < kStoreSize; ++position) {
        const RegisterEntry& entry = map[position];
        if (!entry.hasRegister || entry.block != block || entry.index != index) {
            continue;
        }
        // An edit still on its way to the device is newer than what the device reports now.
        if (m_link.HasNewerWrite(block, index, entry.channel)) {
            continue;
        }
        const std::uint8_t value = report[kFirstChannelByte + entry.channel];
        Store(position, entry.rule == ValueRule::Volume ? LowByte(value - kVolumeOffset) : value);
    }
}

}  // namespace varnoth
