// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "device/Trace.h"

namespace varnoth::test {

// Collects every trace line while it lives; the lines may come from any thread.
class TraceCapture {
  public:
    TraceCapture() {
        m_previous = SetTraceSink([this](const std::string& line) {
            std::lock_guard lock(m_mutex);
            m_lines.push_back(line);
        });
    }
    ~TraceCapture() { SetTraceSink(m_previous); }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    std::vector<std::string> Lines() const {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }
    bool Contains(const std::string& line) const {
        std::lock_guard lock(m_mutex);
        return std::find(m_lines.begin(), m_lines.end(), line) != m_lines.end();
    }

  private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
    TraceSink m_previous;
};

}  // namespace varnoth::test
