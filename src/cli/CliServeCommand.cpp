// SPDX-License-Identifier: GPL-3.0-or-later
// The serve command: the remote control's server over the amplifier, without a window.
#include <QCoreApplication>
#include <QHostAddress>
#include <QTimer>

#include "cli/CliHandlers.h"
#include "cli/CliOptions.h"
#include "cli/CliParameters.h"
#include "cli/CliSignals.h"
#include "remote/RemoteServer.h"
#include "remote/RemoteTokens.h"

namespace varnoth {
namespace {

// How often the amplifier is asked for its levels (and, once a second, its master volumes).
constexpr int kPollMs = 100;

// The session's news for the server, moved onto the main thread.
class ServeObserver : public SessionObserver {
  public:
    ServeObserver(DeviceSession& session, RemoteServer& server) : m_session(session), m_server(server) {}

    void OnVolumesFollowed() override {
        QMetaObject::invokeMethod(
            &m_server, [this] { m_server.FollowVolumes(m_session.TakeFollowedVolumes()); },
            Qt::QueuedConnection);
    }

  private:
    DeviceSession& m_session;
    RemoteServer& m_server;
};

// ADDR:PORT, [IPV6]:PORT; false when it is neither.
bool ParseListen(const std::string& text, QHostAddress& address, quint16& port) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon + 1 >= text.size()) {
        return false;
    }
    std::string host = text.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    } else if (host.find(':') != std::string::npos) {
        return false;
    }
    const std::optional<int> number = ParseNumber(text.substr(colon + 1));
    if (!number || *number < 0 || *number > 65535 || !address.setAddress(QString::fromStdString(host))) {
        return false;
    }
    port = static_cast<quint16>(*number);
    return true;
}

}  // namespace

CliStatus RunServe(CliContext& context) {
    std::string error;
    const std::optional<std::string> listen = TakeOption(context.args, "--listen", error);
    const std::optional<std::string> tokenFile = TakeOption(context.args, "--tokens", error);
    if (!error.empty()) {
        return UsageError(error);
    }
    const bool renew = TakeFlag(context.args, "--renew-tokens");
    if (CliStatus failure = UnknownOption(context.args)) {
        return failure;
    }
    if (!Positional(context.args).empty()) {
        return UsageError("serve takes no arguments: serve [--listen ADDR:PORT] [--renew-tokens]");
    }
    QHostAddress address(QHostAddress::LocalHost);
    quint16 port = RemoteServer::kDefaultPort;
    if (listen && !ParseListen(*listen, address, port)) {
        return UsageError(
            "--listen takes ADDR:PORT (an IP address, [IPV6]:PORT, port 0 for a free one), not \"" + *listen +
            "\"");
    }
    if (CliStatus failure = context.device.Connect(false)) {
        return failure;
    }
    if (CliStatus failure = context.device.ReadEverything()) {
        return failure;
    }
    const std::string path = tokenFile ? *tokenFile : RemoteTokens::DefaultPath();
    const RemoteTokens tokens = RemoteTokens::LoadOrCreate(path, renew, error);
    if (!error.empty()) {
        context.err << "varnoth-cli: " << error << "; the tokens hold for this run only\n";
    }

    int argc = 1;
    char name[] = "varnoth-cli";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    DeviceSession& session = context.device.Session();
    // Commands are queued: the server answers while the amplifier works.
    session.SetWaitForTransfers(false);
    RemoteServer server(session, tokens, context.device.Offline());
    QString listenError;
    if (!server.Listen(address, port, listenError)) {
        session.SetWaitForTransfers(true);
        return BadInput("cannot listen on " + address.toString().toStdString() + ":" + std::to_string(port) +
                        ": " + listenError.toStdString());
    }
    for (const QString& link : server.Links()) {
        context.out << link.toStdString() << "\n";
    }
    context.out.flush();

    ServeObserver observer(session, server);
    session.SetObserver(&observer);
    CliStatus outcome;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (Interrupted()) {
            application.quit();
        } else if (context.device.Vanished()) {
            outcome = CliFailure{kExitNoDevice, "The amplifier went away."};
            application.quit();
        } else if (!context.device.Offline()) {
            session.PollDevice(false);
        }
    });
    poll.start(kPollMs);
    application.exec();
    session.SetObserver(&context.device.Observer());
    session.SetWaitForTransfers(true);
    return outcome;
}

}  // namespace varnoth
