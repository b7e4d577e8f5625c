// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include "ui/dialogs/FeatureTexts.h"

namespace varnoth {

class DeviceSession;

// Whether a command of a feature dialog can reach the amplifier now. Nothing is sent when it cannot: without
// a connection there is nobody to send to, and an amplifier in upgrade mode waits for firmware and ignores
// everything else.
class DeviceCommandGate {
  public:
    // The notice that says why not, or nothing when the command may go out.
    static std::optional<FeatureText> Obstacle(const DeviceSession& session);

    // Whether a command went out whole; sent is the count the link took.
    static bool WentOut(int sent);
    // After sending: `done` when the command went out, otherwise that the amplifier did not receive it.
    static FeatureText Outcome(int sent, FeatureText done) {
        return WentOut(sent) ? done : FeatureText::NotReceived;
    }
};

}  // namespace varnoth
