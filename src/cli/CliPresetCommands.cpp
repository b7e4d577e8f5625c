// SPDX-License-Identifier: GPL-3.0-or-later
// The commands on readable presets: export, import and diff.
#include <algorithm>
#include <map>

#include "cli/CliHandlers.h"
#include "cli/CliOutput.h"
#include "cli/CliParameters.h"
#include "files/ModeDataFile.h"
#include "files/ReadablePreset.h"
#include "session/MachineRules.h"

namespace varnoth {
namespace {

constexpr const char* kDevice = "device";
constexpr const char* kStdout = "-";

bool IsPresetFile(const std::string& path) {
    const std::string suffix = ".json";
    if (path.size() < suffix.size()) {
        return false;
    }
    std::string end = path.substr(path.size() - suffix.size());
    std::transform(end.begin(), end.end(), end.begin(), [](unsigned char c) { return std::tolower(c); });
    return end == suffix;
}

std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

// The problems of a refused preset, the first few of them: a hostile file may hold thousands.
CliStatus Refused(const std::string& path, const std::vector<std::string>& problems,
                  const std::string& hint = {}) {
    constexpr std::size_t kShown = 10;
    std::string line = path + ": refused";
    for (std::size_t i = 0; i < problems.size() && i < kShown; ++i) {
        line += (i == 0 ? ": " : "; ") + problems[i];
    }
    if (problems.size() > kShown) {
        line += "; and " + std::to_string(problems.size() - kShown) + " more";
    }
    return BadInput(OneLine(line + hint));
}

// A preset whose values are outside their ranges is refused, unless the user takes the rest.
CliStatus OutsideRefused(const std::string& path, const ReadablePreset::Parsed& parsed, bool skipOutside) {
    if (parsed.problems.size() > parsed.outside.size()) {
        return Refused(path, parsed.problems);
    }
    if (!parsed.outside.empty() && !skipOutside) {
        return Refused(path, parsed.outside,
                       " (nothing was written; --skip-invalid writes the other values and leaves these out)");
    }
    return std::nullopt;
}

// The amplifier's whole set, read once per run.
CliStatus ReadDevice(CliContext& context, std::optional<PresetSet>& device) {
    if (device) {
        return std::nullopt;
    }
    if (CliStatus failure = context.device.Connect(false)) {
        return failure;
    }
    if (CliStatus failure = context.device.ReadEverything()) {
        return failure;
    }
    device = ReadablePreset::FromSession(context.device.Session());
    return std::nullopt;
}

// The values of a preset file, a mode data file or the amplifier (the word "device").
CliStatus ValuesOf(CliContext& context, const std::string& source, std::optional<PresetSet>& device,
                   std::vector<PresetValue>& values) {
    if (source == kDevice) {
        if (CliStatus failure = ReadDevice(context, device)) {
            return failure;
        }
        values = ReadablePreset::Values(*device);
        return std::nullopt;
    }
    if (IsPresetFile(source)) {
        ReadablePreset::Parsed parsed = ReadablePreset::ReadFile(source);
        if (CliStatus failure = OutsideRefused(source, parsed, false)) {
            return failure;
        }
        values = std::move(parsed.values);
        return std::nullopt;
    }
    PresetSet set;
    const ModeDataFile::Result read = ModeDataFile::ReadImage(source, set.image);
    if (!read.ok) {
        return BadInput(OneLine(read.message));
    }
    values = ReadablePreset::Values(set);
    return std::nullopt;
}

// The arguments of a command that takes between min and max file names.
CliStatus Files(CliContext& context, std::size_t min, std::size_t max, const std::string& usage,
                std::vector<std::string>& files) {
    if (CliStatus failure = UnknownOption(context.args)) {
        return failure;
    }
    files = Positional(context.args);
    if (files.size() < min || files.size() > max) {
        return UsageError(usage);
    }
    return std::nullopt;
}

}  // namespace

CliStatus RunExport(CliContext& context) {
    std::vector<std::string> files;
    if (CliStatus failure = Files(context, 1, 2,
                                  "export takes a preset file, or a source and a preset file: "
                                  "export [SOURCE] FILE.json",
                                  files)) {
        return failure;
    }
    const std::string source = files.size() == 2 ? files[0] : kDevice;
    const std::string& target = files.back();
    // A slip of the order of the names must not put a preset over a mode data file.
    if (target != kStdout && (!IsPresetFile(target) || !NamesAFile(target))) {
        return BadInput(
            "export writes a readable preset, whose name ends in .json (or - for standard output), "
            "not \"" +
            Printable(target) +
            "\"; nothing was written (a mode data file is written by save, or by import FILE.json "
            "TARGET.vqm)");
    }
    std::optional<PresetSet> device;
    std::vector<PresetValue> values;
    if (CliStatus failure = ValuesOf(context, source, device, values)) {
        return failure;
    }
    if (target == kStdout) {
        context.out << ReadablePreset::ToJson(values);
        return std::nullopt;
    }
    const ModeDataFile::Result written = ReadablePreset::WriteFile(target, values);
    if (!written.ok) {
        return BadInput(OneLine(written.message));
    }
    context.out << "Exported " << (source == kDevice ? "the amplifier" : source) << " to " << target << "\n";
    return std::nullopt;
}

CliStatus RunImport(CliContext& context) {
    const bool force = TakeFlag(context.args, "--force");
    const bool skipOutside = TakeFlag(context.args, "--skip-invalid");
    std::vector<std::string> files;
    if (CliStatus failure = Files(context, 1, 2,
                                  "import takes a preset file and optionally a mode data file: "
                                  "import FILE.json [TARGET.vqm] [--force] [--skip-invalid]",
                                  files)) {
        return failure;
    }
    const std::string& path = files[0];
    if (files.size() == 2 && !NamesAFile(files[1])) {
        return BadInput(Quoted(files[1]) + " names no file (it is empty or ends in /); nothing was written");
    }
    const ReadablePreset::Parsed parsed = ReadablePreset::ReadFile(path);
    if (CliStatus failure = OutsideRefused(path, parsed, skipOutside)) {
        return failure;
    }
    if (files.size() == 2) {
        const std::string target = WithModeFileExtension(files[1]);
        PresetSet set = ReadablePreset::Defaults();
        ReadablePreset::Apply(parsed.values, set);
        const ModeDataFile::Result written = ModeDataFile::WriteImage(target, set.image);
        if (!written.ok) {
            return BadInput(OneLine(written.message));
        }
        context.out << "Imported " << path << " into " << target << "\n";
        ReportLeftOut(context, parsed.outside);
        return std::nullopt;
    }
    // What the preset leaves out stays as the amplifier holds it, so the amplifier is read first.
    std::optional<PresetSet> device;
    if (CliStatus failure = ReadDevice(context, device)) {
        return failure;
    }
    // The master volumes obey the amplifier's machine settings, as with set.
    DeviceSession& session = context.device.Session();
    for (const PresetValue& value : parsed.values) {
        if (!value.field->IsVolume() || force || context.device.Offline()) {
            continue;
        }
        if (const auto refusal =
                MasterVolumeRefusal(session.GetMachineSet(), value.field->Name(), value.raw)) {
            return BadInput(path + ": refused: " + refusal->english +
                            " (the machine settings forbid it; --force overrides); nothing was written");
        }
    }
    PresetSet set = *device;
    ReadablePreset::Apply(parsed.values, set);
    ModeDataFile::Apply(session, set.image);
    // What the whole-set write leaves out goes too: the routing to the main outputs with the set, the master
    // volumes through their own setter when the preset names them.
    std::vector<std::pair<ParameterRef, int>> alsoSend;
    for (const PresetValue& value : parsed.values) {
        if (const std::optional<ParameterRef> ref = FindParameter(value.field->Name());
            ref && LeftOutByWriteAll(*ref) && ref->Position() >= static_cast<int>(kFileBlockSize)) {
            alsoSend.emplace_back(*ref, value.raw);
        }
    }
    if (CliStatus failure = WriteWholeSet(context, alsoSend)) {
        return failure;
    }
    context.out << "Imported " << path
                << (context.device.Offline() ? "\n" : " and wrote it to the amplifier\n");
    ReportLeftOut(context, parsed.outside);
    return std::nullopt;
}

CliStatus RunDiff(CliContext& context) {
    std::vector<std::string> files;
    if (CliStatus failure =
            Files(context, 2, 2, "diff takes two sets: diff A B (a .vqm or .json file, or device)", files)) {
        return failure;
    }
    std::optional<PresetSet> device;
    std::vector<PresetValue> a;
    std::vector<PresetValue> b;
    if (CliStatus failure = ValuesOf(context, files[0], device, a)) {
        return failure;
    }
    if (CliStatus failure = ValuesOf(context, files[1], device, b)) {
        return failure;
    }
    std::map<const PresetField*, int> other;
    for (const PresetValue& value : b) {
        other[value.field] = value.raw;
    }
    // Field order, whatever order the files give.
    std::sort(a.begin(), a.end(),
              [](const PresetValue& x, const PresetValue& y) { return x.field < y.field; });
    int differing = 0;
    for (const PresetValue& value : a) {
        const auto found = other.find(value.field);
        if (found == other.end() || found->second == value.raw) {
            continue;
        }
        ++differing;
        context.out << value.field->Name() << ": " << value.field->Shown(value.raw) << " (" << value.raw
                    << ") -> " << value.field->Shown(found->second) << " (" << found->second << ")\n";
    }
    if (differing > 0) {
        context.answer = kExitDiffer;
    }
    return std::nullopt;
}

}  // namespace varnoth
