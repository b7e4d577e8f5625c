// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/sim/VirtualAmp.h"

#include <algorithm>
#include <utility>

#include "device/Opcodes.h"
#include "device/sim/SimLevels.h"

namespace varnoth {
namespace {

constexpr std::uint8_t kLevelBlock = 8;
constexpr std::uint8_t kLevelIndex = 0x30;
constexpr std::size_t kLevelAt = 15;
constexpr std::size_t kValuesAt = 4;
constexpr std::size_t kRecordAt = 2;
constexpr std::uint8_t kMicControlSubSelector = 1;
constexpr std::uint8_t kLastKeyIndex = 15;

// The master volumes: registers (10, 32, channel), the first channel of each output, and where the machine
// record keeps the output's maximum.
constexpr std::uint8_t kVolumeBlock = 10;
constexpr std::uint8_t kVolumeIndex = 32;
constexpr int kVolumeOffset = 40;
constexpr int kMusicOutput = 1;
struct Output {
    std::uint8_t channel;
    bool stereo;
    std::size_t maximumAt;
};
constexpr Output kOutputs[] = {{0, true, 3}, {2, true, 4}, {4, false, 5}, {5, false, 6}};

void PutText(Report& r, const std::string& text) {
    std::copy(text.begin(), text.end(), r.begin() + kRecordAt);
    r[kRecordAt + text.size()] = 0;
}

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

Report VirtualAmp::Answer(std::uint8_t opcode) {
    Report r{};
    r[0] = kInputReportId;
    r[1] = opcode;
    return r;
}

Report VirtualAmp::Ack(std::uint8_t opcode, bool done) {
    Report r = Answer(kAck);
    r[2] = opcode;
    r[3] = done ? kDone : kIgnored;
    return r;
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
    m_flash.Announce(static_cast<std::uint16_t>(c[2] << 8 | c[3]), c[4]);
    return Ack(c[1], true);
}

Report VirtualAmp::UpgradeData(const Report& c) {
    // The flash refuses a count above 56, so the data never runs past the report.
    const auto address = static_cast<std::uint16_t>(c[2] << 8 | c[3]);
    return Ack(c[1], m_flash.Write(address, c.data() + 5, c[4]));
}

Report VirtualAmp::Farewell(const Report& c) {
    m_control.underPcControl = false;
    ++m_control.farewells;
    m_control.lastFarewell = c[1];
    m_studying = 0;
    return Ack(c[1], true);
}

Report VirtualAmp::SaveMode(const Report& c) {
    const std::uint8_t mode = c[2];
    if (mode >= sim::kModeCount) {
        return Ack(c[1], false);
    }
    m_state.stored[mode] = m_state.working;
    m_state.currentMode = mode;
    return Ack(c[1], true);
}

Report VirtualAmp::LoadMode(const Report& c) {
    const std::uint8_t mode = c[2];
    if (mode >= sim::kModeCount) {
        return Ack(c[1], false);
    }
    m_state.working = m_state.stored[mode];
    m_state.currentMode = mode;
    return Ack(c[1], true);
}

Report VirtualAmp::ResetMode(const Report& c) {
    const std::uint8_t mode = c[2];
    if (mode >= sim::kModeCount) {
        return Ack(c[1], false);
    }
    m_state.working = m_state.reset[mode];
    m_state.stored[mode] = m_state.reset[mode];
    m_state.currentMode = mode;
    return Ack(c[1], true);
}

Report VirtualAmp::ReadCurEffectMode(const Report& c) {
    Report r = Answer(c[1]);
    r[2] = m_state.currentMode;
    return r;
}

Report VirtualAmp::WriteRegister(const Report& c) {
    const std::uint8_t block = c[2], index = c[3], channel = c[4], value = c[5];
    if (!m_state.working.Set(block, index, channel, value)) {
        return Ack(c[1], false);
    }
    if (block == sim::kEffectBlock && index == sim::kEffectPresetIndex && channel < 2 &&
        value < sim::kEffectPresetCount) {
        sim::LoadEffectPreset(m_state.working, channel, value);
    }
    return Ack(c[1], true);
}

Report VirtualAmp::ReadRegister(const Report& c) {
    Report r = Answer(c[1]);
    const std::uint8_t block = c[2], index = c[3];
    r[2] = block;
    r[3] = index;
    if (block == kLevelBlock && index == kLevelIndex) {
        const auto levels = LevelsLocked();
        std::copy(levels.begin(), levels.end(), r.begin() + kLevelAt);
    } else {
        for (std::uint8_t ch = 0; ch < RegisterBank::kChannels; ++ch) {
            r[kValuesAt + ch] = m_state.working.Get(block, index, ch);
        }
    }
    return r;
}

Report VirtualAmp::ReadRegisterArray(const Report& c) {
    Report r = Answer(c[1]);
    r[2] = c[2];
    r[3] = c[3];
    for (std::uint8_t ch = 0; ch < RegisterBank::kChannels; ++ch) {
        r[kValuesAt + ch] = m_state.working.Get(c[2], c[3], ch);
    }
    return r;
}

Report VirtualAmp::SetMicControlSub(const Report& c) {
    if (c[2] != kMicControlSubSelector) {
        return Ack(c[1], false);
    }
    m_state.micControlSubTime = c[3];
    m_state.micControlSubRate = c[4];
    return Ack(c[1], true);
}

Report VirtualAmp::ReadMicControlSub(const Report& c) {
    Report r = Answer(c[1]);
    r[2] = kMicControlSubSelector;
    r[3] = m_state.micControlSubTime;
    r[4] = m_state.micControlSubRate;
    return r;
}

Report VirtualAmp::StudyKey(const Report& c) {
    const std::uint8_t key = c[2];
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

Report VirtualAmp::ReadIRSet(const Report& c) {
    Report r = Answer(c[1]);
    std::copy(m_state.ir.begin(), m_state.ir.end(), r.begin() + kRecordAt);
    return r;
}

Report VirtualAmp::ApplyIRSet(const Report& c) {
    std::copy_n(c.begin() + kRecordAt, m_state.ir.size(), m_state.ir.begin());
    return Ack(c[1], true);
}

Report VirtualAmp::ResetMachineCommand(const Report& c) {
    if (c[2] != op::kResetMachineKey) {
        return Ack(c[1], false);
    }
    ResetMachineLocked();
    return Ack(c[1], true);
}

Report VirtualAmp::ReadDevName(const Report& c) {
    Report r = Answer(c[1]);
    PutText(r, m_state.name);
    return r;
}

Report VirtualAmp::ReadDevDate(const Report& c) {
    Report r = Answer(c[1]);
    PutText(r, m_state.date);
    return r;
}

Report VirtualAmp::ApplyMachineSet(const Report& c) {
    std::copy_n(c.begin() + kRecordAt, m_state.machine.size(), m_state.machine.begin());
    return Ack(c[1], true);
}

Report VirtualAmp::MachineReadAll(const Report& c) {
    Report r = Answer(c[1]);
    std::copy(m_state.machine.begin(), m_state.machine.end(), r.begin() + kRecordAt);
    return r;
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
    Report r = Answer(kStudiedKey);
    r[2] = systemCode;
    r[3] = m_studying;
    r[4] = keyCode;
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
    const auto value = static_cast<std::uint8_t>(volume + kVolumeOffset);
    m_state.working.Set(kVolumeBlock, kVolumeIndex, at.channel, value);
    if (at.stereo) {
        m_state.working.Set(kVolumeBlock, kVolumeIndex, static_cast<std::uint8_t>(at.channel + 1), value);
    }
    return volume;
}

std::uint8_t VirtualAmp::VolumeLocked(int output) const {
    if (output < 0 || output >= static_cast<int>(std::size(kOutputs))) {
        return 0;
    }
    return static_cast<std::uint8_t>(
        m_state.working.Get(kVolumeBlock, kVolumeIndex, kOutputs[output].channel) - kVolumeOffset);
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
