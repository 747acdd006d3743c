// otdrcli as users run it: the built program on real and written files, its JSON checked by a
// strict reader; and the JSON writer's escaping and numbers.
#include "Json.h"
#include "CliRun.h"
#include "JsonRead.h"
#include "SorFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class Otdrcli : public CliTest {
protected:
    Otdrcli() : CliTest("otdrcli", std::string("'") + OTDRCLI_PATH + "'") {}
};

TEST_F(Otdrcli, InfoDescribesARealFile)
{
    const fs::path file = fixture("demo_ab.sor");
    if (!fs::exists(file))
        GTEST_SKIP() << "fixture folder absent";
    const CliRun r = run({"info", file.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.err.empty());
    const auto parsed = JsonReader::parse(r.out);
    ASSERT_TRUE(parsed) << r.out;
    const JsonValue& j = *parsed;

    const std::vector<std::string> names = {"version", "wavelength_nm", "pulse_width_ns", "sampling_rate_mhz",
        "refractive_index", "group_index", "sample_count", "data_sets", "sample_spacing_m", "length_m", "range_m",
        "averages", "timestamp", "backscatter_db", "loss_threshold_db", "reflectance_threshold_db",
        "end_threshold_db", "blocks", "checksum_ok", "user_offset", "acquisition_offset", "events"};
    ASSERT_EQ(j.members.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(j.members[i].first, names[i]);

    EXPECT_EQ(j["version"].number, 1);
    EXPECT_EQ(j["wavelength_nm"].number, 1310);
    EXPECT_EQ(j["pulse_width_ns"].number, 1000);
    EXPECT_NEAR(j["sampling_rate_mhz"].number, 20.0, 1e-4);
    EXPECT_NEAR(j["refractive_index"].number, 1.4711, 1e-6);
    EXPECT_EQ(j["group_index"].number, 1.4711);
    EXPECT_EQ(j["sample_count"].number, 11776);
    EXPECT_EQ(j["data_sets"].number, 1);
    EXPECT_NEAR(j["sample_spacing_m"].number, 5.0947, 1e-3);
    EXPECT_EQ(j["averages"].number, 30);
    EXPECT_EQ(j["timestamp"].number, 886668374);
    EXPECT_EQ(j["backscatter_db"].number, -81.5);
    EXPECT_EQ(j["end_threshold_db"].number, 5);
    EXPECT_EQ(j["checksum_ok"].kind, JsonValue::Bool);
    EXPECT_TRUE(j["checksum_ok"].flag);
    EXPECT_EQ(j["user_offset"].number, 0);
    EXPECT_EQ(j["acquisition_offset"].number, 0);
    ASSERT_EQ(j["blocks"].items.size(), 10u);
    EXPECT_EQ(j["blocks"][0].text, "Map");
    EXPECT_EQ(j["blocks"][9].text, "Cksum");

    const JsonValue& events = j["events"];
    ASSERT_EQ(events.items.size(), 5u);
    const JsonValue& e = events[4];
    EXPECT_EQ(e["time"].number, 2489248);
    EXPECT_NEAR(e["distance_m"].number, 299792458.0 / (1.4711e10) * 2489248, 0.01);
    EXPECT_EQ(e["loss_db"].number, 13.232);
    EXPECT_EQ(e["reflectance_db"].number, -16.726);
    EXPECT_EQ(e["attenuation_db_km"].number, 0.344);
    EXPECT_EQ(e["code"].text, "1E9999");
    EXPECT_EQ(e["technique"].text, "LS");
}

// Event distances count from the start of the fibre: time + user offset - acquisition offset.
TEST_F(Otdrcli, InfoPlacesEventsWithTheFileOffsets)
{
    SORDATA d;
    SorDataSet set;
    set.samples.assign(100, 40000);
    set.pointCount = 100;
    d.dataSets = {set};
    d.refractiveIndex = 1.5f;
    d.groupIndex = 150000;
    d.samplingRate = 50.0f;
    d.userOffset = 1000;
    d.acquisitionOffset = 300;
    SorKeyEvent e;
    e.propagationTime = 20000;
    e.eventCode = std::string("1F\"9\n9", 6); // odd characters must come out escaped
    e.lossTechnique = "LS";
    d.keyEvents = {e};
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(serializeSor(d, bytes));
    const fs::path file = dir / "offsets.sor";
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
        static_cast<std::streamsize>(bytes.size()));

    const CliRun r = run({"info", file.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto j = JsonReader::parse(r.out);
    ASSERT_TRUE(j) << r.out;
    EXPECT_EQ((*j)["version"].number, 2);
    EXPECT_EQ((*j)["user_offset"].number, 1000);
    EXPECT_EQ((*j)["acquisition_offset"].number, 300);
    const JsonValue& ev = (*j)["events"][0];
    EXPECT_EQ(ev["time"].number, 20000);
    EXPECT_NEAR(ev["distance_m"].number, 299792458.0 / 1.5e10 * (20000 + 1000 - 300), 1e-3);
    EXPECT_EQ(ev["code"].text, e.eventCode);
}

TEST_F(Otdrcli, ResaveWritesTheSameFile)
{
    for (const char* name : {"demo_ab.sor", "example2-exfo-maxtester730c.sor"}) {
        const fs::path in = fixture(name);
        if (!fs::exists(in))
            GTEST_SKIP() << "fixture folder absent";
        SCOPED_TRACE(name);
        const fs::path out = dir / "out.sor";
        const CliRun r = run({"resave", in.string(), out.string()});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_TRUE(r.out.empty());
        const std::string original = slurp(in), written = slurp(out);
        ASSERT_EQ(written.size(), original.size());
        // Everything but the checksum (the last two bytes of these files).
        EXPECT_EQ(written.substr(0, written.size() - 2), original.substr(0, original.size() - 2));
        fs::remove(out);
    }
}

TEST_F(Otdrcli, UnreadableFileFailsWithAMessageAndWritesNothing)
{
    const fs::path broken = dir / "broken.sor";
    std::ofstream(broken, std::ios::binary) << "Map";
    const fs::path missing = dir / "missing.sor";
    const fs::path out = dir / "out.sor";

    for (const fs::path& in : {broken, missing}) {
        SCOPED_TRACE(in.string());
        for (const CliRun& r : {run({"info", in.string()}), run({"resave", in.string(), out.string()})}) {
            EXPECT_NE(r.exitCode, 0);
            EXPECT_TRUE(r.out.empty());
            // One line that names the file and gives a reason.
            ASSERT_FALSE(r.err.empty());
            EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
            EXPECT_NE(r.err.find(in.string() + ": "), std::string::npos) << r.err;
            EXPECT_GT(r.err.size(), in.string().size() + 12);
            EXPECT_FALSE(fs::exists(out));
        }
    }
}

TEST_F(Otdrcli, WrongUsageIsRefused)
{
    EXPECT_EQ(run({}).exitCode, 2);
    EXPECT_EQ(run({"frobnicate"}).exitCode, 2);
    EXPECT_EQ(run({"info"}).exitCode, 2);
    EXPECT_EQ(run({"resave", "only-one"}).exitCode, 2);
    const CliRun help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("otdrcli info FILE"), std::string::npos);
    EXPECT_NE(help.out.find("otdrcli resave IN OUT"), std::string::npos);
}

TEST(JsonWriter, EscapesStringsAndKeepsNumbersValid)
{
    JsonWriter j(0);
    j.beginObject();
    j.field("quote", std::string("a\"b\\c/"));
    j.field("control", std::string("\n\t\x01\x7f", 4));
    j.field("zero", std::string("x\0y", 3));
    j.field("utf8", std::string("\xc3\xa9\xe2\x82\xac"));     // é €: kept
    j.field("latin1", std::string("\xe9\xff"));                 // not UTF-8: é ÿ
    j.field("truncated", std::string("\xe2\x82"));              // cut sequence
    j.field("nan", std::nan(""));
    j.field("inf", -INFINITY);
    j.field("finf", INFINITY * 1.0f);
    j.field("float", 1.4711f);
    j.field("double", 0.1);
    j.field("big", uint64_t(18446744073709551615u));
    j.field("neg", int32_t(-5));
    j.key("empty").beginArray().endArray();
    j.key("nested").beginArray().beginObject().endObject().value(true).null().endArray();
    j.endObject();
    const std::string& s = j.str();
    EXPECT_EQ(s, "{\"quote\":\"a\\\"b\\\\c/\",\"control\":\"\\n\\t\\u0001\\u007f\",\"zero\":\"x\\u0000y\","
                 "\"utf8\":\"\xc3\xa9\xe2\x82\xac\",\"latin1\":\"\xc3\xa9\xc3\xbf\",\"truncated\":\"\xc3\xa2\xc2\x82\","
                 "\"nan\":null,\"inf\":null,\"finf\":null,\"float\":1.4711,\"double\":0.1,"
                 "\"big\":18446744073709551615,\"neg\":-5,\"empty\":[],\"nested\":[{},true,null]}");
    EXPECT_TRUE(JsonReader::parse(s));

    JsonWriter pretty;
    pretty.beginObject().field("a", 1).key("b").beginArray().value("x").endArray().endObject();
    EXPECT_EQ(pretty.str(), "{\n  \"a\": 1,\n  \"b\": [\n    \"x\"\n  ]\n}");
}

} // namespace
