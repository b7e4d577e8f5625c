// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

#include "remote/RemoteMessage.h"
#include "remote/RemoteRights.h"
#include "session/EditHistory.h"

namespace varnoth {

class DeviceSession;

// The edits of the remote control: a preset's values (the command line's readable preset JSON, the body
// of PATCH /api/v1/parameters and the messages of the events socket) set as one undoable step, whole or
// not at all, and undo and redo of those steps.
//
// A preset is checked whole before anything is sent: JSON, names, raw ranges (422 with every problem),
// the token's rights (403: a parameter outside them, or a machine setting, IR key or reserved byte, which
// no token sets), the master volumes' maximum and lock of the amplifier's machine settings (422 with the
// panel's notice). Used on the thread that owns the remote control.
class RemoteEdits {
  public:
    // offline: there is no amplifier by design (the command line's --offline) and the store alone takes
    // edits; otherwise an edit without a connected amplifier is refused (503), as nothing would reach it.
    RemoteEdits(DeviceSession& session, bool offline);

    RemoteResponse Patch(RemoteRole role, std::string_view body);
    // Undoes (undo) or redoes the latest step; 409 when there is none, 403 when it changed a parameter
    // outside the token's rights.
    RemoteResponse Step(RemoteRole role, bool undo);
    // The amplifier itself turned the master volumes of the bits (bit 0 mic .. bit 3 sub): no step writes
    // them back.
    void Follow(unsigned volumes);

    // Whether edits may go out now; the refusal otherwise.
    bool Refused(RemoteResponse& refusal) const;

  private:
    DeviceSession& m_session;
    bool m_offline;
    EditHistory m_history;
    unsigned m_gesture = 0;
};

}  // namespace varnoth
