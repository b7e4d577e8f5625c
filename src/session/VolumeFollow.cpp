// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/VolumeFollow.h"

namespace varnoth {

FollowHold VolumeFollow::Hold(const FollowConditions& conditions) {
    if (!conditions.connected) {
        return FollowHold::NotConnected;
    }
    if (conditions.synchronising) {
        return FollowHold::Synchronising;
    }
    if (conditions.transferring) {
        return FollowHold::Transferring;
    }
    if (!conditions.answering) {
        return FollowHold::NotAnswering;
    }
    if (conditions.dragging) {
        return FollowHold::Dragging;
    }
    return FollowHold::None;
}

bool VolumeFollow::Due(Clock::time_point now, const FollowConditions& conditions) const {
    if (Hold(conditions) != FollowHold::None) {
        return false;
    }
    return now - m_lastRead >= m_interval - m_interval / 10;
}

}  // namespace varnoth
