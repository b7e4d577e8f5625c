// SPDX-License-Identifier: GPL-3.0-or-later
#include <benchmark/benchmark.h>

#include <QImage>

#include "../BenchApplication.h"
#include "ui/controls/EqGraph.h"

namespace {

// The graphic EQ at its size in the main window: 10 bands with gains, one selected.
void Prepare(varnoth::EqGraph& panel) {
    panel.resize(787, 195);
    const float gains[] = {6, 4, 2, 0, -3, -5, -2, 3, 8, 12};
    for (int i = 0; i < 10; ++i) {
        panel.Point(i).gain = gains[i];
        varnoth::EqGraph::CalcResponse(panel.Point(i));
    }
    panel.SetSelected(9);
}

void BM_GraphicPanelRepaint(benchmark::State& state) {
    varnoth::bench::BenchApplication();
    varnoth::EqGraph panel;
    Prepare(panel);
    QImage target(panel.size(), QImage::Format_ARGB32_Premultiplied);
    panel.render(&target);
    for (auto _ : state) {
        panel.render(&target);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_GraphicPanelRepaint)->Unit(benchmark::kMicrosecond);

void BM_GraphicPanelRepaintWithGrid(benchmark::State& state) {
    varnoth::bench::BenchApplication();
    varnoth::EqGraph panel;
    Prepare(panel);
    QImage target(panel.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        panel.DiscardBackground();
        panel.render(&target);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_GraphicPanelRepaintWithGrid)->Unit(benchmark::kMicrosecond);

}  // namespace
