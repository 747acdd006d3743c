// Reading real instrument files, writing records and reading them back, changing values of a
// read file, malformed input and the atomic save.
#include "SorFile.h"
#include "SorTestUtil.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <sys/stat.h>

using namespace sortest;
namespace fs = std::filesystem;

namespace {

// Offset and size of a block, walking the map directly (independent of the reader).
struct BlockPos {
    std::size_t offset = 0;
    std::size_t size = 0;
    std::size_t mapEntry = 0; // offset of the entry's revision field in the map
};

uint32_t le32(const std::vector<uint8_t>& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}

void put32(std::vector<uint8_t>& b, std::size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = uint8_t(v >> (8 * i));
}

BlockPos findBlock(const std::vector<uint8_t>& b, const std::string& name)
{
    const std::size_t head = std::memcmp(b.data(), "Map", 4) == 0 ? 4 : 0;
    const std::size_t mapSize = le32(b, head + 2);
    const int count = b[head + 6] | (b[head + 7] << 8);
    std::size_t p = head + 8, offset = mapSize;
    for (int i = 1; i < count; ++i) {
        const std::string entry(reinterpret_cast<const char*>(&b[p]));
        p += entry.size() + 1;
        const std::size_t size = le32(b, p + 2);
        if (entry == name)
            return {offset, size, p};
        offset += size;
        p += 6;
    }
    ADD_FAILURE() << "no block " << name;
    return {};
}

// The record as read, without the checksum findings (which differ after a rewrite).
SORDATA withoutChecksum(SORDATA d)
{
    d.carried.checksumOk = false;
    d.carried.storedChecksum = 0;
    return d;
}

struct FixtureCase {
    const char* file;
    int version;
    int32_t wavelength;
    int32_t pulseWidth;
    int32_t groupIndex;
    uint32_t points;
    std::array<uint16_t, 3> firstSamples;
    uint32_t averages;
    int32_t timeStamp;
    float backscatter;
    bool checksumOk;
    std::vector<std::string> blocks;
    std::vector<int32_t> times;
    std::vector<int16_t> losses;
    std::vector<int32_t> reflectances;
    std::vector<int16_t> attenuations;
    std::vector<std::string> codes;
    std::string technique;
};

// Expected values taken from the files' bytes.
const std::vector<FixtureCase>& fixtureCases()
{
    static const std::vector<FixtureCase> cases = {
        {"demo_ab.sor", 1, 1310, 1000, 147110, 11776, {27055, 22889, 20887}, 30, 886668374, -81.5f, true,
            {"GenParams", "SupParams", "FxdParams", "DataPts", "KeyEvents", "HPEvent", "Threshold",
                "HPSpecialInfo", "Cksum"},
            {0, 623749, 1243999, 1866998, 2489248}, {0, 209, 87, 149, 13232}, {-50000, 0, -51514, 0, -16726},
            {0, 344, 342, 344, 344}, {"1F9999", "0F9999", "1F9999", "0F9999", "1E9999"}, "LS"},
        {"example2-exfo-maxtester730c.sor", 2, 1310, 10, 146770, 31343, {46226, 40224, 38488}, 1012, 1592057570,
            -79.4f, false,
            {"GenParams", "SupParams", "FxdParams", "KeyEvents", "DataPts", "ExfoNewProprietaryBlock 01", "Cksum"},
            {0, 7359, 183062, 191547, 358734, 367266}, {0, 652, 0, 0, 0, 0},
            {-44958, -34811, -17249, -57072, -49856, -39452}, {0, 687, 322, 0, 0, 0},
            {"1F9999", "1F9999", "2E9999", "1F9999", "1F9999", "1F9999"}, "LS"},
        {"example3-anritsu-accessmastermt9085.sor", 2, 1310, 100, 146710, 20001, {65535, 44933, 43804}, 15360,
            1592094230, -60.0f, false,
            {"GenParams", "SupParams", "FxdParams", "KeyEvents", "NetTestTSI ", "DataPts", "ARSpecial", "AREvent",
                "WaveMTSParams", "Cksum"},
            {49459, 340160, 390745}, {434, 87, 13684}, {-34156, -33268, 4014}, {321, 303, 378},
            {"1F9999", "1F9999", "1E9999"}, "2P"},
    };
    return cases;
}

class SorFixture : public ::testing::TestWithParam<FixtureCase> {
protected:
    void SetUp() override
    {
        path = fixtureDir() / GetParam().file;
        if (!fs::exists(path))
            GTEST_SKIP() << "fixture folder absent";
        bytes = readBytes(path);
    }
    fs::path path;
    std::vector<uint8_t> bytes;
};

TEST_P(SorFixture, ReadsTheFieldsTheFileStates)
{
    const FixtureCase& c = GetParam();
    SORDATA d;
    CSorFile file;
    ASSERT_EQ(file.readSorFile(path.string(), d), 1) << file.lastError();
    EXPECT_EQ(d.carried.version, c.version);
    EXPECT_EQ(d.wavelength, c.wavelength);
    EXPECT_EQ(d.pulseWidth, c.pulseWidth);
    EXPECT_EQ(d.groupIndex, c.groupIndex);
    EXPECT_FLOAT_EQ(d.refractiveIndex, c.groupIndex / 100000.0f);
    ASSERT_EQ(d.dataSets.size(), 1u);
    EXPECT_EQ(d.dataSets[0].pointCount, c.points);
    ASSERT_EQ(d.dataSets[0].samples.size(), c.points);
    EXPECT_EQ(d.dataSets[0].scaleFactor, 1000);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(d.dataSets[0].samples[i], c.firstSamples[i]);
    EXPECT_EQ(d.averages, c.averages);
    EXPECT_EQ(d.timeStamp, c.timeStamp);
    EXPECT_FLOAT_EQ(d.backscatterCoeff, c.backscatter);
    EXPECT_EQ(file.checksumOk(), c.checksumOk);
    EXPECT_TRUE(d.carried.hasChecksum);

    std::vector<std::string> names;
    for (const SorBlock& b : d.carried.blocks)
        names.push_back(b.name);
    EXPECT_EQ(names, c.blocks);

    ASSERT_EQ(d.keyEvents.size(), c.times.size());
    for (std::size_t i = 0; i < c.times.size(); ++i) {
        SCOPED_TRACE(i);
        const SorKeyEvent& e = d.keyEvents[i];
        EXPECT_EQ(e.propagationTime, c.times[i]);
        EXPECT_EQ(e.eventLoss, c.losses[i]);
        EXPECT_EQ(e.reflectance, c.reflectances[i]);
        EXPECT_EQ(e.attenuation, c.attenuations[i]);
        EXPECT_EQ(e.eventCode, c.codes[i]);
        EXPECT_EQ(e.lossTechnique, c.technique);
        EXPECT_TRUE(e.further.has_value());
    }
    // Derived values follow from the raw ones: point spacing x index / c is the time per point,
    // and the sampling rate is half its inverse.
    const double perPoint = d.sampleSpacing * d.refractiveIndex / 299792458.0;
    EXPECT_NEAR(1.0 / (2.0 * perPoint) / 1e6, d.samplingRate, d.samplingRate * 1e-5);
    EXPECT_NEAR(d.length, d.sampleSpacing * c.points, 1e-2);
}

TEST_P(SorFixture, RewriteReproducesTheBytesApartFromTheChecksum)
{
    SORDATA d;
    ASSERT_TRUE(parseSor(bytes, d));
    std::vector<uint8_t> out;
    ASSERT_TRUE(serializeSor(d, out));
    ASSERT_EQ(out.size(), bytes.size());
    // In all three files the checksum is the last two bytes.
    const std::size_t at = bytes.size() - 2;
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + at, bytes.begin()));
    EXPECT_EQ(out[at] | (out[at + 1] << 8), sorCrc16(std::span<const uint8_t>(out.data(), at)));

    SORDATA again;
    ASSERT_TRUE(parseSor(out, again));
    EXPECT_TRUE(again.carried.checksumOk);
    EXPECT_EQ(withoutChecksum(again), withoutChecksum(d));

    // Through the files as well.
    const fs::path copy = fs::path(::testing::TempDir()) / ("resaved-" + std::string(GetParam().file));
    CSorFile file;
    ASSERT_EQ(file.saveSorFile(copy.string(), d), 1) << file.lastError();
    EXPECT_EQ(readBytes(copy), out);
    fs::remove(copy);
}

// A save after the program changed what it keeps (as when a trace is stored back): the changed
// values read back, the rest of the file is kept.
TEST_P(SorFixture, ChangedValuesReadBackAndTheRestIsKept)
{
    SORDATA d;
    ASSERT_TRUE(parseSor(bytes, d));
    const SORDATA original = d;

    SorDataSet set;
    set.samples.assign(d.dataSets[0].samples.begin(), d.dataSets[0].samples.begin() + 1000);
    set.samples[10] = 12345;
    set.pointCount = 1000;
    d.dataSets = {set};
    d.wavelength = 1550;
    d.pulseWidth = 500;
    d.samplingRate = 25.0f;
    d.refractiveIndex = 1.47f;
    d.range = 30000;
    d.backscatterCoeff = -80.0f;
    d.lossThreshold = 0.1f;
    d.reflectanceThreshold = -50.0f;
    d.endThreshold = 4.0f;
    SorKeyEvent e;
    e.propagationTime = 12345;
    e.attenuation = 350;
    e.eventLoss = 200;
    e.reflectance = -45677;
    e.eventCode = "1F9999";
    e.lossTechnique = "LS";
    d.keyEvents = {e, e};
    d.keyEvents[1].propagationTime = 54321;
    d.keyEvents[1].eventCode = "0A9999";

    std::vector<uint8_t> out;
    ASSERT_TRUE(serializeSor(d, out));
    SORDATA r;
    ASSERT_TRUE(parseSor(out, r)) << "re-read failed";
    EXPECT_EQ(r.dataSets, d.dataSets);
    EXPECT_EQ(r.wavelength, 1550);
    EXPECT_EQ(r.pulseWidth, 500);
    EXPECT_FLOAT_EQ(r.samplingRate, 25.0f);
    EXPECT_FLOAT_EQ(r.refractiveIndex, 1.47f);
    EXPECT_EQ(r.groupIndex, 147000);
    EXPECT_EQ(r.range, 30000);
    EXPECT_FLOAT_EQ(r.backscatterCoeff, -80.0f);
    EXPECT_FLOAT_EQ(r.lossThreshold, 0.1f);
    EXPECT_FLOAT_EQ(r.reflectanceThreshold, -50.0f);
    EXPECT_FLOAT_EQ(r.endThreshold, 4.0f);
    EXPECT_FLOAT_EQ(r.length, 1000 * r.sampleSpacing);
    EXPECT_EQ(r.fixedParams.pointCounts[0], 1000u);
    EXPECT_EQ(r.carried.dataPointsTotal, 1000u);
    ASSERT_EQ(r.keyEvents.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(r.keyEvents[i].propagationTime, d.keyEvents[i].propagationTime);
        EXPECT_EQ(r.keyEvents[i].eventCode, d.keyEvents[i].eventCode);
        EXPECT_EQ(r.keyEvents[i].reflectance, -45677);
        ASSERT_TRUE(r.keyEvents[i].further);
        EXPECT_EQ(r.keyEvents[i].further->number, i + 1);
    }
    // Untouched: identification, maker blocks, the values nobody changed.
    EXPECT_EQ(r.carried.genParams.cableId, original.carried.genParams.cableId);
    EXPECT_EQ(r.carried.supParams, original.carried.supParams);
    EXPECT_EQ(r.timeStamp, original.timeStamp);
    EXPECT_EQ(r.averages, original.averages);
    EXPECT_EQ(r.carried.eventSummary, original.carried.eventSummary);
    // A new index alone keeps the range in metres and the sampling rate.
    SORDATA indexOnly = original;
    indexOnly.refractiveIndex = 1.45f;
    ASSERT_TRUE(serializeSor(indexOnly, out));
    SORDATA ri;
    ASSERT_TRUE(parseSor(out, ri));
    EXPECT_FLOAT_EQ(ri.refractiveIndex, 1.45f);
    EXPECT_EQ(ri.range, original.range);
    EXPECT_EQ(ri.samplingRate, original.samplingRate);

    ASSERT_EQ(r.carried.blocks.size(), original.carried.blocks.size());
    for (std::size_t i = 0; i < r.carried.blocks.size(); ++i)
        if (!original.carried.blocks[i].interpreted) {
            EXPECT_EQ(r.carried.blocks[i], original.carried.blocks[i]);
        }
}

INSTANTIATE_TEST_SUITE_P(RealFiles, SorFixture, ::testing::ValuesIn(fixtureCases()),
    [](const auto& info) {
        std::string name = info.param.file;
        name = name.substr(0, name.find('.'));
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

class SorSynthetic : public ::testing::TestWithParam<int> {};

TEST_P(SorSynthetic, WrittenRecordReadsBackEqual)
{
    const SORDATA d = syntheticRecord(GetParam());
    std::vector<uint8_t> out;
    ASSERT_TRUE(serializeSor(d, out));
    EXPECT_EQ(out[0] == 'M', GetParam() == 2);
    SORDATA r;
    const SorStatus st = parseSor(out, r);
    ASSERT_TRUE(st) << st.message;

    EXPECT_EQ(r.carried.version, GetParam());
    EXPECT_TRUE(r.carried.checksumOk);
    EXPECT_EQ(r.dataSets, d.dataSets);
    EXPECT_EQ(r.range, d.range);
    EXPECT_EQ(r.pulseWidth, d.pulseWidth);
    EXPECT_EQ(r.wavelength, d.wavelength);
    EXPECT_EQ(r.samplingRate, d.samplingRate);
    EXPECT_EQ(r.refractiveIndex, d.refractiveIndex);
    EXPECT_EQ(r.groupIndex, d.groupIndex);
    EXPECT_FLOAT_EQ(r.sampleSpacing, float(299792458.0 / (2 * 50e6 * (146850 / 100000.0))));
    EXPECT_FLOAT_EQ(r.length, 5000 * r.sampleSpacing);
    EXPECT_EQ(r.backscatterCoeff, d.backscatterCoeff);
    EXPECT_EQ(r.lossThreshold, d.lossThreshold);
    EXPECT_EQ(r.reflectanceThreshold, d.reflectanceThreshold);
    EXPECT_EQ(r.endThreshold, d.endThreshold);
    EXPECT_EQ(r.acquisitionOffset, d.acquisitionOffset);
    EXPECT_EQ(r.timeStamp, d.timeStamp);
    EXPECT_EQ(r.userOffset, d.userOffset);
    EXPECT_EQ(r.averages, d.averages);
    SorGenParams gen = d.carried.genParams;
    gen.nominalWavelength = 1550;
    if (GetParam() == 1)
        gen.fibreType = 0; // not in version 1
    EXPECT_EQ(r.carried.genParams, gen);
    EXPECT_EQ(r.carried.supParams, d.carried.supParams);
    EXPECT_EQ(r.carried.eventSummary, d.carried.eventSummary);
    // Two data sets: two pulse-width entries.
    EXPECT_EQ(r.fixedParams.pulseWidths, (std::vector<uint16_t>{100, 100}));
    EXPECT_EQ(r.fixedParams.pointCounts, (std::vector<uint32_t>{5000, 5007}));

    ASSERT_EQ(r.keyEvents.size(), 3u);
    for (int i : {0, 2}) {
        SorKeyEvent expected = d.keyEvents[i];
        if (GetParam() == 1)
            expected.further->markers = {}; // version 1 has no markers
        EXPECT_EQ(r.keyEvents[i], expected);
    }
    // The event without carried extras gets its position as number and its time as markers.
    SorKeyEvent made = d.keyEvents[1];
    made.further = SorEventFurther{2, {}, ""};
    if (GetParam() == 2)
        made.further->markers.fill(made.propagationTime);
    EXPECT_EQ(r.keyEvents[1], made);

    std::vector<std::string> names;
    for (const SorBlock& b : r.carried.blocks)
        names.push_back(b.name);
    EXPECT_EQ(names, (std::vector<std::string>{"GenParams", "SupParams", "FxdParams", "KeyEvents", "DataPts",
                         "MakerBlock", "Cksum"}));
    EXPECT_FALSE(r.carried.blocks[5].interpreted);
    EXPECT_EQ(r.carried.blocks[5].revision, d.carried.blocks[0].revision);
    EXPECT_EQ(r.carried.blocks[5].bytes, d.carried.blocks[0].bytes);

    // Writing what was read gives the same bytes again.
    std::vector<uint8_t> again;
    ASSERT_TRUE(serializeSor(r, again));
    EXPECT_EQ(again, out);
}

INSTANTIATE_TEST_SUITE_P(Versions, SorSynthetic, ::testing::Values(1, 2));

TEST(SorWrite, RefusesValuesTheFormatCannotHold)
{
    struct Case {
        const char* what;
        void (*change)(SORDATA&);
    };
    const Case cases[] = {
        {"short event code", [](SORDATA& d) { d.keyEvents[0].eventCode = "1F"; }},
        {"long technique", [](SORDATA& d) { d.keyEvents[0].lossTechnique = "LSQ"; }},
        {"point count differs from samples", [](SORDATA& d) { d.dataSets[0].pointCount += 1; }},
        {"pulse width beyond 16 bits", [](SORDATA& d) { d.pulseWidth = 70000; }},
        {"negative sampling rate", [](SORDATA& d) { d.samplingRate = -1.0f; }},
        {"infinite refractive index", [](SORDATA& d) { d.refractiveIndex = INFINITY; }},
        {"NaN threshold", [](SORDATA& d) { d.lossThreshold = NAN; }},
        {"zero inside a string", [](SORDATA& d) { d.carried.genParams.comment = std::string("a\0b", 3); }},
        {"version 3", [](SORDATA& d) { d.carried.version = 3; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SORDATA d = syntheticRecord(2);
        c.change(d);
        std::vector<uint8_t> out;
        const SorStatus st = serializeSor(d, out);
        EXPECT_EQ(st.code, SorError::InvalidData);
        EXPECT_FALSE(st.message.empty());
    }
}

TEST(SorRead, MalformedFilesFailWithAReason)
{
    std::vector<uint8_t> good;
    ASSERT_TRUE(serializeSor(syntheticRecord(1), good));
    struct Case {
        const char* what;
        SorError expected;
        void (*damage)(std::vector<uint8_t>&);
    };
    const Case cases[] = {
        {"empty file", SorError::Truncated, [](std::vector<uint8_t>& b) { b.clear(); }},
        {"map larger than the file", SorError::Truncated, [](std::vector<uint8_t>& b) { put32(b, 2, 1u << 30); }},
        {"no blocks", SorError::BadMap, [](std::vector<uint8_t>& b) { b[6] = b[7] = 0; }},
        {"block beyond the end", SorError::BlockOverrun,
            [](std::vector<uint8_t>& b) {
                const BlockPos p = findBlock(b, "DataPts");
                put32(b, p.mapEntry + 2, uint32_t(p.size + b.size()));
            }},
        {"no FxdParams", SorError::MissingBlock,
            [](std::vector<uint8_t>& b) { b[findBlock(b, "FxdParams").mapEntry - 2] = 'X'; }},
        {"no DataPts", SorError::MissingBlock,
            [](std::vector<uint8_t>& b) { b[findBlock(b, "DataPts").mapEntry - 2] = 'X'; }},
        {"event count overflows the block", SorError::Malformed,
            [](std::vector<uint8_t>& b) {
                const BlockPos p = findBlock(b, "KeyEvents");
                b[p.offset] = b[p.offset + 1] = 0xFF;
            }},
        {"data set claims more points than held", SorError::Malformed,
            [](std::vector<uint8_t>& b) { put32(b, findBlock(b, "DataPts").offset + 6, 0x7FFFFFFF); }},
        {"pulse width count overflows the block", SorError::Malformed,
            [](std::vector<uint8_t>& b) {
                const BlockPos p = findBlock(b, "FxdParams");
                b[p.offset + 12] = b[p.offset + 13] = 0xFF;
            }},
        {"block shorter than its fields", SorError::Malformed,
            [](std::vector<uint8_t>& b) {
                // Shrink FxdParams to 20 bytes, giving the rest to the next block.
                const BlockPos f = findBlock(b, "FxdParams");
                const BlockPos next = findBlock(b, "KeyEvents");
                put32(b, f.mapEntry + 2, 20);
                put32(b, next.mapEntry + 2, uint32_t(next.size + f.size - 20));
            }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bytes = good;
        c.damage(bytes);
        SORDATA d;
        const SorStatus st = parseSor(bytes, d);
        EXPECT_EQ(st.code, c.expected) << st.message;
        EXPECT_FALSE(st.message.empty());
        // What a failed read leaves behind is still consistent.
        for (const SorDataSet& set : d.dataSets)
            EXPECT_EQ(set.pointCount, set.samples.size());
    }
}

TEST(SorRead, MismatchedChecksumIsReportedButTheFileIsRead)
{
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(serializeSor(syntheticRecord(2), bytes));
    bytes.back() ^= 0x55;
    const fs::path path = fs::path(::testing::TempDir()) / "bad-checksum.sor";
    writeBytes(path, bytes);
    SORDATA d;
    CSorFile file;
    ASSERT_EQ(file.readSorFile(path.string(), d), 1);
    EXPECT_FALSE(file.checksumOk());
    EXPECT_TRUE(d.carried.hasChecksum);
    EXPECT_EQ(d.dataSets.size(), 2u);
    fs::remove(path);
}

TEST(SorRead, MissingFileFails)
{
    SORDATA d;
    CSorFile file;
    EXPECT_EQ(file.readSorFile("/nonexistent/folder/x.sor", d), 0);
    EXPECT_EQ(file.lastErrorCode(), SorError::OpenFailed);
    EXPECT_NE(file.lastError().find("No such file"), std::string::npos) << file.lastError();
}

TEST(SorCrc, MatchesTheStandardCheckValue)
{
    const char* text = "123456789";
    EXPECT_EQ(sorCrc16(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text), 9)), 0x29B1);
}

class SorSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::path(::testing::TempDir()) / ("sorsave-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::size_t entries() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
    }
    fs::path dir;
};

TEST_F(SorSave, ReplacesTheFileWholeAndKeepsItsPermissions)
{
    const fs::path target = dir / "trace.sor";
    writeBytes(target, {1, 2, 3});
    ::chmod(target.c_str(), 0640);
    CSorFile file;
    ASSERT_EQ(file.saveSorFile(target.string(), syntheticRecord(2)), 1) << file.lastError();
    std::vector<uint8_t> expected;
    ASSERT_TRUE(serializeSor(syntheticRecord(2), expected));
    EXPECT_EQ(readBytes(target), expected);
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(entries(), 1u); // no temporary file left behind
}

TEST_F(SorSave, FailedSaveLeavesTheOldFileAndReportsFailure)
{
    const fs::path target = dir / "trace.sor";
    const std::vector<uint8_t> old = {9, 8, 7, 6};
    writeBytes(target, old);

    // Values that cannot be written.
    SORDATA bad = syntheticRecord(2);
    bad.keyEvents[0].eventCode = "1";
    CSorFile file;
    EXPECT_EQ(file.saveSorFile(target.string(), bad), 0);
    EXPECT_EQ(file.lastErrorCode(), SorError::InvalidData);
    EXPECT_EQ(readBytes(target), old);

    // A folder that does not exist.
    EXPECT_EQ(file.saveSorFile((dir / "missing" / "x.sor").string(), syntheticRecord(2)), 0);
    EXPECT_EQ(file.lastErrorCode(), SorError::WriteFailed);

    // A target that cannot be replaced (a non-empty folder of that name): nothing changes.
    fs::create_directories(dir / "folder.sor" / "inner");
    EXPECT_EQ(file.saveSorFile((dir / "folder.sor").string(), syntheticRecord(2)), 0);
    EXPECT_EQ(file.lastErrorCode(), SorError::WriteFailed);
    EXPECT_TRUE(fs::is_directory(dir / "folder.sor" / "inner"));
    EXPECT_EQ(entries(), 2u); // trace.sor and folder.sor, no temporary files
    EXPECT_EQ(readBytes(target), old);
}

} // namespace
