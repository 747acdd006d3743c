// Start of the fibre and the first cleaned event list, on hand-made traces.
#include "AnalysisSteps.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Trace = std::vector<unsigned short>;

unsigned short sampleOfLevel(int level) { return static_cast<unsigned short>(65535 - level); }

// Launch reflection at level 50000 up to sample fallStart - 1, a fall of 400 per sample to the
// fibre at level 30000, the fibre falling 1 per sample up to `fibreEnd`, then the floor.
Trace launchAndFibre(int fallStart, int fibreEnd, int total)
{
    Trace t;
    for (int j = 0; j < total; ++j) {
        int v;
        if (j < fallStart)
            v = 50000;
        else if (j < fallStart + 50)
            v = 50000 - 400 * (j - fallStart + 1);
        else if (j < fibreEnd)
            v = 30000 - (j - fallStart - 50);
        else
            v = 500;
        t.push_back(sampleOfLevel(v));
    }
    return t;
}

dravik::AnalysisContext context(const Trace& t, int pulseWidthNs, float rateMHz)
{
    dravik::AnalysisContext c;
    const dravik::Params p{1310, pulseWidthNs, 1.4685f, rateMHz, 0.0f};
    EXPECT_TRUE(dravik::makeContext(c, p, {t.data(), static_cast<int>(t.size())}, 0, 0, 0));
    return c;
}

TEST(FibreStart, FlatTraceKeepsTheWholeScanRange)
{
    // W = 8 (10 ns, 100 MHz), O = 20: the scan runs over samples 20 .. 42 and, with no fall,
    // the start is the last highest sample of that range.
    const Trace t(1000, sampleOfLevel(30000));
    const dravik::StartSearch s = dravik::findFibreStart(context(t, 10, 100));
    EXPECT_EQ(s.startValue, 42);
    EXPECT_EQ(s.start, 42);
}

TEST(FibreStart, EndOfTheLaunchFall)
{
    // W = 40 (100 ns, 50 MHz): the fall from 30 reaches the fibre level at 79; the fibre starts at 80.
    const Trace t = launchAndFibre(30, 3000, 4000);
    const dravik::StartSearch s = dravik::findFibreStart(context(t, 100, 50));
    EXPECT_EQ(s.startValue, 80);
    EXPECT_EQ(s.start, 80);
}

TEST(FibreStart, StartInsideHalfAWindowBecomesOnePulseLength)
{
    // W = 200 (1000 ns, 100 MHz): a start at 80 lies inside W / 2 and is replaced by
    // (1000 / 40) x (100 / 25) = 100; the start value keeps 80.
    const Trace t = launchAndFibre(30, 3000, 4000);
    const dravik::StartSearch s = dravik::findFibreStart(context(t, 1000, 100));
    EXPECT_EQ(s.startValue, 80);
    EXPECT_EQ(s.start, 100);
    // Tiny and empty-ish traces stay inside the array.
    const Trace tiny(3, sampleOfLevel(30000));
    const dravik::StartSearch t3 = dravik::findFibreStart(context(tiny, 1000, 100));
    EXPECT_GE(t3.start, 0);
    EXPECT_LT(t3.start, 3);
}

class Positions : public ::testing::Test {
protected:
    // W = 40 (100 ns, 50 MHz). A connector (+3 dB, 10 samples) at 1000, a 0.5 dB step over five
    // samples from 2000, and the fibre end at 3000 with or without a reflection.
    Trace trace(bool endReflection) const
    {
        Trace t = launchAndFibre(30, 3000, 4000);
        for (int j = 1000; j < 1010; ++j)
            t[j] = static_cast<unsigned short>(t[j] - 3000);
        for (int j = 2000; j < 3000; ++j)
            t[j] = static_cast<unsigned short>(t[j] + std::min(100 * (j - 1999), 500));
        if (endReflection)
            for (int j = 3000; j < 3010; ++j)
                t[j] = sampleOfLevel(27000);
        return t;
    }

    // Candidates as the search leaves them: the connector's peak, the step, the end event at U
    // typed from the trace.
    static dravik::CandidateList candidates(const dravik::AnalysisContext& ctx, int end)
    {
        dravik::CandidateList c;
        c.record = dravik::initialRecord();
        dravik::appendEvent(c.record, 1, 1003, 'F');
        dravik::appendEvent(c.record, 0, 2010, 'F');
        dravik::appendEvent(c.record, dravik::endEventType(ctx, end), end, 'F');
        c.endPosition = end;
        return c;
    }
};

TEST_F(Positions, OnsetsStartAndEnd)
{
    const Trace t = trace(true);
    const dravik::AnalysisContext c = context(t, 100, 50);
    const dravik::PositionedList p = dravik::eventPositions(c, candidates(c, 3000));
    const Dravik_Result& r = p.record;
    ASSERT_EQ(r.count, 4);
    // The start: the instrument's connector, reflective.
    EXPECT_EQ(r.index[0], 80);
    EXPECT_EQ(r.type[0], 1);
    EXPECT_EQ(r.code[0], 'S');
    // The connector begins at the last fibre sample in front of its rise.
    EXPECT_EQ(r.index[1], 999);
    EXPECT_EQ(r.type[1], 1);
    EXPECT_EQ(r.code[1], 'F');
    // The step: the ten-sample slope rule puts it at the start of the first ten-sample window
    // that reaches into the step (its first sample is 2000).
    EXPECT_EQ(r.index[2], 1989);
    EXPECT_EQ(r.type[2], 0);
    EXPECT_NEAR(r.loss[2], 0.5, 0.1);
    // The end event appended at U: reflective, as the trace rises behind it.
    EXPECT_EQ(r.index[3], 3000);
    EXPECT_EQ(r.type[3], 1);
    EXPECT_EQ(r.code[3], 'E');
}

TEST_F(Positions, EndWithoutReflectionIsNonReflective)
{
    const Trace t = trace(false);
    const dravik::AnalysisContext c = context(t, 100, 50);
    const dravik::PositionedList p = dravik::eventPositions(c, candidates(c, 2999));
    ASSERT_GE(p.record.count, 2);
    EXPECT_EQ(p.record.index[p.record.count - 1], 2999);
    EXPECT_EQ(p.record.type[p.record.count - 1], 0);
    EXPECT_EQ(p.record.code[p.record.count - 1], 'E');
}

TEST_F(Positions, NoCandidatesGiveStartAndEnd)
{
    const Trace t = trace(true);
    dravik::CandidateList none;
    none.record = dravik::initialRecord();
    none.endPosition = 3000;
    const dravik::PositionedList p = dravik::eventPositions(context(t, 100, 50), none);
    ASSERT_EQ(p.record.count, 2);
    EXPECT_EQ(p.record.index[0], 80);
    EXPECT_EQ(p.record.code[0], 'S');
    EXPECT_EQ(p.record.index[1], 3000);
    EXPECT_EQ(p.record.code[1], 'E');
}

TEST_F(Positions, StepsBelowTheLossThresholdAreDropped)
{
    const Trace t = trace(true);
    dravik::AnalysisContext c = context(t, 100, 50);
    c.thresholds.lossDb = 0.8f;  // above the step's 0.5 dB
    const dravik::PositionedList p = dravik::eventPositions(c, candidates(c, 3000));
    ASSERT_EQ(p.record.count, 3);
    EXPECT_EQ(p.record.index[1], 999);
    EXPECT_EQ(p.record.index[2], 3000);
}

TEST_F(Positions, EventsInsideTheLaunchAreDropped)
{
    // A weak reflective candidate at 60 (inside the fall, before the start at 81) and a step at
    // 100, within 2W of the start.
    const Trace t = trace(true);
    const dravik::AnalysisContext ctx = context(t, 100, 50);
    dravik::CandidateList c = candidates(ctx, 3000);
    c.record = dravik::initialRecord();
    dravik::appendEvent(c.record, 1, 60, 'F');
    dravik::appendEvent(c.record, 0, 100, 'F');
    dravik::appendEvent(c.record, 1, 1003, 'F');
    dravik::appendEvent(c.record, 1, 3000, 'F');
    const dravik::PositionedList p = dravik::eventPositions(ctx, c);
    ASSERT_EQ(p.record.count, 3);
    EXPECT_EQ(p.record.index[0], 80);
    EXPECT_EQ(p.record.index[1], 999);
    EXPECT_EQ(p.record.index[2], 3000);
}

} // namespace
