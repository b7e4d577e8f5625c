// SPDX-License-Identifier: GPL-3.0-or-later
// The remote control over real sockets on the virtual amplifier: an edit from a WebSocket to the wire, a
// change to 20 clients, a burst of 10 x 100 edits, and the levels to 20 clients.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QWebSocket>
#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "device/sim/SimProvider.h"
#include "remote/RemoteServer.h"
#include "session/DeviceSession.h"

namespace varnoth {
namespace {

const std::string kInstaller(32, 'a');

bool Wait(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return done();
}

// An events client that keeps the last raw value of every parameter it was told of.
struct Client {
    std::unique_ptr<QWebSocket> socket = std::make_unique<QWebSocket>();
    std::map<QString, int> values;
    int results = 0;
    bool ready = false;

    explicit Client(quint16 port) {
        QObject::connect(socket.get(), &QWebSocket::textMessageReceived, [this](const QString& text) {
            const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
            const QString type = message["type"].toString();
            if (type == "state") {
                ready = true;
            } else if (type == "result") {
                ++results;
            } else if (type == "changes") {
                for (const QJsonValue& p : message["parameters"].toArray()) {
                    values[p["name"].toString()] = p["raw"].toInt();
                }
            }
        });
        QNetworkRequest request(QUrl(QString("ws://127.0.0.1:%1/api/v1/events").arg(port)));
        request.setRawHeader("Authorization", "Bearer " + QByteArray::fromStdString(kInstaller));
        socket->open(request);
    }
};

// The session on the virtual amplifier and the server, showing the store's changes as serve does.
class Room : public SessionObserver {
  public:
    Room() {
        m_session.Connect(this);
        m_session.ReadAll();
        m_session.SetWaitForTransfers(false);
        QString error;
        m_server.Listen(QHostAddress::LocalHost, 0, error);
    }
    ~Room() override {
        m_clients.clear();
        m_session.SetObserver(nullptr);
        m_session.Disconnect(true);
    }
    void Connect(int count) {
        for (int i = 0; i < count; ++i) {
            m_clients.push_back(std::make_unique<Client>(m_server.Port()));
        }
        Wait([&] {
            return std::all_of(m_clients.begin(), m_clients.end(), [](const auto& c) { return c->ready; });
        });
    }
    std::uint8_t Register(std::uint8_t block, std::uint8_t index, std::uint8_t channel) const {
        return m_provider->Amp()->Register(block, index, channel);
    }

    std::shared_ptr<SimProvider> m_provider = std::make_shared<SimProvider>();
    DeviceSession m_session{m_provider};
    RemoteTokens m_tokens{kInstaller, std::string(32, 'b')};
    RemoteServer m_server{m_session, m_tokens, false};
    std::vector<std::unique_ptr<Client>> m_clients;
};

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString Edit(const char* name, int raw) {
    return QString("{\"%1\": {\"raw\": %2}}").arg(name).arg(raw);
}

// An edit sent over the events socket until the amplifier holds it (the mic volume goes out as value + 40).
void BM_WebSocketEditToWire(benchmark::State& state) {
    Room room;
    room.Connect(1);
    std::vector<double> times;
    int value = 0;
    for (auto _ : state) {
        value = value == 30 ? 10 : value + 1;
        const auto start = std::chrono::steady_clock::now();
        room.m_clients[0]->socket->sendTextMessage(Edit("MicVol", value));
        Wait([&] { return room.Register(10, 32, 0) == value + 40; });
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["median_ms"] = Median(times);
}
BENCHMARK(BM_WebSocketEditToWire)->Iterations(200)->Unit(benchmark::kMillisecond);

// One client's edit until each of 20 clients has seen the change.
void BM_ChangeToTwentyClients(benchmark::State& state) {
    Room room;
    room.Connect(20);
    std::vector<double> times;
    int value = 0;
    for (auto _ : state) {
        value = value == 120 ? 10 : value + 1;
        const auto start = std::chrono::steady_clock::now();
        room.m_clients[0]->socket->sendTextMessage(Edit("SubLevel", value));
        Wait([&] {
            return std::all_of(room.m_clients.begin(), room.m_clients.end(),
                               [&](const auto& c) { return c->values[QStringLiteral("SubLevel")] == value; });
        });
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["median_ms"] = Median(times);
    state.counters["max_ms"] = times.empty() ? 0 : *std::max_element(times.begin(), times.end());
}
BENCHMARK(BM_ChangeToTwentyClients)->Iterations(100)->Unit(benchmark::kMillisecond);

// Ten clients send 100 edits each of their own graphic EQ band at once; then the amplifier must hold each
// client's last value and every client must show it. "lost" counts the bands where either is not so.
void BM_BurstOfTenTimesHundredEdits(benchmark::State& state) {
    Room room;
    room.Connect(10);
    int lost = 0;
    for (auto _ : state) {
        for (int edit = 0; edit < 100; ++edit) {
            for (int band = 0; band < 10; ++band) {
                const QString name = QString("MicGEQ.%1").arg(band);
                room.m_clients[band]->socket->sendTextMessage(
                    QString("{\"%1\": %2}").arg(name).arg(50 + (edit + band) % 29));
            }
        }
        Wait([&] {
            return std::all_of(room.m_clients.begin(), room.m_clients.end(),
                               [](const auto& c) { return c->results >= 100; });
        });
        room.m_session.WaitUntilSent(std::chrono::seconds(10));
        for (int band = 0; band < 10; ++band) {
            const int last = 50 + (99 + band) % 29;
            const QString name = QString("MicGEQ.%1").arg(band);
            Wait(
                [&] {
                    return std::all_of(room.m_clients.begin(), room.m_clients.end(),
                                       [&](const auto& c) { return c->values[name] == last; });
                },
                2000);
            const bool shown = std::all_of(room.m_clients.begin(), room.m_clients.end(),
                                           [&](const auto& c) { return c->values[name] == last; });
            lost += room.Register(10, static_cast<std::uint8_t>(band), 0) == last && shown ? 0 : 1;
        }
        for (auto& client : room.m_clients) {
            client->results = 0;
        }
    }
    state.counters["lost"] = lost;
}
BENCHMARK(BM_BurstOfTenTimesHundredEdits)->Iterations(3)->Unit(benchmark::kMillisecond);

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The levels ten times a second to 20 clients for two seconds: the share of one core the whole process
// takes, the clients' own reading included (an upper bound of the server's share).
void BM_LevelsToTwentyClients(benchmark::State& state) {
    Room room;
    room.Connect(20);
    double share = 0;
    for (auto _ : state) {
        const double cpu = CpuSeconds();
        QElapsedTimer wall;
        wall.start();
        // The event loop sleeps until the next event: nothing but the server and the clients takes time.
        QEventLoop loop;
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
        loop.exec();
        share = (CpuSeconds() - cpu) / (static_cast<double>(wall.elapsed()) / 1000.0) * 100.0;
    }
    state.counters["cpu_percent_of_core"] = share;
}
BENCHMARK(BM_LevelsToTwentyClients)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varnoth

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
