// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpSocket>
#include <QWebSocket>
#include <functional>
#include <memory>
#include <vector>

#include "device/sim/SimProvider.h"
#include "remote/ConnectionGuard.h"
#include "remote/RemoteJson.h"
#include "remote/RemoteListener.h"
#include "remote/RemoteServer.h"
#include "session/DeviceSession.h"

namespace varnoth {
namespace {

const std::string kInstaller(32, 'a');
const std::string kStaff(32, 'b');

// Runs the event loop until done() or five seconds have passed; whether done() came true.
bool Wait(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return done();
}

// An events client: every message it has received.
struct EventsClient {
    std::unique_ptr<QWebSocket> socket = std::make_unique<QWebSocket>();
    std::vector<QJsonObject> messages;
    bool closed = false;
    int closeCode = 0;

    EventsClient(quint16 port, const std::string& token, const QString& origin = {}) {
        QObject::connect(socket.get(), &QWebSocket::textMessageReceived, [this](const QString& text) {
            messages.push_back(QJsonDocument::fromJson(text.toUtf8()).object());
        });
        QObject::connect(socket.get(), &QWebSocket::disconnected, [this] {
            closed = true;
            closeCode = socket->closeCode();
        });
        QNetworkRequest request(QUrl(QString("ws://127.0.0.1:%1/api/v1/events").arg(port)));
        if (!token.empty()) {
            request.setRawHeader("Authorization", "Bearer " + QByteArray::fromStdString(token));
        }
        if (!origin.isEmpty()) {
            request.setRawHeader("Origin", origin.toUtf8());
        }
        socket->open(request);
    }
    // The raw value of name in the last change event that named it, or -1.
    int LastChange(const QString& name) const {
        for (auto m = messages.rbegin(); m != messages.rend(); ++m) {
            if ((*m)["type"].toString() != "changes") {
                continue;
            }
            for (const QJsonValue& p : (*m)["parameters"].toArray()) {
                if (p["name"].toString() == name) {
                    return p["raw"].toInt();
                }
            }
        }
        return -1;
    }
    bool Has(const QString& type) const {
        return std::any_of(messages.begin(), messages.end(),
                           [&](const QJsonObject& m) { return m["type"] == type; });
    }
};

// The server over a session connected to the virtual amplifier, with the session's changes shown as
// varnoth-cli serve shows them.
class RemoteServerTest : public ::testing::Test, public SessionObserver {
  protected:
    void SetUp() override {
        ASSERT_EQ(m_session.Connect(this), 1);
        m_session.ReadAll();
        m_session.SetWaitForTransfers(false);
        QString error;
        ASSERT_TRUE(m_server.Listen(QHostAddress::LocalHost, 0, error)) << error.toStdString();
    }
    void TearDown() override { m_session.SetObserver(nullptr); }

    QNetworkReply* Send(const QByteArray& method, const QString& path, const std::string& token,
                        const QByteArray& body = {}) {
        QNetworkRequest request(QUrl(QString("http://127.0.0.1:%1%2").arg(m_server.Port()).arg(path)));
        request.setRawHeader("Authorization", "Bearer " + QByteArray::fromStdString(token));
        QNetworkReply* reply = m_network.sendCustomRequest(request, method, body);
        Wait([reply] { return reply->isFinished(); });
        return reply;
    }
    int Status(QNetworkReply* reply) const {
        return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    }

    std::shared_ptr<SimProvider> m_provider = std::make_shared<SimProvider>();
    DeviceSession m_session{m_provider};
    RemoteTokens m_tokens{kInstaller, kStaff};
    RemoteServer m_server{m_session, m_tokens, false};
    QNetworkAccessManager m_network;
};

TEST_F(RemoteServerTest, EveryEventsClientSeesAChangeMadeByAnother) {
    EventsClient staff(m_server.Port(), kStaff);
    EventsClient installer(m_server.Port(), kInstaller);
    ASSERT_TRUE(Wait([&] { return staff.Has("state") && installer.Has("state"); }));
    EXPECT_EQ(staff.messages.front()["state"].toObject()["role"].toString(), "staff");

    QNetworkReply* reply = Send("PATCH", "/api/v1/parameters", kInstaller, R"({"SubLevel": 21})");
    EXPECT_EQ(Status(reply), 200) << reply->readAll().toStdString();
    EXPECT_TRUE(
        Wait([&] { return staff.LastChange("SubLevel") == 21 && installer.LastChange("SubLevel") == 21; }));

    // An edit over the socket: its result to the sender, the change to everybody, the value on the wire.
    staff.socket->sendTextMessage(R"({"MicVol": {"raw": 7}})");
    EXPECT_TRUE(Wait([&] { return installer.LastChange("MicVol") == 7 && staff.Has("result"); }));
    EXPECT_TRUE(Wait([&] { return m_provider->Amp()->Register(10, 32, 0) == 47; }));
    staff.socket->sendTextMessage(R"({"SubLevel": 1})");
    EXPECT_TRUE(Wait([&] { return staff.messages.back()["type"] == "result"; }));
    EXPECT_EQ(staff.messages.back()["status"].toInt(), 403);

    EXPECT_TRUE(Wait([&] { return installer.Has("levels"); })) << "the levels come ten times a second";
}

TEST_F(RemoteServerTest, AnEventsClientWithoutRightsHearsNothing) {
    EventsClient nobody(m_server.Port(), "");
    EventsClient wrong(m_server.Port(), std::string(32, 'c'));
    EventsClient foreign(m_server.Port(), kInstaller, "http://evil.example");
    ASSERT_TRUE(Wait([&] { return nobody.closed && wrong.closed && foreign.closed; }));
    for (const EventsClient* client : {&nobody, &wrong, &foreign}) {
        EXPECT_TRUE(client->messages.empty());
        EXPECT_NE(client->socket->state(), QAbstractSocket::ConnectedState);
    }
}

TEST_F(RemoteServerTest, AFloodOfConnectionsAndAHugeRequestLeaveTheServerAnswering) {
    std::vector<std::unique_ptr<QTcpSocket>> flood;
    for (int i = 0; i < 1000; ++i) {
        flood.push_back(std::make_unique<QTcpSocket>());
        flood.back()->connectToHost(QHostAddress::LocalHost, m_server.Port());
    }
    Wait([&] { return false; }, 500);
    const auto openNow = [&] {
        return std::count_if(flood.begin(), flood.end(), [](const std::unique_ptr<QTcpSocket>& s) {
            return s->state() == QAbstractSocket::ConnectedState;
        });
    };
    EXPECT_LE(openNow(), RemoteListener::kMaxConnections + 10) << "the others are closed at once";
    flood.clear();
    Wait([&] { return false; }, 200);

    QTcpSocket huge;
    huge.connectToHost(QHostAddress::LocalHost, m_server.Port());
    ASSERT_TRUE(huge.waitForConnected(2000));
    huge.write("PATCH /api/v1/parameters HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 10000000\r\n\r\n");
    const QByteArray chunk(64 * 1024, '{');
    for (int i = 0; i < 4 && huge.state() == QAbstractSocket::ConnectedState; ++i) {
        huge.write(chunk);
        Wait([&] { return huge.bytesToWrite() == 0; }, 500);
    }
    EXPECT_TRUE(Wait([&] { return huge.state() == QAbstractSocket::UnconnectedState; }))
        << "a request beyond the bound closes its connection";

    QNetworkReply* reply = Send("GET", "/api/v1/levels", kStaff);
    EXPECT_EQ(Status(reply), 200);
}

TEST_F(RemoteServerTest, AClientThatNeverFinishesItsRequestIsClosedWhileOthersAreServed) {
    QTcpSocket slow;
    slow.connectToHost(QHostAddress::LocalHost, m_server.Port());
    ASSERT_TRUE(slow.waitForConnected(2000));
    slow.write("GET /api/v1/levels HTTP/1.1\r\nHo");
    EXPECT_EQ(Status(Send("GET", "/api/v1/levels", kStaff)), 200);
    EXPECT_TRUE(Wait([&] { return slow.state() == QAbstractSocket::UnconnectedState; },
                     ConnectionGuard::kSlowRequestMs + 3000));
}

// An events client that stops reading is let go once it leaves a megabyte unread: it would hold the
// server's memory. The others go on hearing every change.
TEST_F(RemoteServerTest, AnEventsClientThatStopsReadingIsDroppedWhileTheOthersHearEveryChange) {
    EventsClient reader(m_server.Port(), kStaff);
    QTcpSocket stalled;
    stalled.connectToHost(QHostAddress::LocalHost, m_server.Port());
    ASSERT_TRUE(stalled.waitForConnected(2000));
    stalled.write("GET /api/v1/events HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(m_server.Port()) +
                  "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                  "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n"
                  "Authorization: Bearer " +
                  QByteArray::fromStdString(kStaff) + "\r\n\r\n");
    ASSERT_TRUE(Wait([&] { return stalled.peek(12) == "HTTP/1.1 101"; })) << stalled.peek(200).toStdString();
    ASSERT_TRUE(Wait([&] { return reader.Has("state") && m_server.EventClients() == 2; }));
    // From here on it reads nothing: what the server sends piles up in the kernel, then in the server.
    stalled.setReadBufferSize(1);

    const ChangeSet everything = ChangeSet().set();
    const qint64 eventSize = static_cast<qint64>(RemoteJson::Changes(m_session, everything).size());
    // Far more than the kernel's buffers on both sides and the bound together.
    const qint64 flood = 64 * RemoteServer::kMaxBacklog / eventSize;
    qint64 sent = 0;
    while (m_server.EventClients() == 2 && sent < flood) {
        m_server.ShowChanges(everything);
        ++sent;
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(m_server.EventClients(), 1)
        << "the stalled client is still served after " << sent * eventSize << " bytes";
    const std::size_t before = reader.messages.size();
    m_server.ShowChanges(everything);
    EXPECT_TRUE(Wait([&] { return reader.messages.size() > before; })) << "the reader hears on";
}

}  // namespace
}  // namespace varnoth

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
