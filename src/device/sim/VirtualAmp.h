// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "device/Replies.h"
#include "device/Transport.h"
#include "device/sim/RegisterBank.h"
#include "device/sim/SimState.h"
#include "device/sim/UpgradeFlash.h"

namespace varnoth {

// The amplifier's side of the link, complete: it takes every output report and answers each one at once.
// Commands that have a reply get it (byte 1 = the command's opcode, laid out as the host reads it); every
// other report, including an unknown opcode, gets an acknowledgement: byte 1 = kAck, byte 2 = the opcode
// acknowledged, byte 3 = kDone or kIgnored (the command was not carried out: an address that does not
// exist, a mode above 3, a key index outside 1..15, a wrong reset key, a command the current mode does not
// know). The host reads nothing from an acknowledgement; it only releases the next command. Input reports
// carry the report ID kInputReportId in byte 0.
//
// In upgrade mode the amplifier knows UpgradeBlock, UpgradeData and UpgradeExit only; in normal mode it
// knows every other command. A learnt remote key is reported later, unasked (reply 0x60), to every
// subscriber. Thread-safe: every operation takes the one lock.
class VirtualAmp {
  public:
    static constexpr std::uint8_t kInputReportId = wire::kInputReportId;
    static constexpr std::uint8_t kAck = wire::AckReply::kOpcode;
    static constexpr std::uint8_t kDone = wire::AckReply::kDone;
    static constexpr std::uint8_t kIgnored = wire::AckReply::kIgnored;
    static constexpr std::uint8_t kStudiedKey = op::StudyKey;

    struct MicControlSub {
        std::uint8_t time;
        std::uint8_t rate;
    };
    // How PC control ended: UnLockMachine in normal mode, UpgradeExit in upgrade mode.
    struct Control {
        bool underPcControl = false;    // a report other than a farewell came since the last farewell
        unsigned farewells = 0;         // UnLockMachine and UpgradeExit received
        std::uint8_t lastFarewell = 0;  // the opcode of the last of them, 0 before any
    };
    using Clock = std::function<std::chrono::milliseconds()>;
    using Listener = std::function<void(const Report&)>;

    VirtualAmp();

    // Handles one output report and returns the input report sent back at once.
    Report Receive(const Report& command);

    // Unasked reports go to every subscriber, on the thread that caused them, while the amplifier's lock
    // is held: a listener must not call back into the amplifier.
    int Subscribe(Listener listener);
    void Unsubscribe(int id);

    // A key press on the remote control. While a key is being learnt (after StudyKey), the key code and the
    // system code are stored in the IR record, the key-learnt reply goes to the subscribers and learning
    // ends; returns whether that happened.
    bool PressRemoteKey(std::uint8_t systemCode, std::uint8_t keyCode);
    // The key index being learnt, 0 when none.
    std::uint8_t StudyingKey() const;

    // The master volumes as the amplifier's own volume keys and its remote turn them: output 0 mic, 1 music,
    // 2 centre, 3 sub, volume as shown (the registers hold it + 40, on both channels of a stereo output),
    // held at the maximum the machine settings give that output. Returns the volume set; an unknown output
    // changes nothing and returns 0.
    std::uint8_t TurnVolume(int output, std::uint8_t volume);
    std::uint8_t Volume(int output) const;
    // Someone at the amplifier steps the music volume with the remote every `period` (0: nobody): one step up
    // at a time to its maximum, then down to 0, and up again. A step falls due as reports come in.
    void SetRemoteWalk(std::chrono::milliseconds period);

    // Sends any input report unasked to every subscriber, as a faulty or foreign device might: for testing
    // how the host copes with replies it does not expect.
    void InjectReport(const Report& report);

    // Model name and firmware date as reported; false (nothing changed) unless ValidDeviceText.
    bool SetName(const std::string& name);
    bool SetDate(const std::string& date);
    std::string Name() const;
    std::string Date() const;

    // Upgrade mode: the amplifier enumerates under the upgrade identifiers and only takes an image.
    // Entering it clears the flash records.
    void SetUpgradeMode(bool upgradeMode);
    bool UpgradeMode() const;
    UpgradeFlash Flash() const;

    std::uint8_t Register(std::uint8_t block, std::uint8_t index, std::uint8_t channel) const;
    void SetRegister(std::uint8_t block, std::uint8_t index, std::uint8_t channel, std::uint8_t value);
    RegisterBank WorkingSet() const;
    RegisterBank StoredSet(std::size_t mode) const;
    RegisterBank ResetSet(std::size_t mode) const;
    int CurrentMode() const;
    sim::MachineRecord Machine() const;
    sim::IrRecord Ir() const;
    MicControlSub MicControl() const;
    Control PcControl() const;
    std::uint64_t ReportsReceived() const;

    // The level word is SimLevels::At(seed, clock()); the clock runs from the amplifier's construction
    // unless replaced.
    void SetLevelSeed(std::uint64_t seed);
    void SetLevelClock(Clock clock);
    std::array<std::uint8_t, 4> Levels() const;

    // What ResetMachine does: registers, memory modes, machine and IR records and the mic-controls-sub
    // setting back to factory; name, date and upgrade mode stay.
    void ResetMachine();

    VirtualAmpState State() const;
    // False (nothing changed) when state.Problem() is not empty.
    bool SetState(const VirtualAmpState& state);
    // Empty on success, else a message; a failed load changes nothing.
    std::string SaveState(const std::string& path) const;
    std::string LoadState(const std::string& path);

  private:
    using Handler = Report (VirtualAmp::*)(const Report&);
    struct Command {
        std::uint8_t opcode;
        Handler handler;
    };
    static const Command kNormalCommands[];
    static const Command kUpgradeCommands[];

    static Report Ack(std::uint8_t opcode, bool done);
    std::array<std::uint8_t, wire::kArrayChannels> ChannelsLocked(wire::RegisterAddress at) const;
    void ResetMachineLocked();
    std::array<std::uint8_t, 4> LevelsLocked() const;
    std::uint8_t TurnVolumeLocked(int output, std::uint8_t volume);
    std::uint8_t VolumeLocked(int output) const;
    void WalkLocked();

    Report UpgradeBlock(const Report& c);
    Report UpgradeData(const Report& c);
    Report Farewell(const Report& c);
    Report SaveMode(const Report& c);
    Report LoadMode(const Report& c);
    Report ResetMode(const Report& c);
    Report ReadCurEffectMode(const Report& c);
    Report WriteRegister(const Report& c);
    Report ReadRegister(const Report& c);
    Report ReadRegisterArray(const Report& c);
    Report SetMicControlSub(const Report& c);
    Report ReadMicControlSub(const Report& c);
    Report StudyKey(const Report& c);
    Report CancelStudying(const Report& c);
    Report ReadIRSet(const Report& c);
    Report ApplyIRSet(const Report& c);
    Report ResetMachineCommand(const Report& c);
    Report ReadDevName(const Report& c);
    Report ReadDevDate(const Report& c);
    Report ApplyMachineSet(const Report& c);
    Report MachineReadAll(const Report& c);

    mutable std::mutex m_mutex;
    VirtualAmpState m_state;
    UpgradeFlash m_flash;
    std::uint8_t m_studying = 0;
    Control m_control;
    std::uint64_t m_received = 0;
    std::uint64_t m_levelSeed = 1;
    Clock m_clock;
    std::chrono::milliseconds m_walkPeriod{0};
    std::chrono::milliseconds m_nextWalk{0};
    bool m_walkingUp = true;
    std::map<int, Listener> m_listeners;
    int m_nextListener = 1;
};

}  // namespace varnoth
