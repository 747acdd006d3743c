#include "TraceAnalysis.h"

#include "Dravik.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

struct Settings {
    float BendTH = 0.05f, ReflectTH = 1.5f, Termial = 3.0f;
    float BackScatter = -79.44f, BackScatter1550 = -81.0f, BackScatter1625 = -82.0f;
    float Refraction = 1.4677f, Refraction1550 = 1.4682f, Refraction1625 = 1.4685f;
};

// A long-pulse trace with a splice and a reflective end: level falling 0.2 dB/km.
TraceRecord syntheticTrace()
{
    TraceRecord r;
    r.wavelengthNm = 1550;
    r.pulseWidthNs = 1000;
    r.sampleRateMHz = 25;
    r.refractiveIndex = 1.47f;
    computeSampleSpacing(r);
    const std::uint32_t n = 8000;
    r.samples.resize(n);
    r.sampleCount = n;
    for (std::uint32_t i = 0; i < n; ++i) {
        double db = 5.0 + i * r.sampleSpacing / 1000.0 * 0.2;
        if (i > 3000)
            db += 1.0;
        if (i >= 6000 && i < 6010)
            db -= 15.0;
        if (i >= 6010)
            db = 60.0 + std::sin(i * 0.7) * 0.5;
        r.samples[i] = static_cast<std::uint16_t>(std::lround(db * 1000.0));
    }
    return r;
}

} // namespace

TEST(AutoSearch, ConditionsFollowTheTracesWavelength)
{
    Settings s;
    TraceRecord r;
    r.refractiveIndex = 1.4711f;
    struct Case { int wavelength; float backscatter; float index; } cases[] = {
        {1310, -79.44f, 1.4677f}, {1550, -81.0f, 1.4682f}, {1625, -82.0f, 1.4685f},
        {1490, 0.0f, 1.4711f},  // no settings of its own: the trace's index, no backscatter
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.wavelength);
        r.wavelengthNm = c.wavelength;
        const AutoSearchParameters p = autoSearchParametersFor(r, s);
        EXPECT_EQ(p.backscatterDb, c.backscatter);
        EXPECT_EQ(p.refractiveIndex, c.index);
        EXPECT_EQ(p.lossThresholdDb, 0.05f);
        EXPECT_EQ(p.reflectionThresholdDb, 1.5f);
        EXPECT_EQ(p.endThresholdDb, 3.0f);
    }
    s.Refraction1550 = 0;  // a fresh configuration: never an index of 0
    r.wavelengthNm = 1550;
    EXPECT_EQ(autoSearchParametersFor(r, s).refractiveIndex, 1.4711f);
}

TEST(AutoSearch, EngineRecordReplacesTheEventsWithDistancesFromTheTracesOwnIndex)
{
    TraceRecord r = syntheticTrace();
    r.events.resize(7);
    CEndDravik engine;
    AutoSearchParameters p;
    p.backscatterDb = -81.0f;
    p.refractiveIndex = 0;  // handed over as the trace's own
    ASSERT_TRUE(runAutoSearch(r, engine, p));

    const Dravik_Result want = engine.dravik_arithmetic(1550, 1000, r.sampleData(), 8000, 2.08, 2.08, 0, 0,
                                                        0, -81.0f, 25.0f, 1.47f, 0);
    EXPECT_EQ(std::memcmp(&want, &r.result, sizeof want), 0);
    ASSERT_EQ(r.events.size(), static_cast<std::size_t>(want.count));
    const float s = static_cast<float>(299792448.0 / 1.47f / 25.0f / 1000000.0 * 0.5);
    for (int i = 0; i < want.count; ++i) {
        EXPECT_EQ(r.events[static_cast<std::size_t>(i)].sampleIndex, want.index[i]);
        EXPECT_FLOAT_EQ(r.events[static_cast<std::size_t>(i)].distance, static_cast<float>(want.index[i]) * s);
    }
}
