// Pulse-width index, analysis window, distance scale and nominal attenuation.
#include "EngineInternal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace dravik;

TEST(Basics, AnalysisWindowByPulseWidthAndSamplingFrequency)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        int pulseNs;
        float rateMHz;
        int window;
    } cases[] = {
        {100, 50, 40},     {10000, 100, 400}, {3, 25, 1},      {100, 20, 30},  // 20 MHz: k = 1, not 0
        {100, 0, 30},      {100, -50, 30},    {100, nan, 30},  {3, 12.5f, 1},  // no usable rate: k = 1
        {100, 75, 30},     {100, 125, 30},    {100, 49.9f, 30}, // k = 3, 5 and 1 (truncated)
        {100, 400, 140},   {100, 424.9f, 140}, {100, 425, 30}, {100, 1e30f, 30}, // k = 16, 16, 17, huge
        {5000, 200, 320},  {20, 100, 8},      {7, 50, 450},    {0, 400, 700},   // 7 and 0 ns: index 12
        {2000, 25, 120},   {1000, 50, 160},   {50, 400, 70},
    };
    for (const Case& c : cases)
        EXPECT_EQ(analysisWindow(c.pulseNs, c.rateMHz), c.window) << c.pulseNs << " ns at " << c.rateMHz << " MHz";
}

TEST(Basics, PulseWidthIndexCoversTheTableAndNothingElse)
{
    const int widths[] = {3, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000};
    for (int p = 0; p < 12; ++p)
        EXPECT_EQ(pulseWidthIndex(widths[p]), p);
    for (int other : {0, -3, 4, 30, 20000})
        EXPECT_EQ(pulseWidthIndex(other), 12) << other;
}

TEST(Basics, KilometresPerSampleAndNominalAttenuation)
{
    EXPECT_NEAR(kmPerSample(1.5f, 50), 0.002, 1e-12);
    EXPECT_NEAR(kmPerSample(1.4685f, 100), 300.0 / 1.4685f / 100 / 2000, 1e-15);
    for (float n : {0.0f, -1.5f, std::numeric_limits<float>::infinity()})
        EXPECT_EQ(kmPerSample(n, 50), 0.0) << n;
    EXPECT_EQ(kmPerSample(1.5f, 0), 0.0);

    EXPECT_FLOAT_EQ(nominalAttenuation(1310), 0.35f);
    EXPECT_FLOAT_EQ(nominalAttenuation(1550), 0.182f);
    EXPECT_FLOAT_EQ(nominalAttenuation(1625), 0.192f);
    EXPECT_EQ(nominalAttenuation(1490), 0.0f);
}

TEST(Basics, InitialRecord)
{
    const Dravik_Result r = initialRecord();
    EXPECT_EQ(r.count, 0);
    EXPECT_EQ(r.valueA, 0.0f);
    EXPECT_EQ(r.valueB, 10.0f);
    for (int i = 0; i < DRAVIK_MAX_EVENTS; ++i) {
        EXPECT_EQ(r.type[i], 0);
        EXPECT_EQ(r.index[i], 0);
        EXPECT_EQ(r.loss[i], 0.0f);
        EXPECT_EQ(r.reflectance[i], 0.0f);
        EXPECT_EQ(r.attenuation[i], 0.0f);
        EXPECT_EQ(r.totalLoss[i], 0.0f);
    }
}
