// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "session/FirmwareUpgrade.h"

namespace varnoth {

// What the upgrade dialog needs of the device session: the connection and its upgrade mode, the two
// firmware dates, and the upgrade thread (it pauses, sends an image, then the session's owner is told that
// it has ended). Calls come from the user-interface thread.
class UpgradeSession {
  public:
    virtual ~UpgradeSession() = default;

    virtual bool IsConnected() const = 0;
    // The connected device enumerated under the upgrade identifiers.
    virtual bool InUpgradeMode() const = 0;
    // The device's firmware date as last read, and the date of the image the program carries ("2011-11-28").
    virtual std::string DeviceDate() const = 0;
    virtual std::string ImageDate() const = 0;
    // Whether there is an image for the automatic upgrade: the one the build carries (the virtual amplifier
    // takes a test image).
    virtual bool CarriesImage() const = 0;
    // Fault None when the image file can be sent, else why not.
    virtual UpgradeResult CheckImageFile(const std::string& path) const = 0;

    // Start the upgrade thread with the carried image or with an image file; false when a transfer is
    // already under way (nothing starts then).
    virtual bool StartUpgrade() = 0;
    virtual bool StartUpgrade(const std::string& path) = 0;
    // From a start until the transfer has ended.
    virtual bool IsUpgrading() const = 0;
    // Percent of the image sent by the transfer under way or the last one.
    virtual int Progress() const = 0;
    // What the last transfer came to; set before the owner is told that it has ended.
    virtual UpgradeResult LastOutcome() const = 0;
};

}  // namespace varnoth
