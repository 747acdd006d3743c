#include "TraceFile.h"

#include "Dravik.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr double kC = 299792458.0;

// Time units per sample of the synthetic traces: sample spacing = 100 x c / (n x 1e10).
constexpr float kIndex = 1.5f;
const float kSpacing = static_cast<float>(100.0 * kC / (static_cast<double>(kIndex) * 1e10));

SorKeyEvent keyEvent(std::int32_t time, const std::string& code = "0F9999")
{
    SorKeyEvent k;
    k.propagationTime = time;
    k.eventCode = code;
    k.lossTechnique = "LS";
    return k;
}

// A plausible trace: a sloping backscatter of n samples with the usual file parameters.
SORDATA syntheticData(std::uint32_t n, std::int32_t timeStamp = 1600000000)
{
    SORDATA d;
    SorDataSet set;
    set.pointCount = n;
    for (std::uint32_t i = 0; i < n; ++i)
        set.samples.push_back(static_cast<std::uint16_t>(5000 + i / 10));
    d.dataSets.push_back(set);
    d.range = 20000;
    d.pulseWidth = 100;
    d.wavelength = 1550;
    d.refractiveIndex = kIndex;
    d.groupIndex = 150000;
    d.samplingRate = static_cast<float>(1.0 / (2.0 * 100 * 1e-10) / 1e6);  // 50 MHz
    d.sampleSpacing = kSpacing;
    d.length = static_cast<float>(n) * kSpacing;
    d.backscatterCoeff = -81.5f;
    d.lossThreshold = 0.05f;
    d.reflectanceThreshold = -40.0f;
    d.endThreshold = 3.0f;
    d.timeStamp = timeStamp;
    d.averages = 1024;
    return d;
}

class TempDir {
public:
    TempDir()
    {
        path_ = fs::temp_directory_path() / ("tracemodel-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
        fs::create_directories(path_);
    }
    ~TempDir() { std::error_code ec; fs::remove_all(path_, ec); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::string str() const { return path_.string(); }

private:
    fs::path path_;
    static inline int counter_ = 0;
};

std::string writeSor(const TempDir& dir, const std::string& name, const SORDATA& data)
{
    const std::string path = dir.file(name);
    CSorFile f;
    EXPECT_EQ(f.saveSorFile(path, data), 1) << f.lastError();
    return path;
}

std::unique_ptr<TraceTable> makeTable()
{
    auto t = std::make_unique<TraceTable>();
    for (int i = 0; i < MAX_OPEN_TRACES; ++i)
        t->traceColours[static_cast<std::size_t>(i)] = 0x10u * static_cast<std::uint32_t>(i + 1);
    return t;
}

std::string fixture(const std::string& name) { return std::string(OTDR_FIXTURES) + "/sor/" + name; }
bool haveFixtures() { return fs::is_directory(std::string(OTDR_FIXTURES) + "/sor"); }

} // namespace

TEST(LoadFromSor, EventTimesBecomeSampleIndicesWithTenthOfASampleSnap)
{
    SORDATA d = syntheticData(5000);
    // A time of (x + 1) x 100 units is x samples behind the first one.
    d.keyEvents = {keyEvent(0, "1S9999"), keyEvent(4295), keyEvent(4285), keyEvent(4200),
                   keyEvent(10000000, "1E9999")};
    TraceRecord r;
    CEndDravik engine;
    loadFromSor(r, engine, d);

    ASSERT_EQ(r.events.size(), 5u);
    struct Case { int index; float distance; } expected[] = {
        {0, kSpacing},                                                    // time 0: first sample
        {42, 43 * kSpacing},                                              // x = 41.95 snaps up
        {41, static_cast<float>(kC / (1.5 * 1e10) * 4285)},               // x = 41.85 keeps its distance
        {41, static_cast<float>(kC / (1.5 * 1e10) * 4200)},               // x = 41 exactly
        {4999, static_cast<float>(kC / (1.5 * 1e10) * 10000000)},         // beyond the trace: last sample
    };
    for (std::size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(r.events[i].sampleIndex, expected[i].index);
        EXPECT_FLOAT_EQ(r.events[i].distance, expected[i].distance);
    }
    EXPECT_EQ(r.events[0].codeLetter, 'S');
    EXPECT_EQ(r.events[0].eventType, 1);
    EXPECT_EQ(r.events[4].codeLetter, 'E');
}

TEST(LoadFromSor, ValuesParametersAndShortCodes)
{
    SORDATA d = syntheticData(3000);
    SorKeyEvent a = keyEvent(0, "1F9999");
    a.attenuation = 345;
    a.eventLoss = -120;
    a.reflectance = -45678;
    SorKeyEvent shortCode = keyEvent(1000, "1F");   // too short: no type, no letter
    SorKeyEvent saturated = keyEvent(2000, "2E9999");
    d.keyEvents = {a, shortCode, saturated};
    TraceRecord r;
    CEndDravik engine;
    loadFromSor(r, engine, d);

    ASSERT_EQ(r.events.size(), 3u);
    EXPECT_FLOAT_EQ(r.events[0].attenuation, 0.345f);
    EXPECT_FLOAT_EQ(r.events[0].eventLoss, -0.12f);
    EXPECT_FLOAT_EQ(r.events[0].reflectance, -45.678f);
    EXPECT_EQ(r.events[1].eventType, 0);
    EXPECT_EQ(r.events[1].codeLetter, 0);
    EXPECT_EQ(r.events[2].eventType, 2);
    EXPECT_EQ(r.events[2].codeLetter, 'E');
    for (const EventItem& e : r.events) {
        EXPECT_EQ(e.valueA, 0.0f);
        EXPECT_EQ(e.valueB, 0.0f);
    }

    EXPECT_EQ(r.sampleCount, 3000u);
    EXPECT_EQ(r.samples[10], 5001);
    EXPECT_EQ(r.wavelengthNm, 1550);
    EXPECT_EQ(r.pulseWidthNs, 100);
    EXPECT_FLOAT_EQ(r.sampleRateMHz, 50.0f);
    EXPECT_FLOAT_EQ(r.refractiveIndex, 1.5f);
    EXPECT_FLOAT_EQ(r.length, 3000 * kSpacing);
    EXPECT_EQ(r.rangeMetres, 20000);
    EXPECT_EQ(r.timeStamp, 1600000000);
    EXPECT_FLOAT_EQ(r.averageCount, 1024.0f);
    EXPECT_FLOAT_EQ(r.groupIndex, 1.5f);
    EXPECT_FLOAT_EQ(r.backscatterCoeff, -81.5f);
    EXPECT_FLOAT_EQ(r.reflectanceThreshold, -40.0f);
    ASSERT_NE(r.sourceData, nullptr);
    EXPECT_EQ(r.sourceData->timeStamp, 1600000000);
}

TEST(LoadFromSor, MoreEventsThanTheEngineRecordHoldsStayInTheList)
{
    SORDATA d = syntheticData(20000);
    for (int i = 0; i < 120; ++i)
        d.keyEvents.push_back(keyEvent(100 * (i * 150 + 1)));
    TraceRecord r;
    CEndDravik engine;
    loadFromSor(r, engine, d);
    ASSERT_EQ(r.events.size(), 120u);
    EXPECT_EQ(r.events[119].sampleIndex, 119 * 150);
    EXPECT_EQ(r.events[110].totalLoss, 0.0f);
    syncEventsToResult(r);
    EXPECT_EQ(r.result.count, 0);
}

TEST(LoadFromSor, SampleArrayGrowsButNeverShrinks)
{
    TraceRecord r;
    CEndDravik engine;
    loadFromSor(r, engine, syntheticData(30000));
    loadFromSor(r, engine, syntheticData(10000));
    EXPECT_EQ(r.sampleCount, 10000u);
    EXPECT_EQ(r.samples.size(), 30000u);
    SORDATA empty = syntheticData(10);
    empty.dataSets.clear();
    loadFromSor(r, engine, empty);  // no data set: samples stay as they were
    EXPECT_EQ(r.sampleCount, 10000u);
}

TEST(LoadFromSor, CumulativeLossComesFromTheEngineAtTheEventSamples)
{
    // Three events, 1550 nm, 100 ns: the first section uses its attenuation; later events the
    // level difference in front of them.
    SORDATA d = syntheticData(5000);
    SorKeyEvent e1 = keyEvent(100000);
    e1.attenuation = 200;
    d.keyEvents = {keyEvent(0, "1S9999"), e1, keyEvent(400000, "1E9999")};
    TraceRecord r;
    CEndDravik engine;
    loadFromSor(r, engine, d);

    Dravik_Result in = initialDravikResult();
    in.count = 3;
    in.valueB = 0;
    for (int i = 0; i < 3; ++i) {
        in.index[i] = r.events[static_cast<std::size_t>(i)].sampleIndex;
        in.attenuation[i] = r.events[static_cast<std::size_t>(i)].attenuation;
    }
    const Dravik_Result want = engine.Acount_Total_Loss(1550, 100, r.sampleData(), 5000, in, 1.5f, 50.0f);
    EXPECT_EQ(r.events[1].sampleIndex, 999);
    EXPECT_GT(r.events[1].totalLoss, 0.0f);
    for (int i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(r.events[static_cast<std::size_t>(i)].totalLoss, want.totalLoss[i]) << i;
}

// Files with a launch-cable user offset and an acquisition offset count event times from the
// start of the fibre; the samples start at the acquisition offset.
TEST(LoadFromSor, OffsetsPlaceEventsAlongTheSamplesBothWays)
{
    SORDATA d = syntheticData(5000);
    d.userOffset = 700;
    d.acquisitionOffset = 2000;  // first sample 13 samples' time behind the file's zero
    d.keyEvents = {keyEvent(5600), keyEvent(0)};
    TraceRecord r;
    CEndDravik engine;
    loadFromSor(r, engine, d);

    // 5600 + 700 - 2000 = 4300 units = 43 samples' time: index 42.
    EXPECT_EQ(r.events[0].sampleIndex, 42);
    EXPECT_FLOAT_EQ(r.events[0].distance, static_cast<float>(kC / (1.5 * 1e10) * 4300));
    // Time 0 lies before the first sample: it sits on sample 0, not on the last one.
    EXPECT_EQ(r.events[1].sampleIndex, 0);

    SORDATA out = *r.sourceData;
    TraceRecord saved = r;
    saved.events[0].distance = static_cast<float>(kC / (1.5 * 1e10) * 4300.5);
    storeToSor(out, saved);
    EXPECT_EQ(out.keyEvents[0].propagationTime, 5600);
    EXPECT_NEAR(out.keyEvents[1].propagationTime, 0, 1);
    EXPECT_EQ(out.userOffset, 700);
    EXPECT_EQ(out.acquisitionOffset, 2000);

    // Without offsets the conversions are the plain ones.
    EXPECT_DOUBLE_EQ(eventTimeToDistance(4300, 0, 0, 1.5f), kC / (1.5 * 1e10) * 4300);
    EXPECT_EQ(eventDistanceToTime(static_cast<float>(kC / (1.5 * 1e10) * 4300.5), 1.5f, 0, 0), 4300);
}

TEST(StoreToSor, WritesSamplesEventsThresholdsAndKeepsTheRest)
{
    SORDATA d = syntheticData(4000, 1234567);
    d.fixedParams.averagingTime = 180;
    d.keyEvents = {keyEvent(0), keyEvent(100), keyEvent(200)};
    TraceRecord r;
    CEndDravik engine;
    loadFromSor(r, engine, d);
    r.sampleCount = 3500;
    r.events.resize(2);
    r.events[1].eventType = 1;
    r.events[1].codeLetter = 'F';
    r.events[1].reflectance = -45.678f;
    r.events[1].eventLoss = 0.2f;
    r.events[1].attenuation = 0.345f;
    r.events[0].codeLetter = 0;
    r.length = 1234.9f;
    r.lossThreshold = 0.1f;

    SORDATA out = *r.sourceData;
    storeToSor(out, r);
    ASSERT_EQ(out.dataSets.size(), 1u);
    EXPECT_EQ(out.dataSets[0].pointCount, 3500u);
    EXPECT_EQ(out.dataSets[0].samples.size(), 3500u);
    EXPECT_EQ(out.dataSets[0].scaleFactor, 1000);
    ASSERT_EQ(out.keyEvents.size(), 2u);
    const SorKeyEvent& k = out.keyEvents[1];
    EXPECT_EQ(k.reflectance, -45677);
    EXPECT_EQ(k.eventLoss, 200);
    EXPECT_EQ(k.attenuation, 345);
    EXPECT_EQ(k.eventCode, "1F9999");
    EXPECT_EQ(k.lossTechnique, "LS");
    EXPECT_FALSE(k.further.has_value());
    EXPECT_EQ(out.keyEvents[0].eventCode, "0 9999");  // no letter: a blank, six characters
    EXPECT_EQ(out.range, 1234);
    EXPECT_FLOAT_EQ(out.lossThreshold, 0.1f);
    EXPECT_EQ(out.timeStamp, 1234567);
    EXPECT_EQ(out.averages, 1024u);
    EXPECT_EQ(out.fixedParams.averagingTime, 180);

    // Values beyond the file's 16-bit fields are held at the limits, not wrapped.
    r.events[1].eventLoss = 40.0f;
    storeToSor(out, r);
    EXPECT_EQ(out.keyEvents[1].eventLoss, 32767);
}

TEST(MaxLevel, LargestWholeDbOverAllDataSets)
{
    SORDATA d;
    EXPECT_EQ(maxLevelDb(d), 0);
    d.dataSets.resize(2);
    d.dataSets[0].samples = {65535, 40000};
    d.dataSets[1].samples = {1000, 64000};
    EXPECT_EQ(maxLevelDb(d), 64);
    d.dataSets[1].samples.push_back(0);
    EXPECT_EQ(maxLevelDb(d), 65);
}

TEST(OpenTraces, FilesFillFreeSlotsUpToEightAndSkipLoadedOnes)
{
    TempDir dir;
    std::vector<std::string> files;
    for (int i = 0; i < 4; ++i)
        files.push_back(writeSor(dir, "f" + std::to_string(i) + ".sor", syntheticData(2000 + 100 * static_cast<std::uint32_t>(i))));
    auto t = makeTable();
    CEndDravik engine;
    for (int i = 0; i < 6; ++i) {
        t->slots[static_cast<std::size_t>(i)].loaded = 1;
        t->slots[static_cast<std::size_t>(i)].filePath = "/other/" + std::to_string(i);
    }
    t->loadedCount = 6;

    auto results = readTraceFiles(*t, engine, {files[0], files[1], files[2]});
    ASSERT_EQ(results.size(), 3u);
    EXPECT_TRUE(results[0].loaded());
    EXPECT_EQ(results[0].slot, 6);
    EXPECT_EQ(results[1].slot, 7);
    EXPECT_EQ(results[2].status, TraceReadStatus::NoFreeSlot);
    EXPECT_TRUE(results[2].textKey.empty());
    EXPECT_EQ(t->loadedCount, 8);
    EXPECT_EQ(t->currentTrace, 7);
    EXPECT_EQ(t->slots[6].fileName, "f0.sor");
    EXPECT_EQ(t->record(6).colour, t->traceColourFor(7));
    EXPECT_EQ(t->record(7).colour, t->traceColourFor(8));
    EXPECT_EQ(t->record(7).sampleCount, 2100u);
    EXPECT_FLOAT_EQ(t->record(7).sampleSpacing, static_cast<float>(299792448.0 / (2 * 50.0 * 1.5 * 1e6)));
    EXPECT_EQ(t->record(7).result.count, 0);
    EXPECT_GT(results[0].maxLevelDb, 0);

    ASSERT_NE(openRefusalTextKey(*t), nullptr);
    EXPECT_STREQ(openRefusalTextKey(*t), "IDS_MAX_CURVE");
    EXPECT_TRUE(readTraceFiles(*t, engine, {files[3]}).empty());

    // After closing one, the next file lands in slot 7; one already loaded (any case) is skipped.
    t->currentTrace = 2;
    t->removeCurrentTrace();
    EXPECT_EQ(openRefusalTextKey(*t), nullptr);
    std::string upper = files[1];
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    results = readTraceFiles(*t, engine, {upper, files[3]});
    EXPECT_EQ(results[0].status, TraceReadStatus::AlreadyLoaded);
    EXPECT_TRUE(results[0].textKey.empty());
    EXPECT_TRUE(results[1].loaded());
    EXPECT_EQ(results[1].slot, 7);
    EXPECT_EQ(t->record(7).sampleCount, 2300u);
}

TEST(OpenTraces, UnreadableFilesReportTheirMessageAndLeaveTheSlotEmpty)
{
    TempDir dir;
    const std::string garbage = dir.file("garbage.sor");
    { FILE* f = std::fopen(garbage.c_str(), "wb"); std::fputs("not a trace file at all", f); std::fclose(f); }
    const std::string good = writeSor(dir, "good.sor", syntheticData(1000));
    SORDATA noData = syntheticData(10);
    noData.dataSets.clear();
    const std::string empty = writeSor(dir, "empty.sor", noData);

    auto t = makeTable();
    CEndDravik engine;
    auto results = readTraceFiles(*t, engine, {garbage, dir.file("missing.sor"), empty, good});
    ASSERT_EQ(results.size(), 4u);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(results[static_cast<std::size_t>(i)].loaded());
        EXPECT_EQ(results[static_cast<std::size_t>(i)].slot, 0);
        const std::string& key = results[static_cast<std::size_t>(i)].textKey;
        EXPECT_TRUE(key == "IDS_OPEN_FILE_ERROR" || key == "IDS_OPEN_DATA_INVALID") << key;
    }
    EXPECT_EQ(results[2].textKey, "IDS_OPEN_DATA_INVALID");
    EXPECT_TRUE(results[3].loaded());
    EXPECT_EQ(results[3].slot, 0);
    EXPECT_EQ(t->loadedCount, 1);
}

// Each trace is saved from its own file data: a file opened later does not lend its fields.
TEST(SaveTrace, StartsFromTheTracesOwnFileData)
{
    TempDir dir;
    SORDATA a = syntheticData(3000, 1111111);
    a.averages = 16;
    a.userOffset = 500;
    a.keyEvents = {keyEvent(0, "1S9999"), keyEvent(5000)};
    SORDATA b = syntheticData(6000, 2222222);
    b.averages = 4096;
    b.samplingRate = 25.0f;
    b.refractiveIndex = 1.468f;
    b.groupIndex = 146800;
    const std::string pa = writeSor(dir, "a.sor", a);
    const std::string pb = writeSor(dir, "b.sor", b);

    auto t = makeTable();
    CEndDravik engine;
    ASSERT_TRUE(readTraceIntoSlot(*t, engine, pa, "a.sor", 0).loaded());
    ASSERT_TRUE(readTraceIntoSlot(*t, engine, pb, "b.sor", 1).loaded());

    const std::string out = dir.file("a-saved.sor");
    const TraceSaveResult saved = saveTrace(t->record(0), out);
    ASSERT_TRUE(saved.ok) << saved.detail;
    EXPECT_TRUE(saved.textKey.empty());

    SORDATA back;
    CSorFile f;
    ASSERT_EQ(f.readSorFile(out, back), 1) << f.lastError();
    EXPECT_EQ(back.timeStamp, 1111111);
    EXPECT_EQ(back.averages, 16u);
    EXPECT_EQ(back.groupIndex, 150000);
    EXPECT_FLOAT_EQ(back.refractiveIndex, 1.5f);
    EXPECT_FLOAT_EQ(back.length, 3000 * kSpacing);
    EXPECT_EQ(back.userOffset, 500);
    EXPECT_FLOAT_EQ(back.samplingRate, 50.0f);
    EXPECT_EQ(back.dataSets.at(0).pointCount, 3000u);
    ASSERT_EQ(back.keyEvents.size(), 2u);
    EXPECT_NEAR(back.keyEvents[1].propagationTime, 5000, 1);
}

TEST(SaveTrace, FailureIsReported)
{
    TempDir dir;
    auto t = makeTable();
    CEndDravik engine;
    const std::string p = writeSor(dir, "a.sor", syntheticData(1000));
    ASSERT_TRUE(readTraceIntoSlot(*t, engine, p, "a.sor", 0).loaded());
    const TraceSaveResult r = saveTrace(t->record(0), dir.file("no-such-folder/x.sor"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.textKey, "IDS_SAVE_FILE_ERROR");
}

TEST(ReportTraces, FillLowestFreeSlotBeyondEightKeepingColourWindowAndCurrent)
{
    TempDir dir;
    writeSor(dir, "r.sor", syntheticData(1500));
    auto t = makeTable();
    for (int i = 0; i < 20; ++i) {
        t->slots[static_cast<std::size_t>(i)].loaded = 1;
        t->slots[static_cast<std::size_t>(i)].filePath = "/x/" + std::to_string(i);
    }
    t->loadedCount = 20;
    t->currentTrace = 3;
    t->record(20).colour = 0x123456;
    t->record(20).visibleFirstSample = 10;
    t->record(20).visibleEndSample = 900;

    TraceReadResult res;
    EXPECT_EQ(loadReportTrace(*t, dir.str(), "r.sor", &res), 1);
    EXPECT_TRUE(res.loaded());
    EXPECT_EQ(res.slot, 20);
    EXPECT_EQ(t->loadedCount, 21);
    EXPECT_EQ(t->currentTrace, 3);
    const TraceRecord& r = t->record(20);
    EXPECT_EQ(r.colour, 0x123456u);
    EXPECT_EQ(r.visibleFirstSample, 10u);
    EXPECT_EQ(r.visibleEndSample, 900u);
    EXPECT_EQ(r.sampleCount, 1500u);
    EXPECT_GT(r.sampleSpacing, 0.0f);
    EXPECT_EQ(t->slots[20].fileName, "r.sor");

    EXPECT_EQ(loadReportTrace(*t, dir.str(), "r.sor"), 0);          // loaded already
    EXPECT_EQ(loadReportTrace(*t, dir.str(), "missing.sor", &res), 1);  // attempted, failed
    EXPECT_FALSE(res.loaded());
    EXPECT_EQ(t->slots[21].loaded, 0);
    EXPECT_EQ(t->loadedCount, 21);

    for (int i = 21; i < TRACE_SLOT_COUNT; ++i)
        t->slots[static_cast<std::size_t>(i)].loaded = 1;
    EXPECT_EQ(loadReportTrace(*t, dir.str(), "other.sor"), 0);      // no slot left
}

TEST(RealFiles, ReadIntoSlotsWithTheirEvents)
{
    if (!haveFixtures())
        GTEST_SKIP() << "no fixture folder";
    struct Case { const char* name; std::size_t events; int wavelength; int eventIndex; int expectedIndex; };
    const Case cases[] = {
        {"demo_ab.sor", 5, 1310, 1, 2494},
        {"example2-exfo-maxtester730c.sor", 6, 1310, 1, 470},
        {"example3-anritsu-accessmastermt9085.sor", 3, 1310, 0, 1976},
    };
    auto t = makeTable();
    CEndDravik engine;
    std::vector<std::string> paths;
    for (const Case& c : cases)
        paths.push_back(fixture(c.name));
    const auto results = readTraceFiles(*t, engine, paths);
    ASSERT_EQ(results.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(results[i].loaded()) << results[i].textKey << " " << results[i].detail;
        const TraceRecord& r = t->record(static_cast<int>(i));
        EXPECT_EQ(t->slots[i].fileName, c.name);
        EXPECT_EQ(r.events.size(), c.events);
        EXPECT_EQ(r.result.count, static_cast<int>(c.events));
        EXPECT_EQ(r.wavelengthNm, c.wavelength);
        EXPECT_GT(r.sampleCount, 1000u);
        EXPECT_GT(r.sampleSpacing, 0.0f);
        EXPECT_EQ(r.events[static_cast<std::size_t>(c.eventIndex)].sampleIndex, c.expectedIndex);
        for (std::size_t k = 1; k < r.events.size(); ++k)
            EXPECT_GE(r.events[k].sampleIndex, r.events[k - 1].sampleIndex);
        for (const EventItem& e : r.events)
            EXPECT_LT(static_cast<std::uint32_t>(e.sampleIndex), r.sampleCount);
        EXPECT_GT(results[i].maxLevelDb, 0);
    }
    EXPECT_EQ(t->loadedCount, 3);
    EXPECT_EQ(t->currentTrace, 2);
    // The long-pulse trace gets cumulative losses from the engine.
    EXPECT_GT(t->record(0).events[2].totalLoss, 0.0f);
}

TEST(RealFiles, SavedTraceReadsBackWithItsEventsAndSamples)
{
    if (!haveFixtures())
        GTEST_SKIP() << "no fixture folder";
    TempDir dir;
    auto t = makeTable();
    CEndDravik engine;
    ASSERT_TRUE(readTraceIntoSlot(*t, engine, fixture("demo_ab.sor"), "demo_ab.sor", 0).loaded());
    const TraceRecord& r = t->record(0);
    const std::string out = dir.file("demo-saved.sor");
    ASSERT_TRUE(saveTrace(r, out).ok);

    auto t2 = makeTable();
    ASSERT_TRUE(readTraceIntoSlot(*t2, engine, out, "demo-saved.sor", 0).loaded());
    const TraceRecord& back = t2->record(0);
    EXPECT_EQ(back.sampleCount, r.sampleCount);
    EXPECT_TRUE(std::equal(r.samples.begin(), r.samples.begin() + r.sampleCount, back.samples.begin()));
    EXPECT_EQ(back.timeStamp, r.timeStamp);
    EXPECT_EQ(back.averageCount, r.averageCount);
    ASSERT_EQ(back.events.size(), r.events.size());
    for (std::size_t i = 0; i < r.events.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(back.events[i].sampleIndex, r.events[i].sampleIndex);
        EXPECT_EQ(back.events[i].codeLetter, r.events[i].codeLetter);
        EXPECT_EQ(back.events[i].eventType, r.events[i].eventType);
        EXPECT_NEAR(back.events[i].eventLoss, r.events[i].eventLoss, 0.0011);
    }
}
