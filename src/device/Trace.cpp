// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/Trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <utility>
#include <vector>

namespace varnoth {
namespace {

void WriteToStderr(const std::string& line) {
    std::fputs(line.c_str(), stderr);
}

struct TraceState {
    std::mutex mutex;
    TraceSink sink;
    TraceState() {
        const char* env = std::getenv("VARNOTH_TRACE");
        if (env != nullptr && env[0] != '\0' && env[0] != '0') {
            sink = WriteToStderr;
        }
    }
};

TraceState& State() {
    static TraceState state;
    return state;
}

}  // namespace

void Trace(const char* format, ...) {
    TraceState& state = State();
    std::lock_guard lock(state.mutex);
    if (!state.sink) {
        return;
    }
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length < 0) {
        va_end(args);
        return;
    }
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    va_end(args);
    state.sink(std::string(buffer.data(), static_cast<std::size_t>(length)));
}

TraceSink SetTraceSink(TraceSink sink) {
    TraceState& state = State();
    std::lock_guard lock(state.mutex);
    return std::exchange(state.sink, std::move(sink));
}

void EnableTraceToStderr() {
    SetTraceSink(WriteToStderr);
}

}  // namespace varnoth
