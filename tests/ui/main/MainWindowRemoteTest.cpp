// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractButton>
#include <QAction>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTest>
#include <QUrl>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "MainWindowFixture.h"
#include "ui/main/MainWindowTemplate.h"

namespace varnoth::test {
namespace {

using namespace mainwin;

// The remote control's tokens are kept in a folder of the test's own.
class RemoteControlEntry : public MainWindowTest {
  protected:
    void SetUp() override {
        m_stateHome = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", QByteArray::fromStdString(m_tokens.string()));
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        std::filesystem::remove_all(m_tokens);
        qputenv("XDG_STATE_HOME", m_stateHome);
    }

    // Opens the dialog from the window's entry.
    QDialog& OpenDialog() {
        auto* entry = Window().findChild<QAction*>("remoteControl");
        if (entry == nullptr) {
            ADD_FAILURE() << "no remote control entry";
            throw std::runtime_error("missing entry");
        }
        entry->trigger();
        Drain();
        for (QDialog* dialog : Window().findChildren<QDialog*>()) {
            if (dialog->isVisible() && dialog->findChild<QRadioButton*>() != nullptr) {
                return *dialog;
            }
        }
        ADD_FAILURE() << "the remote control dialog did not show";
        throw std::runtime_error("missing dialog");
    }

    // Clicks the check box or radio button of the dialog with this text on its box, as a hand does.
    void Click(QDialog& dialog, const QString& text) {
        for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
            if (button->text() == text) {
                const int middle = button->height() / 2;
                const QPoint at = button->mapTo(&dialog, QPoint(middle, middle));
                QWidget* hit = dialog.childAt(at);
                ASSERT_EQ(hit, button) << "something covers \"" << text.toStdString() << "\"";
                QTest::mouseClick(hit, Qt::LeftButton, {}, hit->mapFrom(&dialog, at));
                Drain();
                return;
            }
        }
        ADD_FAILURE() << "no button \"" << text.toStdString() << "\"";
    }

  private:
    std::filesystem::path m_tokens =
        std::filesystem::temp_directory_path() / ("varnoth-remote-" + std::to_string(getpid()));
    QByteArray m_stateHome;
};

// The window's "Remote control" entry switches the server on; a phone's edit through the installer's link
// then reaches the amplifier and shows on the window's slider, as the window's own edits do.
TEST_F(RemoteControlEntry, TheWindowAndAPhoneWorkTheSameAmplifier) {
    OpenSynchronised();
    QDialog& dialog = OpenDialog();
    Click(dialog, "Remote control on");

    QString link;
    for (QLineEdit* box : dialog.findChildren<QLineEdit*>()) {
        if (box->accessibleName() == "Installer (every parameter):") {
            link = box->text();
        }
    }
    ASSERT_TRUE(
        QRegularExpression(R"(^http://127\.0\.0\.1:\d+/\?token=[0-9a-f]{32}$)").match(link).hasMatch())
        << link.toStdString();

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
}

struct DialogTexts {
    int language;
    const char* on;
    const char* network;
    const char* phones;
};
constexpr DialogTexts kDialogTexts[] = {
    {0, "开启遥控", "本机的网络地址", "手机只能通过网络访问遥控面板：请选择“本机的网络地址”。"},
    {1, "Remote control on", "This computer's network addresses",
     "Phones reach the panel only over the network: choose \"This computer's network addresses\"."},
};

// Whether any label of the dialog shows this text.
bool Says(const QDialog& dialog, const QString& text) {
    const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
    return std::any_of(labels.begin(), labels.end(),
                       [&](const QLabel* label) { return label->isVisible() && label->text() == text; });
}

int QrCodes(const QDialog& dialog) {
    const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
    return static_cast<int>(std::count_if(labels.begin(), labels.end(), [](const QLabel* label) {
        return label->isVisible() && !label->pixmap().isNull();
    }));
}

std::string SizeOf(const QWidget& widget) {
    return std::to_string(widget.width()) + "x" + std::to_string(widget.height());
}

// The links the dialog shows, in labels or boxes.
QStringList Links(const QDialog& dialog) {
    QStringList texts;
    for (const QLineEdit* box : dialog.findChildren<QLineEdit*>()) {
        texts << box->text();
    }
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        texts << label->text();
    }
    QStringList links;
    const QRegularExpression link(R"(http://\S+)");
    for (const QString& text : texts) {
        for (const QRegularExpressionMatch& match : link.globalMatch(text)) {
            links << match.captured();
        }
    }
    return links;
}

bool IsLoopback(const QString& link) {
    return QHostAddress(QUrl(link).host()).isLoopback();
}

// A link to this computer only has no QR code, which no phone could open: the dialog says that phones need
// the network choice, by its caption. A link to a network address has its QR code. Switching the server on
// and off, or between the choices, leaves the dialog's size as it was.
TEST_F(RemoteControlEntry, OnlyLinksAPhoneCanOpenHaveQrCodesAndTheDialogKeepsItsSize) {
    for (const DialogTexts& texts : kDialogTexts) {
        SCOPED_TRACE(texts.language == 0 ? "Chinese" : "English");
        Open("normal", texts.language);
        QDialog& dialog = OpenDialog();
        const std::string off = SizeOf(dialog);

        Click(dialog, QString::fromUtf8(texts.on));
        const QStringList local = Links(dialog);
        ASSERT_EQ(local.size(), 2);
        for (const QString& link : local) {
            EXPECT_TRUE(link.startsWith("http://127.0.0.1:")) << link.toStdString();
        }
        EXPECT_EQ(QrCodes(dialog), 0) << "a QR code for this computer only";
        EXPECT_TRUE(Says(dialog, QString::fromUtf8(texts.phones))) << "no word of the network choice";
        EXPECT_EQ(SizeOf(dialog), off) << "switching the server on resized the dialog";

        Click(dialog, QString::fromUtf8(texts.network));
        const QStringList network = Links(dialog);
        ASSERT_EQ(network.size(), 2);
        const auto reachable = std::count_if(network.begin(), network.end(),
                                             [](const QString& link) { return !IsLoopback(link); });
        EXPECT_EQ(QrCodes(dialog), reachable) << "a QR code per link to a network address";
        EXPECT_FALSE(Says(dialog, QString::fromUtf8(texts.phones)));
        EXPECT_EQ(SizeOf(dialog), off) << "the network choice resized the dialog";

        Click(dialog, QString::fromUtf8(texts.on));
        EXPECT_EQ(QrCodes(dialog), 0);
        EXPECT_EQ(SizeOf(dialog), off) << "switching the server off resized the dialog";
        Close();
    }
}

}  // namespace
}  // namespace varnoth::test
