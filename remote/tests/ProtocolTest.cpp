// The line protocol and the value mappings of the two settings pages.
#include "RemoteIds.h"
#include "RemotePages.h"
#include "RemoteProtocol.h"

#include <gtest/gtest.h>

using namespace remote;
using namespace remote::ids;

namespace {

InstrumentSettings sample()
{
    InstrumentSettings s;
    s.Language = "1";
    s.AutoPowerOff = "Never";
    s.LightLevel = "80";
    s.DateTime = "2026-03-04 05:06:07";
    s.TouchSreeenStatus = "0";
    s.TestWave = "2000";
    s.TestTime = "30";
    s.TestMode = "1";
    s.TestRange = "160000";
    s.TestUnit = "ft";
    s.PluseWidth = "50000";
    s.Resolution = "0";
    s.AutoSave = "1";
    return s;
}

TEST(RemoteProtocol, BuildsRequestsAndSettingsLines)
{
    EXPECT_EQ(requestLine(kGroupSystem), "get1");
    EXPECT_EQ(requestLine(kGroupTest), "get2");
    const InstrumentSettings s = sample();
    EXPECT_EQ(systemSettingsLine(s),
              "1Language=1,AutoPowerOff=Never,LightLevel=80,DateTime=2026-03-04 05:06:07,"
              "TouchSreeenStatus=0,");
    EXPECT_EQ(testSettingsLine(s), "2TestWave=2000,TestTime=30,TestMode=1,TestRange=160000,"
                                   "TestUnit=ft,PluseWidth=50000,Resolution=0,AutoSave=1,");
}

TEST(RemoteProtocol, ReplyParser)
{
    struct Case {
        const char* name;
        std::string text;
        std::vector<int> groups;
        std::vector<std::pair<std::string, std::string>> expected; // key, value after parsing
    };
    const Case cases[] = {
        {"test reply", "2TestWave=1550,TestMode=1,AutoSave=0,\n", {2},
         {{"TestWave", "1550"}, {"TestMode", "1"}, {"AutoSave", "0"}, {"TestUnit", "mi"}}},
        {"last pair without comma keeps its value", "2TestUnit=ft,AutoSave=1\n", {2},
         {{"TestUnit", "ft"}, {"AutoSave", "1"}}},
        {"two replies together, each under its own group",
         "1Language=1,LightLevel=40,\n2TestWave=1310,PluseWidth=20,\n", {1, 2},
         {{"Language", "1"}, {"LightLevel", "40"}, {"TestWave", "1310"}, {"PluseWidth", "20"}}},
        {"CR LF and no line end at all", "1AutoPowerOff=30,\r\n2TestTime=45", {1, 2},
         {{"AutoPowerOff", "30"}, {"TestTime", "45"}}},
        {"flags take 1 or else 0", "1Language=2,TouchSreeenStatus=1,\n2Resolution=yes,TestMode=1 ,\n",
         {1, 2},
         {{"Language", "0"}, {"TouchSreeenStatus", "1"}, {"Resolution", "0"}, {"TestMode", "0"}}},
        {"keys of the other group, unknown and wrongly cased keys are ignored",
         "1TestWave=1310,DateTime=2020-01-01 00:00:00,language=1,\n2Language=1,Bogus,=5,\n", {1, 2},
         {{"TestWave", "9999"}, {"DateTime", "old"}, {"Language", "0"}}},
        {"short lines and unknown groups change nothing", "1\n2A\n3TestWave=1310,\n\n", {},
         {{"TestWave", "9999"}}},
    };
    for (const Case& c : cases) {
        InstrumentSettings s;
        s.Language = "0";
        s.TestWave = "9999";
        s.TestUnit = "mi";
        s.DateTime = "old";
        EXPECT_EQ(applyReplies(c.text, s), c.groups) << c.name;
        for (const auto& [key, value] : c.expected)
            EXPECT_EQ(*settingByKey(s, key), value) << c.name << ": " << key;
    }
}

TEST(RemotePages, SystemPageMapping)
{
    struct Fill {
        std::string language, powerOff, light, touch;
        int languageRadio, powerOffRadio, slider, touchRadio;
    };
    const Fill fills[] = {
        {"0", "Never", "15", "0", kLangChinese, kPowerOffNever, 100, kTouchOn},
        {"1", "3", "100", "1", kLangEnglish, kPowerOff3, 15, kTouchOff},
        {"", "60", "40", "", kLangEnglish, kPowerOff60, 75, 0},
        {"x", "2", "abc", "2", kLangEnglish, 0, 100, 0},
        {"0", "30", "5", "1", kLangChinese, kPowerOff30, 100, kTouchOff},
    };
    for (const Fill& f : fills) {
        InstrumentSettings s;
        s.Language = f.language;
        s.AutoPowerOff = f.powerOff;
        s.LightLevel = f.light;
        s.TouchSreeenStatus = f.touch;
        const SystemPageView v = systemPageFromSettings(s);
        EXPECT_EQ(v.language, f.languageRadio) << f.language;
        EXPECT_EQ(v.autoPowerOff, f.powerOffRadio) << f.powerOff;
        EXPECT_EQ(v.slider, f.slider) << f.light;
        EXPECT_EQ(v.touch, f.touchRadio) << f.touch;
    }

    InstrumentSettings s = sample();
    systemPageToSettings({kLangChinese, kPowerOff20, 50, kTouchOff}, s);
    EXPECT_EQ(s.Language, "0");
    EXPECT_EQ(s.AutoPowerOff, "20");
    EXPECT_EQ(s.TouchSreeenStatus, "1");
    EXPECT_EQ(s.LightLevel, "80") << "the brightness is taken on slider moves only";
    systemPageToSettings({0, 0, 50, 0}, s);
    EXPECT_EQ(s.Language, "0") << "English unchecked gives Chinese";
    EXPECT_EQ(s.AutoPowerOff, "20") << "no radio leaves the value";
    EXPECT_EQ(s.TouchSreeenStatus, "1");

    EXPECT_EQ(lightLevelFromSlider(75), "40");
    EXPECT_EQ(lightLevelFromSlider(15), "100");
    EXPECT_EQ(formatDateTime(2026, 3, 4, 5, 6, 7), "2026-03-04 05:06:07");
}

TEST(RemotePages, TestPageRangeUsesOnePairOfSpecialValues)
{
    const std::pair<const char*, int> fills[] = {
        {"500", kRange500m},       {"2000", kRange2km},     {"120000", kRange120km},
        {"160000", kRange160km},   {"100", kRangeDeadZone}, {"50000", kRangeDeadZone},
        {"500000", kRangeAuto},    {"10", kRangeAuto},      {"7", 0},
        {"", 0},
    };
    for (const auto& [value, radio] : fills) {
        InstrumentSettings s;
        s.TestRange = value;
        EXPECT_EQ(testPageFromSettings(s).range, radio) << value;
    }
    InstrumentSettings s;
    TestPageView v = testPageFromSettings(s);
    v.range = kRangeDeadZone;
    testPageToSettings(v, s);
    EXPECT_EQ(s.TestRange, "100");
    v.range = kRangeAuto;
    testPageToSettings(v, s);
    EXPECT_EQ(s.TestRange, "500000");
    v.range = 0;
    testPageToSettings(v, s);
    EXPECT_EQ(s.TestRange, "500000") << "no radio leaves the value";
}

TEST(RemotePages, TestPageMapping)
{
    const InstrumentSettings s = sample();
    const TestPageView v = testPageFromSettings(s);
    EXPECT_EQ(v.wave, kWaveDual);
    EXPECT_EQ(v.resolution, kResolutionNormal);
    EXPECT_EQ(v.autoSave, kAutoSaveYes);
    EXPECT_EQ(v.testTime, 30);
    EXPECT_EQ(v.mode, kModeAuto);
    EXPECT_EQ(v.range, kRange160km);
    EXPECT_EQ(v.unit, kUnitKfeet);
    EXPECT_EQ(v.pulse, kPulseAuto);

    // Unknown or empty values: two-state groups fall to one side, the others select nothing.
    InstrumentSettings odd;
    odd.TestTime = "250";
    odd.PluseWidth = "7";
    const TestPageView o = testPageFromSettings(odd);
    EXPECT_EQ(o.resolution, kResolutionHigh);
    EXPECT_EQ(o.autoSave, kAutoSaveNo);
    EXPECT_EQ(o.testTime, 100);
    EXPECT_EQ(o.wave, 0);
    EXPECT_EQ(o.mode, 0);
    EXPECT_EQ(o.unit, 0);
    EXPECT_EQ(o.pulse, 0);

    InstrumentSettings out = sample();
    testPageToSettings({kWave1310, kResolutionHigh, kAutoSaveNo, 7, kModeManual, kRange40km,
                        kUnitMiles, kPulse1000},
                       out);
    EXPECT_EQ(testSettingsLine(out), "2TestWave=1310,TestTime=7,TestMode=0,TestRange=40000,"
                                     "TestUnit=mi,PluseWidth=1000,Resolution=1,AutoSave=0,");
    testPageToSettings({0, 0, 0, 7, 0, 0, 0, 0}, out);
    EXPECT_EQ(testSettingsLine(out), "2TestWave=1310,TestTime=7,TestMode=0,TestRange=40000,"
                                     "TestUnit=mi,PluseWidth=1000,Resolution=1,AutoSave=0,");
}

TEST(RemotePages, EveryRadioSelectsItselfAgain)
{
    // Each radio's value, filled into the page, checks that same radio (catches duplicate values).
    const std::vector<const std::vector<RadioChoice>*> groups{
        &languageChoices(), &autoPowerOffChoices(), &touchChoices(), &waveChoices(), &resolutionChoices(),
        &autoSaveChoices(), &modeChoices(),         &rangeChoices(), &unitChoices(), &pulseChoices()};
    for (const auto* group : groups)
        for (const RadioChoice& c : *group) {
            InstrumentSettings s;
            s.Language = s.AutoPowerOff = s.TouchSreeenStatus = c.value;
            s.TestWave = s.Resolution = s.AutoSave = s.TestMode = c.value;
            s.TestRange = s.TestUnit = s.PluseWidth = c.value;
            const SystemPageView sv = systemPageFromSettings(s);
            const TestPageView tv = testPageFromSettings(s);
            const int shown[] = {sv.language, sv.autoPowerOff, sv.touch, tv.wave, tv.resolution,
                                 tv.autoSave, tv.mode, tv.range, tv.unit, tv.pulse};
            EXPECT_NE(std::find(std::begin(shown), std::end(shown), c.id), std::end(shown))
                << c.id << " " << c.value;
        }
}

TEST(RemotePages, PageValueNormalisesOrRefuses)
{
    EXPECT_EQ(pageValue("TestRange", "50000"), "100");
    EXPECT_EQ(pageValue("TestRange", "160000"), "160000");
    EXPECT_EQ(pageValue("TestRange", "123"), "");
    EXPECT_EQ(pageValue("Language", "1"), "1");
    EXPECT_EQ(pageValue("Language", "3"), "");
    EXPECT_EQ(pageValue("LightLevel", "40"), "40");
    EXPECT_EQ(pageValue("LightLevel", "5"), "15");
    EXPECT_EQ(pageValue("TestTime", "x"), "");
    EXPECT_EQ(pageValue("PluseWidth", "1000"), "1000");
    EXPECT_EQ(pageValue("Nonsense", "1"), "");
}

} // namespace
