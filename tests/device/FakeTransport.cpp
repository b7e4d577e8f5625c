// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeTransport.h"

#include <utility>

namespace varnoth::test {

Report MakeReport(std::initializer_list<int> bytes) {
    Report report{};
    std::size_t i = 0;
    for (const int b : bytes) {
        report[i++] = static_cast<std::uint8_t>(b);
    }
    return report;
}

FakeWire::FakeWire() {
    m_responder = [](const Report& sent) {
        return std::vector<Report>{MakeReport({0, sent[1], sent[2], sent[3]})};
    };
}

void FakeWire::SetResponder(Responder responder) {
    std::lock_guard lock(m_mutex);
    m_responder = std::move(responder);
}

void FakeWire::HoldTransfers(bool hold) {
    {
        std::lock_guard lock(m_mutex);
        m_hold = hold;
        m_held = false;
    }
    m_cv.notify_all();
}

bool FakeWire::WaitForHeldTransfer(std::chrono::milliseconds deadline) {
    std::unique_lock lock(m_mutex);
    return m_cv.wait_for(lock, deadline, [this] { return m_held; });
}

void FakeWire::Inject(const Report& report) {
    {
        std::lock_guard lock(m_mutex);
        m_pending.push_back(report);
    }
    m_cv.notify_all();
}

std::vector<Report> FakeWire::Sent() const {
    std::lock_guard lock(m_mutex);
    return m_sent;
}

void FakeWire::ClearSent() {
    std::lock_guard lock(m_mutex);
    m_sent.clear();
}

bool FakeWire::WaitForSent(std::size_t count, std::chrono::milliseconds deadline) const {
    std::unique_lock lock(m_mutex);
    return m_cv.wait_for(lock, deadline, [&] { return m_sent.size() >= count; });
}

bool FakeWire::WaitUntilIdle(std::chrono::milliseconds deadline) const {
    std::unique_lock lock(m_mutex);
    return m_cv.wait_for(lock, deadline, [this] { return m_pending.empty() && m_delivering == 0; });
}

int FakeWire::OnTransfer(const Report& report) {
    if (m_inTransfer.fetch_add(1) != 0) {
        m_overlaps.fetch_add(1);
    }
    {
        std::unique_lock lock(m_mutex);
        m_sent.push_back(report);
        if (m_hold) {
            m_held = true;
            m_cv.notify_all();
            m_cv.wait(lock, [this] { return !m_hold; });
        }
        for (const Report& reply : m_responder(report)) {
            m_pending.push_back(reply);
        }
    }
    // Widens the window in which a second writer would overlap this transfer.
    std::this_thread::yield();
    m_inTransfer.fetch_sub(1);
    m_cv.notify_all();
    return m_transferResult.load();
}

std::optional<Report> FakeWire::PopFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    if (!m_cv.wait_for(lock, timeout, [this] { return !m_pending.empty(); })) {
        return std::nullopt;
    }
    Report report = m_pending.front();
    m_pending.pop_front();
    return report;
}

FakeTransport::FakeTransport(std::shared_ptr<FakeWire> wire) : m_wire(std::move(wire)) {
    m_wire->m_live.fetch_add(1);
}

FakeTransport::~FakeTransport() {
    Stop();
    m_wire->m_live.fetch_sub(1);
}

int FakeTransport::Transfer(const Report& report) {
    return m_wire->OnTransfer(report);
}

void FakeTransport::StartReader(Deliver deliver) {
    {
        std::lock_guard lock(m_wire->m_mutex);
        m_stop = false;
    }
    m_reader = std::thread([this, deliver = std::move(deliver)] { ReaderLoop(deliver); });
}

void FakeTransport::ReaderLoop(Deliver deliver) {
    FakeWire& wire = *m_wire;
    std::unique_lock lock(wire.m_mutex);
    while (true) {
        wire.m_cv.wait(lock, [&] { return m_stop || !wire.m_pending.empty(); });
        if (m_stop) {
            return;
        }
        const Report report = wire.m_pending.front();
        wire.m_pending.pop_front();
        ++wire.m_delivering;
        lock.unlock();
        deliver(report);
        lock.lock();
        --wire.m_delivering;
        wire.m_cv.notify_all();
    }
}

void FakeTransport::Stop() {
    {
        std::lock_guard lock(m_wire->m_mutex);
        m_stop = true;
    }
    m_wire->m_cv.notify_all();
    if (m_reader.joinable()) {
        m_reader.join();
    }
}

bool FakeTransport::StopReader(std::chrono::milliseconds) {
    Stop();
    return !m_wire->m_stopTimesOut.load();
}

std::optional<Report> FakeTransport::ReadOne(std::chrono::milliseconds timeout) {
    return m_wire->PopFor(timeout);
}

OpenResult FakeProvider::Open(UsbIds, UsbIds) {
    m_opens.fetch_add(1);
    OpenResult result;
    if (!m_present) {
        result.failure = "no device";
        return result;
    }
    result.transport = std::make_unique<FakeTransport>(m_wire);
    result.path = m_path;
    result.upgradeMode = m_upgradeMode;
    return result;
}

}  // namespace varnoth::test
