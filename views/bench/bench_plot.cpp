// Plot drawing speed: eight traces of 256 k points each in a 1600 x 600 plot, the whole length and
// a zoomed 10 km window. "Rebuild" draws the curves into the trace layer (reduced to per-column
// extremes, or as the polyline of every visible point for comparison); "Repaint" is what every
// paint does: background, grid, the layer copy, scale texts, markers and readouts.
#include "COtdrTrace.h"
#include "Settings.h"
#include "TraceRecord.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr std::uint32_t kPoints = 256 * 1024;
constexpr int kTraces = 8;

struct Setup {
    std::vector<std::unique_ptr<TraceRecord>> records;
    std::unique_ptr<COtdrTrace> plot;
};

Setup& setup()
{
    static Setup s = [] {
        Setup st;
        DisplaySettings& ds = displaySettings();
        const std::uint32_t colours[8] = {0xFF0000, 0x0000DC, 0x009600, 0x0080FF, 0x808080, 0xA0A000, 0x004080, 0x00A0C8};
        for (int i = 0; i < 8; ++i)
            ds.traceColour[static_cast<std::size_t>(i)] = colours[i];
        ds.backgroundColour = 0xFFFFFF;
        ds.gridColour = 0xC8C8C8;
        ds.cursorColour = 0xE600E6;
        ds.gridShown = 1;
        ds.multiTraceDisplay = 1;
        ds.distanceUnit = std::string(1, 'm');  // (a literal here trips a false -Wrestrict of GCC 12)
        std::mt19937 rng(7);
        std::normal_distribution<float> noise(0.0f, 1.0f);
        for (int t = 0; t < kTraces; ++t) {
            auto r = std::make_unique<TraceRecord>();
            r->samples.resize(kPoints);
            r->sampleCount = kPoints;
            r->sampleSpacing = 0.5f;
            r->length = 0.5f * kPoints;
            for (std::uint32_t i = 0; i < kPoints; ++i) {
                const float km = 0.0005f * static_cast<float>(i);
                float level = 30.0f - 0.2f * km - 0.5f * static_cast<float>(t) - (km > 40 ? 1.0f : 0.0f);
                level += noise(rng) * (0.01f + 0.004f * km);  // noise grows with distance
                if (i % 20000 < 8)
                    level += 4.0f;  // reflections
                r->samples[i] = static_cast<std::uint16_t>(std::clamp(65535.0f - level * 1000.0f, 0.0f, 65535.0f));
            }
            for (int e = 0; e < 10; ++e)
                r->events.push_back({static_cast<int>(e * 20000), 1, 0.5f * static_cast<float>(e * 20000)});
            st.records.push_back(std::move(r));
        }
        viewWindow().fullScaleDb = 40;
        st.plot = std::make_unique<COtdrTrace>();
        const int sb = st.plot->verticalBar()->sizeHint().width();
        const int sh = st.plot->horizontalBar()->sizeHint().height();
        st.plot->resize(1600 + sb, 600 + sh);
        for (const auto& r : st.records)
            st.plot->AddCurve(*r, r->colour);
        st.plot->setMarkersShown(true);
        st.plot->setEventMarksOn(true);
        return st;
    }();
    return s;
}

void window(COtdrTrace& plot, bool zoomed)
{
    if (zoomed)
        plot.SetWindow(30000, 40000, 15, 30, true);
    else
        plot.SetWindow(0, plot.state().maxLength(), 0, 40, true);
}

void BM_Rebuild(benchmark::State& state)
{
    COtdrTrace& plot = *setup().plot;
    window(plot, state.range(0) != 0);
    plot.setColumnReduction(state.range(1) != 0);
    plot.setEventMarksOn(state.range(2) != 0);
    for (auto _ : state) {
        plot.RebuildTraceLayer(plot.currentCurve());
        benchmark::DoNotOptimize(plot.traceLayer().constBits());
    }
    plot.setColumnReduction(true);
    plot.setEventMarksOn(true);
    state.SetLabel(std::string(state.range(0) ? "zoomed 10 km" : "full 131 km") +
                   (state.range(1) ? ", per-column extremes" : ", polyline of every point") +
                   (state.range(2) ? ", event marks" : ""));
}

// The reduction alone, without drawing.
void BM_Reduce(benchmark::State& state)
{
    COtdrTrace& plot = *setup().plot;
    window(plot, state.range(0) != 0);
    for (auto _ : state)
        for (const PlotCurve& c : plot.state().curves())
            benchmark::DoNotOptimize(curvePolyline(plot.state(), c, true).size());
    state.SetLabel(state.range(0) ? "zoomed 10 km" : "full 131 km");
}

void BM_Repaint(benchmark::State& state)
{
    COtdrTrace& plot = *setup().plot;
    window(plot, state.range(0) != 0);
    plot.RebuildTraceLayer(plot.currentCurve());
    QImage target(plot.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter p(&target);
        plot.renderPlot(p);
        p.end();
        benchmark::DoNotOptimize(target.constBits());
    }
    state.SetLabel(state.range(0) ? "zoomed 10 km" : "full 131 km");
}

} // namespace

BENCHMARK(BM_Rebuild)
    ->Args({0, 1, 1})
    ->Args({0, 1, 0})
    ->Args({0, 0, 1})
    ->Args({1, 1, 1})
    ->Args({1, 1, 0})
    ->Args({1, 0, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reduce)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Repaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
