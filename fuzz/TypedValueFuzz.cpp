// SPDX-License-Identifier: GPL-3.0-or-later
// A value typed into a label or an EQ band field: the first byte picks the parameter and whether a current
// step is given, the rest is the text as typed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "session/ParameterTable.h"
#include "session/TypedValue.h"

using namespace varnoth;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const auto table = ParameterTable();
    const Parameter& param = table[data[0] % table.size()];
    const ParameterRef ref{&param, 0};
    const TypedValue::Scale scale = TypedValue::ScaleOf(ref);
    const int current = (data[0] & 0x80) != 0 ? param.min : -1;
    const std::string_view typed(reinterpret_cast<const char*>(data + 1), size - 1);
    const TypedValue::Result result = TypedValue::Parse(typed, scale, current);
    if (result.outcome != TypedValue::Outcome::Value) {
        return 0;
    }
    // A value is a step of the range, and what it shows types back to it.
    if (result.raw < param.min || result.raw > param.max) {
        std::abort();
    }
    const TypedValue::Result again =
        TypedValue::Parse(ref.Shown(static_cast<std::uint8_t>(result.raw), 1), scale, result.raw);
    if (again.outcome != TypedValue::Outcome::Value || again.raw != result.raw) {
        std::abort();
    }
    return 0;
}
