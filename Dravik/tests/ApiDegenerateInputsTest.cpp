// The exported operations on degenerate inputs, and the count-less forms on arrays of exactly the
// length the header asks for. Run in the sanitizer build, these show that no operation reads
// outside the caller's array.
#include "Dravik.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace {

bool same(const Dravik_Result& a, const Dravik_Result& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

Dravik_Result record(std::initializer_list<int> positions, int type)
{
    Dravik_Result r;
    std::memset(&r, 0, sizeof r);
    r.valueB = 10;
    for (int at : positions) {
        r.index[r.count] = at;
        r.type[r.count] = r.count == 0 ? 0 : type;
        r.code[r.count] = 'F';
        ++r.count;
    }
    return r;
}

std::vector<unsigned short> noisyTrace(int count)
{
    std::vector<unsigned short> s(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        s[static_cast<std::size_t>(i)] = static_cast<unsigned short>(10000 + i / 3 + (i * 7919) % 97);
    return s;
}

// The analysis window of the pulse widths and rates used below (from the engine's table).
struct Setting {
    int pulseNs;
    float rateMHz;
    int window;
};
constexpr Setting kSettings[] = {{3, 25, 1}, {100, 50, 40}, {1000, 100, 200}, {2000, 50, 200}, {10000, 400, 600}};

} // namespace

TEST(ApiDegenerateInputs, TinyArraysAndEventsAtTheEnds)
{
    CEndDravik engine;
    for (int n : {0, 1, 20, 501}) {
        std::vector<unsigned short> s = noisyTrace(n);
        const unsigned short* data = n > 0 ? s.data() : nullptr;
        for (const Setting& set : kSettings)
            for (int type : {0, 1})
                for (const Dravik_Result& r :
                     {record({0}, type), record({0, n - 1}, type), record({0, n / 2, n - 1}, type),
                      record({n - 1, n, n + 5}, type), record({0, INT_MAX}, type)}) {
                    for (int x : {-1, 0, n / 4, n / 2, n - 1, n})
                        engine.insertEvent(x, 1550, set.pulseNs, data, n, r, 1.4685f, set.rateMHz, -80);
                    for (int k = 0; k <= r.count; ++k)
                        engine.deleteEvent(k, 1550, set.pulseNs, data, n, r, 1.4685f, set.rateMHz, -80);
                    engine.Acount_Total_Loss(1550, set.pulseNs, data, n, r, 1.4685f, set.rateMHz);
                }
    }
}

TEST(ApiDegenerateInputs, NullSamplesAreRefused)
{
    CEndDravik engine;
    const Dravik_Result r = record({0, 100, 200}, 0);
    EXPECT_TRUE(same(engine.insertEvent(150, 1550, 100, nullptr, 1000, r, 1.5f, 50, 0), r));
    EXPECT_TRUE(same(engine.deleteEvent(1, 1550, 100, nullptr, 1000, r, 1.5f, 50, 0), r));
    EXPECT_TRUE(same(engine.deleteEvent(1, 1550, 100, nullptr, r, 1.5f, 50, 0), r));
    EXPECT_TRUE(same(engine.Acount_Total_Loss(1550, 100, nullptr, r, 1.5f, 50), r));
}

// The count-less forms read no further than the header promises: index[count - 1] + 2W + 10
// samples for deleteEvent, index[count - 1] for Acount_Total_Loss. The arrays below hold exactly
// that many samples, and the results equal those of the counted forms on the same array.
TEST(ApiDegenerateInputs, CountlessFormsStayWithinTheDocumentedLength)
{
    CEndDravik engine;
    const auto full = noisyTrace(40000);
    for (const Setting& set : kSettings)
        for (int type : {0, 1})
            for (const Dravik_Result& r : {record({0, 5000, 9000, 12000}, type), record({0, 30, 60, 61}, type),
                                           record({0, 15000, 15001}, type)}) {
                const int last = r.index[r.count - 1];
                const int deleteLength = last + 2 * set.window + 10;
                std::vector<unsigned short> forDelete(full.begin(), full.begin() + deleteLength);
                std::vector<unsigned short> forTotal(full.begin(), full.begin() + last);
                for (int k = 1; k < r.count; ++k) {
                    SCOPED_TRACE(testing::Message() << set.pulseNs << " ns, last " << last << ", k " << k);
                    const Dravik_Result countless =
                        engine.deleteEvent(k, 1550, set.pulseNs, forDelete.data(), r, 1.4685f, set.rateMHz, -80);
                    const Dravik_Result counted = engine.deleteEvent(k, 1550, set.pulseNs, full.data(), 40000, r,
                                                                     1.4685f, set.rateMHz, -80);
                    EXPECT_TRUE(same(countless, counted));
                }
                const Dravik_Result total =
                    engine.Acount_Total_Loss(1550, set.pulseNs, forTotal.data(), r, 1.4685f, set.rateMHz);
                EXPECT_TRUE(same(total, engine.Acount_Total_Loss(1550, set.pulseNs, full.data(), 40000, r, 1.4685f,
                                                                  set.rateMHz)));
            }
}
