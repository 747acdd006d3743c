// Speed of the automatic analysis (dravik_arithmetic) on generated traces of 16 k to 1 M samples.
// Target: a 256 k sample trace in under 3 ms, time growing linearly with the sample count.
// The counter "per_sample" shows the time per sample; it should stay flat across sizes (apart
// from a fixed part per event on the smallest traces).
#include "Dravik.h"
#include "TraceGenerator.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// A fibre over 80 % of the trace with splices and connectors spread along it, at 1550 nm,
// 1000 ns and 100 MHz; the attenuation is chosen so the whole fibre stays above the floor.
std::vector<unsigned short> makeTrace(int samples, int pulseWidthNs)
{
    tracegen::TraceSpec spec;
    spec.wavelengthNm = 1550;
    spec.pulseWidthNs = pulseWidthNs;
    spec.sampleRateMHz = 100;
    spec.refractiveIndex = 1.4685;
    const double metresPerSample = 150.0 / (spec.refractiveIndex * spec.sampleRateMHz);
    spec.fibreLengthM = 0.8 * samples * metresPerSample;
    spec.attenuationDbKm = 15.0 / (spec.fibreLengthM / 1000.0);
    spec.noiseFloorDb = 62.5;
    spec.launchLevelDb = 30;
    spec.noiseRmsDb = 0.3;
    spec.sampleCount = samples;
    for (int k = 1; k <= 8; ++k)
        spec.events.push_back({spec.fibreLengthM * k / 9.0, 0.3, k % 3 == 0 ? 4.0 : 0.0});
    spec.seed = 11;
    return tracegen::generate(spec).samples;
}

void analyse(benchmark::State& state, int pulseWidthNs)
{
    const int n = static_cast<int>(state.range(0));
    const std::vector<unsigned short> samples = makeTrace(n, pulseWidthNs);
    CEndDravik engine;
    int events = 0;
    for (auto _ : state) {
        const Dravik_Result r = engine.dravik_arithmetic(1550, pulseWidthNs, samples.data(), n, 2.08, 2.08, 0.0f,
                                                         0.0f, 0.0f, -80.0f, 100.0f, 1.4685f, 0);
        events = r.count;
        benchmark::DoNotOptimize(r);
    }
    state.counters["events"] = events;
    state.counters["per_sample"] = benchmark::Counter(
        static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Analysis1000ns(benchmark::State& state) { analyse(state, 1000); }
void BM_Analysis50ns(benchmark::State& state) { analyse(state, 50); }

} // namespace

BENCHMARK(BM_Analysis1000ns)->RangeMultiplier(4)->Range(16 << 10, 1 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Analysis50ns)->RangeMultiplier(4)->Range(16 << 10, 1 << 20)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
