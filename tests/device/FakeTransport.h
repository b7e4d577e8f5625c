// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "device/Transport.h"

namespace varnoth::test {

using namespace std::chrono_literals;

// A report with the given bytes from byte 0 on; the rest zero.
Report MakeReport(std::initializer_list<int> bytes);

// The far end of a fake link: records every report transferred and answers with scripted input reports,
// which the transport's reader (or a one-shot read) delivers. Outlives the transports opened on it.
class FakeWire {
  public:
    // The input reports answering one output report.
    using Responder = std::function<std::vector<Report>(const Report& sent)>;

    FakeWire();

    // By default every report but StudyKey is answered by one report carrying its opcode (and bytes 2..3).
    void SetResponder(Responder responder);
    void SetSilent() {
        SetResponder([](const Report&) { return std::vector<Report>{}; });
    }
    // The count Transfer returns (61 by default).
    void SetTransferResult(int count) { m_transferResult.store(count); }
    // While held, every Transfer waits inside the transport until released.
    void HoldTransfers(bool hold);
    bool WaitForHeldTransfer(std::chrono::milliseconds deadline = 10s);
    // StopReader stops the reader but reports a time-out.
    void SetStopReaderTimesOut(bool timesOut) { m_stopTimesOut.store(timesOut); }

    // Queues an input report that no command asked for (a learnt key).
    void Inject(const Report& report);

    std::vector<Report> Sent() const;
    void ClearSent();
    bool WaitForSent(std::size_t count, std::chrono::milliseconds deadline = 10s) const;
    // Waits until every queued input report has been delivered.
    bool WaitUntilIdle(std::chrono::milliseconds deadline = 10s) const;
    int Overlaps() const { return m_overlaps.load(); }
    int LiveTransports() const { return m_live.load(); }

  private:
    friend class FakeTransport;

    int OnTransfer(const Report& report);
    std::optional<Report> PopFor(std::chrono::milliseconds timeout);

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_cv;
    Responder m_responder;
    std::vector<Report> m_sent;
    std::deque<Report> m_pending;
    int m_delivering = 0;
    bool m_hold = false;
    bool m_held = false;
    std::atomic<int> m_transferResult{static_cast<int>(kReportSize)};
    std::atomic<bool> m_stopTimesOut{false};
    std::atomic<int> m_inTransfer{0};
    std::atomic<int> m_overlaps{0};
    std::atomic<int> m_live{0};
};

class FakeTransport : public Transport {
  public:
    explicit FakeTransport(std::shared_ptr<FakeWire> wire);
    ~FakeTransport() override;

    int Transfer(const Report& report) override;
    void StartReader(Deliver deliver) override;
    bool StopReader(std::chrono::milliseconds timeout) override;
    std::optional<Report> ReadOne(std::chrono::milliseconds timeout) override;

  private:
    void ReaderLoop(Deliver deliver);
    void Stop();

    std::shared_ptr<FakeWire> m_wire;
    std::thread m_reader;
    bool m_stop = false;  // guarded by the wire's mutex
};

// Opens fake transports on one wire, as a normal or an upgrade-mode device, or finds nothing.
class FakeProvider : public TransportProvider {
  public:
    explicit FakeProvider(std::shared_ptr<FakeWire> wire) : m_wire(std::move(wire)) {}

    OpenResult Open(UsbIds normal, UsbIds upgrade) override;

    std::shared_ptr<FakeWire> m_wire;
    std::string m_path = "/dev/hidraw-fake";
    bool m_upgradeMode = false;
    bool m_present = true;
    std::atomic<int> m_opens{0};
};

}  // namespace varnoth::test
