// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractHttpServer>
#include <QHostAddress>
#include <QList>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <vector>

#include "remote/RemoteAccess.h"
#include "remote/RemoteApi.h"
#include "remote/RemoteEdits.h"
#include "session/ChangeFeed.h"
#include "session/StoreChanges.h"

class QWebSocket;

namespace varnoth {

class DeviceSession;
class RemoteListener;

// The remote control's server: HTTP from Qt's HTTP server, the events over Qt's WebSockets, the requests
// answered by RemoteApi. Lives on the thread that owns the session's views (the window's, or the main
// thread of varnoth-cli serve). It takes the store's changes itself, as a subscriber of the store's change
// feed, on its own thread (ShowChanges); its owner tells it of the volumes the amplifier turned itself
// (FollowVolumes). Sends the levels to the events clients ten times a second.
class RemoteServer : public QAbstractHttpServer {
    Q_OBJECT
  public:
    static constexpr quint16 kDefaultPort = 8431;
    static constexpr int kMaxClients = 32;
    // A client that leaves this much unread is closed: it would hold the others' memory.
    static constexpr qint64 kMaxBacklog = 1 << 20;
    static constexpr int kLevelsMs = 100;

    RemoteServer(DeviceSession& session, const RemoteTokens& tokens, bool offline, QObject* parent = nullptr);
    ~RemoteServer() override;

    // Listens on address:port (port 0: a free one); the error otherwise. Any address answers to every
    // address of this computer's network interfaces.
    bool Listen(const QHostAddress& address, quint16 port, QString& error);
    quint16 Port() const;
    // http://HOST:PORT/?token=TOKEN for the installer, then for the staff.
    QStringList Links() const;
    int EventClients() const { return static_cast<int>(m_clients.size()); }

    // The store's changes: sent to every events client.
    void ShowChanges(const ChangeSet& changes);
    void FollowVolumes(unsigned volumes);

  protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

  private:
    struct Client {
        std::unique_ptr<QWebSocket> socket;
        RemoteRole role;
    };

    void AcceptWebSockets();
    void Admit(std::unique_ptr<QWebSocket> socket);
    void Received(QWebSocket* socket, const QString& message);
    void Drop(QWebSocket* socket);
    void Broadcast(const QByteArray& text);
    void SendLevels();

    DeviceSession& m_session;
    const RemoteTokens& m_tokens;
    RemoteListener* m_listener = nullptr;
    QHostAddress m_address;
    std::unique_ptr<RemoteAccess> m_access;
    RemoteEdits m_edits;
    std::unique_ptr<RemoteApi> m_api;
    std::vector<Client> m_clients;
    QTimer m_levels;
    // Last: it stops the store's wakes before anything they reach goes.
    ChangeFeed::Subscription m_changes;
};

}  // namespace varnoth
