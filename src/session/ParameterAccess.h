// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "session/ParameterTable.h"

namespace varnoth {

class DeviceSession;

// A parameter read and set through the session, as the panel does it: a register is stored and written at
// once; the compressor preset loads its row, the effect preset makes the amplifier load it and reads the
// effect back, the mic-controls-sub time and rate are sent together with the other one as stored.
int ReadParameter(const DeviceSession& session, const ParameterRef& ref);
void WriteParameter(DeviceSession& session, const ParameterRef& ref, int value);

}  // namespace varnoth
