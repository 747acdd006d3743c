// Cumulative loss of every event.
#include "EngineInternal.h"

#include <gtest/gtest.h>

#include <vector>

using namespace dravik;

namespace {

// Flat sections: level steps at the given sample indices (sample value from that index on).
std::vector<unsigned short> steps(int count, std::initializer_list<std::pair<int, int>> from)
{
    std::vector<unsigned short> s(static_cast<std::size_t>(count), 10000);
    for (auto [at, value] : from)
        for (int i = at; i < count; ++i)
            s[static_cast<std::size_t>(i)] = static_cast<unsigned short>(value);
    return s;
}

Samples view(const std::vector<unsigned short>& s) { return {s.data(), static_cast<int>(s.size())}; }

Dravik_Result events(std::initializer_list<int> positions)
{
    Dravik_Result r = initialRecord();
    for (int at : positions)
        r.index[r.count++] = at;
    return r;
}

Params params(int wavelengthNm, int pulseNs) { return {wavelengthNm, pulseNs, 1.5f, 50, 0}; } // 2 m per sample

} // namespace

TEST(TotalLoss, TwoEventsWithoutAttenuationKeepTheEndValue)
{
    const auto s = steps(12000, {});
    Dravik_Result r = events({0, 10000});
    r.totalLoss[0] = 5;
    r.totalLoss[1] = 3;
    const Dravik_Result out = totalLoss(r, params(1550, 100), view(s));
    EXPECT_EQ(out.totalLoss[0], 0.0f);
    EXPECT_EQ(out.totalLoss[1], 3.0f);
}

TEST(TotalLoss, FirstSectionAttenuationFallsBackToTheNextAndThenTheNominal)
{
    const auto s = steps(12000, {});
    struct Case {
        int wavelengthNm;
        float a1, a2, expected; // 10 000 samples = 20 km
    } cases[] = {
        {1550, 0.2f, 0.3f, 4.02f}, {1550, 0, 0.3f, 6.02f}, {1550, 0, 0, 0.182f * 20 + 0.02f},
        {1310, 0, 0, 7.02f},       {1625, 0, 0, 3.86f},    {1490, 0, 0, 0.02f},
    };
    for (const Case& c : cases) {
        Dravik_Result r = events({0, 10000, 11000});
        r.attenuation[1] = c.a1;
        r.attenuation[2] = c.a2;
        EXPECT_NEAR(totalLoss(r, params(c.wavelengthNm, 100), view(s)).totalLoss[1], c.expected, 1e-5)
            << c.wavelengthNm << " " << c.a1 << " " << c.a2;
    }
}

TEST(TotalLoss, LaterEventsFromTheLevelInFrontOfThem)
{
    // Reference 10 dB in front of event 1; then 11, 10.5 (below the second event: monotony), 12.
    const auto s = steps(5000, {{1000, 11000}, {2000, 10500}, {3000, 12000}});
    Dravik_Result r = events({0, 1000, 2000, 3000, 4000});
    r.attenuation[1] = 0.2f; // totalLoss[1] = 0.2 x 2 km + 0.02 = 0.42
    const Dravik_Result out = totalLoss(r, params(1550, 20), view(s));
    EXPECT_NEAR(out.totalLoss[1], 0.42f, 1e-6);
    EXPECT_NEAR(out.totalLoss[2], 1.42f, 1e-6);
    EXPECT_EQ(out.totalLoss[3], 0.0f); // 0.92 is less than event 2's 1.42
    EXPECT_NEAR(out.totalLoss[4], 2.42f, 1e-6);

    // Pulses of 10 ns or less give 0 from event 2 on.
    Dravik_Result marked = r;
    marked.totalLoss[4] = 9;
    const Dravik_Result shortPulse = totalLoss(marked, params(1550, 10), view(s));
    for (int k = 2; k < 5; ++k)
        EXPECT_EQ(shortPulse.totalLoss[k], 0.0f) << k;
}

TEST(TotalLoss, SmallValuesAndEventsNearTheStartGetZero)
{
    // 0.05 dB above the reference plus a first section of 0.04 dB: 0.09, not above 0.1.
    const auto s = steps(3000, {{1000, 10050}, {2000, 10100}});
    Dravik_Result r = events({0, 1000, 2000, 2500});
    r.attenuation[1] = 0.01f;
    Dravik_Result out = totalLoss(r, params(1550, 100), view(s));
    EXPECT_EQ(out.totalLoss[2], 0.0f);
    EXPECT_NEAR(out.totalLoss[3], 0.14f, 1e-6);

    // Event 1 before sample 10, or a later event before sample 15.
    for (auto positions : {std::initializer_list<int>{0, 9, 2000}, std::initializer_list<int>{0, 10, 14}}) {
        Dravik_Result near = events(positions);
        near.attenuation[1] = 0.2f;
        near.totalLoss[2] = 9;
        EXPECT_EQ(totalLoss(near, params(1550, 100), view(s)).totalLoss[2], 0.0f);
    }
}
