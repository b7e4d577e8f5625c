// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/ConnectionGuard.h"

#include <QTcpSocket>

namespace varnoth {

ConnectionGuard::ConnectionGuard(QTcpSocket* socket, int& open)
    : QObject(socket), m_socket(socket), m_open(open) {
    ++m_open;
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &ConnectionGuard::Close);
    connect(socket, &QTcpSocket::readyRead, this, &ConnectionGuard::Received);
    connect(socket, &QTcpSocket::bytesWritten, this, &ConnectionGuard::Answered);
    m_deadline.start(kSlowRequestMs);
}

ConnectionGuard::~ConnectionGuard() {
    Release();
}

void ConnectionGuard::Release() {
    m_deadline.stop();
    if (m_counted) {
        m_counted = false;
        --m_open;
    }
}

bool ConnectionGuard::Watches(const QHostAddress& peer, quint16 port) const {
    return m_socket->peerPort() == port && m_socket->peerAddress() == peer;
}

void ConnectionGuard::Received() {
    if (!m_counted) {
        return;
    }
    // The HTTP library reads whatever has arrived after this slot: what is waiting now is new.
    m_pending += m_socket->bytesAvailable();
    if (m_pending > kMaxRequest) {
        m_socket->write("HTTP/1.1 413 Payload Too Large\r\nConnection: close\r\nContent-Length: 0\r\n\r\n");
        m_socket->flush();
        Close();
        return;
    }
    if (!m_deadline.isActive() || m_deadline.interval() != kSlowRequestMs) {
        m_deadline.start(kSlowRequestMs);
    }
}

void ConnectionGuard::Answered() {
    if (!m_counted) {
        return;
    }
    m_pending = 0;
    m_deadline.start(kIdleMs);
}

void ConnectionGuard::Close() {
    Release();
    m_socket->abort();
}

}  // namespace varnoth
