// Every step on degenerate inputs: tiny arrays, events at and beyond the array's ends, unordered
// and out-of-range event lists, unusable parameters. Run in the sanitizer build, these show that
// no step reads or writes outside the sample array or the record.
#include "EngineInternal.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using namespace dravik;

namespace {

std::vector<std::vector<int>> layouts(int n)
{
    return {
        {0},
        {0, n - 1},
        {0, n},
        {n - 1, n},
        {0, n / 2, n - 1},
        {-5, 3, n + 1000},
        {0, INT_MAX},
        {INT_MIN, 0, INT_MAX},
        {0, INT_MIN, INT_MIN, 5},
        {n - 1, 0, n / 2}, // unordered
        {0, 0, 0},
        {0, 7, n - 1},
        {0, 10, 14, 15, 20, n - 2},
    };
}

Dravik_Result record(const std::vector<int>& positions, int type)
{
    Dravik_Result r = initialRecord();
    for (int at : positions) {
        r.index[r.count] = at;
        r.type[r.count] = type;
        r.code[r.count] = 'F';
        r.attenuation[r.count] = 0.3f;
        r.reflectance[r.count] = 2.0f;
        ++r.count;
    }
    return r;
}

void expectSane(const Dravik_Result& r)
{
    ASSERT_GE(r.count, 0);
    ASSERT_LE(r.count, DRAVIK_MAX_EVENTS);
    for (int i = 0; i < r.count; ++i) {
        EXPECT_TRUE(r.type[i] == 0 || r.type[i] == 1);
        EXPECT_FALSE(std::isnan(r.reflectance[i]));
        EXPECT_FALSE(std::isnan(r.totalLoss[i]));
    }
}

} // namespace

TEST(DegenerateInputs, StepsStayInsideTheArrayAndTheRecord)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const int pulses[] = {3, 10, 100, 2000, 10000, 0, -100};
    const float rates[] = {25, 50, 400, 0, -50, nan, 1e30f};
    const float indices[] = {1.5f, 0, -1, nan};
    for (int n : {0, 1, 20, 501}) {
        // An exact-size heap array: the sanitizer flags any read past its end.
        std::vector<unsigned short> data(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            data[static_cast<std::size_t>(i)] = static_cast<unsigned short>((i * 7919) % 65536);
        const Samples s{data.data(), n};
        for (const auto& positions : layouts(n))
            for (int pulse : pulses)
                for (float rate : rates)
                    for (float index : indices)
                        for (int type : {0, 1}) {
                            const Params p{1550, pulse, index, rate, -80};
                            const Dravik_Result r = record(positions, type);
                            sectionAttenuation(r, p, s);
                            eventLossAndHeight(r, p, s);
                            reflectanceFromHeight(r, p);
                            attenuationPlausibility(r, p);
                            totalLoss(r, p, s);
                            measurementRound(r, p, s);
                            for (int i = -1; i <= r.count; ++i)
                                expectSane(removeEvent(r, i, p, s));
                            for (int x : {-1, 0, 1, 4, n / 2, n - 1, n, INT_MAX})
                                expectSane(addEvent(r, x, p, s));
                        }
    }
}

TEST(DegenerateInputs, OutOfRangeCountsAreClampedByTheSteps)
{
    std::vector<unsigned short> data(200, 10000);
    const Samples s{data.data(), 200};
    const Params p{1550, 100, 1.5f, 50, -80};
    for (int count : {-1, INT_MIN, 101, INT_MAX}) {
        Dravik_Result r = initialRecord();
        for (int i = 0; i < DRAVIK_MAX_EVENTS; ++i)
            r.index[i] = 2 * i;
        r.count = count;
        const Dravik_Result m = measurementRound(r, p, s);
        EXPECT_EQ(m.count, count);
        // Editing refuses such a record outright.
        const Dravik_Result removed = removeEvent(r, 1, p, s);
        const Dravik_Result added = addEvent(r, 150, p, s);
        EXPECT_EQ(std::memcmp(&removed, &r, sizeof r), 0);
        EXPECT_EQ(std::memcmp(&added, &r, sizeof r), 0);
    }
}
