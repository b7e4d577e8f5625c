#pragma once

#include <memory>

#include "app/CSessionEvents.h"
#include "device/DeviceLink.h"
#include "device/Transport.h"
#include "model/CVQ421Dll.h"

namespace varnoth {

// The program's one device session together with the adapter that carries its notifications to the
// user-interface thread. The adapter is built first and goes last: the session's reader and workers, which
// call it, have ended before it is destroyed. Create and destroy on the user-interface thread.
class CSessionHost {
  public:
    explicit CSessionHost(std::shared_ptr<TransportProvider> provider = nullptr, LinkTiming timing = {});
    // Lets every sender go on, then the session closes its link and joins its workers.
    ~CSessionHost();

    CSessionHost(const CSessionHost&) = delete;
    CSessionHost& operator=(const CSessionHost&) = delete;

    CVQ421Dll& Session() { return m_session; }
    CSessionEvents& Events() { return m_events; }

  private:
    CSessionEvents m_events;
    CVQ421Dll m_session;
};

}  // namespace varnoth
