// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/ModeDataFile.h"
#include "session/ParameterTable.h"

namespace varnoth {

class DeviceSession;

// A whole parameter set as a readable preset works on it: the mode data file's image and, when known, the
// four master volumes (a mode data file does not carry them).
struct PresetSet {
    static constexpr std::size_t kVolumes = 4;

    ModeDataFile::Image image{};
    std::array<std::uint8_t, kVolumes> volumes{};
    bool hasVolumes = false;
};

// One named value of a preset: a parameter of the parameter table (NAME or NAME.N), a store byte that no
// parameter owns (Reserved.P, P its store position), a machine setting (Machine.NAME; bits of the record
// that no setting owns as Machine.Spare.B, B the record byte) or an IR key (IR.SystemCode, IR.Key.K). Every
// bit of the file image belongs to exactly one field, so a file read into fields and back keeps every byte.
class PresetField {
  public:
    enum class Kind { Parameter, Spare, Machine, Ir };

    const std::string& Name() const { return m_name; }
    bool IsVolume() const { return m_volume; }
    int Min() const { return m_min; }
    int Max() const { return m_max; }
    bool InRange(int raw) const { return (raw >= m_min && raw <= m_max) || (m_offAllowed && raw == kOff); }
    std::string RangeText() const;

    int Get(const PresetSet& set) const;
    void Put(PresetSet& set, int raw) const;
    // The value as the panel shows it (English), or as a number where the panel shows none.
    std::string Shown(int raw) const;

    // Every field: the parameters in table order, the reserved store bytes, the machine settings, the IR
    // keys.
    static std::span<const PresetField> All();
    static const PresetField* Find(std::string_view name);

  private:
    static constexpr int kOff = 255;

    std::string m_name;
    Kind m_kind = Kind::Spare;
    std::optional<ParameterRef> m_param;
    bool m_volume = false;
    std::size_t m_offset = 0;  // in the file image, or the volume's slot
    std::uint8_t m_mask = 0xFF;
    int m_min = 0;
    int m_max = 255;
    bool m_offAllowed = false;

    friend struct PresetFieldTable;
};

// A field and its raw value.
struct PresetValue {
    const PresetField* field;
    int raw;
};

// What a dump says about the amplifier it was read from. Readers skip it: it is no value to write.
struct AmplifierFacts {
    int mode = 1;  // the current memory mode, 1..4
    std::string deviceName;
    std::string deviceDate;
};

// Readable presets: a parameter set as a JSON object, "format": 1 first, then one member per field,
// {"raw": N, "shown": TEXT}. The same document serves export, import, diff and dump --json; a dump adds the
// amplifier's facts ("Mode", "DeviceName", "DeviceDate") as plain members.
class ReadablePreset {
  public:
    // The version of the document's shape that this program writes and reads. A file without "format" is
    // read as format 1 (the first presets carried none).
    static constexpr int kFormat = 1;

    // What a preset file came to: its values in file order, or the problems that refuse it. A value outside
    // its field's range is a problem too, but not of the file itself (an amplifier may hold it): when only
    // such values are wrong, the others stay in values, outside repeats those problems, and the caller may
    // go on without them.
    struct Parsed {
        std::vector<PresetValue> values;
        std::vector<std::string> problems;
        std::vector<std::string> outside;
    };

    // Larger preset files are refused unread.
    static constexpr std::size_t kMaxFileSize = 1 << 20;

    // The values of a set, in field order; the volumes only when the set has them.
    static std::vector<PresetValue> Values(const PresetSet& set);
    static std::string ToJson(const std::vector<PresetValue>& values,
                              const std::optional<AmplifierFacts>& facts = std::nullopt);
    // Checks every member: a known name, given once, with a whole raw value (bare or as "raw") in its range.
    // "shown" is for the reader and is not used; "format" must be 1; the amplifier's facts are skipped. Any
    // problem refuses the whole preset. Names in the problems are quoted with their control characters
    // escaped.
    static Parsed Parse(std::string_view json);
    // Puts values into a set; a volume marks the set as having volumes only if it had them.
    static void Apply(const std::vector<PresetValue>& values, PresetSet& set);

    // The set of a freshly started program: the parameters' defaults, the reserved bytes 0x40, empty records.
    static PresetSet Defaults();
    static PresetSet FromSession(const DeviceSession& session);

    // Reads a preset file; a file that cannot be read, is not a regular file (a pipe would never end) or is
    // too large is a problem of its own.
    static Parsed ReadFile(const std::string& path);
    // Writes a preset file whole, as ModeDataFile::WriteBytes does.
    static ModeDataFile::Result WriteFile(const std::string& path, const std::vector<PresetValue>& values);
};

}  // namespace varnoth
