// Threshold normalisation, noise level, end of the fibre and the candidate searches, on small
// hand-made traces.
#include "AnalysisSteps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using Trace = std::vector<unsigned short>;

unsigned short sampleOfLevel(int level) { return static_cast<unsigned short>(65535 - level); }

// Appends `count` samples whose level starts at `level` and changes by `slope` per sample.
void appendRamp(Trace& t, int count, int level, int slope = 0)
{
    for (int j = 0; j < count; ++j)
        t.push_back(sampleOfLevel(level + slope * j));
}

// Raises the level of samples [from, from + count) by `height`.
void addPeak(Trace& t, int from, int count, int height)
{
    for (int j = from; j < from + count; ++j)
        t[j] = static_cast<unsigned short>(t[j] - height);
}

dravik::AnalysisContext context(const Trace& t, int pulseWidthNs, float rateMHz, int wavelength = 1310)
{
    dravik::AnalysisContext c;
    const dravik::Params p{wavelength, pulseWidthNs, 1.4685f, rateMHz, 0.0f};
    EXPECT_TRUE(dravik::makeContext(c, p, {t.data(), static_cast<int>(t.size())}, 0, 0, 0));
    return c;
}

TEST(ThresholdNormalisation, AutomaticAndShortPulseValues)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct {
        float loss, reflection;
        int pulse;
        float wantLoss, wantReflection;
    } cases[] = {
        {0, 0, 5, 0.05f, 1.0f},      {0, 0, 20, 0.05f, 0.05f},   {0.2f, 0.8f, 10, 0.2f, 1.0f},
        {0.2f, 1.5f, 10, 0.2f, 1.5f}, {0.2f, 0.8f, 11, 0.2f, 0.8f}, {-0.3f, -2, 100, -0.3f, -2},
        {nan, nan, 100, 0.05f, 0.05f},
    };
    for (const auto& c : cases) {
        const dravik::Thresholds t = dravik::normaliseThresholds(c.loss, c.reflection, c.pulse);
        EXPECT_FLOAT_EQ(t.lossDb, c.wantLoss) << c.pulse;
        EXPECT_FLOAT_EQ(t.reflectionDb, c.wantReflection) << c.pulse;
    }
}

TEST(NoiseLevel, WindowByLengthAndReplacement)
{
    // Tail: 300 samples at level 3000, then 200 at level 1000.
    auto withTail = [](int n, int before, int last) {
        Trace t;
        appendRamp(t, n - 500, 20000);
        appendRamp(t, 300, before);
        appendRamp(t, 200, last);
        return dravik::noiseLevel({t.data(), static_cast<int>(t.size())});
    };
    EXPECT_EQ(withTail(3000, 3000, 1000), 2200);  // last 500 samples
    EXPECT_EQ(withTail(2999, 3000, 1000), 1000);  // last 200
    EXPECT_EQ(withTail(3000, 4500, 4500), 2000);  // 4000 or more is replaced
    EXPECT_EQ(withTail(3000, 3999, 3999), 3999);
    Trace shortTrace(501, sampleOfLevel(1000));
    EXPECT_EQ(dravik::noiseLevel({shortTrace.data(), 501}), 0);
    shortTrace.push_back(sampleOfLevel(1000));
    EXPECT_EQ(dravik::noiseLevel({shortTrace.data(), 502}), 1000);
}

TEST(CoarseEnd, FibreThenNoiseAndNeverAboveTheNoise)
{
    Trace t;
    appendRamp(t, 3000, 20000);
    appendRamp(t, 2000, 500);
    const dravik::Samples s{t.data(), static_cast<int>(t.size())};
    EXPECT_EQ(dravik::coarseEnd(s, 40, dravik::noiseLevel(s)), 2999);

    // A level that never exceeds three times the noise: the whole trace, clamped to N - 2W - 2.
    Trace flat(5000, sampleOfLevel(1000));
    const dravik::Samples f{flat.data(), 5000};
    EXPECT_EQ(dravik::coarseEnd(f, 40, dravik::noiseLevel(f)), 5000 - 80 - 2);
    // Traces shorter than the clamp never give a negative end.
    EXPECT_EQ(dravik::coarseEnd({flat.data(), 50}, 40, 0), 0);
}

TEST(EndRefinement, MovesToTheEndReflection)
{
    // Fibre at a falling level, an end reflection at 3000 (10 samples, +3 dB), then noise.
    Trace t;
    appendRamp(t, 3000, 30000, -1);
    appendRamp(t, 2000, 500);
    addPeak(t, 3000, 10, 30000);
    const dravik::Samples s{t.data(), static_cast<int>(t.size())};
    const int coarse = dravik::coarseEnd(s, 40, dravik::noiseLevel(s));
    const int refined = dravik::refineEnd(s, 40, coarse);
    EXPECT_NEAR(refined, 3000, 5);
}

// A falling fibre (1 level unit per sample) over 3000 samples, then the noise floor.
Trace fibreWithFloor(int fibre = 3000, int total = 4000)
{
    Trace t;
    appendRamp(t, fibre, 30000, -1);
    appendRamp(t, total - fibre, 500);
    return t;
}

TEST(BlockSearch, FindsTooCloseToTheirPredecessorAreDropped)
{
    // W = 40 (100 ns, 50 MHz): finds 30 samples apart keep the first only.
    Trace t = fibreWithFloor();
    addPeak(t, 1000, 8, 2000);
    addPeak(t, 1030, 8, 2000);
    addPeak(t, 2000, 8, 2000);
    const dravik::CandidateList c = dravik::candidateSearch(context(t, 100, 50));
    std::vector<int> reflective;
    for (int i = 0; i < c.record.count; ++i)
        if (c.record.type[i] == 1 && c.record.index[i] < 2900)
            reflective.push_back(c.record.index[i]);
    ASSERT_EQ(reflective.size(), 2u);
    EXPECT_NEAR(reflective[0], 1000, 40);
    EXPECT_NEAR(reflective[1], 2000, 40);
    EXPECT_FALSE(c.shortPulseOutcome);
    // Sorted, and the last event sits at the end position.
    for (int i = 1; i < c.record.count; ++i)
        EXPECT_LE(c.record.index[i - 1], c.record.index[i]);
    EXPECT_EQ(c.record.index[c.record.count - 1], c.endPosition);
}

// Adds `n` steep reflections (+3 dB over 6 samples) every `spacing` samples from `first`.
Trace withReflections(int n, int first, int spacing)
{
    Trace t = fibreWithFloor(first + n * spacing + 200, first + n * spacing + 1200);
    for (int k = 0; k < n; ++k)
        addPeak(t, first + k * spacing, 6, 30000);
    return t;
}

TEST(ShortPulseSearch, FewRisesSettleTheListAndTheLastIsTheEnd)
{
    const Trace t = withReflections(3, 500, 400);
    const dravik::CandidateList c = dravik::candidateSearch(context(t, 50, 50));
    ASSERT_TRUE(c.shortPulseOutcome);
    ASSERT_EQ(c.record.count, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(c.record.type[i], 1);
        EXPECT_NEAR(c.record.index[i], 500 + 400 * i, 3);
    }
    EXPECT_EQ(c.record.code[2], 'E');
    EXPECT_EQ(c.endPosition, c.record.index[2]);
}

TEST(ShortPulseSearch, TwentyRisesFallBackToTheBlockAndSlopeSearches)
{
    const Trace t = withReflections(25, 300, 200);
    const dravik::CandidateList at50 = dravik::candidateSearch(context(t, 50, 50));
    EXPECT_FALSE(at50.shortPulseOutcome);
    int steps = 0;
    for (int i = 0; i < at50.record.count; ++i)
        steps += at50.record.type[i] == 0;
    EXPECT_GT(steps, 0);  // the slope search ran

    // Below 20 ns only the block search runs: no non-reflective candidates, apart from the
    // end event, whose type comes from the trace. With W = 8 a block scans only five samples
    // behind its reference, so it sees a peak only when the peak begins one sample after a block
    // start (blocks start every 4 samples): these peaks begin at 301, 501, ...
    const Trace shifted = withReflections(25, 301, 200);
    const dravik::CandidateList at10 = dravik::candidateSearch(context(shifted, 10, 100));
    EXPECT_FALSE(at10.shortPulseOutcome);
    ASSERT_GT(at10.record.count, 1);
    for (int i = 0; i + 1 < at10.record.count; ++i)
        EXPECT_EQ(at10.record.type[i], 1) << i;
}

TEST(ShortPulseSearch, TinyTracesGiveAnEmptyList)
{
    for (int n = 1; n <= 9; ++n) {
        const Trace t(static_cast<size_t>(n), sampleOfLevel(30000));
        const dravik::CandidateList c = dravik::candidateSearch(context(t, 50, 50));
        EXPECT_EQ(c.record.count, 0) << n;
        EXPECT_GE(c.endPosition, 0);
        EXPECT_LT(c.endPosition, n);
    }
}

TEST(EndEventType, ReflectiveWhenThePeakBehindUExceedsTheThreshold)
{
    Trace t = fibreWithFloor();
    addPeak(t, 2000, 10, 500);  // 0.5 dB above the sample in front
    dravik::AnalysisContext c = context(t, 100, 50);
    c.thresholds.reflectionDb = 0.4f;
    EXPECT_EQ(dravik::endEventType(c, 2000), 1);
    c.thresholds.reflectionDb = 0.6f;
    EXPECT_EQ(dravik::endEventType(c, 2000), 0);
    EXPECT_EQ(dravik::endEventType(c, 0), 0);                         // no sample in front: itself
    EXPECT_EQ(dravik::endEventType(c, static_cast<int>(t.size()) - 1), 0);  // window clipped
}

} // namespace
