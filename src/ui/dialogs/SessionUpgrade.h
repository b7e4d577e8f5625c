// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/dialogs/UpgradeSession.h"

namespace varnoth {

class DeviceSession;

// The device session as the upgrade dialog sees it. Calls come from the user-interface thread.
class SessionUpgrade : public UpgradeSession {
  public:
    explicit SessionUpgrade(DeviceSession& session) : m_session(session) {}

    bool IsConnected() const override;
    bool InUpgradeMode() const override;
    std::string DeviceDate() const override;
    std::string ImageDate() const override;
    bool CarriesImage() const override;
    UpgradeResult CheckImageFile(const std::string& path) const override;
    bool StartUpgrade() override;
    bool StartUpgrade(const std::string& path) override;
    bool IsUpgrading() const override;
    int Progress() const override;
    UpgradeResult LastOutcome() const override;

  private:
    DeviceSession& m_session;
};

}  // namespace varnoth
