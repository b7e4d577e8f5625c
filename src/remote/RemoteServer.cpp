// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/RemoteServer.h"

#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QNetworkInterface>
#include <QTcpSocket>
#include <QWebSocket>
#include <algorithm>
#include <array>

#include "remote/RemoteJson.h"
#include "remote/RemoteListener.h"
#include "session/DeviceSession.h"

// The resource registration macro must be used outside any namespace.
static void RegisterPageResources() {
    Q_INIT_RESOURCE(page);
}

namespace varnoth {
namespace {

struct MethodName {
    QHttpServerRequest::Method method;
    const char* name;
};

constexpr std::array<MethodName, 9> kMethods{{
    {QHttpServerRequest::Method::Get, "GET"},
    {QHttpServerRequest::Method::Put, "PUT"},
    {QHttpServerRequest::Method::Delete, "DELETE"},
    {QHttpServerRequest::Method::Post, "POST"},
    {QHttpServerRequest::Method::Head, "HEAD"},
    {QHttpServerRequest::Method::Options, "OPTIONS"},
    {QHttpServerRequest::Method::Patch, "PATCH"},
    {QHttpServerRequest::Method::Connect, "CONNECT"},
    {QHttpServerRequest::Method::Trace, "TRACE"},
}};

// The page's files, carried by the program.
struct PageFile {
    std::string_view path;
    const char* resource;
    const char* type;
};

constexpr std::array<PageFile, 3> kPageFiles{{
    {"/index.html", ":/remote/page/index.html", "text/html; charset=utf-8"},
    {"/app.js", ":/remote/page/app.js", "text/javascript; charset=utf-8"},
    {"/style.css", ":/remote/page/style.css", "text/css; charset=utf-8"},
}};

std::optional<RemoteResponse> PageFileAt(std::string_view path) {
    const auto* file =
        std::find_if(kPageFiles.begin(), kPageFiles.end(), [&](const PageFile& f) { return f.path == path; });
    if (file == kPageFiles.end()) {
        return std::nullopt;
    }
    QFile resource(QString::fromUtf8(file->resource));
    if (!resource.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray bytes = resource.readAll();
    return RemoteResponse{200, file->type, bytes.toStdString(), {}};
}

std::string Header(const QList<QPair<QByteArray, QByteArray>>& headers, const char* name) {
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0) {
            return value.toStdString();
        }
    }
    return {};
}

// The HOST:PORT texts of an address, as a browser writes them in Host and Origin.
QString HostText(const QHostAddress& address, quint16 port) {
    const QString text = address.protocol() == QAbstractSocket::IPv6Protocol ? "[" + address.toString() + "]"
                                                                             : address.toString();
    return text + ":" + QString::number(port);
}

}  // namespace

RemoteServer::RemoteServer(DeviceSession& session, const RemoteTokens& tokens, bool offline, QObject* parent)
    : QAbstractHttpServer(parent),
      m_session(session),
      m_tokens(tokens),
      m_edits(session, offline),
      m_changes(session.Store().Changes(), [this] {
          // On the thread that changed the store: the changes are taken on this object's thread.
          QMetaObject::invokeMethod(
              this, [this] { ShowChanges(m_changes.Take()); }, Qt::QueuedConnection);
      }) {
    RegisterPageResources();
    connect(this, &QAbstractHttpServer::newWebSocketConnection, this, &RemoteServer::AcceptWebSockets);
    connect(&m_levels, &QTimer::timeout, this, &RemoteServer::SendLevels);
}

RemoteServer::~RemoteServer() = default;

bool RemoteServer::Listen(const QHostAddress& address, quint16 port, QString& error) {
    m_listener = new RemoteListener(this);
    if (!m_listener->listen(address, port)) {
        error = m_listener->errorString();
        return false;
    }
    bind(m_listener);
    m_address = address;
    const quint16 bound = m_listener->serverPort();
    std::vector<std::string> hosts;
    const bool anyAddress =
        address == QHostAddress::Any || address == QHostAddress::AnyIPv4 || address == QHostAddress::AnyIPv6;
    const QList<QHostAddress> addresses = anyAddress ? QNetworkInterface::allAddresses() : QList{address};
    for (const QHostAddress& each : addresses) {
        QHostAddress plain = each;
        plain.setScopeId({});
        hosts.push_back(HostText(plain, bound).toStdString());
        if (each.isLoopback()) {
            hosts.push_back("localhost:" + std::to_string(bound));
        }
    }
    m_access = std::make_unique<RemoteAccess>(m_tokens, std::move(hosts));
    m_api = std::make_unique<RemoteApi>(m_session, *m_access, m_edits, PageFileAt);
    m_levels.start(kLevelsMs);
    return true;
}

quint16 RemoteServer::Port() const {
    return m_listener != nullptr ? m_listener->serverPort() : 0;
}

QStringList RemoteServer::Links() const {
    QHostAddress shown = m_address;
    if (m_address == QHostAddress::Any || m_address == QHostAddress::AnyIPv4 ||
        m_address == QHostAddress::AnyIPv6) {
        // The first address of this computer that a phone on the network can reach.
        shown = QHostAddress::LocalHost;
        for (const QHostAddress& each : QNetworkInterface::allAddresses()) {
            if (!each.isLoopback() && each.protocol() == QAbstractSocket::IPv4Protocol) {
                shown = each;
                break;
            }
        }
    }
    QStringList links;
    for (const RemoteRole role : {RemoteRole::Installer, RemoteRole::Staff}) {
        links << "http://" + HostText(shown, Port()) + "/?token=" + QString::fromStdString(m_tokens.Of(role));
    }
    return links;
}

bool RemoteServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    const auto* method = std::find_if(kMethods.begin(), kMethods.end(),
                                      [&](const MethodName& m) { return m.method == request.method(); });
    const auto headers = request.headers();
    RemoteRequest remote;
    remote.method = method != kMethods.end() ? method->name : "UNKNOWN";
    remote.path = request.url().path(QUrl::FullyEncoded).toStdString();
    remote.query = request.url().query(QUrl::FullyEncoded).toStdString();
    remote.host = Header(headers, "Host");
    remote.origin = Header(headers, "Origin");
    remote.authorization = Header(headers, "Authorization");
    remote.cookie = Header(headers, "Cookie");
    remote.body = request.body().toStdString();
    // The HTTP server hands a WebSocket upgrade to the events after this call: one that may be let in gets
    // no answer here; one that may not is refused and its connection closed before the handshake.
    const bool upgrade =
        Header(headers, "Upgrade").size() == 9 &&
        QByteArray::fromStdString(Header(headers, "Upgrade")).compare("websocket", Qt::CaseInsensitive) == 0;
    if (upgrade) {
        RemoteAccess::Verdict verdict = m_access->Check(remote);
        if (verdict.role && remote.method == "GET" && remote.path == RemoteApi::kEventsPath) {
            return true;
        }
        if (verdict.role) {
            verdict = {std::nullopt, 404, "no such resource"};
        }
        const std::string body = RemoteJson::Error(verdict.reason);
        socket->write("HTTP/1.1 " + QByteArray::number(verdict.status) +
                      " Refused\r\nConnection: close\r\nContent-Type: application/json\r\nContent-Length: " +
                      QByteArray::number(static_cast<qsizetype>(body.size())) + "\r\n\r\n" +
                      QByteArray::fromStdString(body));
        socket->flush();
        socket->abort();
        return true;
    }
    const RemoteResponse response = m_api->Handle(remote);

    QHttpServerResponder responder = makeResponder(request, socket);
    responder.writeStatusLine(static_cast<QHttpServerResponder::StatusCode>(response.status));
    responder.writeHeader("Content-Type", QByteArray::fromStdString(response.contentType));
    responder.writeHeader("Content-Length", QByteArray::number(static_cast<qsizetype>(response.body.size())));
    responder.writeHeader("X-Content-Type-Options", "nosniff");
    for (const auto& [name, value] : response.headers) {
        responder.writeHeader(QByteArray::fromStdString(name), QByteArray::fromStdString(value));
    }
    responder.writeBody(response.body.data(), static_cast<qint64>(response.body.size()));
    return true;
}

void RemoteServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    makeResponder(request, socket).write(QHttpServerResponder::StatusCode::NotFound);
}

void RemoteServer::AcceptWebSockets() {
    while (hasPendingWebSocketConnections()) {
        std::unique_ptr<QWebSocket> socket = nextPendingWebSocketConnection();
        if (socket) {
            m_listener->Release(socket->peerAddress(), socket->peerPort());
            Admit(std::move(socket));
        }
    }
}

void RemoteServer::Admit(std::unique_ptr<QWebSocket> socket) {
    // The handshake has been answered already: a socket without the right to listen is closed before it
    // hears anything.
    const QNetworkRequest handshake = socket->request();
    RemoteRequest request;
    request.method = "GET";
    request.path = socket->requestUrl().path(QUrl::FullyEncoded).toStdString();
    request.query = socket->requestUrl().query(QUrl::FullyEncoded).toStdString();
    request.host = handshake.rawHeader("Host").toStdString();
    request.origin = socket->origin().toStdString();
    request.authorization = handshake.rawHeader("Authorization").toStdString();
    request.cookie = handshake.rawHeader("Cookie").toStdString();
    const RemoteAccess::Verdict verdict = m_access->Check(request);
    QWebSocket* raw = socket.get();
    const auto refuse = [&](const QString& reason) {
        raw->close(QWebSocketProtocol::CloseCodePolicyViolated, reason);
        raw->deleteLater();
        static_cast<void>(socket.release());
    };
    if (request.path != RemoteApi::kEventsPath) {
        refuse("no such resource");
        return;
    }
    if (!verdict.role) {
        refuse(QString::fromStdString(verdict.reason));
        return;
    }
    if (static_cast<int>(m_clients.size()) >= kMaxClients) {
        raw->close(QWebSocketProtocol::CloseCodeReserved1004, "too many clients");
        raw->deleteLater();
        static_cast<void>(socket.release());
        return;
    }
    raw->setMaxAllowedIncomingMessageSize(RemoteApi::kMaxBody);
    raw->setMaxAllowedIncomingFrameSize(RemoteApi::kMaxBody);
    connect(raw, &QWebSocket::textMessageReceived, this,
            [this, raw](const QString& message) { Received(raw, message); });
    connect(raw, &QWebSocket::binaryMessageReceived, this,
            [this, raw](const QByteArray& message) { Received(raw, QString::fromUtf8(message)); });
    // Dropped later: a socket may go while the list of clients is being walked.
    connect(
        raw, &QWebSocket::disconnected, this, [this, raw] { Drop(raw); }, Qt::QueuedConnection);
    m_clients.push_back({std::move(socket), *verdict.role});
    raw->sendTextMessage(QString::fromStdString(RemoteJson::StateEvent(m_session, *verdict.role)));
}

void RemoteServer::Received(QWebSocket* socket, const QString& message) {
    const auto client = std::find_if(m_clients.begin(), m_clients.end(),
                                     [&](const Client& c) { return c.socket.get() == socket; });
    if (client == m_clients.end()) {
        return;
    }
    const RemoteResponse response = m_edits.Patch(client->role, message.toStdString());
    socket->sendTextMessage(QString::fromStdString(RemoteJson::Result(response.status, response.body)));
}

void RemoteServer::Drop(QWebSocket* socket) {
    const auto client = std::find_if(m_clients.begin(), m_clients.end(),
                                     [&](const Client& c) { return c.socket.get() == socket; });
    if (client == m_clients.end()) {
        return;
    }
    client->socket.release()->deleteLater();
    m_clients.erase(client);
}

void RemoteServer::Broadcast(const QByteArray& text) {
    std::vector<QWebSocket*> behind;
    const QString message = QString::fromUtf8(text);
    for (const Client& client : m_clients) {
        if (client.socket->bytesToWrite() > kMaxBacklog) {
            behind.push_back(client.socket.get());
            continue;
        }
        client.socket->sendTextMessage(message);
    }
    for (QWebSocket* socket : behind) {
        socket->abort();
        Drop(socket);
    }
}

void RemoteServer::ShowChanges(const ChangeSet& changes) {
    const std::string event = RemoteJson::Changes(m_session, changes);
    if (!event.empty() && !m_clients.empty()) {
        Broadcast(QByteArray::fromStdString(event));
    }
}

void RemoteServer::FollowVolumes(unsigned volumes) {
    m_edits.Follow(volumes);
}

void RemoteServer::SendLevels() {
    if (m_clients.empty()) {
        return;
    }
    std::array<std::uint8_t, 4> levels{};
    m_session.Store().GetPeakData(levels.data());
    Broadcast(QByteArray::fromStdString(RemoteJson::Levels(levels, true)));
}

}  // namespace varnoth
