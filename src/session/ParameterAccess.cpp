// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/ParameterAccess.h"

#include "session/DeviceSession.h"

namespace varnoth {

int ReadParameter(const DeviceSession& session, const ParameterRef& ref) {
    switch (ref.param->access) {
        case ParamAccess::MicControlSubTime:
            return session.GetMicControlSubTime();
        case ParamAccess::MicControlSubRate:
            return session.GetMicControlSubRate();
        case ParamAccess::Register:
        case ParamAccess::CompressorPreset:
        case ParamAccess::EffectPreset:
            break;
    }
    return session.Store().Value(static_cast<std::size_t>(ref.Position()));
}

void WriteParameter(DeviceSession& session, const ParameterRef& ref, int value) {
    const auto byte = static_cast<std::uint8_t>(value & 0xFF);
    switch (ref.param->access) {
        case ParamAccess::Register:
            session.Store().SetValue(static_cast<std::size_t>(ref.Position()), value);
            return;
        case ParamAccess::CompressorPreset:
            session.Store().ChooseCompressorPreset(
                static_cast<std::size_t>(ref.Position() - pos::CompressPreset), byte);
            return;
        case ParamAccess::EffectPreset:
            session.ChooseEffectPreset(ref.index, byte);
            return;
        case ParamAccess::MicControlSubTime:
            session.SetMicControlSub(byte, session.GetMicControlSubRate());
            return;
        case ParamAccess::MicControlSubRate:
            session.SetMicControlSub(session.GetMicControlSubTime(), byte);
            return;
    }
}

}  // namespace varnoth
