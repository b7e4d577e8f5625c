// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/WholeSetOrder.h"

#include <algorithm>
#include <cstring>

namespace varnoth {
namespace {

bool Named(const WholeSetStep& step, const Parameter& param) {
    return step.row != nullptr && std::strcmp(step.row, param.name) == 0;
}

// Every index of the row a step names; nothing for registers or an unknown name.
std::vector<ParameterRef> RowOf(const WholeSetStep& step) {
    std::vector<ParameterRef> refs;
    for (const ParameterRef& ref : AllParameters()) {
        if (Named(step, *ref.param)) {
            refs.push_back(ref);
        }
    }
    return refs;
}

// The register arrays of a step: its row's, or its own.
std::vector<wire::RegisterAddress> ArraysOf(const WholeSetStep& step) {
    std::vector<wire::RegisterAddress> arrays;
    if (step.row == nullptr) {
        for (unsigned index = step.firstIndex; index <= step.lastIndex; ++index) {
            arrays.push_back({step.block, static_cast<std::uint8_t>(index)});
        }
    }
    for (const ParameterRef& ref : RowOf(step)) {
        if (const RegisterEntry reg = ref.Registers(); reg.hasRegister) {
            arrays.push_back({reg.block, reg.index});
        }
    }
    return arrays;
}

void AddOnce(std::vector<wire::RegisterAddress>& arrays, wire::RegisterAddress at) {
    if (std::find(arrays.begin(), arrays.end(), at) == arrays.end()) {
        arrays.push_back(at);
    }
}

}  // namespace

std::vector<ParameterRef> WholeSetOrder::RowsInOrder(std::span<const WholeSetStep> last) {
    const auto isLast = [&](const Parameter& param) {
        return std::any_of(last.begin(), last.end(),
                           [&](const WholeSetStep& step) { return Named(step, param); });
    };
    std::vector<ParameterRef> refs;
    const std::span<const Parameter> table = ParameterTable();
    for (auto run = table.begin(); run != table.end();) {
        // A run: the rows after `run` with the same number of indexes, when they have more than one.
        auto end = std::next(run);
        while (run->count > 1 && end != table.end() && end->count == run->count) {
            ++end;
        }
        for (int index = 0; index < std::max(run->count, 1); ++index) {
            for (auto row = run; row != end; ++row) {
                if (!isLast(*row)) {
                    refs.push_back({&*row, index});
                }
            }
        }
        run = end;
    }
    for (const WholeSetStep& step : last) {
        const std::vector<ParameterRef> row = RowOf(step);
        refs.insert(refs.end(), row.begin(), row.end());
    }
    return refs;
}

std::span<const std::uint8_t> WholeSetOrder::WritePositions() {
    static const std::vector<std::uint8_t> positions = [] {
        std::vector<std::uint8_t> order;
        for (const ParameterRef& ref : RowsInOrder(WriteAllLastSteps())) {
            if (ref.param->inWriteAll && ref.Registers().hasRegister && ref.Position() != kNotStored) {
                order.push_back(static_cast<std::uint8_t>(ref.Position()));
            }
        }
        return order;
    }();
    return positions;
}

std::span<const wire::RegisterAddress> WholeSetOrder::ReadArrays() {
    static const std::vector<wire::RegisterAddress> arrays = [] {
        // What the steps read goes last, also when other rows keep the same arrays.
        std::vector<wire::RegisterAddress> last;
        for (const WholeSetStep& step : ReadAllLastSteps()) {
            for (const wire::RegisterAddress at : ArraysOf(step)) {
                AddOnce(last, at);
            }
        }
        std::vector<wire::RegisterAddress> order;
        for (const ParameterRef& ref : RowsInOrder({})) {
            const RegisterEntry reg = ref.Registers();
            const wire::RegisterAddress at{reg.block, reg.index};
            if (reg.hasRegister && std::find(last.begin(), last.end(), at) == last.end()) {
                AddOnce(order, at);
            }
        }
        order.insert(order.end(), last.begin(), last.end());
        return order;
    }();
    return arrays;
}

std::vector<const char*> WholeSetOrder::UnknownStepRows() {
    std::vector<const char*> unknown;
    for (const auto steps : {WriteAllLastSteps(), ReadAllLastSteps()}) {
        for (const WholeSetStep& step : steps) {
            if (step.row != nullptr && RowOf(step).empty()) {
                unknown.push_back(step.row);
            }
        }
    }
    return unknown;
}

}  // namespace varnoth
