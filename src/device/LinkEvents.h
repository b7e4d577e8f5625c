// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "device/Transport.h"

namespace varnoth {

// What the link tells of the reports it carries, for whoever keeps count of what was written and read
// when (the session's write ledger). Called on the thread that queued or sent the report, under the link's
// queue lock: the listener keeps its own books and never calls the link back.
class LinkEvents {
  public:
    virtual ~LinkEvents() = default;

    // A connection's link thread starts: nothing of the last connection counts.
    virtual void OnLinkStarted() = 0;
    // A report waits for the link thread. A register write that merges into one already waiting (the same
    // register) is not told again.
    virtual void OnQueued(const Report& report) = 0;
    // A report told by OnQueued no longer waits: its submission has been sent, or the link dropped it.
    virtual void OnUnqueued(const Report& report) = 0;
    // A report went out to the amplifier, in the order the link sends them.
    virtual void OnSent(const Report& report) = 0;
};

}  // namespace varnoth
