// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QSlider>

#include <unistd.h>

#include <filesystem>

#include "MainWindowFixture.h"
#include "ui/main/MainWindowTemplate.h"

namespace varnoth::test {
namespace {

using namespace mainwin;

using RemoteControlEntry = MainWindowTest;

// The window's "Remote control" entry switches the server on; a phone's edit through the installer's link
// then reaches the amplifier and shows on the window's slider, as the window's own edits do.
TEST_F(RemoteControlEntry, TheWindowAndAPhoneWorkTheSameAmplifier) {
    const QString tokens = QString::fromStdString(
        (std::filesystem::temp_directory_path() / ("varnoth-remote-" + std::to_string(getpid()))).string());
    const QByteArray stateHome = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", tokens.toUtf8());
    OpenSynchronised();
    auto* entry = Window().findChild<QAction*>("remoteControl");
    ASSERT_NE(entry, nullptr);
    entry->trigger();
    QCheckBox* on = nullptr;
    for (QCheckBox* box : Window().findChildren<QCheckBox*>()) {
        on = box->text() == "Remote control on" ? box : on;
    }
    ASSERT_NE(on, nullptr);
    on->setChecked(true);

    QString link;
    std::vector<QLabel*> codes;
    for (QLabel* label : Window().findChildren<QLabel*>()) {
        const QRegularExpressionMatch match =
            QRegularExpression(
                R"(Installer \(every parameter\):\n(http://127\.0\.0\.1:\d+/\?token=[0-9a-f]{32}))")
                .match(label->text());
        link = match.hasMatch() ? match.captured(1) : link;
        if (!label->pixmap().isNull() && label->pixmap().width() > 100) {
            codes.push_back(label);
        }
    }
    ASSERT_FALSE(link.isEmpty());
    EXPECT_EQ(codes.size(), 2U) << "a QR code per link";

    const QString token = link.section('=', 1);
    QNetworkAccessManager network;
    QNetworkRequest request(QUrl(link.section('?', 0, 0) + "api/v1/parameters"));
    request.setRawHeader("Authorization", "Bearer " + token.toUtf8());
    QNetworkReply* reply = network.sendCustomRequest(request, "PATCH", R"({"MicVol": {"raw": 23}})");
    QElapsedTimer timer;
    timer.start();
    while (!reply->isFinished() && timer.elapsed() < kDeadlineMs) {
        Drain();
    }
    EXPECT_EQ(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200)
        << reply->readAll().toStdString();
    Drain();
    EXPECT_EQ(Ctl<QSlider>(kMicVolSlider).value(), 23);
    EXPECT_EQ(DeviceValue(pos::MicVol), 23);
    std::filesystem::remove_all(tokens.toStdString());
    qputenv("XDG_STATE_HOME", stateHome);
}

}  // namespace
}  // namespace varnoth::test
