// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "device/Protocol.h"
#include "session/ParameterTable.h"

namespace varnoth {

// The wire orders of the whole-set passes, made once from the parameter table: its rows in table order, a
// run of indexed rows index by index, then what WriteAllLastSteps and ReadAllLastSteps name, in their order.
class WholeSetOrder {
  public:
    // The store positions the whole-set write sends, one each: the rows the table marks inWriteAll.
    static std::span<const std::uint8_t> WritePositions();
    // The register arrays the whole-set read asks for, each once: those of every row with registers, and the
    // registers the read's steps name.
    static std::span<const wire::RegisterAddress> ReadArrays();
    // The names in the steps that are no row of the table (a step with a misspelt name would send nothing).
    static std::vector<const char*> UnknownStepRows();

  private:
    static std::vector<ParameterRef> RowsInOrder(std::span<const WholeSetStep> last);
};

}  // namespace varnoth
