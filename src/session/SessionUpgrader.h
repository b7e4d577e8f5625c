// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

#include "session/FirmwareUpgrade.h"

namespace varnoth {

class DeviceLink;
struct SessionStatus;

// The session's firmware transfers: the carried image or an image file, to an amplifier in upgrade mode
// only, on the link thread of the connection (or the calling thread), one at a time. Its outcome always
// reaches the observer, also after an unplug.
class SessionUpgrader {
  public:
    // Runs a body after a delay on the connection's link thread, or without one on a worker thread.
    using RunSequence = std::function<void(std::chrono::milliseconds, std::function<void()>)>;

    SessionUpgrader(DeviceLink& link, SessionStatus& status, RunSequence run);

    SessionUpgrader(const SessionUpgrader&) = delete;
    SessionUpgrader& operator=(const SessionUpgrader&) = delete;

    // Starts the transfer after the link's upgradeStartDelay and returns at once; false when a transfer is
    // already under way (nothing starts then).
    bool Start();
    bool StartFile(const std::string& path);
    // The transfer on the calling thread: true when every report of the image went out and was
    // acknowledged.
    bool Run();
    bool RunFile(const std::string& path);

    int Progress() const { return m_upgrade.GetProgress(); }
    void Stop() { m_upgrade.RequestStop(); }
    // Waits until no transfer is under way (at once on the link thread).
    void WaitForEnd();
    bool IsUpgrading() const { return m_upgrading.load(); }
    UpgradeResult LastResult() const;
    // The connection ended: a transfer still waiting for its turn went with it.
    void ConnectionClosed();

  private:
    UpgradeResult SendCarriedImage();
    UpgradeResult SendImageFile(const std::string& path);
    bool RunHere(const std::function<UpgradeResult()>& transfer);
    bool StartThread(std::function<UpgradeResult()> transfer);
    void Transfer(std::uint64_t connection, const std::function<UpgradeResult()>& transfer);
    void SetResult(UpgradeResult result);
    // Clears IsUpgrading and wakes WaitForEnd.
    void End();

    DeviceLink& m_link;
    SessionStatus& m_status;
    RunSequence m_run;
    FirmwareUpgrade m_upgrade;
    std::atomic<bool> m_upgrading{false};
    mutable std::mutex m_resultMutex;  // also guards the end of a transfer for m_ended
    std::condition_variable m_ended;
    UpgradeResult m_result;
};

}  // namespace varnoth
