// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "device/DeviceLink.h"
#include "device/Transport.h"
#include "session/DeviceSession.h"
#include "ui/main/SessionEvents.h"

namespace varnoth {

// The program's one device session together with the adapter that carries its notifications to the
// user-interface thread. The adapter is built first and goes last: the session's reader and workers, which
// call it, have ended before it is destroyed. Create and destroy on the user-interface thread.
class SessionHost {
  public:
    explicit SessionHost(std::shared_ptr<TransportProvider> provider = nullptr, LinkTiming timing = {});
    // Lets every sender go on, then the session closes its link and joins its workers.
    ~SessionHost();

    SessionHost(const SessionHost&) = delete;
    SessionHost& operator=(const SessionHost&) = delete;

    DeviceSession& Session() { return m_session; }
    SessionEvents& Events() { return m_events; }

  private:
    SessionEvents m_events;
    DeviceSession m_session;
};

}  // namespace varnoth
