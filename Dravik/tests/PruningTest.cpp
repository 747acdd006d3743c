// The pruning passes on hand-built event lists over hand-made traces.
#include "AnalysisSteps.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace {

using Trace = std::vector<unsigned short>;

unsigned short sampleOfLevel(int level) { return static_cast<unsigned short>(65535 - level); }

// A fibre falling 0.35 dB/km (about 0.7 level units per sample at 50 MHz) up to `end`, then the
// noise floor.
Trace fibre(int end, int total)
{
    Trace t;
    for (int j = 0; j < total; ++j)
        t.push_back(sampleOfLevel(j < end ? 40000 - j * 7 / 10 : 500));
    return t;
}

struct Ev {
    int index;
    int type;
    float loss = 0;
    float height = 0;
};

Dravik_Result record(std::initializer_list<Ev> events)
{
    Dravik_Result r = dravik::initialRecord();
    for (const Ev& e : events) {
        dravik::appendEvent(r, e.type, e.index, 'F');
        r.loss[r.count - 1] = e.loss;
        r.reflectance[r.count - 1] = e.height;
    }
    r.code[0] = 'S';
    r.code[r.count - 1] = 'E';
    return r;
}

std::vector<int> indices(const Dravik_Result& r) { return std::vector<int>(r.index, r.index + r.count); }

class Pruning : public ::testing::Test {
protected:
    dravik::AnalysisContext context(int pulseWidthNs = 100, float rateMHz = 50, float lossDb = 0.1f,
                                    float reflectionDb = 1.0f)
    {
        dravik::AnalysisContext c;
        const dravik::Params p{1310, pulseWidthNs, 1.4685f, rateMHz, 0.0f};
        EXPECT_TRUE(dravik::makeContext(c, p, {trace.data(), static_cast<int>(trace.size())}, lossDb,
                                        reflectionDb, 0));
        return c;
    }
    Trace trace = fibre(11500, 12000);
};

TEST_F(Pruning, ThresholdsRemoveWeakAndNegativeSteps)
{
    // Loss threshold 0.1 dB, reflection threshold 1.0 dB.
    const Dravik_Result r = record({{100, 1},
                                    {2000, 0, 0.08f},         // too small
                                    {4000, 0, 0.12f},         // stays
                                    {6000, 1, 0.2f, 0.5f},    // small reflection, but loses enough
                                    {8000, 1, 0.05f, 0.5f},   // small reflection, small loss
                                    {9000, 0, -0.2f},         // a gainer
                                    {11000, 1}});
    const Dravik_Result out = dravik::pruneThresholds(context(), r);
    EXPECT_EQ(indices(out), (std::vector<int>{100, 4000, 6000, 11000}));
}

TEST_F(Pruning, ThresholdsRemoveAStepCloseToAnEventTwoPlacesBefore)
{
    // W = 40: the step at 2030 lies 30 samples behind the reflection at 2000, two places before.
    const Dravik_Result r = record({{100, 1}, {2000, 1, 0.5f, 2}, {2010, 1, 0.5f, 2}, {2030, 0, 0.12f}, {11000, 1}});
    const Dravik_Result out = dravik::pruneThresholds(context(), r);
    EXPECT_EQ(indices(out), (std::vector<int>{100, 2000, 2010, 11000}));
}

TEST_F(Pruning, GhostOfTheFirstReflectionAtTwiceItsDistance)
{
    // At 50 MHz the tolerance is 4 samples; the trace is at the floor, below the ghost limit.
    trace.assign(12000, sampleOfLevel(535));
    EXPECT_EQ(dravik::ghostTolerance(50), 4);
    EXPECT_EQ(dravik::ghostTolerance(25), 2);
    EXPECT_EQ(dravik::ghostTolerance(75), 3);
    const dravik::AnalysisContext c = context();
    EXPECT_EQ(dravik::pruneEndGhosts(c, record({{100, 1}, {5000, 1}, {10003, 1}})).count, 2);
    EXPECT_EQ(dravik::pruneEndGhosts(c, record({{100, 1}, {5000, 1}, {10005, 1}})).count, 3);
}

TEST_F(Pruning, MinimumReflectionHeightByPulseWidth)
{
    const Dravik_Result r = record({{100, 1}, {2000, 1, 0, 1.0f}, {4000, 1, 0, 1.1f}, {6000, 1, 0, 0.4f},
                                    {8000, 1, 0, 0.5f}, {11000, 1}});
    EXPECT_EQ(indices(dravik::pruneWeakReflections(context(20), r)), (std::vector<int>{100, 4000, 11000}));
    EXPECT_EQ(indices(dravik::pruneWeakReflections(context(50), r)),
              (std::vector<int>{100, 2000, 4000, 8000, 11000}));
    EXPECT_EQ(dravik::pruneWeakReflections(context(200), r).count, 6);  // longer pulses: no minimum
}

TEST_F(Pruning, TwoEventsAreLeftAlone)
{
    const Dravik_Result r = record({{100, 1}, {150, 0}});
    const dravik::AnalysisContext c = context();
    for (const Dravik_Result& out : {dravik::pruneEndGhosts(c, r), dravik::pruneEndEvent(c, r),
                                     dravik::pruneFallingTail(c, r), dravik::pruneReflectionTail(c, r)})
        EXPECT_EQ(indices(out), (std::vector<int>{100, 150}));
}

TEST_F(Pruning, EndEventCloseBehindAStepIsRemovedAndAFarOneMarked)
{
    const dravik::AnalysisContext c = context();  // W = 40
    EXPECT_EQ(indices(dravik::pruneEndEvent(c, record({{100, 1}, {3000, 0}, {3050, 0}}))),
              (std::vector<int>{100, 3000}));
    Dravik_Result marked = record({{100, 1}, {3000, 0}, {3150, 0}});
    marked.code[2] = 'F';
    marked = dravik::pruneEndEvent(c, marked);
    EXPECT_EQ(marked.count, 3);
    EXPECT_EQ(marked.code[2], 'E');
}

TEST_F(Pruning, DeadZoneOfLongPulsesAndDoubleEndReflection)
{
    // 1000 ns at 25 MHz: W = 80.
    const Dravik_Result r = record({{100, 1}, {2000, 1}, {2100, 0}, {4000, 0}, {11000, 1}});
    EXPECT_EQ(indices(dravik::pruneDeadZone(context(1000, 25), r)), (std::vector<int>{100, 2000, 4000, 11000}));
    EXPECT_EQ(dravik::pruneDeadZone(context(500, 25), r).count, 5);  // shorter pulses: no dead-zone rule

    const dravik::AnalysisContext c = context();  // W = 40: ends closer than 10 samples
    EXPECT_EQ(dravik::pruneDoubleEnd(c, record({{100, 1}, {11000, 1}, {11009, 1}})).count, 2);
    EXPECT_EQ(dravik::pruneDoubleEnd(c, record({{100, 1}, {11000, 1}, {11010, 1}})).count, 3);
}

TEST_F(Pruning, FallingTailBehindTheLastReflection)
{
    // The trace falls 2 dB over the 40 samples in front of 5100, behind a reflection at 5000.
    for (int j = 5060; j < 12000; ++j)
        trace[j] = static_cast<unsigned short>(trace[j] + std::min(50 * (j - 5060), 2000));
    const dravik::AnalysisContext c = context();
    EXPECT_EQ(indices(dravik::pruneFallingTail(c, record({{100, 1}, {5000, 1}, {5100, 0}}))),
              (std::vector<int>{100, 5000}));
    // On the plain fibre the drop is the fibre's own: the event stays.
    EXPECT_EQ(dravik::pruneFallingTail(c, record({{100, 1}, {5000, 1}, {5300, 0}})).count, 3);
}

TEST_F(Pruning, StepOnAReflectionsTailGoesAFarSpliceStays)
{
    // A connector at 2000 rising to 4 dB over 20 samples, then falling back over 30 samples. A
    // step at 2030 sits on that tail; a splice 1000 samples (about 2 km) further lies 0.7 dB below
    // the connector's fibre level only through the fibre's own attenuation.
    for (int j = 2000; j < 2050; ++j) {
        const int rise = j < 2020 ? (j - 1999) * 200 : 4000 - (j - 2020) * 4000 / 30;
        trace[j] = static_cast<unsigned short>(trace[j] - rise);
    }
    for (int j = 3000; j < 12000; ++j)
        trace[j] = static_cast<unsigned short>(trace[j] + 300);
    const Dravik_Result r = record({{100, 1}, {2000, 1}, {2030, 0}, {3000, 0}, {11000, 1}});
    EXPECT_EQ(indices(dravik::pruneReflectionTail(context(), r)), (std::vector<int>{100, 2000, 3000, 11000}));
}

TEST_F(Pruning, EventsAtBothEndsOfAShortTraceStayInsideTheArray)
{
    // Every window of every pass reaches beyond a 30-sample trace here; the sanitizer build
    // checks that nothing is read outside it.
    for (int pulse : {20, 100, 1000}) {
        trace = fibre(20, 30);
        const dravik::AnalysisContext c = context(pulse);
        const Dravik_Result r = record({{0, 1}, {1, 0, 0.5f}, {15, 1, 0.5f, 2}, {28, 0, 0.5f}, {29, 1}});
        const Dravik_Result out = dravik::pruneEvents(c, r);
        ASSERT_GE(out.count, 1);
        EXPECT_EQ(out.index[0], 0);
        for (int i = 1; i < out.count; ++i) {
            EXPECT_LT(out.index[i - 1], out.index[i]);
            EXPECT_LE(out.index[i], 29);
        }
    }
}

TEST_F(Pruning, WholeSequenceKeepsOrderAndCodes)
{
    const Dravik_Result r = record({{100, 1}, {2000, 0, 0.3f}, {5000, 1, 0.5f, 4}, {11500, 1}});
    for (int j = 2000; j < 12000; ++j)
        trace[j] = static_cast<unsigned short>(trace[j] + 300);
    for (int j = 5000; j < 5010; ++j)
        trace[j] = static_cast<unsigned short>(trace[j] - 4000);
    const Dravik_Result out = dravik::pruneEvents(context(), r);
    ASSERT_GE(out.count, 2);
    EXPECT_EQ(out.code[0], 'S');
    EXPECT_EQ(out.code[out.count - 1], 'E');
    for (int i = 1; i < out.count; ++i)
        EXPECT_LT(out.index[i - 1], out.index[i]);
    EXPECT_FLOAT_EQ(out.loss[out.count - 1], 0.0f);
}

} // namespace
