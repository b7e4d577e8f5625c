// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/RemoteListener.h"

#include <unistd.h>

#include <QTcpSocket>

#include "remote/ConnectionGuard.h"

namespace varnoth {

RemoteListener::RemoteListener(QObject* parent) : QTcpServer(parent) {
    setMaxPendingConnections(kMaxConnections);
}

void RemoteListener::incomingConnection(qintptr descriptor) {
    if (m_open >= kMaxConnections) {
        ::close(static_cast<int>(descriptor));
        return;
    }
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        ::close(static_cast<int>(descriptor));
        return;
    }
    m_guards.removeIf([](const QPointer<ConnectionGuard>& guard) { return guard.isNull(); });
    m_guards.append(new ConnectionGuard(socket, m_open));
    addPendingConnection(socket);
}

void RemoteListener::Release(const QHostAddress& peer, quint16 port) {
    for (const QPointer<ConnectionGuard>& guard : m_guards) {
        if (guard && guard->Watches(peer, port)) {
            guard->Release();
        }
    }
}

}  // namespace varnoth
