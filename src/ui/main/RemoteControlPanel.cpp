// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/RemoteControlPanel.h"

#include <qrencode.h>

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QHostAddress>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QRadioButton>
#include <QUrl>
#include <array>

#include "remote/RemoteServer.h"
#include "remote/RemoteTokens.h"
#include "session/MachineRules.h"
#include "ui/main/MainWindow.h"

namespace varnoth {
namespace {

// The dialog's texts, Chinese and English.
const BilingualText kTitle{"遥控", "Remote control"};
const BilingualText kEntry{"遥控...", "Remote control..."};
const BilingualText kOn{"开启遥控", "Remote control on"};
const BilingualText kLocal{"仅本机", "This computer only"};
const BilingualText kNetwork{"本机的网络地址", "This computer's network addresses"};
const BilingualText kInstaller{"安装人员(全部参数):", "Installer (every parameter):"};
const BilingualText kStaff{"工作人员(音量与模式):", "Staff (volumes and modes):"};
const BilingualText kOff{"遥控已关闭。", "Remote control is off."};
// Why a link has no QR code: %1 is the network choice's caption.
const BilingualText kChooseNetwork{"手机只能通过网络访问遥控面板：请选择“%1”。",
                                   "Phones reach the panel only over the network: choose \"%1\"."};
const BilingualText kNoNetwork{"未找到本机的网络地址，手机无法访问遥控面板。",
                               "This computer has no network address: phones cannot reach the panel."};

QString In(const BilingualText& text, int language) {
    return QString::fromStdString(text.In(language));
}

// A link to this computer itself, which no phone can open.
bool IsLoopback(const QString& link) {
    return QHostAddress(QUrl(link).host()).isLoopback();
}

// The QR code of a link, each module four pixels with a quiet zone of four modules.
QPixmap QrCode(const QString& text) {
    QRcode* code = QRcode_encodeString(text.toUtf8().constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
    if (code == nullptr) {
        return {};
    }
    constexpr int kScale = 4;
    constexpr int kQuiet = 4;
    const int size = code->width + 2 * kQuiet;
    QImage image(size, size, QImage::Format_Mono);
    image.fill(0);
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            if ((code->data[y * code->width + x] & 1) != 0) {
                image.setPixel(x + kQuiet, y + kQuiet, 1);
            }
        }
    }
    QRcode_free(code);
    image.setColor(0, qRgb(255, 255, 255));
    image.setColor(1, qRgb(0, 0, 0));
    return QPixmap::fromImage(image.scaled(size * kScale, size * kScale));
}

// The side of the largest QR code a link to a network address makes: the longest address and port, a token
// of letters.
int LargestCodeSide() {
    return QrCode(QStringLiteral("http://255.255.255.255:65535/?token=") + QString(32, QLatin1Char('f')))
        .width();
}

}  // namespace

RemoteControlPanel::RemoteControlPanel(MainWindow& window, DeviceSession& session, QMenu& menu)
    : QObject(&window), m_window(window), m_session(session) {
    m_action = menu.addAction(In(kEntry, window.Language()), this, &RemoteControlPanel::ShowDialog);
    m_action->setObjectName(QStringLiteral("remoteControl"));
}

RemoteControlPanel::~RemoteControlPanel() = default;

void RemoteControlPanel::ShowLanguage() {
    m_action->setText(In(kEntry, m_window.Language()));
}

void RemoteControlPanel::ShowDialog() {
    const int language = m_window.Language();
    if (m_dialog == nullptr) {
        m_dialog = new QDialog(&m_window);
        auto* layout = new QGridLayout(m_dialog);
        m_on = new QCheckBox(m_dialog);
        m_local = new QRadioButton(m_dialog);
        m_network = new QRadioButton(m_dialog);
        m_local->setChecked(true);
        layout->addWidget(m_on, 0, 0, 1, 2);
        layout->addWidget(m_local, 1, 0, 1, 2);
        layout->addWidget(m_network, 2, 0, 1, 2);
        // Room for the largest QR codes whether they show or not, so that the dialog keeps its size; a
        // link too long for its column scrolls in its box. What the dialog has to say shows in their place.
        const int side = LargestCodeSide();
        for (std::size_t i = 0; i < m_links.size(); ++i) {
            const int column = static_cast<int>(i);
            m_roles[i] = new QLabel(m_dialog);
            m_roles[i]->setWordWrap(true);
            m_links[i] = new QLineEdit(m_dialog);
            m_links[i]->setReadOnly(true);
            m_roles[i]->setBuddy(m_links[i]);
            m_codes[i] = new QLabel(m_dialog);
            m_codes[i]->setFixedSize(side, side);
            m_codes[i]->setAlignment(Qt::AlignCenter);
            layout->setColumnMinimumWidth(column, side);
            layout->addWidget(m_roles[i], 3, column, Qt::AlignBottom);
            layout->addWidget(m_links[i], 4, column);
            layout->addWidget(m_codes[i], 5, column);
        }
        m_message = new QLabel(m_dialog);
        m_message->setWordWrap(true);
        m_message->setAlignment(Qt::AlignCenter);
        layout->addWidget(m_message, 5, 0, 1, 2);
        connect(m_on, &QCheckBox::toggled, this, &RemoteControlPanel::Apply);
        connect(m_network, &QRadioButton::toggled, this, &RemoteControlPanel::Apply);
    }
    m_dialog->setWindowTitle(In(kTitle, language));
    m_on->setText(In(kOn, language));
    m_local->setText(In(kLocal, language));
    m_network->setText(In(kNetwork, language));
    ShowLinks();
    m_dialog->show();
    m_dialog->raise();
}

void RemoteControlPanel::Apply() {
    m_server.reset();
    if (m_on->isChecked()) {
        if (!m_tokens) {
            std::string error;
            m_tokens = std::make_unique<RemoteTokens>(
                RemoteTokens::LoadOrCreate(RemoteTokens::DefaultPath(), false, error));
        }
        const QHostAddress address = m_network->isChecked() ? QHostAddress::Any : QHostAddress::LocalHost;
        m_server = std::make_unique<RemoteServer>(m_session, *m_tokens, false);
        QString error;
        // The usual port when it is free, else any.
        if (!m_server->Listen(address, RemoteServer::kDefaultPort, error)) {
            m_server = std::make_unique<RemoteServer>(m_session, *m_tokens, false);
            if (!m_server->Listen(address, 0, error)) {
                m_server.reset();
                m_on->setChecked(false);
                m_message->setText(error);
                return;
            }
        }
    }
    ShowLinks();
}

void RemoteControlPanel::ShowLinks() {
    const int language = m_window.Language();
    const QStringList links = m_server ? m_server->Links() : QStringList();
    bool unreachable = false;
    for (std::size_t i = 0; i < m_links.size(); ++i) {
        const bool shown = static_cast<qsizetype>(i) < links.size();
        const QString link = shown ? links[static_cast<qsizetype>(i)] : QString();
        m_roles[i]->setText(In(i == 0 ? kInstaller : kStaff, language));
        m_links[i]->setText(link);
        m_links[i]->setCursorPosition(0);
        m_links[i]->setToolTip(link);
        m_links[i]->setAccessibleName(m_roles[i]->text());
        m_links[i]->setEnabled(shown);
        const bool coded = shown && !IsLoopback(link);
        unreachable = unreachable || (shown && !coded);
        m_codes[i]->setPixmap(coded ? QrCode(link) : QPixmap());
    }
    if (!m_server) {
        m_message->setText(In(kOff, language));
    } else if (!unreachable) {
        m_message->clear();
    } else {
        m_message->setText(m_local->isChecked() ? In(kChooseNetwork, language).arg(m_network->text())
                                                : In(kNoNetwork, language));
    }
}

void RemoteControlPanel::FollowVolumes(unsigned volumes) {
    if (m_server) {
        m_server->FollowVolumes(volumes);
    }
}

}  // namespace varnoth
