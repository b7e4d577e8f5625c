// SPDX-License-Identifier: GPL-3.0-or-later
// The commands on the parameter set: dump, get, set, save, load, mode and machine.
#include <algorithm>
#include <array>

#include "cli/CliHandlers.h"
#include "cli/CliOutput.h"
#include "cli/CliParameters.h"
#include "cli/CliSignals.h"
#include "files/ModeDataCheck.h"
#include "files/ModeDataFile.h"
#include "files/ReadablePreset.h"
#include "session/MachineRules.h"
#include "session/ParameterAccess.h"

namespace varnoth {
namespace {

std::vector<CliField> MachineFieldsOf(const DeviceSession& session) {
    std::vector<CliField> fields;
    for (const MachineFieldRow& field : MachineFieldTable()) {
        fields.push_back(
            {std::string(kMachinePrefix) + field.name, session.GetMachineSet().Saved(field.field)});
    }
    return fields;
}

// Everything the command line shows of the amplifier.
std::vector<CliField> StateFields(const DeviceSession& session) {
    std::vector<CliField> fields;
    for (const ParameterRef& ref : AllParameters()) {
        fields.push_back({ref.Name(), ReadParameter(session, ref)});
    }
    fields.push_back({"Mode", session.MemoryMode() + 1});
    fields.push_back({"DeviceName", session.GetDevName()});
    fields.push_back({"DeviceDate", session.GetDevDate()});
    for (CliField& field : MachineFieldsOf(session)) {
        fields.push_back(std::move(field));
    }
    const RemoteCodes::Record ir = session.GetRemote().GetRecord();
    fields.push_back({"IR.SystemCode", ir[0]});
    for (std::size_t key = 1; key < ir.size(); ++key) {
        fields.push_back({"IR.Key." + std::to_string(key), ir[key]});
    }
    return fields;
}

// Connects and reads the whole parameter set.
CliStatus ConnectAndReadAll(CliContext& context) {
    if (CliStatus failure = context.device.Connect(false)) {
        return failure;
    }
    return context.device.ReadEverything();
}

std::string RangeText(int min, int max) {
    return std::to_string(min) + ".." + std::to_string(max);
}

// A value for a parameter or machine setting: a number within min..max.
CliStatus CheckValue(const std::string& name, const std::string& text, int min, int max, int& value) {
    const std::optional<int> number = ParseNumber(text);
    if (!number) {
        return BadInput("the value of " + name + " must be a number, not \"" + text + "\"");
    }
    if (*number < min || *number > max) {
        return BadInput("the value " + text + " of " + name + " is outside " + RangeText(min, max));
    }
    value = *number;
    return std::nullopt;
}

CliStatus FindOrRefuse(const std::string& name, ParameterRef& ref) {
    const std::optional<ParameterRef> found = FindParameter(name);
    if (!found) {
        return BadInput("unknown parameter \"" + Printable(name) +
                        "\" (\"varnoth-cli set --help\" lists them)");
    }
    ref = *found;
    return std::nullopt;
}

// What the panel would not do: its message, and how to do it anyway.
CliStatus Refused(const std::string& message) {
    return BadInput(message + " (the machine settings forbid it; --force overrides)");
}

// Memory modes are numbered 1..4 here as on the panel's buttons M1..M4.
CliStatus ModeNumber(const std::string& text, int& mode) {
    const std::optional<int> number = ParseNumber(text);
    if (!number || *number < 1 || *number > 4) {
        return BadInput("the memory mode must be 1..4, not \"" + text + "\"");
    }
    mode = *number - 1;
    return std::nullopt;
}

// The values of a mode data file outside the panel's ranges, said in one line.
std::string FaultsText(const std::vector<ModeDataFault>& faults) {
    constexpr std::size_t kShown = 10;
    std::string text;
    for (std::size_t i = 0; i < faults.size() && i < kShown; ++i) {
        text += (i == 0 ? "" : "; ") + faults[i].field + " is " + std::to_string(faults[i].value) +
                ", outside its range " + faults[i].RangeText();
    }
    if (faults.size() > kShown) {
        text += "; and " + std::to_string(faults.size() - kShown) + " more";
    }
    return text;
}

}  // namespace

bool LeftOutByWriteAll(const ParameterRef& ref) {
    const int position = ref.Position();
    return position != kNotStored && StoreRegisterMap()[static_cast<std::size_t>(position)].hasRegister &&
           !ref.param->inWriteAll;
}

CliStatus WriteWholeSet(CliContext& context, const std::vector<std::pair<ParameterRef, int>>& alsoSend) {
    DeviceSession& session = context.device.Session();
    return context.device.Interruptible(
        [&] {
            session.WriteAll();
            for (const auto& [ref, value] : alsoSend) {
                if (Interrupted()) {
                    return;
                }
                WriteParameter(session, ref, value);
            }
        },
        "interrupted while writing to the amplifier; part of the set may have been sent");
}

void ReportLeftOut(CliContext& context, const std::vector<std::string>& outside) {
    if (outside.empty()) {
        return;
    }
    std::string line = "varnoth-cli: left out, outside the panel's ranges (the amplifier keeps its values): ";
    for (std::size_t i = 0; i < outside.size(); ++i) {
        line += (i == 0 ? "" : "; ") + outside[i];
    }
    context.err << line << "\n";
}

CliStatus RunDump(CliContext& context) {
    const bool json = TakeFlag(context.args, "--json");
    if (CliStatus failure = UnknownOption(context.args)) {
        return failure;
    }
    if (!Positional(context.args).empty()) {
        return UsageError("dump takes no arguments");
    }
    if (CliStatus failure = ConnectAndReadAll(context)) {
        return failure;
    }
    const DeviceSession& session = context.device.Session();
    if (json) {
        const AmplifierFacts facts{session.MemoryMode() + 1, session.GetDevName(), session.GetDevDate()};
        context.out << ReadablePreset::ToJson(ReadablePreset::Values(ReadablePreset::FromSession(session)),
                                              facts);
    } else {
        PrintFields(context.out, StateFields(session));
    }
    return std::nullopt;
}

CliStatus RunGet(CliContext& context) {
    if (CliStatus failure = UnknownOption(context.args)) {
        return failure;
    }
    const std::vector<std::string> args = Positional(context.args);
    if (args.size() != 1) {
        return UsageError("get takes one parameter name: get NAME[.N]");
    }
    ParameterRef ref{};
    if (CliStatus failure = FindOrRefuse(args[0], ref)) {
        return failure;
    }
    if (CliStatus failure = ConnectAndReadAll(context)) {
        return failure;
    }
    context.out << ReadParameter(context.device.Session(), ref) << "\n";
    return std::nullopt;
}

CliStatus RunSet(CliContext& context) {
    const bool force = TakeFlag(context.args, "--force");
    if (CliStatus failure = UnknownOption(context.args)) {
        return failure;
    }
    const std::vector<std::string> args = Positional(context.args);
    if (args.size() != 2) {
        return UsageError("set takes a parameter name and a value: set NAME[.N] VALUE");
    }
    ParameterRef ref{};
    if (CliStatus failure = FindOrRefuse(args[0], ref)) {
        return failure;
    }
    int value = 0;
    if (CliStatus failure = CheckValue(ref.Name(), args[1], ref.param->min, ref.param->max, value)) {
        return failure;
    }
    // The mic-controls-sub setting travels as one command of both halves, so the other half is the
    // amplifier's; a master volume obeys the maximum and the lock of the amplifier's machine settings.
    const bool masterVolume = IsMasterVolume(ref.param->name);
    const bool needsDeviceState = ref.Position() == kNotStored || masterVolume;
    if (CliStatus failure = needsDeviceState ? ConnectAndReadAll(context) : context.device.Connect(false)) {
        return failure;
    }
    DeviceSession& session = context.device.Session();
    if (masterVolume && !force && !context.device.Offline()) {
        if (const auto refusal = MasterVolumeRefusal(session.GetMachineSet(), ref.param->name, value)) {
            return Refused(refusal->english);
        }
    }
    WriteParameter(session, ref, value);
    PrintFields(context.out, {{ref.Name(), ReadParameter(session, ref)}});
    return std::nullopt;
}

CliStatus RunSave(CliContext& context) {
    if (CliStatus failure = UnknownOption(context.args)) {
        return failure;
    }
    const std::vector<std::string> args = Positional(context.args);
    if (args.size() != 1) {
        return UsageError("save takes one file name: save FILE");
    }
    if (!NamesAFile(args[0])) {
        return BadInput(Quoted(args[0]) + " names no file (it is empty or ends in /); nothing was saved");
    }
    const std::string path = WithModeFileExtension(args[0]);
    if (CliStatus failure = ConnectAndReadAll(context)) {
        return failure;
    }
    const ModeDataFile::Result result = ModeDataFile::SaveData(context.device.Session(), path);
    if (!result.ok) {
        std::string line = result.message;
        std::replace(line.begin(), line.end(), '\n', ' ');
        return BadInput(line);
    }
    context.out << "Saved " << path << "\n";
    return std::nullopt;
}

CliStatus RunLoad(CliContext& context) {
    const bool skipOutside = TakeFlag(context.args, "--skip-invalid");
    if (CliStatus failure = UnknownOption(context.args)) {
        return failure;
    }
    const std::vector<std::string> args = Positional(context.args);
    if (args.size() != 1) {
        return UsageError("load takes one file name: load FILE [--skip-invalid]");
    }
    const std::string& path = args[0];
    ModeDataFile::Image image{};
    const ModeDataFile::Result read = ModeDataFile::ReadImage(path, image, 1, false);
    if (!read.ok) {
        std::string line = read.message;
        std::replace(line.begin(), line.end(), '\n', ' ');
        return BadInput(line);
    }
    const std::vector<ModeDataFault> faults = ModeDataCheck::AllFaults(image);
    if (!faults.empty() && !skipOutside) {
        return BadInput(
            path + ": refused: " + FaultsText(faults) +
            "; nothing was loaded (--skip-invalid loads the other values and keeps the amplifier's "
            "for these)");
    }
    // What the file does not carry (the machine settings' reserved pair) is written back as the amplifier
    // holds it, so it is read first.
    if (CliStatus failure = ConnectAndReadAll(context)) {
        return failure;
    }
    DeviceSession& session = context.device.Session();
    const ModeDataFile::Image held = ModeDataFile::Snapshot(session);
    for (const ModeDataFault& fault : faults) {
        image[fault.offset] = held[fault.offset];
    }
    // The routing to the main outputs, which the whole-set write leaves out, goes with the file's set.
    ModeDataFile::Apply(session, image);
    if (CliStatus failure = WriteWholeSet(context, {})) {
        return failure;
    }
    context.out << "Loaded " << path
                << (context.device.Offline() ? "\n" : " and wrote it to the amplifier\n");
    if (!faults.empty()) {
        ReportLeftOut(context, {FaultsText(faults)});
    }
    return std::nullopt;
}

CliStatus RunMode(CliContext& context) {
    const bool force = TakeFlag(context.args, "--force");
    if (CliStatus failure = UnknownOption(context.args)) {
        return failure;
    }
    const std::vector<std::string> args = Positional(context.args);
    enum class Lock { None, Load, Save };
    struct Action {
        const char* name;
        const char* done;
        Lock lock;
        void (*run)(DeviceSession&, int);
    };
    static constexpr std::array<Action, 3> kActions{{
        {"load", "loaded", Lock::Load, [](DeviceSession& s, int m) { s.LoadMode(m, false); }},
        {"save", "saved", Lock::Save, [](DeviceSession& s, int m) { s.SaveMode(m); }},
        {"reset", "reset", Lock::None, [](DeviceSession& s, int m) { s.ResetMode(m, false); }},
    }};
    const auto* action = args.size() == 2 ? std::find_if(kActions.begin(), kActions.end(),
                                                         [&](const Action& a) { return args[0] == a.name; })
                                          : kActions.end();
    if (action == kActions.end()) {
        return UsageError("mode takes load, save or reset and a mode number: mode load|save|reset 1..4");
    }
    int mode = 0;
    if (CliStatus failure = ModeNumber(args[1], mode)) {
        return failure;
    }
    // Loading and saving obey the locks of the amplifier's machine settings, as on the panel.
    const bool lockable = action->lock != Lock::None && !force;
    if (CliStatus failure = lockable ? ConnectAndReadAll(context) : context.device.Connect(false)) {
        return failure;
    }
    if (lockable && !context.device.Offline()) {
        if (const auto refusal =
                ModeLockRefusal(context.device.Session().GetMachineSet(), action->lock == Lock::Save)) {
            return Refused(refusal->english);
        }
    }
    action->run(context.device.Session(), mode);
    context.out << "Mode M" << mode + 1 << " " << action->done << "\n";
    return std::nullopt;
}

CliStatus RunMachine(CliContext& context) {
    if (CliStatus failure = UnknownOption(context.args)) {
        return failure;
    }
    const std::vector<std::string> args = Positional(context.args);
    const bool setting = !args.empty() && args[0] == "set";
    if (!args.empty() && !setting) {
        return UsageError("machine takes no arguments, or: machine set FIELD VALUE [FIELD VALUE]...");
    }
    if (setting && (args.size() < 3 || args.size() % 2 == 0)) {
        return UsageError("machine set takes pairs of a field and a value: machine set FIELD VALUE...");
    }
    // Every pair is checked before anything is sent.
    std::vector<std::pair<const MachineFieldRow*, int>> changes;
    for (std::size_t i = 1; setting && i < args.size(); i += 2) {
        const MachineFieldRow* field = FindMachineField(args[i]);
        if (field == nullptr) {
            return BadInput("unknown machine setting \"" + Printable(args[i]) +
                            "\" (\"varnoth-cli machine --help\" lists them)");
        }
        if (std::any_of(changes.begin(), changes.end(),
                        [&](const auto& change) { return change.first == field; })) {
            return BadInput("machine setting " + std::string(field->name) + " is given twice");
        }
        int value = kPowerVolumeOff;
        if (!(field->OffAllowed() && args[i + 1] == "off")) {
            if (CliStatus failure = CheckValue(field->name, args[i + 1], field->min, field->max, value)) {
                return failure;
            }
        }
        changes.emplace_back(field, value);
    }
    if (CliStatus failure = ConnectAndReadAll(context)) {
        return failure;
    }
    DeviceSession& session = context.device.Session();
    if (setting) {
        session.GetMachineSet().CancelSet();
        for (const auto& [field, value] : changes) {
            session.GetMachineSet().Set(field->field, value);
        }
        session.GetMachineSet().ApplyMachineSet();
    }
    PrintFields(context.out, MachineFieldsOf(session));
    return std::nullopt;
}

}  // namespace varnoth
