// SPDX-License-Identifier: GPL-3.0-or-later
// The commands on readable presets: export, import and diff.
#include <algorithm>
#include <map>

#include "cli/CliHandlers.h"
#include "files/ModeDataFile.h"
#include "files/ReadablePreset.h"
#include "session/ParameterAccess.h"

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

CliStatus Refused(const std::string& path, const std::vector<std::string>& problems) {
    std::string line = path + ": refused";
    for (std::size_t i = 0; i < problems.size(); ++i) {
        line += (i == 0 ? ": " : "; ") + problems[i];
    }
    return BadInput(OneLine(line));
}

// The amplifier's whole set, read once per run.
CliStatus ReadDevice(CliContext& context, std::optional<PresetSet>& device) {
    if (device) {
        return std::nullopt;
    }
    if (CliStatus failure = context.device.Connect(false)) {
        return failure;
    }
    context.device.ReadEverything();
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
        if (!parsed.problems.empty()) {
            return Refused(source, parsed.problems);
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
    std::vector<std::string> files;
    if (CliStatus failure = Files(context, 1, 2,
                                  "import takes a preset file and optionally a mode data file: "
                                  "import FILE.json [TARGET.vqm]",
                                  files)) {
        return failure;
    }
    const std::string& path = files[0];
    const ReadablePreset::Parsed parsed = ReadablePreset::ReadFile(path);
    if (!parsed.problems.empty()) {
        return Refused(path, parsed.problems);
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
        return std::nullopt;
    }
    // What the preset leaves out stays as the amplifier holds it, so the amplifier is read first.
    std::optional<PresetSet> device;
    if (CliStatus failure = ReadDevice(context, device)) {
        return failure;
    }
    PresetSet set = *device;
    ReadablePreset::Apply(parsed.values, set);
    DeviceSession& session = context.device.Session();
    ModeDataFile::Apply(session, set.image);
    session.WriteAll();
    // The whole-set write leaves the master volumes alone: they go through their own setters.
    for (const PresetValue& value : parsed.values) {
        const std::optional<ParameterRef> volume =
            value.field->IsVolume() ? FindParameter(value.field->Name()) : std::nullopt;
        if (volume && ReadParameter(session, *volume) != value.raw) {
            WriteParameter(session, *volume, value.raw);
        }
    }
    context.out << "Imported " << path
                << (context.device.Offline() ? "\n" : " and wrote it to the amplifier\n");
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
        return CliFailure{kExitDiffer, {}};
    }
    return std::nullopt;
}

}  // namespace varnoth
