#pragma once

#include <cstdint>

namespace varnoth {

// The numbers of the session's notifications to its owner window.
inline constexpr unsigned WM_KEY_STUDIED = 0x3E9;
inline constexpr unsigned WM_SYNC_DONE = 0x3EA;
inline constexpr unsigned WM_UPGRADE_DONE = 0x3EC;

// What the device session tells its owner window. The calls come from the session's threads; the owner
// marshals them onto its own thread.
class SessionObserver {
  public:
    virtual ~SessionObserver() = default;

    // WM_KEY_STUDIED: the device has learnt a remote key. Called on the reader thread, which waits until
    // the call returns (a sent message): the handler must not wait for the reader.
    virtual void OnKeyStudied(std::uint8_t keyCode) { static_cast<void>(keyCode); }

    // WM_SYNC_DONE: a whole-set transfer has finished, on its worker thread. wParam 0: read-all (a posted
    // message: the owner need not handle it before returning); wParam 1: write-all (a sent message: the
    // worker waits until the call returns, so the handler must not wait for the worker).
    virtual void OnSyncDone(int wParam) { static_cast<void>(wParam); }

    // WM_UPGRADE_DONE: the firmware transfer has finished (a posted message).
    virtual void OnUpgradeDone() {}

    // The device stopped answering (several replies in a row did not come) or answers again; on the link
    // thread, which goes on at once (a posted message).
    virtual void OnAnswering(bool answering) { static_cast<void>(answering); }
};

}  // namespace varnoth
