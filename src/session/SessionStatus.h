// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>

#include "session/SessionObserver.h"

namespace varnoth {

// What the parts of a device session (the session itself, its replies, its firmware transfers) share about
// the connection, each part on its own threads: every field is an atomic.
struct SessionStatus {
    SessionObserver* Observer() const { return observer.load(); }

    std::atomic<SessionObserver*> observer{nullptr};
    // Counts connections and disconnections: a sequence reports only while the one it started with lasts.
    std::atomic<std::uint64_t> connection{0};
    // A synchronisation of this connection has finished and none runs now.
    std::atomic<bool> synchronised{false};
    // The connected amplifier came up in upgrade mode; the connected device is the virtual amplifier.
    std::atomic<bool> upgradeMode{false};
    std::atomic<bool> simulated{false};
    // The session is being destroyed.
    std::atomic<bool> closing{false};
};

}  // namespace varnoth
