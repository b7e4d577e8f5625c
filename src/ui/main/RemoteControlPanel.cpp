// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/RemoteControlPanel.h"

#include <qrencode.h>

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QRadioButton>
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

QString In(const BilingualText& text, int language) {
    return QString::fromStdString(text.In(language));
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
        m_status = new QLabel(m_dialog);
        layout->addWidget(m_on, 0, 0, 1, 2);
        layout->addWidget(m_local, 1, 0);
        layout->addWidget(m_network, 1, 1);
        layout->addWidget(m_status, 2, 0, 1, 2);
        for (std::size_t i = 0; i < m_links.size(); ++i) {
            m_links[i] = new QLabel(m_dialog);
            m_links[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
            m_codes[i] = new QLabel(m_dialog);
            layout->addWidget(m_links[i], 3, static_cast<int>(i));
            layout->addWidget(m_codes[i], 4, static_cast<int>(i));
        }
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
                m_status->setText(error);
                m_on->setChecked(false);
                return;
            }
        }
    }
    ShowLinks();
}

void RemoteControlPanel::ShowLinks() {
    const int language = m_window.Language();
    const QStringList links = m_server ? m_server->Links() : QStringList();
    m_status->setText(m_server ? QString() : In(kOff, language));
    for (std::size_t i = 0; i < m_links.size(); ++i) {
        const bool shown = static_cast<qsizetype>(i) < links.size();
        m_links[i]->setText(shown ? In(i == 0 ? kInstaller : kStaff, language) + "\n" +
                                        links[static_cast<qsizetype>(i)]
                                  : QString());
        m_codes[i]->setPixmap(shown ? QrCode(links[static_cast<qsizetype>(i)]) : QPixmap());
    }
}

void RemoteControlPanel::ShowChanges(const ChangeSet& changes) {
    if (m_server) {
        m_server->ShowChanges(changes);
    }
}

void RemoteControlPanel::FollowVolumes(unsigned volumes) {
    if (m_server) {
        m_server->FollowVolumes(volumes);
    }
}

}  // namespace varnoth
