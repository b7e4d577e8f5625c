// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "ui/dialogs/UpgradeSession.h"

namespace varnoth::test {

// An upgrade session whose state the test sets; a start succeeds unless a transfer runs.
class FakeUpgradeSession : public UpgradeSession {
  public:
    bool IsConnected() const override { return connected; }
    bool InUpgradeMode() const override {
        ++modeLooks;
        return upStatus;
    }
    std::string DeviceDate() const override { return "2011-06-15"; }
    std::string ImageDate() const override { return "2011-11-28"; }
    bool CarriesImage() const override { return carries; }
    UpgradeResult CheckImageFile(const std::string&) const override { return fileCheck; }
    bool StartUpgrade() override { return Begin("carried"); }
    bool StartUpgrade(const std::string& path) override { return Begin(path); }
    bool IsUpgrading() const override { return upgrading; }
    int Progress() const override {
        ++progressLooks;
        return progress;
    }
    UpgradeResult LastOutcome() const override { return outcome; }

    bool connected = true;
    bool carries = true;
    bool upgrading = false;
    bool upStatus = true;
    int progress = 0;
    UpgradeResult fileCheck;
    UpgradeResult outcome;
    std::vector<std::string> started;
    // How often the dialog asked: what a test waits for to know that a look or a poll has happened.
    mutable int modeLooks = 0;
    mutable int progressLooks = 0;

  private:
    bool Begin(const std::string& what) {
        if (upgrading) {
            return false;
        }
        upgrading = true;
        started.push_back(what);
        return true;
    }
};

}  // namespace varnoth::test
