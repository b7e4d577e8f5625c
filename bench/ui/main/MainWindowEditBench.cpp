// SPDX-License-Identifier: GPL-3.0-or-later
// The real main window, offscreen, on the virtual amplifier in each of its ways of answering: a slider
// sweep and graphic EQ drags as fast as a hand moves, with the window's own timers running. Reports how long
// the user-interface thread was kept from its events (longest and median block) and how long an edit took
// to reach the wire (median and longest).

#include <benchmark/benchmark.h>

#include <QSlider>

#include <algorithm>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "../BenchApplication.h"
#include "device/sim/SimProvider.h"
#include "device/sim/SimScenario.h"
#include "session/RegisterMap.h"
#include "ui/controls/EqGraph.h"
#include "ui/main/MainWindow.h"
#include "ui/main/SessionHost.h"

namespace {

using namespace varnoth;
using Clock = std::chrono::steady_clock;

struct Register {
    std::uint8_t block;
    std::uint8_t index;
    std::uint8_t channel;
    bool operator==(const Register&) const = default;
};

struct Stamp {
    Register reg;
    Clock::time_point at;
};

// Remembers when each register write went out on the wire.
class WireClock {
  public:
    void Note(const Report& report) {
        if (report[1] != 0x09) {
            return;
        }
        std::lock_guard lock(m_mutex);
        m_writes.push_back({{report[2], report[3], report[4]}, Clock::now()});
    }
    std::vector<Stamp> Writes() const {
        std::lock_guard lock(m_mutex);
        return m_writes;
    }

  private:
    mutable std::mutex m_mutex;
    std::vector<Stamp> m_writes;
};

class StampingTransport : public Transport {
  public:
    StampingTransport(std::unique_ptr<Transport> inner, std::shared_ptr<WireClock> clock)
        : m_inner(std::move(inner)), m_clock(std::move(clock)) {}
    int Transfer(const Report& report) override {
        const int count = m_inner->Transfer(report);
        m_clock->Note(report);
        return count;
    }
    void StartReader(Deliver deliver) override { m_inner->StartReader(std::move(deliver)); }
    bool StopReader(std::chrono::milliseconds timeout) override { return m_inner->StopReader(timeout); }
    std::optional<Report> ReadOne(std::chrono::milliseconds timeout) override {
        return m_inner->ReadOne(timeout);
    }

  private:
    std::unique_ptr<Transport> m_inner;
    std::shared_ptr<WireClock> m_clock;
};

class StampingProvider : public TransportProvider {
  public:
    StampingProvider(std::shared_ptr<SimProvider> sim, std::shared_ptr<WireClock> clock)
        : m_sim(std::move(sim)), m_clock(std::move(clock)) {}
    OpenResult Open(UsbIds normal, UsbIds upgrade) override {
        OpenResult result = m_sim->Open(normal, upgrade);
        if (result.transport) {
            result.transport = std::make_unique<StampingTransport>(std::move(result.transport), m_clock);
        }
        return result;
    }

  private:
    std::shared_ptr<SimProvider> m_sim;
    std::shared_ptr<WireClock> m_clock;
};

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2),
                     values.end());
    return values[values.size() / 2];
}

// Runs the event loop for a while, timing each pass.
void Pump(std::chrono::milliseconds period, std::vector<double>& blocks) {
    const auto end = Clock::now() + period;
    while (Clock::now() < end) {
        const auto start = Clock::now();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        blocks.push_back(Ms(Clock::now() - start));
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

void BM_MainWindowSweep(benchmark::State& state, const char* scenario) {
    varnoth::bench::BenchApplication();
    auto sim = std::make_shared<SimProvider>();
    ApplySimScenario(scenario, *sim);
    auto wire = std::make_shared<WireClock>();
    SessionHost host(std::make_shared<StampingProvider>(sim, wire));
    MainWindowTiming timing;
    timing.sync.giveUp = std::chrono::milliseconds(3000);
    MainWindow window(host, 1, timing);
    MainWindowHooks hooks;
    hooks.question = [](QWidget&, const QString&, const QString&) { return true; };
    hooks.warning = [](QWidget&, const QString&, const QString&) {};
    window.SetHooks(std::move(hooks));
    window.show();

    // Synchronised: a silent amplifier's read-all ends after every command's reply wait.
    bool synchronised = false;
    QObject::connect(&window, &MainWindow::synchronised, [&synchronised] { synchronised = true; });
    std::vector<double> ignored;
    const auto deadline = Clock::now() + std::chrono::seconds(120);
    while (Clock::now() < deadline && !synchronised) {
        Pump(std::chrono::milliseconds(10), ignored);
    }
    Pump(std::chrono::milliseconds(500), ignored);

    auto* slider = window.Control<QSlider>(2102);
    auto* panel = window.Control<EqGraph>(1015);
    const RegisterEntry& threshold = StoreRegisterMap()[pos::Compress_Mic + pos::CompressThreshold];
    std::vector<double> blocks;
    std::vector<Stamp> edits;
    for (auto _ : state) {
        for (int step = 0; step < 400; ++step) {
            const auto start = Clock::now();
            if (step % 2 == 0) {
                slider->setSliderPosition(step / 2 % (slider->maximum() + 1));
                edits.push_back({{threshold.block, threshold.index, threshold.channel}, start});
            } else {
                const int band = step / 40 % 10;
                EqPoint point = panel->Point(band);
                point.gain = static_cast<float>(step % 40) * 0.6f - 12.0f;
                emit panel->pointChanged(point, 1015);
                const RegisterEntry& entry = StoreRegisterMap()[pos::MicGEQ + static_cast<std::size_t>(band)];
                edits.push_back({{entry.block, entry.index, entry.channel}, start});
            }
            blocks.push_back(Ms(Clock::now() - start));
            Pump(std::chrono::milliseconds(8), blocks);  // about the pace of a hand moving a control
        }
    }
    // Quiet: the queue drains (a silent amplifier takes its reply wait for each).
    host.Session().WaitUntilSent(std::chrono::seconds(120));

    const std::vector<Stamp> sent = wire->Writes();
    std::vector<double> delays;
    for (const Stamp& edit : edits) {
        const auto it = std::find_if(sent.begin(), sent.end(),
                                     [&](const Stamp& s) { return s.reg == edit.reg && s.at >= edit.at; });
        if (it != sent.end()) {
            delays.push_back(Ms(it->at - edit.at));
        }
    }
    state.counters["block_max_ms"] = *std::max_element(blocks.begin(), blocks.end());
    state.counters["block_median_ms"] = Median(blocks);
    state.counters["wire_median_ms"] = Median(delays);
    state.counters["wire_max_ms"] = delays.empty() ? 0 : *std::max_element(delays.begin(), delays.end());
    state.counters["edits_on_wire"] = static_cast<double>(delays.size());
    state.counters["edits"] = static_cast<double>(edits.size());
    window.close();
}

BENCHMARK_CAPTURE(BM_MainWindowSweep, normal, "normal")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MainWindowSweep, slow, "slow")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MainWindowSweep, lossy, "lossy")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MainWindowSweep, silent, "silent")->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
