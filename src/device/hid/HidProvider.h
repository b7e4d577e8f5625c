// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/Transport.h"
#include "device/hid/HidBackend.h"
#include "device/hid/HidTransport.h"

namespace varnoth {

// One amplifier as the device list shows it.
struct AmplifierListing {
    std::string path;
    UsbIds ids;
    bool upgradeMode = false;
    std::string product;
};

// Every amplifier present: those under the normal identifiers first, then those in upgrade mode; an
// interface listed more than once appears once.
std::vector<AmplifierListing> ListAmplifiers(HidBackend& backend, UsbIds normal = kNormalIds,
                                             UsbIds upgrade = kUpgradeIds);

// The file that grants the logged-in user access to the amplifier, where an install puts it.
std::string InstalledUdevRulePath();

// What the user is told when an amplifier is present but may not be opened.
std::string AccessDeniedMessage(const std::string& path);

// Opens the amplifier over HID: the first interface that opens, normal identifiers before upgrade
// identifiers, wherever the system enumerates it.
class HidProvider : public TransportProvider {
  public:
    explicit HidProvider(std::shared_ptr<HidBackend> backend, HidTiming timing = {});

    // Runs with the device's path when an open transport finds that its device has gone, on the thread
    // that noticed (usually the transport's reader): the handler must hand the removal on, not stop the
    // reader itself. The device watcher reports the same removal as well.
    void SetVanishedHandler(std::function<void(const std::string& path)> handler);

    OpenResult Open(UsbIds normal, UsbIds upgrade) override;

  private:
    std::shared_ptr<HidBackend> m_backend;
    HidTiming m_timing;
    std::function<void(const std::string&)> m_onVanished;
};

}  // namespace varnoth
