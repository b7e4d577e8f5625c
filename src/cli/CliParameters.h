#pragma once

#include <optional>
#include <span>
#include <string>

namespace varnoth {

class DeviceSession;

// One parameter of the amplifier as the command line names it: the setter and getter name without Set
// and Get. An indexed parameter is named NAME.N: the effect (0 or 1) of the effect parameters, the band
// (0..9) of the graphic EQs. Values are raw device values within the range the panel's controls produce.
struct ParameterInfo {
    const char* name;
    int count;  // 0 for a single value, else the number of indexes
    int min;
    int max;
    int (*get)(const DeviceSession& session, int index);
    // Through the session's setter, so the device gets the same writes as from the panel.
    void (*set)(DeviceSession& session, int index, int value);
};

// Every parameter in store order, then the master volumes and the mic-controls-sub setting.
std::span<const ParameterInfo> Parameters();

// One machine setting as the command line names it (its MachineSettings setter name without Set). Reads come
// from the saved copy, writes go to the working copy.
struct MachineFieldInfo {
    const char* name;
    int min;
    int max;
    bool offAllowed;  // "off" is accepted and stands for 255
    int (*get)(const DeviceSession& session);
    void (*set)(DeviceSession& session, int value);
};

std::span<const MachineFieldInfo> MachineFields();

// A parameter with its index.
struct ParameterRef {
    const ParameterInfo* param;
    int index;
    std::string Name() const;
};

// Finds NAME or NAME.N; nothing for an unknown name, a missing or surplus index or one out of range.
std::optional<ParameterRef> FindParameter(const std::string& text);
const MachineFieldInfo* FindMachineField(const std::string& name);

// A value given on the command line: decimal or 0x-hexadecimal, nothing else.
std::optional<int> ParseNumber(const std::string& text);

}  // namespace varnoth
