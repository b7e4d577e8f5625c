// SPDX-License-Identifier: GPL-3.0-or-later
#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "device/Opcodes.h"
#include "device/sim/SimTransport.h"
#include "device/sim/VirtualAmp.h"

namespace varnoth {
namespace {

Report Command(std::uint8_t opcode, std::initializer_list<int> args = {}) {
    Report r{};
    r[0] = 2;
    r[1] = opcode;
    std::size_t at = 2;
    for (int a : args) {
        r[at++] = static_cast<std::uint8_t>(a);
    }
    return r;
}

// The commands of one synchronisation: identity, mode, mic-controls-sub, the fifty register reads, records.
std::vector<Report> ReadAllCommands() {
    std::vector<Report> commands{Command(op::ReadDevName), Command(op::ReadDevDate),
                                 Command(op::ReadCurEffectMode), Command(op::ReadMicControlSub)};
    auto reads = [&](int block, std::initializer_list<int> indexes) {
        for (int index : indexes) {
            commands.push_back(Command(op::ReadRegisterArray, {block, index, 8}));
        }
    };
    reads(8, {4, 5, 6, 7, 8, 9});
    reads(5, {0, 1, 2, 3, 4, 5});
    reads(9, {0, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14});
    reads(3, {0, 1, 2, 3, 4, 5, 6, 7, 8});
    reads(10, {32, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    reads(11, {1, 2, 3, 4, 5, 6, 7});
    commands.push_back(Command(op::Machine_ReadAll));
    commands.push_back(Command(op::ReadIRSet));
    return commands;
}

// One synchronisation answered through ReadOne, without a reader thread.
void BM_ReadAllThroughReadOne(benchmark::State& state) {
    SimTransport link(std::make_shared<VirtualAmp>());
    const std::vector<Report> commands = ReadAllCommands();
    for (auto _ : state) {
        for (const Report& c : commands) {
            link.Transfer(c);
            benchmark::DoNotOptimize(link.ReadOne(std::chrono::seconds(1)));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(commands.size()));
}
BENCHMARK(BM_ReadAllThroughReadOne);

// One command at a time, each waiting for its reply from the reader thread, as the host's flow control does.
void BM_PacedRoundTripThroughReader(benchmark::State& state) {
    SimTransport link(std::make_shared<VirtualAmp>());
    std::mutex mutex;
    std::condition_variable arrived;
    std::uint64_t delivered = 0;
    link.StartReader([&](const Report&) {
        std::lock_guard lock(mutex);
        ++delivered;
        arrived.notify_one();
    });
    const Report command = Command(op::ReadRegister, {8, 0x30, 0});
    std::uint64_t sent = 0;
    for (auto _ : state) {
        link.Transfer(command);
        ++sent;
        std::unique_lock lock(mutex);
        arrived.wait(lock, [&] { return delivered == sent; });
    }
    link.StopReader(std::chrono::seconds(5));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PacedRoundTripThroughReader);

}  // namespace
}  // namespace varnoth
