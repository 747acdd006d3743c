// Event table cells and titles, the analysis-condition rows and what applying them writes, and
// the Auto Search on a real trace file.
#include "AnalysisConditions.h"
#include "ConfigKeys.h"
#include "ConfigStore.h"
#include "Dravik.h"
#include "EventSearch.h"
#include "EventTableFormat.h"
#include "Settings.h"
#include "TraceFile.h"
#include "TraceTable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

EventItem event(float distance, char code, int type = 0)
{
    EventItem e;
    e.distance = distance;
    e.codeLetter = code;
    e.eventType = type;
    return e;
}

DisplaySettings display(const std::string& unit, int decimals)
{
    DisplaySettings d;
    d.distanceUnit = unit;
    d.distanceDecimals = decimals;
    return d;
}

} // namespace

// ---- Event table --------------------------------------------------------------------------------

TEST(EventTableFormat, NumberAndCodeColumn)
{
    const std::vector<EventItem> events = {event(0, 'S'), event(100, 'F'), event(200, 'A'), event(300, 'O'),
                                           event(400, 'E'), event(500, 'x'), event(600, 0)};
    const auto rows = evtable::eventRows(events, display("m", 3));
    const char* expected[] = {"1(S)", "2(F)", "3(A)", "4(O)", "5(E)", "6    ", "7    "};
    ASSERT_EQ(rows.size(), std::size(expected));
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].cells[0], expected[i]) << i;
}

TEST(EventTableFormat, DistancesInEveryUnitAndDecimals)
{
    struct Case {
        std::string unit;
        int decimals;
        float second;   // metres of the second event (the first is at 250 m)
        const char* distance;
        const char* section;
    };
    const Case cases[] = {
        {"m", 3, 1000, "1.000", "0.750"},
        {"ft", 3, 1000, "3.281", "2.461"},   // 0.75 km x 3.281 = 2.46075
        {"mi", 5, 1000, "0.62139", "0.46604"},
        {"m", 4, 1234.5f, "1.2345", "0.9845"},
        {"m", 5, 12345.678f, "12.34568", "12.09568"},
        // Decimals outside 3..5 (a missing key) use 3.
        {"m", 0, 1000, "1.000", "0.750"},
        {"ft", 7, 1000, "3.281", "2.461"},
        // An unknown unit counts as kilometres.
        {"", 3, 1000, "1.000", "0.750"},
    };
    for (const Case& c : cases) {
        const std::vector<EventItem> events = {event(250, 'S'), event(c.second, 'E')};
        const auto rows = evtable::eventRows(events, display(c.unit, c.decimals));
        ASSERT_EQ(rows.size(), 2u);
        // The first row shows 0 whatever the start event's position.
        const std::string zero = c.decimals == 4 ? "0.0000" : c.decimals == 5 ? "0.00000" : "0.000";
        EXPECT_EQ(rows[0].cells[1], zero) << c.unit << c.decimals;
        EXPECT_EQ(rows[0].cells[2], zero) << c.unit << c.decimals;
        EXPECT_EQ(rows[1].cells[1], c.distance) << c.unit << c.decimals;
        EXPECT_EQ(rows[1].cells[2], c.section) << c.unit << c.decimals;
    }
}

TEST(EventTableFormat, DashRulesOfLossAttenuationAndReflectance)
{
    struct Case {
        float loss, total, attenuation, reflectance;
        int type;
        const char *lossText, *totalText, *attenuationText, *reflectanceText;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 1, "--", "--", "--", "--"},
        {0.123f, 1.5f, 0.35f, 45.678f, 1, "0.123", "1.500", "0.350", "45.678"},
        {-0.2f, 2, 0.6f, 40, 0, "-0.200", "2.000", "--", "--"},     // non-reflective: no reflectance
        {0.05f, 2, -0.6f, 0, 1, "0.050", "2.000", "--", "--"},       // reflective but not measurable
        {0.05f, 2, 0.5f, 30, 2, "0.050", "2.000", "0.500", "30.000"}, // any nonzero type is reflective
        {0.05f, 2, -0.2f, 30, 1, "0.050", "2.000", "-0.200", "30.000"},
    };
    for (const Case& c : cases) {
        EventItem e = event(0, 'F', c.type);
        e.eventLoss = c.loss;
        e.totalLoss = c.total;
        e.attenuation = c.attenuation;
        e.reflectance = c.reflectance;
        const auto rows = evtable::eventRows({e}, display("m", 3));
        EXPECT_EQ(rows[0].cells[3], c.lossText);
        EXPECT_EQ(rows[0].cells[4], c.totalText);
        EXPECT_EQ(rows[0].cells[5], c.attenuationText) << c.attenuation;
        EXPECT_EQ(rows[0].cells[6], c.reflectanceText) << c.reflectance << " type " << c.type;
    }
}

TEST(EventTableFormat, RowIconsFollowTheEventTypeAndOtherTypesKeepThePrevious)
{
    const auto images = [](std::vector<int> types) {
        std::vector<EventItem> events;
        for (int t : types)
            events.push_back(event(0, 'F', t));
        std::vector<int> out;
        for (const auto& r : evtable::eventRows(events, display("m", 3)))
            out.push_back(r.image);
        return out;
    };
    EXPECT_EQ(images({1, 0, 1}), (std::vector<int>{1, 0, 1}));
    EXPECT_EQ(images({1, 2, 0, 3}), (std::vector<int>{1, 1, 0, 0}));
    EXPECT_EQ(images({2, 1}), (std::vector<int>{0, 1}));
}

TEST(EventTableFormat, ColumnTitlesCarryTheUnitSuffix)
{
    const auto lookup = [](std::string_view key) -> std::string {
        if (key == "IDS_FRM_VIEW_EVENT_DIST")
            return "Distance";
        if (key == "IDS_FRM_VIEW_EVENT_SEGMENT")
            return "Section";
        if (key == "IDS_FRM_VIEW_EVENT_LOSS")
            return "Loss (dB)";
        return {};
    };
    const auto m = evtable::columnTitles("m", lookup);
    EXPECT_EQ(m[1], "Distance(km)");
    EXPECT_EQ(m[2], "Section(km)");
    EXPECT_EQ(m[3], "Loss (dB)");
    EXPECT_EQ(evtable::columnTitles("mi", lookup)[1], "Distance(miles)");
    EXPECT_EQ(evtable::columnTitles("ft", lookup)[2], "Section(kft)");
    // Without texts the initial titles stay, the distance ones with the unit's suffix.
    const auto none = evtable::columnTitles("ft", nullptr);
    EXPECT_EQ(none[0], "事件序号");
    EXPECT_EQ(none[1], "距离(kft)");
    EXPECT_EQ(none[6], "反射(dB)");
}

// ---- Analysis conditions ----------------------------------------------------------------------

class AnalysisConditionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("analysis_core_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        store.setConfigDir(dir.string());
        std::ofstream(store.configFilePath()) << "[EventAnal]\nBendTH=0.20\nReflectTH=0\nTermial=5.00\n"
                                                 "BackScatter=-79.44\nBackScatter1550=-79.00\n"
                                                 "BackScatter1625=-79.00\nRefraction=1.4677\n"
                                                 "Refraction1550=1.4682\nRefraction1625=1.4685\n";
        loadAnalysisSettings(store, settings);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string stored(const char* key) const { return store.read(cfg::kEventAnal, key); }

    fs::path dir;
    ConfigStore store;
    AnalysisSettings settings;
};

TEST_F(AnalysisConditionsTest, PageValuesFromTheRecord)
{
    const anacon::SearchPageValues v = anacon::searchPageFromSettings(settings);
    EXPECT_EQ(v.automatic, (std::array<bool, 3>{false, true, false}));
    EXPECT_FLOAT_EQ(v.threshold[0], 0.2f);
    EXPECT_FLOAT_EQ(v.threshold[2], 5.0f);
    EXPECT_FLOAT_EQ(v.backscatter[0], -79.44f);
    EXPECT_FLOAT_EQ(anacon::analysisPageFromSettings(settings)[2], 1.4685f);
    // A fresh configuration: every threshold automatic.
    EXPECT_EQ(anacon::searchPageFromSettings(AnalysisSettings{}).automatic, (std::array<bool, 3>{true, true, true}));
}

TEST_F(AnalysisConditionsTest, ApplyingTheSearchPageWritesItsFormats)
{
    anacon::SearchPageValues v = anacon::searchPageFromSettings(settings);
    v.automatic = {true, false, false};
    v.threshold = {0.5, 40.0, 7.0};   // 40 is outside the arrow range and stays as typed
    v.backscatter = {-80.123, -60, -100};
    anacon::applySearchPage(store, settings, v);

    EXPECT_EQ(stored("BendTH"), "0");
    EXPECT_EQ(settings.BendTH, 0.0f);
    EXPECT_EQ(stored("ReflectTH"), "40.00");
    EXPECT_FLOAT_EQ(settings.ReflectTH, 40.0f);
    EXPECT_EQ(stored("Termial"), "7.00");   // two decimals although the page shows none
    EXPECT_FLOAT_EQ(settings.Termial, 7.0f);
    EXPECT_EQ(stored("BackScatter"), "-80.12");
    EXPECT_EQ(stored("BackScatter1550"), "-60.00");
    EXPECT_EQ(stored("BackScatter1625"), "-100.00");
    // The other page's keys are untouched.
    EXPECT_EQ(stored("Refraction"), "1.4677");

    // What was written reads back as the page will show it next time.
    AnalysisSettings reread;
    loadAnalysisSettings(store, reread);
    EXPECT_EQ(anacon::searchPageFromSettings(reread).automatic, (std::array<bool, 3>{true, false, false}));
}

TEST_F(AnalysisConditionsTest, ApplyingTheAnalysisPageWritesFourDecimalsUnclamped)
{
    anacon::applyAnalysisPage(store, settings, {1.7, 1.46821, 0});
    EXPECT_EQ(stored("Refraction"), "1.7000");
    EXPECT_EQ(stored("Refraction1550"), "1.4682");
    EXPECT_EQ(stored("Refraction1625"), "0.0000");
    EXPECT_FLOAT_EQ(settings.Refraction, 1.7f);
    EXPECT_EQ(settings.Refraction1625, 0.0f);
    EXPECT_EQ(stored("BendTH"), "0.20");
}

TEST(AnalysisConditionRows, IdentifiersKeysAndRanges)
{
    EXPECT_STREQ(anacon::kThresholdRows[2].key, "Termial");
    EXPECT_EQ(anacon::kThresholdRows[2].spin.decimals, 0);
    EXPECT_EQ(anacon::kThresholdRows[1].editId, 1551);
    EXPECT_EQ(anacon::kThresholdRows[1].spin.maximum, 32.0);
    EXPECT_STREQ(anacon::kBackscatterRows[2].key, "BackScatter1625");
    EXPECT_EQ(anacon::kBackscatterRows[0].spin.minimum, -81.5);
    EXPECT_EQ(anacon::kRefractionRows[2].spin.minimum, 1.0);
    EXPECT_EQ(anacon::kRefractionRows[2].spin.maximum, 2.0);
}

// ---- Auto Search --------------------------------------------------------------------------------

namespace {

std::string fixture(const std::string& name) { return std::string(OTDR_FIXTURES) + "/sor/" + name; }
bool haveFixtures() { return fs::is_directory(std::string(OTDR_FIXTURES) + "/sor"); }

} // namespace

TEST(EventSearch, NoTraceChangesNothing)
{
    auto table = std::make_unique<TraceTable>();
    CEndDravik engine;
    EXPECT_FALSE(autoSearchCurrentTrace(*table, engine, AnalysisSettings{}));
}

TEST(EventSearch, RealFileWithFreshSettingsAndWithShippedSettings)
{
    if (!haveFixtures())
        GTEST_SKIP() << "no fixtures";
    for (const char* name : {"demo_ab.sor", "example2-exfo-maxtester730c.sor", "example3-anritsu-accessmastermt9085.sor"}) {
        auto table = std::make_unique<TraceTable>();
        CEndDravik engine;
        ASSERT_TRUE(readTraceIntoSlot(*table, engine, fixture(name), name, 0).loaded()) << name;
        TraceRecord& r = table->record(0);
        const float ownIndex = r.refractiveIndex;

        // A fresh configuration (refractive index 0): the trace's own index is used, so the
        // distances stay those of the trace.
        ASSERT_TRUE(autoSearchCurrentTrace(*table, engine, AnalysisSettings{})) << name;
        ASSERT_FALSE(r.events.empty()) << name;
        EXPECT_EQ(r.events.size(), static_cast<size_t>(r.result.count));
        EXPECT_EQ(r.events.front().codeLetter, 'S') << name;
        EXPECT_EQ(r.refractiveIndex, ownIndex);
        for (const EventItem& e : r.events) {
            EXPECT_GE(e.sampleIndex, 0);
            EXPECT_LT(e.sampleIndex, static_cast<int>(r.sampleCount));
            EXPECT_NEAR(e.distance, e.sampleIndex * r.sampleSpacing, 0.01 + 1e-5 * e.distance);
        }
        const auto rows = evtable::eventRows(r.events, display("m", 3));
        EXPECT_EQ(rows.size(), r.events.size());
        EXPECT_EQ(rows.front().cells[0], "1(S)");

        // A refractive index of 0 is never handed to the engine: the search gives what it gives
        // with the trace's own index.
        const std::vector<EventItem> fresh = r.events;
        AnalysisSettings own;
        own.Refraction = own.Refraction1550 = own.Refraction1625 = ownIndex;
        ASSERT_TRUE(autoSearchCurrentTrace(*table, engine, own)) << name;
        ASSERT_EQ(r.events.size(), fresh.size()) << name;
        for (size_t i = 0; i < fresh.size(); ++i) {
            EXPECT_EQ(r.events[i].sampleIndex, fresh[i].sampleIndex) << name << " " << i;
            EXPECT_EQ(r.events[i].eventLoss, fresh[i].eventLoss) << name << " " << i;
            EXPECT_EQ(r.events[i].attenuation, fresh[i].attenuation) << name << " " << i;
        }

        // The shipped conditions for the wavelength.
        AnalysisSettings shipped;
        shipped.BackScatter = -79.44f;
        shipped.Refraction = 1.4677f;
        EXPECT_TRUE(autoSearchCurrentTrace(*table, engine, shipped)) << name;
        EXPECT_FALSE(r.events.empty()) << name;
    }
}
