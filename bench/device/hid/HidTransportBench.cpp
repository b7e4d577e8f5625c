// SPDX-License-Identifier: GPL-3.0-or-later
#include <benchmark/benchmark.h>

#include <condition_variable>
#include <memory>
#include <mutex>

#include "FakeHidBackend.h"
#include "device/hid/HidTransport.h"

namespace varnoth {
namespace {

using test::Bytes;

// One command and its reply through the transport, the device answering at once: what remains is the
// transport's own cost (hand-over to the reader, waking it, delivery).
void BM_RoundTrip(benchmark::State& state) {
    test::FakeHidBackend backend;
    auto hid = backend.Add("/dev/hidraw1", kNormalIds);
    hid->canWake = state.range(0) != 0;
    hid->responder = [](const Bytes& report) {
        Bytes reply(kReportSize, 0);
        reply[0] = 2;
        reply[1] = report[1];
        return reply;
    };
    HidTransport transport(backend.Open(hid->info).device);

    std::mutex mutex;
    std::condition_variable replied;
    std::uint64_t delivered = 0;
    transport.StartReader([&](const Report&) {
        std::lock_guard lock(mutex);
        ++delivered;
        replied.notify_one();
    });

    Report command{2, 0x0b, 1, 2, 8};
    std::uint64_t sent = 0;
    for (auto _ : state) {
        transport.Transfer(command);
        ++sent;
        std::unique_lock lock(mutex);
        replied.wait(lock, [&] { return delivered == sent; });
    }
    transport.StopReader(std::chrono::milliseconds(1000));
    state.SetLabel(hid->canWake ? "read woken for writes" : "read runs its slice");
}
BENCHMARK(BM_RoundTrip)->Arg(1)->Arg(0)->UseRealTime();

}  // namespace
}  // namespace varnoth
