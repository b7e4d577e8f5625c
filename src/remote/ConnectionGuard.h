// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHostAddress>
#include <QObject>
#include <QTimer>

class QTcpSocket;

namespace varnoth {

// Watches one HTTP connection before the HTTP library reads it: a request that grows beyond kMaxRequest
// bytes (request line, headers and body) before the server answers, or that is not whole within
// kSlowRequest, closes the connection; so does a connection left idle for kIdle. A child of its socket;
// released once the connection has become a WebSocket, which bounds its own messages.
class ConnectionGuard : public QObject {
    Q_OBJECT
  public:
    static constexpr qint64 kMaxRequest = 80 * 1024;
    static constexpr int kSlowRequestMs = 10'000;
    static constexpr int kIdleMs = 60'000;

    // open counts the guarded connections; the guard holds one of them while it lives and is not released.
    ConnectionGuard(QTcpSocket* socket, int& open);
    ~ConnectionGuard() override;

    ConnectionGuard(const ConnectionGuard&) = delete;
    ConnectionGuard& operator=(const ConnectionGuard&) = delete;

    // The connection is a WebSocket now.
    void Release();
    bool Watches(const QHostAddress& peer, quint16 port) const;

  private:
    void Received();
    void Answered();
    void Close();

    QTcpSocket* m_socket;
    int& m_open;
    bool m_counted = true;
    qint64 m_pending = 0;
    QTimer m_deadline;
};

}  // namespace varnoth
