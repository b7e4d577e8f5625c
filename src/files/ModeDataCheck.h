// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "files/ModeDataFile.h"
#include "session/MachineFieldTable.h"
#include "session/MachineRules.h"

namespace varnoth {

// A byte of a mode data file outside the values the panel can produce: the field's name (the parameter's,
// or Machine.NAME for a machine setting), the value found and the values allowed.
struct ModeDataFault {
    std::size_t offset;
    std::string field;
    int value;
    int min;
    int max;
    int offValue;  // one more allowed value outside min..max, or kNoOffValue

    std::string RangeText() const;
    // The message for the user: names the field, its value and its range.
    BilingualText Message() const;
};

// Checks every byte of a file image in file order: the parameters against the parameter table's ranges, the
// mic-controls-sub time and rate likewise, the machine settings against their record's rules. The reserved
// store bytes, the machine record's reserved pair and the IR key codes may hold anything.
class ModeDataCheck {
  public:
    static std::optional<ModeDataFault> FirstFault(const ModeDataFile::Image& image);
    // Every such byte, in file order.
    static std::vector<ModeDataFault> AllFaults(const ModeDataFile::Image& image);
};

}  // namespace varnoth
