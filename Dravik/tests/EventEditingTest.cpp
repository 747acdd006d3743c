// Insertion and removal of single events: what moves, what the new event looks like.
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

Dravik_Result events(std::initializer_list<int> positions)
{
    Dravik_Result r = initialRecord();
    for (int at : positions) {
        r.index[r.count] = at;
        r.code[r.count] = 'F';
        ++r.count;
    }
    r.code[0] = 'S';
    r.code[r.count - 1] = 'E';
    return r;
}

const Params kParams{1550, 100, 1.5f, 50, -80}; // W = 40: the type window is x - 10 .. x + 19

} // namespace

TEST(EventInsertion, TypeFromWhereTheHighestAndLowestLevelsLie)
{
    const int x = 1000;
    struct Case {
        const char* shape;
        std::function<int(int)> sample;
        int type;
    } cases[] = {
        {"flat", [](int) { return 10000; }, 0},
        {"rise starting at x", [](int i) { return i >= x && i < x + 15 ? 8000 : 10000; }, 1},
        {"step down at x", [](int i) { return i <= x ? 10000 : 10400; }, 0},
        // Lowest at or before x with the highest in front of it: the literal rule says reflective.
        {"step down before x", [](int i) { return i < x - 3 ? 10000 : 10400; }, 1},
        {"dip then peak behind x", [](int i) { return i == x + 5 ? 10300 : (i == x + 10 ? 9000 : 10000); }, 1},
        {"peak then dip behind x", [](int i) { return i == x + 5 ? 9000 : (i == x + 10 ? 10300 : 10000); }, 0},
        // Lowest behind x, highest at x (in front of the lowest): non-reflective.
        {"peak at x, dip behind", [](int i) { return i == x ? 9000 : (i == x + 10 ? 10300 : 10000); }, 0},
    };
    for (const Case& c : cases) {
        const auto s = trace(3000, c.sample);
        const Dravik_Result r = addEvent(events({0, 2000}), x, kParams, view(s));
        ASSERT_EQ(r.count, 3) << c.shape;
        EXPECT_EQ(r.index[1], x);
        EXPECT_EQ(r.type[1], c.type) << c.shape;
    }
}

TEST(EventInsertion, LaterEventsMoveUpWithAllTheirFields)
{
    const auto s = trace(5000, [](int i) { return 10000 + i / 5; });
    Dravik_Result r = events({0, 1000, 3000, 4000});
    r.type[2] = 1;
    r.code[2] = 'O';
    const Dravik_Result out = addEvent(r, 2000, kParams, view(s));
    ASSERT_EQ(out.count, 5);
    const int index[] = {0, 1000, 2000, 3000, 4000};
    const char code[] = {'S', 'F', 'A', 'O', 'E'};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(out.index[i], index[i]);
        EXPECT_EQ(out.code[i], code[i]);
    }
    EXPECT_EQ(out.type[3], 1);
    EXPECT_EQ(out.loss[4], 0.0f);
    EXPECT_EQ(out.attenuation[0], 0.0f);
}

TEST(EventInsertion, ANewLastEventStartsWithoutStaleValues)
{
    // Slot 1 still holds the values of an event removed earlier. On a flat trace the section has
    // attenuation 0 (1490 nm: no pull towards a nominal value), so the cumulative-loss step
    // would keep a stale totalLoss[1].
    const auto s = trace(2000, [](int) { return 10000; });
    Dravik_Result r = events({0});
    r.totalLoss[1] = 9;
    r.reflectance[1] = 40;
    r.loss[1] = 2;
    const Dravik_Result out = addEvent(r, 500, {1490, 100, 1.5f, 50, -80}, view(s));
    ASSERT_EQ(out.count, 2);
    EXPECT_EQ(out.attenuation[1], 0.0f);
    EXPECT_EQ(out.code[1], 'A');
    EXPECT_EQ(out.totalLoss[1], 0.0f);
    EXPECT_EQ(out.reflectance[1], 0.0f);
    EXPECT_EQ(out.loss[1], 0.0f);
}

TEST(EventRemoval, LaterEventsMoveDownAndTheRecordIsRemeasured)
{
    // 0.25 dB/km at 1550 nm (0.5 thousandths per 2 m sample) with a 0.5 dB step at 2000.
    const auto s = trace(5000, [](int i) { return 10000 + i / 2 + (i >= 2000 ? 500 : 0); });
    Dravik_Result r = events({0, 1000, 2000, 4000});
    r.attenuation[0] = 0.3f;
    r.code[2] = 'A';
    r.type[3] = 1;
    const Dravik_Result out = removeEvent(r, 1, kParams, view(s));
    ASSERT_EQ(out.count, 3);
    EXPECT_EQ(out.index[1], 2000);
    EXPECT_EQ(out.code[1], 'A');
    EXPECT_EQ(out.index[2], 4000);
    EXPECT_EQ(out.type[2], 1);
    EXPECT_EQ(out.code[2], 'E');
    EXPECT_EQ(out.attenuation[0], 0.0f);
    // The step plus 90 samples (0.18 km) of 0.25 dB/km fibre, less 0.18 km at the nominal 0.182.
    EXPECT_NEAR(out.loss[1], 0.545f - 0.182f * 0.18f, 1e-4);
    EXPECT_EQ(out.loss[2], 0.0f);
    EXPECT_GT(out.totalLoss[2], out.totalLoss[1]);
}
