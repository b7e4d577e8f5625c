// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

namespace varnoth {

// The one debug output of the program. Silent by default; VARNOTH_TRACE=1 in the environment or
// EnableTraceToStderr() sends every line to stderr; tests install a sink to capture the lines.
// Lines are passed on exactly as formatted (most end in "\n" themselves).
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

using TraceSink = std::function<void(const std::string& line)>;

// Replaces the current sink (an empty function silences tracing). Returns the previous sink.
TraceSink SetTraceSink(TraceSink sink);

void EnableTraceToStderr();

}  // namespace varnoth
