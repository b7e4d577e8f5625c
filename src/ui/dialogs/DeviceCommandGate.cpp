// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/DeviceCommandGate.h"

#include "device/Transport.h"
#include "session/DeviceSession.h"

namespace varnoth {

std::optional<FeatureText> DeviceCommandGate::Obstacle(const DeviceSession& session) {
    if (!session.IsConnected()) {
        return FeatureText::NotConnected;
    }
    if (session.InUpgradeMode()) {
        return FeatureText::InUpgradeMode;
    }
    return std::nullopt;
}

bool DeviceCommandGate::WentOut(int sent) {
    return sent == static_cast<int>(kReportSize);
}

}  // namespace varnoth
