// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/UpgradeFlow.h"

#include "ui/dialogs/FeatureTexts.h"
#include "ui/dialogs/UpgradeSession.h"

namespace varnoth {

UpgradeFlow::UpgradeFlow(UpgradeSession& session) : m_session(session) {}

bool UpgradeFlow::MayAsk() const {
    return !m_session.IsUpgrading();
}

bool UpgradeFlow::MayClose() const {
    return !m_session.IsUpgrading();
}

FeatureNotice UpgradeFlow::Obstacle(int language) const {
    if (!m_session.IsConnected()) {
        return FeatureNoticeOf(FeatureText::NotConnected, language);
    }
    if (m_session.IsUpgrading()) {
        return FeatureNoticeOf(FeatureText::UpgradeBusy, language);
    }
    return {};
}

UpgradeFlow::Start UpgradeFlow::Check(int language) const {
    if (FeatureNotice obstacle = Obstacle(language); !obstacle.text.empty()) {
        return Start{false, obstacle, {}};
    }
    // In normal mode the amplifier ignores an image: nothing is sent, and the user learns how to switch.
    if (!m_session.InUpgradeMode()) {
        return Start{
            false,
            {UpgradeDetailOf(UpgradeResult::Failed(UpgradeFault::NotUpgradeMode, {}), language), true},
            {},
            true};
    }
    return Start{true, {}, {}};
}

UpgradeFlow::Start UpgradeFlow::StartCarried(int language) {
    if (Start check = Check(language); !check.started) {
        return check;
    }
    if (!m_session.CarriesImage()) {
        return Start{false, FeatureNoticeOf(FeatureText::UpgradeNoImage, language), {}};
    }
    if (!m_session.StartUpgrade()) {
        return Start{false, FeatureNoticeOf(FeatureText::UpgradeBusy, language), {}};
    }
    return Start{true, {}, {}};
}

UpgradeFlow::Start UpgradeFlow::StartFile(const std::string& path, int language) {
    if (Start check = Check(language); !check.started) {
        return check;
    }
    if (const UpgradeResult check = m_session.CheckImageFile(path); check.fault != UpgradeFault::None) {
        return Start{false, FeatureNoticeOf(FeatureText::UpgradeRefused, language),
                     UpgradeDetailOf(check, language)};
    }
    if (!m_session.StartUpgrade(path)) {
        return Start{false, FeatureNoticeOf(FeatureText::UpgradeBusy, language), {}};
    }
    return Start{true, {}, {}};
}

UpgradeFlow::Completion UpgradeFlow::Done(int language) const {
    const UpgradeResult outcome = m_session.LastOutcome();
    if (outcome.sent) {
        return Completion{true, FeatureNoticeOf(FeatureText::UpgradeDone, language), {}};
    }
    const FeatureText heading =
        m_session.IsConnected() ? FeatureText::UpgradeFailed : FeatureText::UpgradeDeviceGone;
    return Completion{false, FeatureNoticeOf(heading, language), UpgradeDetailOf(outcome, language)};
}

std::string UpgradeFlow::ProgressText(int percent) {
    return std::to_string(percent) + "%";
}

}  // namespace varnoth
