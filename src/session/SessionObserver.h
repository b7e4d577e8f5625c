// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace varnoth {

// What the device session tells its owner (the window, or varnoth-cli). The calls come from the session's
// threads; the owner marshals them onto its own thread.
class SessionObserver {
  public:
    virtual ~SessionObserver() = default;

    // The device has learnt a remote key. Called on the reader thread, which waits until the call returns:
    // the handler must not wait for the reader.
    virtual void OnKeyStudied(std::uint8_t keyCode) { static_cast<void>(keyCode); }

    // A whole-set transfer has finished. direction 0: read-all (the owner need not handle it before
    // returning); direction 1: write-all (the link thread waits until the call returns, so the handler must
    // not wait for the link).
    virtual void OnSyncDone(int direction) { static_cast<void>(direction); }

    // The firmware transfer has finished (the owner need not handle it before returning).
    virtual void OnUpgradeDone() {}

    // The device stopped answering (several replies in a row did not come) or answers again; on the link
    // thread, which goes on at once.
    virtual void OnAnswering(bool answering) { static_cast<void>(answering); }

    // A read of the master volumes outside a synchronisation changed one of them in the store: the
    // amplifier's own keys or its remote turned it. On the reader thread, which goes on at once.
    virtual void OnVolumesFollowed() {}
};

}  // namespace varnoth
