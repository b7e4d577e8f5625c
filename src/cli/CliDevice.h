// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>

#include "cli/CliOptions.h"
#include "session/DeviceSession.h"

namespace varnoth {

class SimProvider;
class VirtualAmp;
class ReportingProvider;

// Why a command stopped: its exit code and the one line for stderr.
struct CliFailure {
    int code;
    std::string message;
};
using CliStatus = std::optional<CliFailure>;

// The session's notifications, waited for by the command line's one thread.
class CliObserver : public SessionObserver {
  public:
    void OnKeyStudied(std::uint8_t keyCode) override;
    void OnUpgradeDone() override;

    // Waits for a learnt key at most timeout, or until stop() returns true (checked every 50 ms).
    template <typename Stop>
    std::optional<std::uint8_t> WaitForKey(std::chrono::milliseconds timeout, Stop stop) {
        std::unique_lock lock(m_mutex);
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!m_key && !stop() && std::chrono::steady_clock::now() < deadline) {
            m_cv.wait_for(lock, std::chrono::milliseconds(50));
        }
        return m_key;
    }
    bool UpgradeDone() const { return m_upgradeDone.load(); }

  private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::optional<std::uint8_t> m_key;
    std::atomic<bool> m_upgradeDone{false};
};

// The amplifier the command line talks to: the virtual amplifier (--simulate, its state kept in a file with
// --sim-state), the USB device, or none (--offline, where the session keeps its construction defaults and
// commands go nowhere). Owns the session.
class CliDevice {
  public:
    explicit CliDevice(const CliOptions& options);
    ~CliDevice();

    CliDevice(const CliDevice&) = delete;
    CliDevice& operator=(const CliDevice&) = delete;

    // Builds the virtual amplifier for its scenario and loads its state file when there is one; the
    // scenario keeps deciding the model name, the firmware date and the upgrade mode.
    CliStatus Prepare();
    // Connects and identifies the amplifier. Refused: nothing found, a device in upgrade mode unless
    // upgradeMode is allowed, a device that does not answer, another model (then disconnected with the
    // farewell). Offline, nothing is connected and the session keeps its defaults.
    CliStatus Connect(bool upgradeModeAllowed);
    // The read-all sequence, then the model name and date once more: the device answers in order, so when
    // the date has arrived every reply of the read-all has been stored. Nothing offline. Ctrl+C or SIGTERM
    // ends it at once (the amplifier is then disconnected): the command must not use what was read.
    CliStatus ReadEverything();
    // Runs work (a whole-set transfer) while watching for Ctrl+C and SIGTERM; on either, disconnects the
    // amplifier, which ends the transfer, and says what may have been sent.
    CliStatus Interruptible(const std::function<void()>& work, const std::string& stopped);
    // Says goodbye to a connected device and stores the virtual amplifier's state file.
    CliStatus Finish();

    // The amplifiers present, one line each; a failure when there is none.
    CliStatus List(std::ostream& out);

    DeviceSession& Session() { return *m_session; }
    CliObserver& Observer() { return m_observer; }
    bool Offline() const { return m_options.offline; }
    bool Simulated() const { return m_options.simulate; }
    // The key code a simulated remote sends while a key is being learnt (--sim-press).
    std::optional<int> SimPress() const { return m_options.simPress; }
    // Presses a key of the virtual amplifier's remote; false unless it was learning one.
    bool PressSimulatedKey(std::uint8_t keyCode);
    // Set when the transport notices that the device has gone.
    bool Vanished() const { return m_vanished->load(); }

  private:
    const CliOptions& m_options;
    std::shared_ptr<SimProvider> m_sim;
    std::shared_ptr<ReportingProvider> m_provider;
    std::shared_ptr<std::atomic<bool>> m_vanished = std::make_shared<std::atomic<bool>>(false);
    CliObserver m_observer;
    std::unique_ptr<DeviceSession> m_session;
    bool m_connected = false;
};

}  // namespace varnoth
