#include "TraceTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

EventItem makeEvent(int i)
{
    EventItem e;
    e.sampleIndex = 100 * i;
    e.eventType = i % 2;
    e.distance = 10.0f * i;
    e.eventLoss = 0.1f * i;
    e.reflectance = 40.0f + i;
    e.attenuation = 0.2f;
    e.totalLoss = 0.5f * i;
    e.valueA = static_cast<float>(i);
    e.valueB = 2.0f * i;
    e.codeLetter = i == 0 ? 'S' : 'F';
    return e;
}

// Fills slots 0..n-1 as a successful read does, each trace marked by its sample count.
void loadTraces(TraceTable& t, int n)
{
    for (int i = 0; i < n; ++i) {
        TraceSlot& s = t.slots[static_cast<std::size_t>(i)];
        s.loaded = 1;
        s.fileName = "t" + std::to_string(i) + ".sor";
        s.filePath = "/data/T" + std::to_string(i) + ".SOR";
        s.record->sampleCount = static_cast<std::uint32_t>(1000 + i);
        ++t.loadedCount;
        s.record->colour = t.traceColourFor(t.loadedCount);
        t.currentTrace = i;
    }
}

TraceTable& freshTable()
{
    static std::unique_ptr<TraceTable> table;
    table = std::make_unique<TraceTable>();
    for (int i = 0; i < MAX_OPEN_TRACES; ++i)
        table->traceColours[static_cast<std::size_t>(i)] = 0x100u + static_cast<std::uint32_t>(i);
    return *table;
}

} // namespace

TEST(TraceRecord, FreshRecordIsEmptyBlueWithInitialEngineRecord)
{
    TraceRecord r;
    EXPECT_TRUE(r.samples.empty());
    EXPECT_EQ(r.sampleCount, 0u);
    EXPECT_EQ(r.colour, 0xFF0000u);
    EXPECT_TRUE(r.events.empty());
    EXPECT_EQ(r.result.count, 0);
    EXPECT_EQ(r.result.valueB, 10.0f);
    EXPECT_EQ(r.result.valueA, 0.0f);
    Dravik_Result zero = initialDravikResult();
    zero.valueB = 0;
    Dravik_Result allZero;
    std::memset(&allZero, 0, sizeof allZero);
    EXPECT_EQ(std::memcmp(&zero, &allZero, sizeof zero), 0);
}

TEST(TraceRecord, SampleSpacingUsesSinglePrecisionLightSpeed)
{
    TraceRecord r;
    r.sampleRateMHz = 50;
    r.refractiveIndex = 1.4685f;
    computeSampleSpacing(r);
    EXPECT_FLOAT_EQ(r.sampleSpacing, 2.0414875f);

    r.sampleRateMHz = 0;  // a file without a rate gives no spacing rather than infinity
    computeSampleSpacing(r);
    EXPECT_EQ(r.sampleSpacing, 0.0f);
}

TEST(TraceRecord, SyncCopiesUpTo100EventsAndLeavesRecordAloneBeyond)
{
    TraceRecord r;
    for (int i = 0; i < 100; ++i)
        r.events.push_back(makeEvent(i));
    syncEventsToResult(r);
    ASSERT_EQ(r.result.count, 100);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(r.result.index[i], 100 * i);
        EXPECT_EQ(r.result.type[i], i % 2);
        EXPECT_FLOAT_EQ(r.result.loss[i], 0.1f * i);
        EXPECT_FLOAT_EQ(r.result.reflectance[i], 40.0f + i);
        EXPECT_FLOAT_EQ(r.result.attenuation[i], 0.2f);
        EXPECT_FLOAT_EQ(r.result.totalLoss[i], 0.5f * i);
        EXPECT_EQ(r.result.code[i], i == 0 ? 'S' : 'F');
    }
    // The record-wide values are those of the last event.
    EXPECT_EQ(r.result.valueA, 99.0f);
    EXPECT_EQ(r.result.valueB, 198.0f);

    const Dravik_Result before = r.result;
    r.events.push_back(makeEvent(100));
    r.events[0].sampleIndex = 7;
    syncEventsToResult(r);
    EXPECT_EQ(std::memcmp(&before, &r.result, sizeof before), 0);
}

TEST(TraceRecord, RebuildFromEngineRecordUsesTraceIndexAndRate)
{
    TraceRecord r;
    r.refractiveIndex = 1.5f;
    r.sampleRateMHz = 50;
    Dravik_Result res = initialDravikResult();
    res.count = 3;
    const int idx[3] = {0, 1000, 2500};
    const char codes[3] = {'S', 'F', 'E'};
    for (int i = 0; i < 3; ++i) {
        res.index[i] = idx[i];
        res.type[i] = i == 2;
        res.loss[i] = 0.3f * i;
        res.reflectance[i] = i == 2 ? 45.f : 0.f;
        res.attenuation[i] = 0.2f;
        res.totalLoss[i] = 1.0f * i;
        res.code[i] = codes[i];
    }
    res.valueA = 3.5f;
    r.events.push_back(makeEvent(9));  // replaced, not appended to
    applyEngineResult(r, res);

    ASSERT_EQ(r.events.size(), 3u);
    const float s = static_cast<float>(299792448.0 / 1.5 / 50 / 1000000.0 * 0.5);
    for (int i = 0; i < 3; ++i) {
        const EventItem& e = r.events[static_cast<std::size_t>(i)];
        EXPECT_EQ(e.sampleIndex, idx[i]);
        EXPECT_EQ(e.eventType, i == 2 ? 1 : 0);
        EXPECT_FLOAT_EQ(e.distance, static_cast<float>(idx[i]) * s);
        EXPECT_FLOAT_EQ(e.eventLoss, 0.3f * i);
        EXPECT_FLOAT_EQ(e.totalLoss, 1.0f * i);
        EXPECT_EQ(e.valueA, 3.5f);
        EXPECT_EQ(e.valueB, 10.0f);
        EXPECT_EQ(e.codeLetter, codes[i]);
    }
    EXPECT_NEAR(r.events[1].distance, 1998.6163f, 0.001f);
    EXPECT_EQ(std::memcmp(&r.result, &res, sizeof res), 0);

    // A record-wide count outside 0..100 never reads beyond the arrays.
    res.count = 1000;
    applyEngineResult(r, res);
    EXPECT_EQ(r.events.size(), 100u);
}

TEST(TraceTable, ColoursOutsideOneToEightGiveColourOne)
{
    TraceTable& t = freshTable();
    EXPECT_EQ(t.traceColourFor(1), 0x100u);
    EXPECT_EQ(t.traceColourFor(8), 0x107u);
    EXPECT_EQ(t.traceColourFor(0), 0x100u);
    EXPECT_EQ(t.traceColourFor(9), 0x100u);
    EXPECT_EQ(t.traceColourFor(-3), 0x100u);
}

TEST(TraceTable, StartsWithEmptySlotsEachHoldingARecord)
{
    TraceTable& t = freshTable();
    EXPECT_EQ(t.loadedCount, 0);
    EXPECT_EQ(t.currentTrace, 0);
    EXPECT_EQ(t.firstFreeSlot(), 0);
    EXPECT_EQ(t.currentRecord(), nullptr);
    for (const TraceSlot& s : t.slots) {
        ASSERT_NE(s.record, nullptr);
        EXPECT_EQ(s.loaded, 0);
    }
}

TEST(TraceTable, ClosingCurrentMiddleTraceMovesLaterOnesDownWithTheirNewColours)
{
    TraceTable& t = freshTable();
    loadTraces(t, 5);
    t.currentTrace = 2;
    t.removeCurrentTrace();

    EXPECT_EQ(t.loadedCount, 4);
    EXPECT_EQ(t.currentTrace, 1);
    const std::uint32_t expectedCounts[4] = {1000, 1001, 1003, 1004};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(t.slots[static_cast<std::size_t>(i)].loaded, 1);
        EXPECT_EQ(t.record(i).sampleCount, expectedCounts[i]);
    }
    EXPECT_EQ(t.slots[2].fileName, "t3.sor");
    EXPECT_EQ(t.slots[3].filePath, "/data/T4.SOR");
    EXPECT_EQ(t.record(2).colour, t.traceColourFor(3));
    EXPECT_EQ(t.record(3).colour, t.traceColourFor(4));
    EXPECT_EQ(t.record(0).colour, t.traceColourFor(1));  // earlier traces keep theirs
    // The slot left behind is empty and has a fresh record.
    EXPECT_EQ(t.slots[4].loaded, 0);
    EXPECT_TRUE(t.slots[4].fileName.empty());
    EXPECT_EQ(t.record(4).sampleCount, 0u);
    EXPECT_EQ(t.record(4).colour, 0xFF0000u);
    EXPECT_EQ(t.firstFreeSlot(), 4);
    EXPECT_FALSE(t.isAlreadyLoaded("/data/T2.SOR"));
}

TEST(TraceTable, ClosingFirstAndOnlyTraces)
{
    TraceTable& t = freshTable();
    loadTraces(t, 3);
    t.currentTrace = 0;
    t.removeCurrentTrace();
    EXPECT_EQ(t.loadedCount, 2);
    EXPECT_EQ(t.currentTrace, 0);
    EXPECT_EQ(t.record(0).sampleCount, 1001u);

    TraceTable& one = freshTable();
    loadTraces(one, 1);
    one.removeCurrentTrace();
    EXPECT_EQ(one.loadedCount, 0);
    EXPECT_EQ(one.currentTrace, 0);
    EXPECT_EQ(one.slots[0].loaded, 0);
    one.removeCurrentTrace();  // nothing loaded: nothing happens
    EXPECT_EQ(one.loadedCount, 0);
}

TEST(TraceTable, AlreadyLoadedComparesPathsOfLoadedTracesIgnoringCase)
{
    TraceTable& t = freshTable();
    loadTraces(t, 2);
    EXPECT_TRUE(t.isAlreadyLoaded("/data/t1.sor"));
    EXPECT_TRUE(t.isAlreadyLoaded("/DATA/T0.SOR"));
    EXPECT_FALSE(t.isAlreadyLoaded("/data/t2.sor"));
    EXPECT_FALSE(t.isAlreadyLoaded("/data/t1.sor.bak"));
}

TEST(TraceTable, MoveSlotIgnoresIndicesOutsideTheTable)
{
    TraceTable& t = freshTable();
    loadTraces(t, 1);
    t.moveSlot(TRACE_SLOT_COUNT, 0);
    t.moveSlot(0, -1);
    EXPECT_EQ(t.slots[0].loaded, 1);
    EXPECT_EQ(t.record(0).sampleCount, 1000u);
}

TEST(TraceTable, ClearAllEmptiesEverySlot)
{
    TraceTable& t = freshTable();
    loadTraces(t, 6);
    t.clearAllTraces();
    EXPECT_EQ(t.loadedCount, 0);
    EXPECT_EQ(t.currentTrace, 0);
    EXPECT_EQ(t.firstFreeSlot(), 0);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(t.slots[static_cast<std::size_t>(i)].loaded, 0);
        EXPECT_EQ(t.record(i).sampleCount, 0u);
    }
    EXPECT_FALSE(t.isAlreadyLoaded("/data/T0.SOR"));
}
