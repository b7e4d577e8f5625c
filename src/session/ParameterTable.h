// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "session/RegisterMap.h"

namespace varnoth {

// A text in both of the panel's languages (UTF-8).
struct Bilingual {
    const char* chinese;
    const char* english;

    // Language 0 is Chinese, anything else English.
    const char* In(int language) const { return language == 0 ? chinese : english; }
};

// The frame of the panel a parameter is shown in; a group's reset sets all of its parameters to their
// defaults. An effect's group is that of its index (Effect1 + index).
enum class ParamGroup : std::uint8_t {
    Hidden,  // not shown by the window
    Channel,
    Effect1,
    Effect2,
    AutoSub,
    Subwoofer,
    GraphicEq,
    Volumes,
};

// The path of a channel parameter.
enum class ParamPath : std::uint8_t { None, Mic, Music };

// How a value reaches the amplifier. Most parameters are registers: stored and written at once. The others
// need their own command or set other parameters too.
enum class ParamAccess : std::uint8_t {
    Register,
    CompressorPreset,   // only stored; choosing one writes its row into the compressor's other fields
    EffectPreset,       // the device loads the preset; the effect's parameters are read back
    MicControlSubTime,  // sent as one report with the rate
    MicControlSubRate,
};

// One parameter of the amplifier, the single place that knows it: its name (the register name, also the
// command line's word), where the store keeps it, the registers it is written to, its valid raw range and
// default, how the user sees it and calls it, the panel's frame it sits in, how it is set, and whether the
// whole-set write sends it.
//
// An indexed parameter (count > 0) is named NAME.N: the effect (0 or 1) of the effect parameters, the band
// (0..9) of the graphic EQs. Index i sits at store position `position + i * positionStep`, its register is
// the row's register with the index raised by `i * registerStep` and the channel by `i * channelStep`.
struct Parameter {
    const char* name;
    int count;                // 0 for a single value, else the number of indexes
    int position;             // store position of index 0; kNotStored for a setting kept outside the store
    int positionStep;         // store positions from one index to the next
    RegisterEntry registers;  // of index 0; hasRegister is false for a value that is only stored
    int registerStep;
    int channelStep;
    int min;  // valid raw range, as the panel's controls produce it
    int max;
    // The value as the user sees it, with its unit; language 0 Chinese, anything else English.
    std::string (*shown)(std::uint8_t raw, int index, int language);
    Bilingual title;  // "mic gain": what the user calls it; an indexed row's title goes with its index
    ParamGroup group;
    ParamPath path;
    ParamAccess access;
    bool inWriteAll;  // sent by the whole-set write (the routing to the main outputs and the volumes are not)
};

inline constexpr int kNotStored = -1;

// Every parameter in store order, then the mic-controls-sub setting.
std::span<const Parameter> ParameterTable();

// A parameter with its index.
struct ParameterRef {
    const Parameter* param;
    int index;

    std::string Name() const;
    // What the user calls it, in the window's language: "mic gain", "effect 2 delay", "music EQ band 3".
    std::string Title(int language) const;
    // What the panel's label beside its control says: the row's caption, or its title where it has none
    // (without the index: the label sits in the effect's own frame).
    const char* Caption(int language) const;
    // Store position, or kNotStored.
    int Position() const;
    RegisterEntry Registers() const;
    std::uint8_t Default() const { return param->registers.defaultValue; }
    bool InRange(int value) const { return value >= param->min && value <= param->max; }
    std::string Shown(std::uint8_t raw, int language) const { return param->shown(raw, index, language); }
    // The value as the store holds it once set: a switch stores on or off.
    std::uint8_t Stored(int value) const;
    std::uint8_t StoredDefault() const { return Stored(Default()); }
    ParamGroup Group() const;
    bool operator==(const ParameterRef& other) const { return param == other.param && index == other.index; }
};

// The label text of a row whose panel label is not its title ("Gain" beside the mic gain's slider).
struct ParameterCaption {
    const char* name;  // the row's name, without an index
    Bilingual caption;
};
std::span<const ParameterCaption> ParameterCaptions();

// Finds NAME or NAME.N; nothing for an unknown name, a missing or surplus index or one out of range.
std::optional<ParameterRef> FindParameter(std::string_view text);

// The parameter kept at a store position, if any (the reserved bytes have none).
std::optional<ParameterRef> ParameterAt(int position);

// Every parameter with its index, in table order.
std::span<const ParameterRef> AllParameters();

// The whole-set write and read go through the table in its order, the indexes of a run of indexed rows in
// turn (effect 1's parameters, then effect 2's; band 1 of the four graphic EQs, then band 2), except where
// the amplifier's order is another: what these steps name goes last, in their order (see WholeSetOrder).
struct WholeSetStep {
    const char* row;  // every index of this row; nullptr for the registers below, which no row keeps
    std::uint8_t block = 0;
    std::uint8_t firstIndex = 0;
    std::uint8_t lastIndex = 0;
};
std::span<const WholeSetStep> WriteAllLastSteps();
std::span<const WholeSetStep> ReadAllLastSteps();

}  // namespace varnoth
