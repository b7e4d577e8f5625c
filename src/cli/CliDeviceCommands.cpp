// SPDX-License-Identifier: GPL-3.0-or-later
// The commands that wait for the device: ir, levels, version-check, upgrade; and list.
#include <algorithm>
#include <chrono>
#include <thread>

#include "cli/CliHandlers.h"
#include "cli/CliOutput.h"
#include "cli/CliParameters.h"
#include "cli/CliSignals.h"
#include "session/CarriedFirmware.h"
#include "session/FirmwareUpgrade.h"

namespace varnoth {
namespace {

using namespace std::chrono_literals;

// The panel polls the levels at this period.
constexpr auto kLevelPeriod = 300ms;
// How long the virtual remote waits before it sends its key (--sim-press).
constexpr auto kSimPressDelay = 100ms;
constexpr auto kUpgradePoll = 100ms;
constexpr int kLastKey = 15;

CliStatus NeedsDevice(const CliContext& context, const std::string& what) {
    if (context.device.Offline()) {
        return CliFailure{kExitNoDevice, what + " needs an amplifier; --offline has none"};
    }
    return std::nullopt;
}

// Sleeps for period unless Ctrl+C comes first; false then.
bool SleepUnlessInterrupted(std::chrono::milliseconds period) {
    const auto until = std::chrono::steady_clock::now() + period;
    while (std::chrono::steady_clock::now() < until) {
        if (Interrupted()) {
            return false;
        }
        std::this_thread::sleep_for(std::min<std::chrono::milliseconds>(
            20ms,
            std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now())));
    }
    return !Interrupted();
}

CliStatus RunIrShow(CliContext& context) {
    if (CliStatus failure = context.device.Connect(false)) {
        return failure;
    }
    DeviceSession& session = context.device.Session();
    if (CliStatus failure = context.device.ReadEverything()) {
        return failure;
    }
    const RemoteCodes::Record ir = session.GetRemote().GetRecord();
    std::vector<CliField> fields{{"IR.SystemCode", ir[0]}};
    for (std::size_t key = 1; key < ir.size(); ++key) {
        fields.push_back({"IR.Key." + std::to_string(key), ir[key]});
    }
    PrintFields(context.out, fields);
    return std::nullopt;
}

CliStatus RunIrLearn(CliContext& context, const std::vector<std::string>& args,
                     std::optional<std::chrono::milliseconds> timeout) {
    const std::optional<int> key = ParseNumber(args[1]);
    if (!key || *key < 1 || *key > kLastKey) {
        return BadInput("the key to learn must be 1..15, not \"" + args[1] + "\"");
    }
    if (CliStatus failure = NeedsDevice(context, "ir learn")) {
        return failure;
    }
    if (CliStatus failure = context.device.Connect(false)) {
        return failure;
    }
    DeviceSession& session = context.device.Session();
    session.GetRemote().StudyKey(*key);
    context.out << "Learning key " << *key << ": press the key on the remote control (Ctrl+C cancels)."
                << std::endl;
    if (const std::optional<int> code = context.device.SimPress()) {
        std::this_thread::sleep_for(kSimPressDelay);
        context.device.PressSimulatedKey(static_cast<std::uint8_t>(*code));
    }
    const auto wait = timeout.value_or(std::chrono::hours(24 * 365));
    const std::optional<std::uint8_t> learnt = context.device.Observer().WaitForKey(
        wait, [&] { return Interrupted() || context.device.Vanished(); });
    if (!learnt) {
        session.GetRemote().CancelStudying();
        if (context.device.Vanished()) {
            return CliFailure{kExitNoDevice,
                              "The amplifier went away while learning key " + std::to_string(*key) + "."};
        }
        if (Interrupted()) {
            return CliFailure{kExitInterrupted, "Learning of key " + std::to_string(*key) + " cancelled."};
        }
        return CliFailure{kExitNoDevice, "No remote key arrived within the time-out; learning cancelled."};
    }
    const RemoteCodes::Record ir = session.GetRemote().GetRecord();
    PrintFields(context.out, {{"IR.SystemCode", ir[0]}, {"IR.Key." + std::to_string(*key), *learnt}});
    return std::nullopt;
}

std::string VersionVerdict(FirmwareCheck check) {
    switch (check) {
        case FirmwareCheck::Older:
            return "The amplifier's firmware is older than the program's image: an upgrade is available.";
        case FirmwareCheck::Newer:
            return "The amplifier's firmware is newer than the program's image.";
        default:
            return "The amplifier's firmware is the program's.";
    }
}

}  // namespace

CliStatus RunIr(CliContext& context) {
    std::string error;
    const std::optional<std::string> timeoutText = TakeOption(context.args, "--timeout", error);
    if (!error.empty()) {
        return UsageError(error);
    }
    if (CliStatus failure = UnknownOption(context.args)) {
        return failure;
    }
    const std::vector<std::string> args = Positional(context.args);
    if (args.size() == 1 && args[0] == "show" && !timeoutText) {
        return RunIrShow(context);
    }
    if (args.size() != 2 || args[0] != "learn") {
        return UsageError(
            "ir takes show, or learn and a key 1..15: ir show | ir learn KEY [--timeout SECONDS]");
    }
    std::optional<std::chrono::milliseconds> timeout;
    if (timeoutText) {
        const std::optional<int> seconds = ParseNumber(*timeoutText);
        if (!seconds || *seconds < 1) {
            return BadInput("--timeout takes a number of seconds from 1, not \"" + *timeoutText + "\"");
        }
        timeout = std::chrono::seconds(*seconds);
    }
    return RunIrLearn(context, args, timeout);
}

CliStatus RunLevels(CliContext& context) {
    std::string error;
    const std::optional<std::string> countText = TakeOption(context.args, "--count", error);
    if (!error.empty()) {
        return UsageError(error);
    }
    if (CliStatus failure = UnknownOption(context.args)) {
        return failure;
    }
    if (!Positional(context.args).empty()) {
        return UsageError("levels takes no arguments: levels [--count N]");
    }
    int count = 0;
    if (countText) {
        const std::optional<int> number = ParseNumber(*countText);
        if (!number || *number < 1) {
            return BadInput("--count takes a number from 1, not \"" + *countText + "\"");
        }
        count = *number;
    }
    if (CliStatus failure = NeedsDevice(context, "levels")) {
        return failure;
    }
    if (CliStatus failure = context.device.Connect(false)) {
        return failure;
    }
    DeviceSession& session = context.device.Session();
    for (int shown = 0; count == 0 || shown < count; ++shown) {
        session.Store().ReadInputLevel();
        if (!SleepUnlessInterrupted(kLevelPeriod)) {
            return CliFailure{kExitInterrupted, {}};
        }
        if (context.device.Vanished()) {
            return CliFailure{kExitNoDevice, "The amplifier went away."};
        }
        std::uint8_t levels[4];
        session.Store().GetPeakData(levels);
        context.out << "mic1=" << int{levels[0]} << " mic2=" << int{levels[1]} << " music1=" << int{levels[2]}
                    << " music2=" << int{levels[3]} << std::endl;
    }
    return std::nullopt;
}

CliStatus RunVersionCheck(CliContext& context) {
    if (CliStatus failure = UnknownOption(context.args)) {
        return failure;
    }
    if (!Positional(context.args).empty()) {
        return UsageError("version-check takes no arguments");
    }
    if (CliStatus failure = NeedsDevice(context, "version-check")) {
        return failure;
    }
    if (CliStatus failure = context.device.Connect(true)) {
        return failure;
    }
    DeviceSession& session = context.device.Session();
    if (session.InUpgradeMode()) {
        context.out << "The amplifier is in upgrade mode and waits for a firmware image.\n";
        return std::nullopt;
    }
    const FirmwareCheck check = session.CheckFirmware();
    PrintFields(context.out, {{"DeviceName", session.GetDevName()},
                              {"DeviceDate", session.GetDevDate()},
                              {"ImageDate", session.GetCurDevDate()},
                              {"IsNeedUp", static_cast<int>(check)}});
    context.out << VersionVerdict(check) << "\n";
    return std::nullopt;
}

CliStatus RunUpgrade(CliContext& context) {
    if (CliStatus failure = UnknownOption(context.args)) {
        return failure;
    }
    const std::vector<std::string> args = Positional(context.args);
    if (args.size() > 1) {
        return UsageError("upgrade takes at most one image file: upgrade [IMAGE]");
    }
    if (args.size() == 1) {
        std::vector<std::uint8_t> image;
        if (const UpgradeResult check = FirmwareUpgrade::ReadImageFile(args[0], image);
            check.fault != UpgradeFault::None) {
            return BadInput(check.message);
        }
    } else if (!context.device.Simulated() && CarriedFirmwareImage().empty()) {
        return BadInput("This build carries no firmware image; give one: varnoth-cli upgrade IMAGE");
    }
    if (CliStatus failure = NeedsDevice(context, "upgrade")) {
        return failure;
    }
    if (CliStatus failure = context.device.Connect(true)) {
        return failure;
    }
    DeviceSession& session = context.device.Session();
    if (!session.InUpgradeMode()) {
        return CliFailure{
            kExitNoDevice,
            "The amplifier is not in upgrade mode: switch it off, then hold ENTER while switching "
            "it on, and run upgrade again."};
    }
    if (!(args.empty() ? session.TryUpgrade() : session.TryManualUpgrade(args[0]))) {
        return CliFailure{kExitNoDevice, "A firmware transfer is already under way."};
    }
    ProgressBar bar(context.err, context.terminal);
    bool stopping = false;
    while (!context.device.Observer().UpgradeDone()) {
        bar.Show(session.GetUpProgress());
        // Ctrl+C stops at the next report, before the closing pair: the amplifier never runs a partial image.
        // Asked again at every poll, since the transfer may not have begun when the key was pressed.
        if (Interrupted()) {
            stopping = true;
            session.StopUpgrade();
        }
        // A removal ends the connection at once: the transfer stops without waiting out its reply wait.
        if (context.device.Vanished()) {
            session.TryDisconnect(session.GetDevPath());
        }
        std::this_thread::sleep_for(kUpgradePoll);
    }
    const UpgradeResult result = session.LastUpgradeResult();
    bar.End(session.GetUpProgress());
    if (!result.sent) {
        if (stopping) {
            return CliFailure{kExitInterrupted, "Interrupted. " + result.message};
        }
        if (context.device.Vanished()) {
            return CliFailure{kExitNoDevice, "The amplifier was unplugged. " + result.message};
        }
        return CliFailure{kExitNoDevice, result.message};
    }
    context.out << result.message << " Upgrade complete: restart the amplifier.\n";
    return std::nullopt;
}

CliStatus RunList(CliContext& context) {
    if (CliStatus failure = UnknownOption(context.args)) {
        return failure;
    }
    if (!Positional(context.args).empty()) {
        return UsageError("list takes no arguments");
    }
    return context.device.List(context.out);
}

}  // namespace varnoth
