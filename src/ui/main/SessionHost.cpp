#include "ui/main/SessionHost.h"

#include <utility>

namespace varnoth {

SessionHost::SessionHost(std::shared_ptr<TransportProvider> provider, LinkTiming timing)
    : m_session(std::move(provider), timing) {}

SessionHost::~SessionHost() {
    m_events.Shutdown();
}

}  // namespace varnoth
