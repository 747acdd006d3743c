// The measurement steps: section attenuation, event loss and reflection height, reflectance,
// attenuation plausibility.
#include "EngineInternal.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace dravik;

namespace {

std::vector<unsigned short> trace(int count, const std::function<int(int)>& sample)
{
    std::vector<unsigned short> s(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        s[static_cast<std::size_t>(i)] = static_cast<unsigned short>(sample(i));
    return s;
}

Samples view(const std::vector<unsigned short>& s) { return {s.data(), static_cast<int>(s.size())}; }

Dravik_Result events(std::initializer_list<int> positions, std::initializer_list<int> types = {})
{
    Dravik_Result r = initialRecord();
    for (int at : positions)
        r.index[r.count++] = at;
    int i = 0;
    for (int t : types)
        r.type[i++] = t;
    return r;
}

// 2 m per sample: n = 1.5 at 50 MHz.
Params params(int wavelengthNm, int pulseNs, float rateMHz = 50, float backscatter = 0)
{
    return {wavelengthNm, pulseNs, 1.5f, rateMHz, backscatter};
}

} // namespace

TEST(SectionAttenuation, StopsAtASectionStartingAtSampleZero)
{
    const auto s = trace(2000, [](int i) { return 10000 + i; });
    Dravik_Result r = events({0, 7, 1000});
    r.attenuation[1] = 0.3f;
    r.attenuation[2] = 0.4f;
    const Dravik_Result out = sectionAttenuation(r, params(1550, 100), view(s));
    EXPECT_EQ(out.attenuation[1], 0.3f);
    EXPECT_EQ(out.attenuation[2], 0.4f);
}

TEST(SectionAttenuation, ASectionWhoseStartLiesBeyondItsEndGetsZero)
{
    const auto s = trace(1000, [](int i) { return 10000 + i; });
    // W = 40: start = 100 + 3 x 80 / 2 = 220, end = 230 - 10 - 16 = 204.
    Dravik_Result r = events({100, 230});
    r.attenuation[1] = 0.3f;
    EXPECT_EQ(sectionAttenuation(r, params(1550, 100), view(s)).attenuation[1], 0.0f);
}

TEST(SectionAttenuation, LongSectionsArePulledTowardsTheNominalValue)
{
    // 0.6 dB/km: 1.2 thousandths of a dB per 2 m sample.
    const auto s = trace(2000, [](int i) { return 10000 + 12 * i / 10; });
    struct Case {
        int wavelengthNm;
        int end; // 900: a span of 590 samples (1180 m); 316: 149 samples (298 m)
        float measured, plausible;
    } cases[] = {
        {1310, 900, 0.375f, 0.375f}, // 0.35 + (0.60 - 0.35) / 10
        {1310, 316, 0.60f, 0.0f},    // short span: no pull, then outside the band
        {1550, 900, 0.2238f, 0.2238f},
        {1625, 900, 0.2328f, 0.2328f},
        {1490, 900, 0.60f, 0.60f}, // other wavelengths: neither pulled nor filtered
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.wavelengthNm << " nm, end " << c.end);
        const Params p = params(c.wavelengthNm, 10); // W = 7: span 2W below 20, so 20
        const Dravik_Result r = sectionAttenuation(events({100, c.end}), p, view(s));
        EXPECT_NEAR(r.attenuation[1], c.measured, 0.004);
        EXPECT_NEAR(attenuationPlausibility(r, p).attenuation[1], c.plausible, 0.004);
    }
}

TEST(AttenuationPlausibility, BandsIncludeTheirBounds)
{
    struct Case {
        int wavelengthNm;
        float value;
        bool kept;
    } cases[] = {
        {1310, 0.28f, true},  {1310, 0.42f, true},  {1310, 0.279f, false}, {1310, 0.421f, false},
        {1550, 0.12f, true},  {1550, 0.24f, true},  {1550, 0.25f, false},  {1625, 0.26f, true},
        {1625, 0.261f, false}, {1625, 0.11f, false}, {1490, 5.0f, true},   {1490, -1.0f, true},
    };
    for (const Case& c : cases) {
        Dravik_Result r = events({0, 100});
        r.attenuation[0] = c.value;
        r.attenuation[1] = c.value;
        const Dravik_Result out = attenuationPlausibility(r, params(c.wavelengthNm, 100));
        EXPECT_EQ(out.attenuation[0], c.kept ? c.value : 0.0f) << c.wavelengthNm << " " << c.value;
        EXPECT_EQ(out.attenuation[1], c.kept ? c.value : 0.0f) << c.wavelengthNm << " " << c.value;
    }
}

TEST(EventLoss, DropAcrossTheEventLessTheFibreLoss)
{
    // Flat at 10 dB, 0.5 dB lower from sample 1000 on.
    const auto s = trace(4000, [](int i) { return i < 1000 ? 10000 : 10500; });
    // W = 40, span 80: before = 990, after = 1080, 90 samples = 0.18 km.
    struct Case {
        int wavelengthNm;
        float loss;
    } cases[] = {{1550, 0.5f - 0.182f * 0.18f}, {1310, 0.5f - 0.35f * 0.18f}, {1490, 0.5f - 0.186f * 0.18f}};
    for (const Case& c : cases) {
        Dravik_Result r = events({0, 1000, 3000});
        r.loss[2] = 1;
        const Dravik_Result out = eventLossAndHeight(r, params(c.wavelengthNm, 100), view(s));
        EXPECT_NEAR(out.loss[1], c.loss, 1e-5) << c.wavelengthNm;
        EXPECT_EQ(out.loss[0], 0.0f);
        EXPECT_EQ(out.loss[2], 0.0f); // the end event has no loss
    }
}

TEST(EventLoss, LossesOfFiveThousandthsOfADecibelOrLessAreZero)
{
    // At 10^12 MHz a sample spans practically no fibre, so the loss is the drop itself.
    for (int drop : {5, 6, 4, -300}) {
        const auto s = trace(4000, [drop](int i) { return i < 1000 ? 10000 : 10000 + drop; });
        const Dravik_Result out = eventLossAndHeight(events({0, 1000, 3000}), params(1550, 100, 1e12f), view(s));
        EXPECT_EQ(out.loss[1], drop > 5 ? drop / 1000.0f : 0.0f) << drop;
    }
}

TEST(EventLoss, ReflectiveStartKeepsItsLossAndBecomesTypeOne)
{
    const auto s = trace(4000, [](int) { return 10000; });
    Dravik_Result r = events({0, 1000, 3000}, {7, 0, 0});
    r.loss[0] = 0.7f;
    const Dravik_Result out = eventLossAndHeight(r, params(1550, 100), view(s));
    EXPECT_EQ(out.type[0], 1);
    EXPECT_EQ(out.loss[0], 0.7f);
}

TEST(ReflectionHeight, PeakAboveTheBackscatterInFrontOfIt)
{
    // 4 dB peak over samples 1000 .. 1019 on a flat trace.
    const auto s = trace(4000, [](int i) { return i >= 1000 && i < 1020 ? 6000 : 10000; });
    Dravik_Result r = events({0, 1000, 3000}, {0, 1, 1});
    const Dravik_Result out = eventLossAndHeight(r, params(1550, 100), view(s));
    EXPECT_FLOAT_EQ(out.reflectance[1], 4.0f);
    EXPECT_FLOAT_EQ(out.reflectance[2], 0.0f); // flat around the end: no height
    // A peak that sits at the very start of its window (the trace falls after it): nothing rises
    // in front of it, so the height is not positive.
    const auto falling = trace(4000, [](int i) { return 6000 + i; });
    EXPECT_LE(eventLossAndHeight(r, params(1550, 100), view(falling)).reflectance[1], 0.0f);
}

TEST(Reflectance, FromReflectionHeight)
{
    struct Case {
        float height;
        int wavelengthNm, pulseNs;
        float backscatter, reflectance;
    } cases[] = {
        {4, 1550, 100, 0, 0},           // R = -18.25: 12 or less is not measurable
        {0, 1550, 100, 0, 70},          // x = 0
        {-1, 1550, 100, 0, 70},         // x < 0
        {4, 1550, 100, -80, 61.7494f},  // -(7.2506 - 70) - (81 - 80)
        {4, 1310, 3, -80, 70},          // D = 5 ns: 76.26, capped at 70
        {4, 1625, 5, -70, 63.4988f},    // D = 7.5 ns, B = 80.5
        {4, 1490, 100, 0, 62.7494f},    // B = 0 for other wavelengths
        {4, 1550, 0, -80, 0},           // no pulse length: not measurable
    };
    for (const Case& c : cases) {
        Dravik_Result r = events({0, 500, 1000}, {1, 1, 0});
        r.reflectance[0] = 33;
        r.reflectance[1] = c.height;
        r.reflectance[2] = 5;
        const Dravik_Result out = reflectanceFromHeight(r, params(c.wavelengthNm, c.pulseNs, 50, c.backscatter));
        EXPECT_NEAR(out.reflectance[1], c.reflectance, 1e-3) << c.height << " dB, " << c.wavelengthNm << " nm, "
                                                            << c.pulseNs << " ns";
        EXPECT_EQ(out.reflectance[0], 33.0f); // event 0 is never changed
        EXPECT_EQ(out.reflectance[2], 0.0f);  // non-reflective
    }
}
