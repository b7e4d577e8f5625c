// SPDX-License-Identifier: GPL-3.0-or-later
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "device/sim/SimProvider.h"
#include "session/DeviceSession.h"

namespace varnoth {
namespace {

constexpr std::size_t kImageSize = 0x10000;
// Page announcements, 56-byte chunks, the closing pair.
constexpr std::size_t kReports = kImageSize / 512 + (kImageSize + 55) / 56 + 2;

// A full firmware transfer of a 64 KiB image file to the virtual amplifier in upgrade mode; the argument is
// the latency of each reply in milliseconds. Every report waits for the reply to the one before, so with
// latency the transfer cannot take less than reports x latency: "vs_reply_bound" is the time over that bound.
void BM_FirmwareTransfer64K(benchmark::State& state) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "varnoth-bench-64k.bin";
    {
        std::vector<char> image(kImageSize);
        for (std::size_t i = 0; i < image.size(); ++i) {
            image[i] = static_cast<char>(i * 31 + (i >> 9));
        }
        std::ofstream(path, std::ios::binary).write(image.data(), static_cast<std::streamsize>(image.size()));
    }
    const std::chrono::milliseconds latency(state.range(0));
    auto provider = std::make_shared<SimProvider>();
    provider->Unplug();
    provider->Amp()->SetUpgradeMode(true);
    SimFaults faults;
    faults.latency = latency;
    provider->SetFaults(faults);
    provider->Plug();
    DeviceSession session(provider);
    if (session.Connect(nullptr) != 1) {
        state.SkipWithError("the virtual amplifier did not open");
        return;
    }
    std::chrono::duration<double> elapsed{0};
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!session.DoManualUpgrade(path.string())) {
            state.SkipWithError(session.LastUpgradeResult().message.c_str());
            break;
        }
        elapsed += std::chrono::steady_clock::now() - start;
    }
    session.Disconnect(false);
    std::filesystem::remove(path);

    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kReports));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kImageSize));
    state.counters["reports"] = static_cast<double>(kReports);
    state.counters["per_report_us"] = benchmark::Counter(
        static_cast<double>(state.iterations() * kReports),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
    if (latency.count() > 0) {
        const double bound = static_cast<double>(kReports) * std::chrono::duration<double>(latency).count();
        state.counters["vs_reply_bound"] =
            benchmark::Counter(static_cast<double>(state.iterations()) * bound,
                               benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    }
}
BENCHMARK(BM_FirmwareTransfer64K)
    ->Arg(0)
    ->ArgName("latency_ms")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_FirmwareTransfer64K)
    ->Arg(1)
    ->ArgName("latency_ms")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

}  // namespace
}  // namespace varnoth
