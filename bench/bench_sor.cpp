// SOR component throughput on a 250 KB file: parsing and serialising in memory, and reading and
// saving through files (the save includes the fsync of the atomic replace).
#include "SorFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

// About 250 KB: 124 000 samples, a dozen events, a maker block.
SORDATA benchRecord()
{
    SORDATA d;
    SorDataSet set;
    set.samples.resize(124000);
    for (std::size_t i = 0; i < set.samples.size(); ++i)
        set.samples[i] = static_cast<uint16_t>(20000 + (i * 7) % 30000);
    set.pointCount = static_cast<uint32_t>(set.samples.size());
    d.dataSets.push_back(std::move(set));
    d.pulseWidth = 100;
    d.wavelength = 1550;
    d.samplingRate = 50.0f;
    d.refractiveIndex = 1.4685f;
    d.groupIndex = 146850;
    for (int i = 0; i < 12; ++i) {
        SorKeyEvent e;
        e.propagationTime = 10000 * i;
        e.eventLoss = 150;
        e.eventCode = "0F9999";
        e.lossTechnique = "LS";
        d.keyEvents.push_back(e);
    }
    SorBlock maker;
    maker.name = "MakerBlock";
    maker.revision = 200;
    maker.bytes.assign(1000, 0x5A);
    d.carried.blocks.push_back(maker);
    return d;
}

const std::vector<uint8_t>& benchBytes()
{
    static const std::vector<uint8_t> bytes = [] {
        std::vector<uint8_t> out;
        serializeSor(benchRecord(), out);
        return out;
    }();
    return bytes;
}

std::string tempPath(const char* tag)
{
    return (std::filesystem::temp_directory_path() / (std::string("bench_sor_") + tag + "_" + std::to_string(::getpid()) + ".sor")).string();
}

void BM_ParseSor(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = benchBytes();
    for (auto _ : state) {
        SORDATA d;
        benchmark::DoNotOptimize(parseSor(bytes, d));
        benchmark::DoNotOptimize(d.dataSets.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
    state.counters["file_bytes"] = double(bytes.size());
}
BENCHMARK(BM_ParseSor);

void BM_SerializeSor(benchmark::State& state)
{
    SORDATA d;
    parseSor(benchBytes(), d);
    std::vector<uint8_t> out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(serializeSor(d, out));
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(benchBytes().size()));
}
BENCHMARK(BM_SerializeSor);

void BM_ReadSorFile(benchmark::State& state)
{
    const std::string path = tempPath("read");
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(benchBytes().data()), std::streamsize(benchBytes().size()));
    }
    for (auto _ : state) {
        SORDATA d;
        CSorFile file;
        benchmark::DoNotOptimize(file.readSorFile(path, d));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(benchBytes().size()));
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadSorFile);

// Includes fsync of the file and its folder: bound by the disk, not by the encoder.
void BM_SaveSorFile(benchmark::State& state)
{
    const std::string path = tempPath("save");
    SORDATA d;
    parseSor(benchBytes(), d);
    for (auto _ : state) {
        CSorFile file;
        benchmark::DoNotOptimize(file.saveSorFile(path, d));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(benchBytes().size()));
    std::remove(path.c_str());
}
BENCHMARK(BM_SaveSorFile)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
