#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "session/RegisterMap.h"

namespace varnoth {

class DeviceSession;

// One parameter of the amplifier: its name (the register name, also the command line's word), where the
// store keeps it, the registers it is written to, its valid raw range and default, how the user sees it,
// and how it is read and set through the session (the setter writes as the panel does).
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
    int (*get)(const DeviceSession& session, int index);
    void (*set)(DeviceSession& session, int index, int value);
};

inline constexpr int kNotStored = -1;

// Every parameter in store order, then the mic-controls-sub setting.
std::span<const Parameter> ParameterTable();

// A parameter with its index.
struct ParameterRef {
    const Parameter* param;
    int index;

    std::string Name() const;
    // Store position, or kNotStored.
    int Position() const;
    RegisterEntry Registers() const;
    std::uint8_t Default() const { return param->registers.defaultValue; }
    bool InRange(int value) const { return value >= param->min && value <= param->max; }
    std::string Shown(std::uint8_t raw, int language) const { return param->shown(raw, index, language); }
};

// Finds NAME or NAME.N; nothing for an unknown name, a missing or surplus index or one out of range.
std::optional<ParameterRef> FindParameter(std::string_view text);

// The parameter kept at a store position, if any (the reserved bytes have none).
std::optional<ParameterRef> ParameterAt(int position);

}  // namespace varnoth
