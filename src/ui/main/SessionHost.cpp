// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/SessionHost.h"

#include <utility>

namespace varnoth {

SessionHost::SessionHost(std::shared_ptr<TransportProvider> provider, LinkTiming timing)
    : m_session(std::move(provider), timing) {
    // The window hands its commands to the link thread and never waits for the device.
    m_session.SetWaitForTransfers(false);
}

SessionHost::~SessionHost() {
    m_events.Shutdown();
}

}  // namespace varnoth
