// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "device/Transport.h"
#include "device/sim/SimTransport.h"
#include "device/sim/VirtualAmp.h"

namespace varnoth {

// Opens the virtual amplifier as if it were attached over USB: under the normal identifiers, or under the
// upgrade identifiers while the amplifier is in upgrade mode. It starts plugged in. Unplug() makes every
// open link vanish; a link opened before an unplug stays dead after the next Plug(), as a real handle does.
// Change the amplifier's upgrade mode while it is unplugged, as the user does by switching it off and on.
// A link that vanishes by its faults' vanishAfter unplugs the amplifier (when the provider is shared).
class SimProvider : public TransportProvider, public std::enable_shared_from_this<SimProvider> {
  public:
    static constexpr const char* kNormalPath = "sim:/vq317x";
    static constexpr const char* kUpgradePath = "sim:/vq317x-upgrade";

    // Told of every arrival (true) and removal (false) with the device path, on the thread that caused it.
    using Observer = std::function<void(bool arrived, const std::string& path)>;

    explicit SimProvider(std::shared_ptr<VirtualAmp> amp = std::make_shared<VirtualAmp>());

    OpenResult Open(UsbIds normal, UsbIds upgrade) override;

    void Unplug();
    void Plug();
    bool Plugged() const;

    // The path the amplifier has in its current mode.
    std::string Path() const;
    // The identifiers the amplifier presents in its current mode.
    UsbIds Ids() const;

    // Faults given to every link opened from now on.
    void SetFaults(const SimFaults& faults);
    SimFaults Faults() const;

    const std::shared_ptr<VirtualAmp>& Amp() const { return m_amp; }

    int AddObserver(Observer observer);
    void RemoveObserver(int id);

  private:
    void Notify(bool arrived, const std::string& path);

    const std::shared_ptr<VirtualAmp> m_amp;
    mutable std::mutex m_mutex;
    std::shared_ptr<std::atomic<bool>> m_presence;  // null while unplugged
    std::string m_pluggedPath;                      // the path announced at the last arrival
    SimFaults m_faults;
    std::map<int, Observer> m_observers;
    int m_nextObserver = 1;
};

}  // namespace varnoth
