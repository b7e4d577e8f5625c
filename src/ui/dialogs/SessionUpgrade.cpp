// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/SessionUpgrade.h"

#include <cstdint>
#include <vector>

#include "session/CarriedFirmware.h"
#include "session/DeviceSession.h"
#include "session/FirmwareUpgrade.h"

namespace varnoth {

bool SessionUpgrade::IsConnected() const {
    return m_session.IsConnected();
}

bool SessionUpgrade::InUpgradeMode() const {
    return m_session.InUpgradeMode();
}

std::string SessionUpgrade::DeviceDate() const {
    return m_session.GetDevDate();
}

std::string SessionUpgrade::ImageDate() const {
    return m_session.GetCurDevDate();
}

bool SessionUpgrade::CarriesImage() const {
    // The virtual amplifier takes the test image; hardware only the image the build carries.
    return m_session.IsSimulated() || !CarriedFirmwareImage().empty();
}

UpgradeResult SessionUpgrade::CheckImageFile(const std::string& path) const {
    std::vector<std::uint8_t> image;
    return FirmwareUpgrade::ReadImageFile(path, image);
}

bool SessionUpgrade::StartUpgrade() {
    return m_session.TryUpgrade();
}

bool SessionUpgrade::StartUpgrade(const std::string& path) {
    return m_session.TryManualUpgrade(path);
}

bool SessionUpgrade::IsUpgrading() const {
    return m_session.IsUpgrading();
}

int SessionUpgrade::Progress() const {
    return m_session.GetUpProgress();
}

UpgradeResult SessionUpgrade::LastOutcome() const {
    return m_session.LastUpgradeResult();
}

}  // namespace varnoth
