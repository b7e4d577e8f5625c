// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/CommandLine.h"
#include "device/Transport.h"

namespace varnoth {

class DeviceWatcher;
class HidBackend;
class HidProvider;
class SimProvider;

// Where the panel program finds its amplifier: the virtual amplifier (--simulate) or the USB transport,
// and who tells it of devices arriving and leaving.
class ProgramDevices {
  public:
    using Sink = std::function<void(bool arrived, const std::string& path)>;

    ProgramDevices();
    ~ProgramDevices();

    ProgramDevices(const ProgramDevices&) = delete;
    ProgramDevices& operator=(const ProgramDevices&) = delete;

    // Sets up the virtual amplifier in the chosen scenario, or the USB transport. Empty on success, else why
    // it cannot be done.
    std::string Open(const CommandLine& options);
    std::shared_ptr<TransportProvider> Provider() const { return m_provider; }
    bool Simulated() const { return m_sim != nullptr; }

    // Reports every arrival and removal to sink from now on, on the reporter's thread: the virtual
    // amplifier's plugging, or the system's device notifications (polled when the system offers none) and a
    // link that finds its device gone. Call before the first connection.
    void Watch(Sink sink);
    // Stops reporting; afterwards sink is not called again.
    void Stop();

    // Unplugs the virtual amplifier, or plugs it in again.
    void ToggleSimulatedPlug();

  private:
    std::shared_ptr<TransportProvider> m_provider;
    std::shared_ptr<SimProvider> m_sim;
    int m_simObserver = 0;
    std::shared_ptr<HidBackend> m_backend;
    std::shared_ptr<HidProvider> m_hid;
    std::unique_ptr<DeviceWatcher> m_watcher;
};

}  // namespace varnoth
