// SPDX-License-Identifier: GPL-3.0-or-later
#include <benchmark/benchmark.h>

#include "ui/controls/EqResponse.h"

namespace {

void BM_CalcResponse(benchmark::State& state) {
    varnoth::EqPoint point;
    point.type = static_cast<int>(state.range(0));
    point.freq = 1000.0f;
    point.gain = 9.0f;
    point.q = 1.4f;
    for (auto _ : state) {
        varnoth::CalcResponse(point);
        benchmark::DoNotOptimize(point.response.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CalcResponse)->Arg(varnoth::EQ_TYPE_PEAK)->Arg(varnoth::EQ_TYPE_LOWSHELF);

}  // namespace
