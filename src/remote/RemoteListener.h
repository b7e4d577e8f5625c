// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>

namespace varnoth {

class ConnectionGuard;

// The listening socket of the remote control: each connection it takes gets a ConnectionGuard; beyond
// kMaxConnections open HTTP connections a new one is closed at once, so that a flood of connections costs
// the amplifier and the other clients nothing.
class RemoteListener : public QTcpServer {
    Q_OBJECT
  public:
    static constexpr int kMaxConnections = 64;

    explicit RemoteListener(QObject* parent = nullptr);

    int OpenConnections() const { return m_open; }
    // The connection from peer has become a WebSocket: its guard lets it be.
    void Release(const QHostAddress& peer, quint16 port);

  protected:
    void incomingConnection(qintptr descriptor) override;

  private:
    int m_open = 0;
    QList<QPointer<ConnectionGuard>> m_guards;
};

}  // namespace varnoth
