#include "app/CSessionHost.h"

#include <utility>

namespace varnoth {

CSessionHost::CSessionHost(std::shared_ptr<TransportProvider> provider, LinkTiming timing)
    : m_session(std::move(provider), timing) {}

CSessionHost::~CSessionHost() {
    m_events.Shutdown();
}

}  // namespace varnoth
