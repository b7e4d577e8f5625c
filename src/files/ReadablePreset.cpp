// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/ReadablePreset.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>

#include "files/JsonValue.h"
#include "files/JsonWriter.h"
#include "session/DeviceSession.h"
#include "session/MachineFieldTable.h"

namespace varnoth {
namespace {

// The member naming the document's shape, and the amplifier's facts a dump adds.
constexpr std::string_view kFormatMember = "format";
constexpr std::array<std::string_view, 3> kFactMembers{"Mode", "DeviceName", "DeviceDate"};

// A "format" value as the user wrote it, for the message that refuses it.
std::string FormatText(const JsonValue& format) {
    if (format.kind == JsonValue::Kind::Number && format.whole) {
        return std::to_string(*format.whole);
    }
    if (format.kind == JsonValue::Kind::String) {
        return JsonQuoted(format.text);
    }
    return "not a whole number";
}

}  // namespace

// Builds the field list once from the parameter table, the register map and the records' layouts.
struct PresetFieldTable {
    static std::vector<PresetField> Build() {
        std::vector<PresetField> fields;
        for (const Parameter& param : ParameterTable()) {
            for (int index = 0; index < std::max(param.count, 1); ++index) {
                const ParameterRef ref{&param, index};
                PresetField field;
                field.m_name = ref.Name();
                field.m_kind = PresetField::Kind::Parameter;
                field.m_param = ref;
                field.m_min = param.min;
                field.m_max = param.max;
                const int position = ref.Position();
                if (position == kNotStored) {
                    // The mic-controls-sub setting sits in the file after the store's bytes.
                    field.m_offset = ModeDataFile::kMicControlSubAt +
                                     (field.m_name == "MicControlSubRate" ? std::size_t{1} : std::size_t{0});
                } else if (static_cast<std::size_t>(position) >= kFileBlockSize) {
                    field.m_volume = true;
                    field.m_offset = static_cast<std::size_t>(position) - kFileBlockSize;
                } else {
                    field.m_offset = static_cast<std::size_t>(position);
                }
                fields.push_back(std::move(field));
            }
        }
        for (std::size_t position = 0; position < kFileBlockSize; ++position) {
            if (!ParameterAt(static_cast<int>(position))) {
                fields.push_back(
                    Whole("Reserved." + std::to_string(position), PresetField::Kind::Spare, position));
            }
        }
        std::array<std::uint8_t, MachineSettings::kRecordSize> owned{};
        for (const MachineFieldRow& setting : MachineFieldTable()) {
            PresetField field;
            field.m_name = std::string("Machine.") + setting.name;
            field.m_kind = PresetField::Kind::Machine;
            field.m_offset = ModeDataFile::kMachineAt + setting.byte;
            field.m_mask = setting.mask;
            field.m_min = setting.min;
            field.m_max = setting.max;
            field.m_offAllowed = setting.OffAllowed();
            owned[setting.byte] |= setting.mask;
            fields.push_back(std::move(field));
        }
        for (std::size_t byte = 0; byte < owned.size(); ++byte) {
            const auto spare = static_cast<std::uint8_t>(~owned[byte]);
            if (spare != 0) {
                PresetField field = Whole("Machine.Spare." + std::to_string(byte), PresetField::Kind::Spare,
                                          ModeDataFile::kMachineAt + byte);
                field.m_mask = spare;
                // The spare bits of a byte with a rule are clear in every record the panel writes.
                field.m_max = byte < kMachineSettingsBytes ? 0 : spare >> std::countr_zero(spare);
                fields.push_back(std::move(field));
            }
        }
        fields.push_back(Whole("IR.SystemCode", PresetField::Kind::Ir, ModeDataFile::kIrAt));
        for (std::size_t key = 1; key < RemoteCodes::kRecordSize; ++key) {
            fields.push_back(
                Whole("IR.Key." + std::to_string(key), PresetField::Kind::Ir, ModeDataFile::kIrAt + key));
        }
        return fields;
    }

    static PresetField Whole(std::string name, PresetField::Kind kind, std::size_t offset) {
        PresetField field;
        field.m_name = std::move(name);
        field.m_kind = kind;
        field.m_offset = offset;
        return field;
    }
};

std::string PresetField::RangeText() const {
    return std::to_string(m_min) + ".." + std::to_string(m_max) + (m_offAllowed ? " or 255 (off)" : "");
}

int PresetField::Get(const PresetSet& set) const {
    if (m_volume) {
        return set.volumes[m_offset];
    }
    return (set.image[m_offset] & m_mask) >> std::countr_zero(m_mask);
}

void PresetField::Put(PresetSet& set, int raw) const {
    if (m_volume) {
        set.volumes[m_offset] = static_cast<std::uint8_t>(raw);
        return;
    }
    std::uint8_t& byte = set.image[m_offset];
    const auto bits = static_cast<std::uint8_t>((raw << std::countr_zero(m_mask)) & m_mask);
    byte = static_cast<std::uint8_t>((byte & ~m_mask) | bits);
}

std::string PresetField::Shown(int raw) const {
    switch (m_kind) {
        case Kind::Parameter:
            return m_param->Shown(static_cast<std::uint8_t>(raw), 1);
        case Kind::Machine:
            return m_offAllowed && raw == kOff ? "off" : std::to_string(raw);
        case Kind::Ir: {
            char text[8];
            std::snprintf(text, sizeof text, "0x%02X", raw & 0xFF);
            return text;
        }
        case Kind::Spare:
            break;
    }
    return std::to_string(raw);
}

std::span<const PresetField> PresetField::All() {
    static const std::vector<PresetField> kFields = PresetFieldTable::Build();
    return kFields;
}

const PresetField* PresetField::Find(std::string_view name) {
    const auto fields = All();
    const auto field =
        std::find_if(fields.begin(), fields.end(), [&](const PresetField& f) { return f.Name() == name; });
    return field == fields.end() ? nullptr : &*field;
}

std::vector<PresetValue> ReadablePreset::Values(const PresetSet& set) {
    std::vector<PresetValue> values;
    for (const PresetField& field : PresetField::All()) {
        if (!field.IsVolume() || set.hasVolumes) {
            values.push_back({&field, field.Get(set)});
        }
    }
    return values;
}

std::string ReadablePreset::ToJson(const std::vector<PresetValue>& values,
                                   const std::optional<AmplifierFacts>& facts) {
    JsonWriter json;
    json.BeginObject(JsonWriter::Layout::Indented).Key(kFormatMember).Number(kFormat);
    if (facts) {
        json.Key(kFactMembers[0]).Number(facts->mode);
        json.Key(kFactMembers[1]).String(facts->deviceName);
        json.Key(kFactMembers[2]).String(facts->deviceDate);
    }
    for (const PresetValue& value : values) {
        json.Key(value.field->Name()).BeginObject();
        json.Key("raw").Number(value.raw).Key("shown").String(value.field->Shown(value.raw)).EndObject();
    }
    return json.EndObject().Text() + "\n";
}

ReadablePreset::Parsed ReadablePreset::Parse(std::string_view json) {
    Parsed parsed;
    std::string error;
    const std::optional<JsonValue> document = JsonValue::Parse(json, error);
    if (!document) {
        parsed.problems.push_back("not JSON: " + error);
        return parsed;
    }
    if (document->kind != JsonValue::Kind::Object) {
        parsed.problems.push_back("a preset is one JSON object of \"NAME\": {\"raw\": VALUE} members");
        return parsed;
    }
    std::set<std::string> seen;
    for (const JsonMember& member : document->members) {
        const std::string& name = member.name;
        if (name == kFormatMember) {
            const JsonValue& format = member.value;
            if (format.kind != JsonValue::Kind::Number || format.whole != kFormat) {
                parsed.problems.push_back("\"format\" is " + FormatText(format) +
                                          ", and this program reads format " + std::to_string(kFormat));
            }
            continue;
        }
        if (std::find(kFactMembers.begin(), kFactMembers.end(), name) != kFactMembers.end()) {
            continue;
        }
        const PresetField* field = PresetField::Find(name);
        if (field == nullptr) {
            parsed.problems.push_back("unknown name " + JsonQuoted(name));
            continue;
        }
        if (!seen.insert(name).second) {
            parsed.problems.push_back(name + " is given twice");
            continue;
        }
        const JsonValue* raw = &member.value;
        if (member.value.kind == JsonValue::Kind::Object) {
            raw = nullptr;
            for (const JsonMember& part : member.value.members) {
                if (part.name == "raw") {
                    if (raw != nullptr) {
                        parsed.problems.push_back(name + " gives its raw value twice");
                    }
                    raw = &part.value;
                } else if (part.name != "shown") {
                    parsed.problems.push_back(name + " has an unknown member " + JsonQuoted(part.name));
                }
            }
        }
        if (raw == nullptr || raw->kind != JsonValue::Kind::Number || !raw->whole) {
            parsed.problems.push_back(name + " needs a whole number as its raw value");
            continue;
        }
        if (*raw->whole < 0 || *raw->whole > 255 || !field->InRange(static_cast<int>(*raw->whole))) {
            parsed.outside.push_back(name + " = " + std::to_string(*raw->whole) + " is outside " +
                                     field->RangeText());
            parsed.problems.push_back(parsed.outside.back());
            continue;
        }
        parsed.values.push_back({field, static_cast<int>(*raw->whole)});
    }
    if (parsed.problems.size() > parsed.outside.size()) {
        parsed.values.clear();
        parsed.outside.clear();
    }
    return parsed;
}

void ReadablePreset::Apply(const std::vector<PresetValue>& values, PresetSet& set) {
    for (const PresetValue& value : values) {
        value.field->Put(set, value.raw);
    }
}

PresetSet ReadablePreset::Defaults() {
    PresetSet set;
    const RegisterMap& map = StoreRegisterMap();
    for (std::size_t position = 0; position < kFileBlockSize; ++position) {
        set.image[position] = map[position].defaultValue;
    }
    for (std::size_t slot = 0; slot < PresetSet::kVolumes; ++slot) {
        set.volumes[slot] = map[kFileBlockSize + slot].defaultValue;
    }
    return set;
}

PresetSet ReadablePreset::FromSession(const DeviceSession& session) {
    PresetSet set;
    set.image = ModeDataFile::Snapshot(session);
    set.volumes = {session.Store().Value(pos::MicVol), session.Store().Value(pos::MusicVol),
                   session.Store().Value(pos::CenterVol), session.Store().Value(pos::SubVol)};
    set.hasVolumes = true;
    return set;
}

ReadablePreset::Parsed ReadablePreset::ReadFile(const std::string& path) {
    Parsed parsed;
    const auto failed = [&](const std::string& what, int error) {
        parsed.problems.push_back(what + " " + path + ": " + std::strerror(error));
        return parsed;
    };
    // Not blocking: opening a pipe would otherwise wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return failed("cannot open", errno);
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return failed("cannot read", error);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        parsed.problems.push_back(path + " is not a regular file");
        return parsed;
    }
    std::string text(kMaxFileSize + 1, '\0');
    std::size_t count = 0;
    while (count < text.size()) {
        const ssize_t got = ::read(fd, text.data() + count, text.size() - count);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            const int error = errno;
            ::close(fd);
            return failed("cannot read", error);
        }
        if (got == 0) {
            break;
        }
        count += static_cast<std::size_t>(got);
    }
    ::close(fd);
    text.resize(count);
    if (text.size() > kMaxFileSize) {
        parsed.problems.push_back(path + " is larger than a preset can be (" + std::to_string(kMaxFileSize) +
                                  " bytes)");
        return parsed;
    }
    return Parse(text);
}

ModeDataFile::Result ReadablePreset::WriteFile(const std::string& path,
                                               const std::vector<PresetValue>& values) {
    return ModeDataFile::WriteBytes(path, ToJson(values));
}

}  // namespace varnoth
