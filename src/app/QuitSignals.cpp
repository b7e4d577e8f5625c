// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QuitSignals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <csignal>

#include "device/Trace.h"

namespace varnoth {
namespace {

int g_writeFd = -1;
volatile std::sig_atomic_t g_received = 0;

extern "C" void OnQuitSignal(int signalNumber) {
    if (g_received == 0) {
        g_received = signalNumber;
    }
    const auto byte = static_cast<unsigned char>(signalNumber);
    // Nothing to do when the pipe is full: a quit request is already waiting.
    [[maybe_unused]] const ssize_t written = ::write(g_writeFd, &byte, 1);
}

}  // namespace

QuitSignals::QuitSignals(QObject* parent) : QObject(parent) {
    g_received = 0;
    if (::pipe2(m_fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        Trace("quit signals: no pipe, SIGTERM and SIGINT end the program at once\n");
        return;
    }
    g_writeFd = m_fds[1];
    m_notifier = new QSocketNotifier(m_fds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitSignals::OnReadable);
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

QuitSignals::~QuitSignals() {
    if (m_fds[0] < 0) {
        return;
    }
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    g_writeFd = -1;
    ::close(m_fds[0]);
    ::close(m_fds[1]);
}

int QuitSignals::Received() {
    return g_received;
}

void QuitSignals::OnReadable() {
    unsigned char byte = 0;
    while (::read(m_fds[0], &byte, 1) == 1) {
        Trace("signal %d: ending with the farewell\n", byte);
        emit quitRequested(byte);
    }
}

}  // namespace varnoth
