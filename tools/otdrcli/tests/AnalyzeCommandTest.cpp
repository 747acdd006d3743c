// otdrcli analyze as users run it: the built program on the real instrument files, its JSON read
// back by the strict reader of the otdrcli tests.
#include "CliRun.h"
#include "JsonRead.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class OtdrcliAnalyze : public CliTest {
protected:
    OtdrcliAnalyze() : CliTest("otdrcli-analyze", std::string("'") + OTDRCLI_PATH + "' analyze") {}
};

const char* const kFixtures[] = {"demo_ab.sor", "example2-exfo-maxtester730c.sor",
                                 "example3-anritsu-accessmastermt9085.sor"};

} // namespace

TEST_F(OtdrcliAnalyze, PrintsTheEventsOfRealFiles)
{
    if (!fs::exists(fixture(kFixtures[0])))
        GTEST_SKIP() << "fixture folder absent";
    const std::vector<std::string> eventFields = {"index", "type", "distance_m", "loss_db", "reflectance_db",
                                                  "attenuation_db_km", "total_loss_db", "code"};
    for (const char* name : kFixtures) {
        SCOPED_TRACE(name);
        const CliRun r = run({fixture(name).string()});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const auto parsed = JsonReader::parse(r.out);
        ASSERT_TRUE(parsed) << r.out;
        const JsonValue& j = *parsed;
        const JsonValue& p = j["parameters"];
        ASSERT_EQ(p.kind, JsonValue::Object);
        // The shipped conditions for 1310 nm (all three files are 1310 nm traces).
        EXPECT_EQ(p["wavelength_nm"].number, 1310);
        EXPECT_NEAR(p["refractive_index"].number, 1.4677, 1e-6);
        EXPECT_NEAR(p["backscatter_db"].number, -79.44, 1e-5);
        EXPECT_EQ(p["loss_threshold_db"].number, 0);
        EXPECT_EQ(p["reflection_threshold_db"].number, 0);

        const JsonValue& events = j["events"];
        ASSERT_EQ(events.kind, JsonValue::Array);
        ASSERT_GE(events.items.size(), 2u);
        // Distances from the sample index with the trace's own index and rate.
        const double spacing = 299792448.0 / p["trace_refractive_index"].number / p["sampling_rate_mhz"].number
            / 1e6 * 0.5;
        double previous = -1;
        for (const JsonValue& e : events.items) {
            ASSERT_EQ(e.members.size(), eventFields.size());
            for (std::size_t k = 0; k < eventFields.size(); ++k)
                EXPECT_EQ(e.members[k].first, eventFields[k]);
            EXPECT_EQ(e["code"].text.size(), 1u);
            EXPECT_NEAR(e["distance_m"].number, e["index"].number * spacing, 1e-3 * e["distance_m"].number + 1e-3);
            EXPECT_GT(e["distance_m"].number, previous);
            EXPECT_LT(e["index"].number, p["sample_count"].number);
            previous = e["distance_m"].number;
        }
        EXPECT_EQ(events[0]["code"].text, "S");
    }
}

TEST_F(OtdrcliAnalyze, OptionsOverrideTheShippedConditions)
{
    const fs::path file = fixture("demo_ab.sor");
    if (!fs::exists(file))
        GTEST_SKIP() << "fixture folder absent";
    CliRun r = run({file.string(), "--loss-threshold", "0.5", "--reflection-threshold=2.5", "--backscatter", "-81",
                 "--index", "1.47"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto parsed = JsonReader::parse(r.out);
    ASSERT_TRUE(parsed) << r.out;
    const JsonValue& p = (*parsed)["parameters"];
    EXPECT_NEAR(p["loss_threshold_db"].number, 0.5, 1e-6);
    EXPECT_NEAR(p["reflection_threshold_db"].number, 2.5, 1e-6);
    EXPECT_NEAR(p["backscatter_db"].number, -81, 1e-6);
    EXPECT_NEAR(p["refractive_index"].number, 1.47, 1e-6);

    // An index of 0 is never handed to the engine: the trace's own is used.
    r = run({file.string(), "--index", "0"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    parsed = JsonReader::parse(r.out);
    ASSERT_TRUE(parsed) << r.out;
    EXPECT_EQ((*parsed)["parameters"]["refractive_index"].number,
              (*parsed)["parameters"]["trace_refractive_index"].number);
}

TEST_F(OtdrcliAnalyze, BadArgumentsAndUnreadableFiles)
{
    struct Case { std::vector<std::string> args; int exitCode; } cases[] = {
        {{}, 2},
        {{"a.sor", "b.sor"}, 2},
        {{"a.sor", "--loss-threshold"}, 2},
        {{"a.sor", "--loss-threshold", "much"}, 2},
        {{"a.sor", "--colour", "1"}, 2},
        {{(fs::path(::testing::TempDir()) / "no-such-file.sor").string()}, 1},
    };
    for (const Case& c : cases) {
        const CliRun r = run(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << (c.args.empty() ? std::string("(none)") : c.args.back());
        EXPECT_TRUE(r.out.empty());
        EXPECT_FALSE(r.err.empty());
    }
    const fs::path junk = dir / "junk.sor";
    std::ofstream(junk) << "not a trace";
    const CliRun r = run({junk.string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("junk.sor"), std::string::npos);
}
