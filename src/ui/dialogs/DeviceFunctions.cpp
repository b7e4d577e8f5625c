// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/DeviceFunctions.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "session/DeviceSession.h"
#include "ui/dialogs/DeviceCommandGate.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/FeatureHost.h"
#include "ui/dialogs/RemoteLearningDialog.h"

namespace varnoth {

DeviceFunctions::DeviceFunctions(DeviceSession& session, FeatureHost& host)
    : m_session(session), m_host(host) {}

void DeviceFunctions::ResetMode(int mode, QWidget& over) {
    if (!m_session.IsConnected()) {
        return;
    }
    DeviceSession& session = m_session;
    const int clamped = std::clamp(mode, 0, kModeCount - 1);
    SendAndReadBack([&session, clamped] { return session.ResetMode(clamped, false); },
                    FeatureText::NotConnected, clamped, over);
}

// The machine's settings, parameters and records all change: the panel reads them back, with the progress
// dialog, and shows what the amplifier now holds.
void DeviceFunctions::ResetMachine(QWidget& over) {
    const int language = m_host.Language();
    if (!m_host.Ask(over, QString::fromStdString(FeatureTextOf(FeatureText::ResetMachineCaption, language)),
                    QString::fromStdString(FeatureTextOf(FeatureText::ResetMachineQuestion, language)))) {
        return;
    }
    DeviceSession& session = m_session;
    SendAndReadBack([&session] { return session.ResetMachine(); }, FeatureText::ConnectFirst, kEveryMode,
                    over);
}

void DeviceFunctions::SendAndReadBack(std::function<bool()> reset, FeatureText withoutDevice, int mode,
                                      QWidget& over) {
    DeviceSession& session = m_session;
    FeatureHost& host = m_host;
    const int language = host.Language();
    const QPointer<QWidget> shownOver(&over);
    SendThenTell(
        session, over,
        [&session, reset = std::move(reset), withoutDevice, language]() -> FeatureNotice {
            std::optional<FeatureText> refusal = DeviceCommandGate::Obstacle(session);
            if (refusal == FeatureText::NotConnected) {
                refusal = withoutDevice;
            } else if (!refusal && !reset()) {
                refusal = FeatureText::NotReceived;
            }
            return refusal ? FeatureNoticeOf(*refusal, language) : FeatureNotice{};
        },
        [&session, &host, mode, shownOver](const FeatureNotice& refused) {
            if (!refused.text.empty()) {
                host.ShowNotice(QString::fromStdString(refused.text), refused.PeriodMs(kNoticeMs));
                return;
            }
            host.ModesReset(mode);
            session.SynchronizeData(false);
            host.ShowSyncDialog(shownOver);
        });
}

void DeviceFunctions::LearnRemote(QWidget& over) {
    RemoteLearningDialog remote(m_session, m_host, &over);
    remote.exec();
}

}  // namespace varnoth
