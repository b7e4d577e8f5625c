// SPDX-License-Identifier: GPL-3.0-or-later
#include <benchmark/benchmark.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "device/DeviceLink.h"
#include "device/Opcodes.h"
#include "session/DeviceSession.h"

namespace varnoth {
namespace {

// An in-process device that answers every report at once with a reply carrying its opcode and address.
// Inline: the reply is dispatched inside Transfer. Otherwise a reader thread dispatches it, as on a real
// link.
class AnsweringTransport : public Transport {
  public:
    explicit AnsweringTransport(bool answerInline) : m_inline(answerInline) {}
    ~AnsweringTransport() override { StopReader(std::chrono::milliseconds(1000)); }

    int Transfer(const Report& report) override {
        Report reply{};
        reply[1] = report[1];
        reply[2] = report[2];
        reply[3] = report[3];
        if (m_inline) {
            m_deliver(reply);
        } else {
            {
                std::lock_guard lock(m_mutex);
                m_pending.push_back(reply);
            }
            m_cv.notify_one();
        }
        return static_cast<int>(kReportSize);
    }

    void StartReader(Deliver deliver) override {
        m_deliver = std::move(deliver);
        if (m_inline) {
            return;
        }
        m_reader = std::thread([this] {
            std::unique_lock lock(m_mutex);
            while (true) {
                m_cv.wait(lock, [this] { return m_stop || !m_pending.empty(); });
                if (m_stop) {
                    return;
                }
                const Report reply = m_pending.front();
                m_pending.pop_front();
                lock.unlock();
                m_deliver(reply);
                lock.lock();
            }
        });
    }

    bool StopReader(std::chrono::milliseconds) override {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_cv.notify_all();
        if (m_reader.joinable()) {
            m_reader.join();
        }
        return true;
    }

    std::optional<Report> ReadOne(std::chrono::milliseconds) override { return std::nullopt; }

  private:
    bool m_inline;
    Deliver m_deliver;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<Report> m_pending;
    bool m_stop = false;
    std::thread m_reader;
};

class AnsweringProvider : public TransportProvider {
  public:
    OpenResult Open(UsbIds, UsbIds) override {
        OpenResult result;
        result.transport = std::make_unique<AnsweringTransport>(false);
        result.path = "bench";
        return result;
    }
};

class NullSink : public ReplySink {
  public:
    void OnCurEffectMode(std::uint8_t) override {}
    void OnLevels(const wire::LevelsReply&) override {}
    void OnRegisterArray(const wire::RegisterArrayReply&) override {}
    void OnMicControlSub(std::uint8_t, std::uint8_t) override {}
    void OnKeyStudied(std::uint8_t, std::uint8_t, std::uint8_t) override {}
    void OnIrRecord(std::span<const std::uint8_t, kIrRecordSize>) override {}
    void OnDevName(const std::string&) override {}
    void OnDevDate(const std::string&) override {}
    void OnMachineRecord(std::span<const std::uint8_t, kMachineRecordSize>) override {}
};

// One register read and its reply per iteration: WriteReport, the transfer, DispatchReport.
void BM_RoundTrip(benchmark::State& state) {
    NullSink sink;
    DeviceLink link(sink);
    link.Attach(std::make_unique<AnsweringTransport>(state.range(0) == 1));
    link.SetConnected(true);
    link.StartReader();
    for (auto _ : state) {
        benchmark::DoNotOptimize(link.SendCommand(op::ReadRegisterArray, {10, 3, 8}));
    }
    state.SetItemsProcessed(state.iterations());
    link.SetConnected(false);
    link.Release();
}
BENCHMARK(BM_RoundTrip)->Arg(1)->ArgName("inline")->UseRealTime();
BENCHMARK(BM_RoundTrip)->Arg(0)->ArgName("inline")->UseRealTime();

// The read-all sequence (56 commands, replies stored by the reader thread) without the worker's start
// delay; the argument is the closing pause in milliseconds (200 on the device).
void BM_ReadAllSequence(benchmark::State& state) {
    LinkTiming timing;
    timing.syncTailPause = std::chrono::milliseconds(state.range(0));
    DeviceSession session(std::make_shared<AnsweringProvider>(), timing);
    session.Connect(nullptr);
    for (auto _ : state) {
        session.ReadAll();
    }
    session.Disconnect(false);
}
BENCHMARK(BM_ReadAllSequence)
    ->Arg(200)
    ->Arg(0)
    ->ArgName("tail_ms")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace varnoth
