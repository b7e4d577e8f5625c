// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <array>
#include <memory>

class QAction;
class QCheckBox;
class QDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;

namespace varnoth {

class DeviceSession;
class MainWindow;
class RemoteServer;
class RemoteTokens;

// The window's "Remote control" entry (in its background menu and its menu bar): a dialog that switches the
// remote control's server on and off, for this computer only or for its network addresses, and shows the two
// links as text and, for an address a phone can reach, as QR codes; a link to this computer only comes with
// a note that phones need the network choice instead. The dialog keeps its size whether the server is on or
// off. Off until the user switches it on. The window hands it the store's changes and the volumes the
// amplifier turned itself, as it takes them.
class RemoteControlPanel : public QObject {
    Q_OBJECT
  public:
    RemoteControlPanel(MainWindow& window, DeviceSession& session, QMenu& menu);
    ~RemoteControlPanel() override;

    void FollowVolumes(unsigned volumes);
    bool Serving() const { return m_server != nullptr; }
    // The entry that opens the dialog, in the background menu and the menu bar.
    QAction* Action() const { return m_action; }
    // The entry's text in the window's language.
    void ShowLanguage();

  private:
    void ShowDialog();
    void Apply();
    void ShowLinks();

    MainWindow& m_window;
    DeviceSession& m_session;
    QAction* m_action;
    std::unique_ptr<RemoteTokens> m_tokens;
    std::unique_ptr<RemoteServer> m_server;
    QDialog* m_dialog = nullptr;
    QCheckBox* m_on = nullptr;
    QRadioButton* m_local = nullptr;
    QRadioButton* m_network = nullptr;
    std::array<QLabel*, 2> m_roles{};
    std::array<QLineEdit*, 2> m_links{};
    std::array<QLabel*, 2> m_codes{};
    // Where the QR codes are not: why not.
    QLabel* m_message = nullptr;
};

}  // namespace varnoth
