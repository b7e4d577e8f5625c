// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/RemoteKeys.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "session/DeviceSession.h"
#include "session/RemoteCodes.h"
#include "ui/dialogs/DeviceCommandGate.h"
#include "ui/dialogs/FeatureTexts.h"

namespace varnoth {

namespace {

int Scaled(int units) {
    return static_cast<int>(std::lround(units * kKeyAreaScale));
}

}  // namespace

const RemoteKey* FindRemoteKey(int controlId) {
    const auto* key = std::find_if(kRemoteKeys.begin(), kRemoteKeys.end(),
                                   [controlId](const RemoteKey& k) { return k.id == controlId; });
    return key == kRemoteKeys.end() ? nullptr : key;
}

bool IsKeyAreaId(int controlId) {
    return controlId >= kFirstKeyAreaId && controlId <= kLastKeyAreaId;
}

DialogRect KeyAreaPixels(const RemoteKey& key) {
    return DialogRect{Scaled(key.area.x), Scaled(key.area.y), Scaled(key.area.width),
                      Scaled(key.area.height)};
}

std::string KeyPrompt(const RemoteKey& key, int language) {
    return language == 0 ? key.promptChinese : key.promptEnglish;
}

std::string KeyName(const RemoteKey& key, int language) {
    constexpr std::string_view kLeadIns[] = {"you are studying key is ", "您正在学习的键："};
    std::string name = KeyPrompt(key, language);
    for (const std::string_view leadIn : kLeadIns) {
        if (name.starts_with(leadIn)) {
            name.erase(0, leadIn.size());
        }
    }
    while (!name.empty() && name.back() == ' ') {
        name.pop_back();
    }
    return name;
}

std::string KeyCodeText(std::uint8_t code) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string{kDigits[code >> 4], kDigits[code & 0x0F]};
}

FeatureNotice ApplyRemoteKeys(DeviceSession& session, int language) {
    if (const std::optional<FeatureText> obstacle = DeviceCommandGate::Obstacle(session)) {
        return FeatureNoticeOf(*obstacle, language);
    }
    const int sent = session.GetRemote().ApplyIRSet();
    return FeatureNoticeOf(DeviceCommandGate::Outcome(sent, FeatureText::RemoteSaved), language);
}

FeatureNotice StartStudying(DeviceSession& session, const RemoteKey& key, int language) {
    if (const std::optional<FeatureText> obstacle = DeviceCommandGate::Obstacle(session)) {
        return FeatureNoticeOf(*obstacle, language);
    }
    if (!DeviceCommandGate::WentOut(session.GetRemote().StudyKey(key.index))) {
        return FeatureNoticeOf(FeatureText::NotReceived, language);
    }
    return {};
}

}  // namespace varnoth
