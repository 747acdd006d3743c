// The editing operations and the cumulative loss through the shared library, as the program calls them.
#include "Dravik.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A fibre falling 0.001 dB per sample from 5 dB below the top of the scale.
std::vector<unsigned short> slope(int count)
{
    std::vector<unsigned short> s(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        s[static_cast<std::size_t>(i)] = static_cast<unsigned short>(5000 + i);
    return s;
}

Dravik_Result record(std::initializer_list<int> positions)
{
    Dravik_Result r;
    std::memset(&r, 0, sizeof r);
    r.valueB = 10.0f;
    for (int at : positions) {
        r.index[r.count] = at;
        r.code[r.count] = r.count == 0 ? 'S' : 'F';
        ++r.count;
    }
    r.code[r.count - 1] = 'E';
    return r;
}

bool same(const Dravik_Result& a, const Dravik_Result& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

} // namespace

// 100 ns at 50 MHz: W = 40. An insertion must lie more than W from its neighbours.
TEST(ApiEditing, InsertionAcceptsOnlyMoreThanOneWindowFromItsNeighbours)
{
    CEndDravik engine;
    const auto s = slope(2000);
    const Dravik_Result r = record({100, 1000});
    struct Case {
        int at;
        bool accepted;
        int slot;
    } cases[] = {
        {140, false, 0}, {141, true, 1},  {959, true, 1},   {960, false, 0}, {1040, false, 0},
        {1041, true, 2}, {1000, false, 0}, {100, false, 0}, {50, false, 0},  {1999, true, 2},
        {2000, false, 0}, {-1, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.at);
        const Dravik_Result out = engine.insertEvent(c.at, 1550, 100, s.data(), 2000, r, 1.5f, 50.0f, 0.0f);
        if (!c.accepted) {
            EXPECT_TRUE(same(out, r));
            continue;
        }
        ASSERT_EQ(out.count, 3);
        EXPECT_EQ(out.index[c.slot], c.at);
        EXPECT_EQ(out.code[c.slot], 'A');
        EXPECT_EQ(out.code[0], 'S');
        EXPECT_EQ(out.code[c.slot == 2 ? 1 : 2], 'E'); // the former end keeps its letter
        EXPECT_EQ(out.loss[2], 0.0f);
        EXPECT_EQ(out.attenuation[0], 0.0f);
    }
}

TEST(ApiEditing, InsertionBeforeTheStartEventIsRefused)
{
    CEndDravik engine;
    const auto s = slope(2000);
    const Dravik_Result r = record({300, 1000});
    for (int at : {0, 100, 259, 299})
        EXPECT_TRUE(same(engine.insertEvent(at, 1550, 100, s.data(), 2000, r, 1.5f, 50.0f, 0.0f), r)) << at;
}

TEST(ApiEditing, InsertionIntoAFullRecordIsRefused)
{
    CEndDravik engine;
    const auto s = slope(20000);
    Dravik_Result r = record({0});
    for (int i = 1; i < DRAVIK_MAX_EVENTS; ++i) {
        r.index[i] = i * 100;
        r.code[i] = 'F';
    }
    r.count = DRAVIK_MAX_EVENTS;
    EXPECT_TRUE(same(engine.insertEvent(15000, 1550, 100, s.data(), 20000, r, 1.5f, 50.0f, 0.0f), r));
    r.count = DRAVIK_MAX_EVENTS - 1;
    EXPECT_EQ(engine.insertEvent(15000, 1550, 100, s.data(), 20000, r, 1.5f, 50.0f, 0.0f).count,
              DRAVIK_MAX_EVENTS);
}

TEST(ApiEditing, DeletionRefusesTheStartAndIndicesOutsideTheList)
{
    CEndDravik engine;
    const auto s = slope(3000);
    const Dravik_Result r = record({100, 1000, 2000});
    for (int k : {0, 3, 4, -1, 1000}) {
        SCOPED_TRACE(k);
        EXPECT_TRUE(same(engine.deleteEvent(k, 1550, 100, s.data(), 3000, r, 1.5f, 50.0f, 0.0f), r));
        EXPECT_TRUE(same(engine.deleteEvent(k, 1550, 100, s.data(), r, 1.5f, 50.0f, 0.0f), r));
    }
}

TEST(ApiEditing, DeletingTheLastEventLeavesTheNewLastWithItsOwnCode)
{
    CEndDravik engine;
    const auto s = slope(3000);
    const Dravik_Result r = record({100, 1000, 2000});
    const Dravik_Result out = engine.deleteEvent(2, 1550, 100, s.data(), 3000, r, 1.5f, 50.0f, 0.0f);
    ASSERT_EQ(out.count, 2);
    EXPECT_EQ(out.index[1], 1000);
    EXPECT_EQ(out.code[1], 'F');
    EXPECT_EQ(out.loss[1], 0.0f);
    EXPECT_EQ(out.attenuation[0], 0.0f);

    const Dravik_Result middle = engine.deleteEvent(1, 1550, 100, s.data(), 3000, r, 1.5f, 50.0f, 0.0f);
    ASSERT_EQ(middle.count, 2);
    EXPECT_EQ(middle.index[1], 2000);
    EXPECT_EQ(middle.code[1], 'E');
}

TEST(ApiEditing, CountlessDeletionMatchesTheCountedOneOnALongEnoughArray)
{
    CEndDravik engine;
    const auto s = slope(3000);
    Dravik_Result r = record({100, 1000, 1500, 2000});
    r.type[3] = 1;
    const Dravik_Result counted = engine.deleteEvent(2, 1550, 100, s.data(), 3000, r, 1.5f, 50.0f, 0.0f);
    // The count-less form reads at most index[count - 1] + 2W + 10 samples: give it exactly that.
    std::vector<unsigned short> exact(s.begin(), s.begin() + 2000 + 2 * 40 + 10);
    const Dravik_Result countless = engine.deleteEvent(2, 1550, 100, exact.data(), r, 1.5f, 50.0f, 0.0f);
    EXPECT_TRUE(same(counted, countless));
}

TEST(ApiTotalLoss, FirstSectionFromItsAttenuation)
{
    CEndDravik engine;
    const auto s = slope(12000);
    Dravik_Result r = record({0, 10000});
    r.attenuation[1] = 0.2f;
    const Dravik_Result out = engine.Acount_Total_Loss(1550, 100, s.data(), r, 1.5f, 50.0f);
    EXPECT_NEAR(out.totalLoss[1], 4.02f, 1e-5);
    Dravik_Result expected = r;
    expected.totalLoss[1] = out.totalLoss[1];
    EXPECT_TRUE(same(out, expected)); // nothing else changes
    EXPECT_TRUE(same(engine.Acount_Total_Loss(1550, 100, s.data(), 12000, r, 1.5f, 50.0f), out));
}

TEST(ApiTotalLoss, RecordsItCannotWorkOnComeBackUnchanged)
{
    CEndDravik engine;
    const auto s = slope(12000);
    Dravik_Result one = record({0});
    one.totalLoss[0] = 7;
    EXPECT_TRUE(same(engine.Acount_Total_Loss(1550, 100, s.data(), one, 1.5f, 50.0f), one));

    Dravik_Result r = record({0, 10000});
    r.attenuation[1] = 0.2f;
    for (int count : {-1, 101}) {
        Dravik_Result bad = r;
        bad.count = count;
        EXPECT_TRUE(same(engine.Acount_Total_Loss(1550, 100, s.data(), bad, 1.5f, 50.0f), bad));
        EXPECT_TRUE(same(engine.Acount_Total_Loss(1550, 100, s.data(), 12000, bad, 1.5f, 50.0f), bad));
        EXPECT_TRUE(same(engine.deleteEvent(1, 1550, 100, s.data(), 12000, bad, 1.5f, 50.0f, 0), bad));
        EXPECT_TRUE(same(engine.insertEvent(5000, 1550, 100, s.data(), 12000, bad, 1.5f, 50.0f, 0), bad));
    }
    // No distance scale: nothing can be converted.
    EXPECT_TRUE(same(engine.Acount_Total_Loss(1550, 100, s.data(), r, 0.0f, 50.0f), r));
    EXPECT_TRUE(same(engine.Acount_Total_Loss(1550, 100, s.data(), r, 1.5f, 0.0f), r));
}
