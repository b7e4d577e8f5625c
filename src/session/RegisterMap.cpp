#include "session/RegisterMap.h"

#include <algorithm>

#include "session/ParameterTable.h"

namespace varnoth {
namespace {

// Store bytes that belong to no parameter (the reserved bytes of the block) hold this and have no register.
constexpr std::uint8_t kUnusedDefault = 0x40;

RegisterMap BuildMap() {
    RegisterMap map{};
    map.fill(RegisterEntry{false, 0, 0, 0, false, ValueRule::Plain, kUnusedDefault});
    for (const Parameter& param : ParameterTable()) {
        if (param.position == kNotStored) {
            continue;
        }
        for (int index = 0; index < std::max(param.count, 1); ++index) {
            const ParameterRef ref{&param, index};
            map[static_cast<std::size_t>(ref.Position())] = ref.Registers();
        }
    }
    return map;
}

}  // namespace

const RegisterMap& StoreRegisterMap() {
    static const RegisterMap map = BuildMap();
    return map;
}

}  // namespace varnoth
