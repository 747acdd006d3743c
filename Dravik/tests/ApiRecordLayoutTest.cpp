#include "Dravik.h"

#include <gtest/gtest.h>

TEST(DravikRecord, AnalysisOfEmptyTraceIsInitialRecord)
{
    CEndDravik engine;
    const Dravik_Result r = engine.dravik_arithmetic(1550, 100, nullptr, 0, 2.08, 2.08, 0, 0, 0, 0, 50, 1.4685f, 0);
    EXPECT_EQ(r.count, 0);
    EXPECT_FLOAT_EQ(r.valueB, 10.0f);
    EXPECT_FLOAT_EQ(r.valueA, 0.0f);
}
