// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/sim/VirtualAmp.h"

#include <algorithm>
#include <utility>

#include "device/Commands.h"
#include "device/Replies.h"
#include "device/sim/SimLevels.h"

namespace varnoth {
namespace {

constexpr std::uint8_t kLastKeyIndex = 15;

// The master volumes: the first channel of each output in the volume register, and where the machine record
// keeps the output's maximum.
constexpr int kMusicOutput = 1;
struct Output {
    std::uint8_t channel;
    bool stereo;
    std::size_t maximumAt;
};
constexpr Output kOutputs[] = {{0, true, 3}, {2, true, 4}, {4, false, 5}, {5, false, 6}};

}  // namespace

const VirtualAmp::Command VirtualAmp::kNormalCommands[] = {
    {op::UnLockMachine, &VirtualAmp::Farewell},
    {op::SaveMode, &VirtualAmp::SaveMode},
    {op::LoadMode, &VirtualAmp::LoadMode},
    {op::ResetMode, &VirtualAmp::ResetMode},
    {op::ReadCurEffectMode, &VirtualAmp::ReadCurEffectMode},
    {op::WriteRegister, &VirtualAmp::WriteRegister},
    {op::ReadRegister, &VirtualAmp::ReadRegister},
    {op::ReadRegisterArray, &VirtualAmp::ReadRegisterArray},
    {op::SetMicControlSub, &VirtualAmp::SetMicControlSub},
    {op::ReadMicControlSub, &VirtualAmp::ReadMicControlSub},
    {op::StudyKey, &VirtualAmp::StudyKey},
    {op::CancelStudying, &VirtualAmp::CancelStudying},
    {op::ReadIRSet, &VirtualAmp::ReadIRSet},
    {op::ApplyIRSet, &VirtualAmp::ApplyIRSet},
    {op::ResetMachine, &VirtualAmp::ResetMachineCommand},
    {op::ReadDevName, &VirtualAmp::ReadDevName},
    {op::ReadDevDate, &VirtualAmp::ReadDevDate},
    {op::ApplyMachineSet, &VirtualAmp::ApplyMachineSet},
    {op::Machine_ReadAll, &VirtualAmp::MachineReadAll},
};

const VirtualAmp::Command VirtualAmp::kUpgradeCommands[] = {
    {op::UpgradeBlock, &VirtualAmp::UpgradeBlock},
    {op::UpgradeData, &VirtualAmp::UpgradeData},
    {op::UpgradeExit, &VirtualAmp::Farewell},
};

VirtualAmp::VirtualAmp() : m_state(VirtualAmpState::Factory()) {
    const auto start = std::chrono::steady_clock::now();
    m_clock = [start] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                     start);
    };
}

Report VirtualAmp::Ack(std::uint8_t opcode, bool done) {
    return wire::AckReply{opcode, done}.Encode();
}

Report VirtualAmp::Receive(const Report& command) {
    std::lock_guard lock(m_mutex);
    ++m_received;
    const std::uint8_t opcode = command[1];
    const bool farewell = opcode == (m_state.upgradeMode ? op::UpgradeExit : op::UnLockMachine);
    if (!farewell) {
        m_control.underPcControl = true;
    }
    WalkLocked();
    const auto match = [opcode](const Command& c) { return c.opcode == opcode; };
    const Command* begin = m_state.upgradeMode ? std::begin(kUpgradeCommands) : std::begin(kNormalCommands);
    const Command* end = m_state.upgradeMode ? std::end(kUpgradeCommands) : std::end(kNormalCommands);
    const Command* found = std::find_if(begin, end, match);
    return found == end ? Ack(opcode, false) : (this->*found->handler)(command);
}

Report VirtualAmp::UpgradeBlock(const Report& c) {
    const wire::UpgradeBlock block = wire::UpgradeBlock::Decode(c);
    m_flash.Announce(block.address, block.mark);
    return Ack(c[1], true);
}

Report VirtualAmp::UpgradeData(const Report& c) {
    // The flash refuses a count above the chunk's size, so the data never runs past it.
    const wire::UpgradeData chunk = wire::UpgradeData::Decode(c);
    return Ack(c[1], m_flash.Write(chunk.address, chunk.data.data(), chunk.count));
}

Report VirtualAmp::Farewell(const Report& c) {
    m_control.underPcControl = false;
    ++m_control.farewells;
    m_control.lastFarewell = c[1];
    m_studying = 0;
    return Ack(c[1], true);
}

Report VirtualAmp::SaveMode(const Report& c) {
    const std::uint8_t mode = wire::SaveMode::Decode(c).mode;
    if (mode >= sim::kModeCount) {
        return Ack(c[1], false);
    }
    m_state.stored[mode] = m_state.working;
    m_state.currentMode = mode;
    return Ack(c[1], true);
}

Report VirtualAmp::LoadMode(const Report& c) {
    const std::uint8_t mode = wire::LoadMode::Decode(c).mode;
    if (mode >= sim::kModeCount) {
        return Ack(c[1], false);
    }
    m_state.working = m_state.stored[mode];
    m_state.currentMode = mode;
    return Ack(c[1], true);
}

Report VirtualAmp::ResetMode(const Report& c) {
    const std::uint8_t mode = wire::ResetMode::Decode(c).mode;
    if (mode >= sim::kModeCount) {
        return Ack(c[1], false);
    }
    m_state.working = m_state.reset[mode];
    m_state.stored[mode] = m_state.reset[mode];
    m_state.currentMode = mode;
    return Ack(c[1], true);
}

Report VirtualAmp::ReadCurEffectMode(const Report&) {
    return wire::CurEffectModeReply{m_state.currentMode}.Encode();
}

Report VirtualAmp::WriteRegister(const Report& c) {
    const wire::WriteRegister w = wire::WriteRegister::Decode(c);
    if (!m_state.working.Set(w.block, w.index, w.channel, w.value)) {
        return Ack(c[1], false);
    }
    if (wire::RegisterAddress{w.block, w.index} == wire::kEffectPresetRegister && w.channel < 2 &&
        w.value < sim::kEffectPresetCount) {
        sim::LoadEffectPreset(m_state.working, w.channel, w.value);
    }
    return Ack(c[1], true);
}

Report VirtualAmp::ReadRegister(const Report& c) {
    const wire::RegisterAddress at = wire::ReadRegister::Decode(c).at;
    if (at == wire::kLevelRegister) {
        return wire::LevelsReply{LevelsLocked()}.Encode();
    }
    return wire::RegisterReply{at, ChannelsLocked(at)}.Encode();
}

Report VirtualAmp::ReadRegisterArray(const Report& c) {
    const wire::RegisterAddress at = wire::ReadRegisterArray::Decode(c).at;
    return wire::RegisterArrayReply{at, ChannelsLocked(at)}.Encode();
}

std::array<std::uint8_t, wire::kArrayChannels> VirtualAmp::ChannelsLocked(wire::RegisterAddress at) const {
    static_assert(wire::kArrayChannels == RegisterBank::kChannels);
    std::array<std::uint8_t, wire::kArrayChannels> values{};
    for (std::uint8_t ch = 0; ch < values.size(); ++ch) {
        values[ch] = m_state.working.Get(at.block, at.index, ch);
    }
    return values;
}

Report VirtualAmp::SetMicControlSub(const Report& c) {
    const wire::SetMicControlSub set = wire::SetMicControlSub::Decode(c);
    if (set.selector != wire::kMicControlSubSelector) {
        return Ack(c[1], false);
    }
    m_state.micControlSubTime = set.time;
    m_state.micControlSubRate = set.rate;
    return Ack(c[1], true);
}

Report VirtualAmp::ReadMicControlSub(const Report&) {
    return wire::MicControlSubReply{m_state.micControlSubTime, m_state.micControlSubRate}.Encode();
}

Report VirtualAmp::StudyKey(const Report& c) {
    const std::uint8_t key = wire::StudyKey::Decode(c).keyIndex;
    if (key == 0 || key > kLastKeyIndex) {
        return Ack(c[1], false);
    }
    m_studying = key;
    return Ack(c[1], true);
}

Report VirtualAmp::CancelStudying(const Report& c) {
    m_studying = 0;
    return Ack(c[1], true);
}

Report VirtualAmp::ReadIRSet(const Report&) {
    return wire::IrRecordReply{m_state.ir}.Encode();
}

Report VirtualAmp::ApplyIRSet(const Report& c) {
    m_state.ir = wire::ApplyIRSet::Decode(c).record;
    return Ack(c[1], true);
}

Report VirtualAmp::ResetMachineCommand(const Report& c) {
    if (wire::ResetMachine::Decode(c).key != op::kResetMachineKey) {
        return Ack(c[1], false);
    }
    ResetMachineLocked();
    return Ack(c[1], true);
}

Report VirtualAmp::ReadDevName(const Report&) {
    return wire::DevNameReply{m_state.name}.Encode();
}

Report VirtualAmp::ReadDevDate(const Report&) {
    return wire::DevDateReply{m_state.date}.Encode();
}

Report VirtualAmp::ApplyMachineSet(const Report& c) {
    m_state.machine = wire::ApplyMachineSet::Decode(c).record;
    return Ack(c[1], true);
}

Report VirtualAmp::MachineReadAll(const Report&) {
    return wire::MachineRecordReply{m_state.machine}.Encode();
}

int VirtualAmp::Subscribe(Listener listener) {
    std::lock_guard lock(m_mutex);
    const int id = m_nextListener++;
    m_listeners.emplace(id, std::move(listener));
    return id;
}

void VirtualAmp::Unsubscribe(int id) {
    std::lock_guard lock(m_mutex);
    m_listeners.erase(id);
}

bool VirtualAmp::PressRemoteKey(std::uint8_t systemCode, std::uint8_t keyCode) {
    std::lock_guard lock(m_mutex);
    if (m_studying == 0 || m_state.upgradeMode) {
        return false;
    }
    m_state.ir[0] = systemCode;
    m_state.ir[m_studying] = keyCode;
    const Report r = wire::KeyStudiedReply{systemCode, m_studying, keyCode}.Encode();
    m_studying = 0;
    for (const auto& [id, listener] : m_listeners) {
        listener(r);
    }
    return true;
}

void VirtualAmp::InjectReport(const Report& report) {
    std::lock_guard lock(m_mutex);
    for (const auto& [id, listener] : m_listeners) {
        listener(report);
    }
}

std::uint8_t VirtualAmp::StudyingKey() const {
    std::lock_guard lock(m_mutex);
    return m_studying;
}

bool VirtualAmp::SetName(const std::string& name) {
    if (!ValidDeviceText(name)) {
        return false;
    }
    std::lock_guard lock(m_mutex);
    m_state.name = name;
    return true;
}

bool VirtualAmp::SetDate(const std::string& date) {
    if (!ValidDeviceText(date)) {
        return false;
    }
    std::lock_guard lock(m_mutex);
    m_state.date = date;
    return true;
}

std::string VirtualAmp::Name() const {
    std::lock_guard lock(m_mutex);
    return m_state.name;
}

std::string VirtualAmp::Date() const {
    std::lock_guard lock(m_mutex);
    return m_state.date;
}

void VirtualAmp::SetUpgradeMode(bool upgradeMode) {
    std::lock_guard lock(m_mutex);
    if (upgradeMode && !m_state.upgradeMode) {
        m_flash.Clear();
    }
    m_state.upgradeMode = upgradeMode;
    m_studying = 0;
}

bool VirtualAmp::UpgradeMode() const {
    std::lock_guard lock(m_mutex);
    return m_state.upgradeMode;
}

UpgradeFlash VirtualAmp::Flash() const {
    std::lock_guard lock(m_mutex);
    return m_flash;
}

std::uint8_t VirtualAmp::Register(std::uint8_t block, std::uint8_t index, std::uint8_t channel) const {
    std::lock_guard lock(m_mutex);
    return m_state.working.Get(block, index, channel);
}

void VirtualAmp::SetRegister(std::uint8_t block, std::uint8_t index, std::uint8_t channel,
                             std::uint8_t value) {
    std::lock_guard lock(m_mutex);
    m_state.working.Set(block, index, channel, value);
}

std::uint8_t VirtualAmp::TurnVolume(int output, std::uint8_t volume) {
    std::lock_guard lock(m_mutex);
    return TurnVolumeLocked(output, volume);
}

std::uint8_t VirtualAmp::Volume(int output) const {
    std::lock_guard lock(m_mutex);
    return VolumeLocked(output);
}

void VirtualAmp::SetRemoteWalk(std::chrono::milliseconds period) {
    std::lock_guard lock(m_mutex);
    m_walkPeriod = period;
    m_nextWalk = m_clock() + period;
    m_walkingUp = true;
}

std::uint8_t VirtualAmp::TurnVolumeLocked(int output, std::uint8_t volume) {
    if (output < 0 || output >= static_cast<int>(std::size(kOutputs))) {
        return 0;
    }
    const Output& at = kOutputs[output];
    volume = std::min(volume, m_state.machine[at.maximumAt]);
    const std::uint8_t value = wire::VolumeOnWire(volume);
    const wire::RegisterAddress reg = wire::kVolumeRegister;
    m_state.working.Set(reg.block, reg.index, at.channel, value);
    if (at.stereo) {
        m_state.working.Set(reg.block, reg.index, static_cast<std::uint8_t>(at.channel + 1), value);
    }
    return volume;
}

std::uint8_t VirtualAmp::VolumeLocked(int output) const {
    if (output < 0 || output >= static_cast<int>(std::size(kOutputs))) {
        return 0;
    }
    const wire::RegisterAddress reg = wire::kVolumeRegister;
    return wire::VolumeFromWire(m_state.working.Get(reg.block, reg.index, kOutputs[output].channel));
}

void VirtualAmp::WalkLocked() {
    const std::chrono::milliseconds now = m_clock();
    if (m_walkPeriod.count() <= 0 || now < m_nextWalk) {
        return;
    }
    m_nextWalk = now + m_walkPeriod;
    const std::uint8_t volume = VolumeLocked(kMusicOutput);
    const std::uint8_t maximum = m_state.machine[kOutputs[kMusicOutput].maximumAt];
    if (m_walkingUp ? volume >= maximum : volume == 0) {
        m_walkingUp = !m_walkingUp;
    }
    const int step = m_walkingUp ? 1 : -1;
    TurnVolumeLocked(kMusicOutput, static_cast<std::uint8_t>(std::clamp(volume + step, 0, 255)));
}

RegisterBank VirtualAmp::WorkingSet() const {
    std::lock_guard lock(m_mutex);
    return m_state.working;
}

RegisterBank VirtualAmp::StoredSet(std::size_t mode) const {
    std::lock_guard lock(m_mutex);
    return m_state.stored.at(mode);
}

RegisterBank VirtualAmp::ResetSet(std::size_t mode) const {
    std::lock_guard lock(m_mutex);
    return m_state.reset.at(mode);
}

int VirtualAmp::CurrentMode() const {
    std::lock_guard lock(m_mutex);
    return m_state.currentMode;
}

sim::MachineRecord VirtualAmp::Machine() const {
    std::lock_guard lock(m_mutex);
    return m_state.machine;
}

sim::IrRecord VirtualAmp::Ir() const {
    std::lock_guard lock(m_mutex);
    return m_state.ir;
}

VirtualAmp::MicControlSub VirtualAmp::MicControl() const {
    std::lock_guard lock(m_mutex);
    return {m_state.micControlSubTime, m_state.micControlSubRate};
}

VirtualAmp::Control VirtualAmp::PcControl() const {
    std::lock_guard lock(m_mutex);
    return m_control;
}

std::uint64_t VirtualAmp::ReportsReceived() const {
    std::lock_guard lock(m_mutex);
    return m_received;
}

void VirtualAmp::SetLevelSeed(std::uint64_t seed) {
    std::lock_guard lock(m_mutex);
    m_levelSeed = seed;
}

void VirtualAmp::SetLevelClock(Clock clock) {
    std::lock_guard lock(m_mutex);
    m_clock = std::move(clock);
}

std::array<std::uint8_t, 4> VirtualAmp::Levels() const {
    std::lock_guard lock(m_mutex);
    return LevelsLocked();
}

std::array<std::uint8_t, 4> VirtualAmp::LevelsLocked() const {
    return SimLevels::At(m_levelSeed, m_clock());
}

void VirtualAmp::ResetMachine() {
    std::lock_guard lock(m_mutex);
    ResetMachineLocked();
}

void VirtualAmp::ResetMachineLocked() {
    VirtualAmpState factory = VirtualAmpState::Factory();
    factory.name = std::move(m_state.name);
    factory.date = std::move(m_state.date);
    factory.upgradeMode = m_state.upgradeMode;
    m_state = std::move(factory);
    m_studying = 0;
}

VirtualAmpState VirtualAmp::State() const {
    std::lock_guard lock(m_mutex);
    return m_state;
}

bool VirtualAmp::SetState(const VirtualAmpState& state) {
    if (!state.Problem().empty()) {
        return false;
    }
    std::lock_guard lock(m_mutex);
    if (state.upgradeMode && !m_state.upgradeMode) {
        m_flash.Clear();
    }
    m_state = state;
    m_studying = 0;
    return true;
}

std::string VirtualAmp::SaveState(const std::string& path) const {
    return SaveStateFile(State(), path);
}

std::string VirtualAmp::LoadState(const std::string& path) {
    VirtualAmpState loaded;
    std::string error = LoadStateFile(path, loaded);
    if (error.empty()) {
        SetState(loaded);
    }
    return error;
}

}  // namespace varnoth
