#include "ConfigKeys.h"
#include "ConfigStore.h"
#include "IniFile.h"
#include "Settings.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::string shippedConfigFile() { return std::string(OTDR_SOURCE_DIR) + "/Config/Config.ini"; }

} // namespace

TEST(Settings, NoConfigurationFileGivesTheEmptyReadings)
{
    TestFolder dir;
    ConfigStore store(dir.path());
    DisplaySettings d;
    d.gridShown = 1;
    d.multiTraceDisplay = 0;
    loadDisplaySettings(store, d);
    EXPECT_EQ(d.multiTraceDisplay, 1);
    EXPECT_EQ(d.gridShown, 0); // an empty "Grid" is not "0"
    EXPECT_EQ(d.previewCursor, 0);
    for (uint32_t c : d.traceColour)
        EXPECT_EQ(c, 0u);
    EXPECT_EQ(d.storedBackgroundColour, 0u);
    EXPECT_EQ(d.dbDecimals, 0);
    EXPECT_EQ(d.distanceUnit, "");

    AnalysisSettings a;
    a.Refraction = 1.5f;
    loadAnalysisSettings(store, a);
    EXPECT_EQ(a.BendTH, 0.0f);
    EXPECT_EQ(a.Refraction, 0.0f);
    EXPECT_EQ(a.BackScatter1625, 0.0f);
}

TEST(Settings, DisplayKeysFeedTheirFields)
{
    TestFolder dir;
    dir.write("Config.ini",
              "[Color]\nTrace3=255\nBack=16777215\nCursor=65280\n"
              "[Condition]\nGrid=1\nCursor=0\nGhost=1\n"
              "[FileList]\nMultiMode=0\n"
              "[Unit]\nFigure=3\nDFigure=5\nDistance=mi\n");
    ConfigStore store(dir.path());
    DisplaySettings d;
    loadDisplaySettings(store, d);
    EXPECT_EQ(d.traceColour[2], 255u);
    EXPECT_EQ(d.storedTraceColour[2], 255u);
    EXPECT_EQ(d.backgroundColour, 0xFFFFFFu);
    EXPECT_EQ(d.storedCursorColour, 0x00FF00u);
    EXPECT_EQ(d.gridShown, 0); // "1" hides the grid
    EXPECT_EQ(d.previewCursor, 1);
    EXPECT_EQ(d.previewGhost, 0);
    EXPECT_EQ(d.multiTraceDisplay, 0);
    EXPECT_EQ(d.dbDecimals, 3);
    EXPECT_EQ(d.distanceDecimals, 5);
    EXPECT_EQ(d.distanceUnit, "mi");

    store.write("Condition", "Grid", "0");
    loadDisplaySettings(store, d);
    EXPECT_EQ(d.gridShown, 1);

    // Re-reading the active colours leaves the stored set alone.
    d.storedTraceColour[0] = 7;
    store.write("Color", "Trace1", "9");
    loadActiveColours(store, d);
    EXPECT_EQ(d.traceColour[0], 9u);
    EXPECT_EQ(d.storedTraceColour[0], 7u);
}

TEST(Settings, ShippedConfigurationHasSensibleDefaults)
{
    TestFolder dir;
    dir.write("Config.ini", TestFolder::readFile(shippedConfigFile()));
    ConfigStore store(dir.path());

    DisplaySettings d;
    loadDisplaySettings(store, d);
    std::set<uint32_t> colours(d.traceColour.begin(), d.traceColour.end());
    EXPECT_EQ(colours.size(), 8u);
    for (uint32_t c : d.traceColour) {
        EXPECT_LE(c, 0xFFFFFFu);
        EXPECT_NE(c, d.backgroundColour);
        EXPECT_NE(c, d.gridColour);
    }
    EXPECT_NE(d.cursorColour, d.backgroundColour);
    EXPECT_NE(d.gridColour, d.backgroundColour);
    EXPECT_NE(d.eventMarkerColour, d.backgroundColour);
    EXPECT_EQ(d.gridShown, 1);
    EXPECT_EQ(d.multiTraceDisplay, 1);
    EXPECT_EQ(d.dbDecimals, 2);
    EXPECT_EQ(d.distanceDecimals, 3);
    EXPECT_EQ(d.distanceUnit, "m");

    AnalysisSettings a;
    loadAnalysisSettings(store, a);
    EXPECT_EQ(a.BendTH, 0.0f);
    EXPECT_EQ(a.ReflectTH, 0.0f);
    EXPECT_EQ(a.Termial, 0.0f);
    EXPECT_GE(a.BackScatter, -81.5f);
    EXPECT_LE(a.BackScatter, -52.0f);
    for (float b : {a.BackScatter1550, a.BackScatter1625}) {
        EXPECT_GE(b, -79.0f);
        EXPECT_LE(b, -52.0f);
    }
    for (float n : {a.Refraction, a.Refraction1550, a.Refraction1625}) {
        EXPECT_GT(n, 1.44f);
        EXPECT_LT(n, 1.49f);
    }

    EXPECT_EQ(store.read(cfg::kLanguage, cfg::kLanguageOpt), "1");

    for (int language : {0, 1, 2}) {
        ReportSettings r;
        loadReportSettings(store, language, r);
        EXPECT_EQ(r.Print, "1") << language;  // trace report
        EXPECT_EQ(r.WaveList, "0") << language; // one trace per page
        EXPECT_GT(configTextToInt(r.NumberOfFiber), 0) << language;
        EXPECT_FALSE(r.Heading.empty()) << language;
        EXPECT_FALSE(r.captions.JobTitle.empty()) << language;
        EXPECT_FALSE(r.captions.TraceTitle.empty()) << language;
        EXPECT_FALSE(r.captions.ConfigEndFiberTH.empty()) << language;
    }
}

TEST(Settings, ReportSettingsComeFromTheSectionsOfTheLanguage)
{
    TestFolder dir;
    dir.write("Config.ini",
              "[RepLayWaveLay]\nWaveList=2\nPrint=1\nFolder1=/plain\n"
              "[RepLayWaveLay_EN]\nWaveList=4\nPrint=0\nFolder1=/english\n"
              "[RepLayListLay_EN]\nTotalLossOnOff=1\n"
              "[RepLayListTitle_PT]\nItem12=doze\nComboBox16=dezesseis\n"
              "[RepLayWaveHeader_EN]\nEdit6=six\n"
              "[RepLayListTotalList]\nAdd=carried\n"
              "[NewReport_CH]\nJobTitle=任务信息\n[NewReport_EN]\nJobTitle=Job\n[NewReport_PT]\nJobTitle=Trabalho\n");
    ConfigStore store(dir.path());

    ReportSettings r;
    loadReportSettings(store, 1, r);
    EXPECT_EQ(r.WaveList, "2"); // always from the plain section
    EXPECT_EQ(r.Print, "0");
    EXPECT_EQ(r.Folder1, "/english");
    EXPECT_EQ(r.TotalLossOnOff, "1");
    EXPECT_EQ(r.HeaderEdit[5], "six");
    EXPECT_EQ(r.Add, "carried");
    EXPECT_EQ(r.captions.JobTitle, "Job");

    loadReportSettings(store, 2, r);
    EXPECT_EQ(r.Print, "");
    EXPECT_EQ(r.Item[11], "doze");
    EXPECT_EQ(r.ComboBox[15], "dezesseis");
    EXPECT_EQ(r.HeaderEdit[5], "");
    EXPECT_EQ(r.captions.JobTitle, "Trabalho");

    loadReportSettings(store, 0, r);
    EXPECT_EQ(r.Folder1, "/plain");
    EXPECT_EQ(r.captions.JobTitle, "任务信息");

    EXPECT_EQ(reportSection("RepLayWaveLay", 0), "RepLayWaveLay");
    EXPECT_EQ(reportSection("RepLayWaveLay", 2), "RepLayWaveLay_PT");
    EXPECT_EQ(reportCaptionSection(1), "NewReport_EN");
}

TEST(Settings, ExitSaveWritesTheLanguageSectionsAndLeavesTheOthers)
{
    TestFolder dir;
    const std::string plain = "[RepLayListLay]\nTotalLossOnOff=0\nListFormat=2\n";
    dir.write("Config.ini", "; keep me\n" + plain);
    const std::string previous = configStore().configDir();
    setConfigDir(dir.path());

    loadReportSettings(1);
    reportSettings().TotalLossOnOff = "1";
    reportSettings().WaveList = "3";
    reportSettings().Item[0] = "Route";
    reportSettings().HeaderItem[0] = "not written";
    reportSettings().captions.TraceTitle = "not written";
    instrumentSettings().TestRange = "160000";
    instrumentSettings().PluseWidth = "50000";
    saveExitSettings(1);

    ConfigStore store(dir.path());
    // The language-0 sections are untouched.
    EXPECT_EQ(dir.read("Config.ini").substr(0, 10 + plain.size()), "; keep me\n" + plain);
    EXPECT_EQ(store.read("RepLayListLay_EN", "TotalLossOnOff"), "1");
    EXPECT_EQ(store.read("RepLayWaveLay", "WaveList"), "3");
    EXPECT_EQ(store.read("RepLayWaveLay_EN", "WaveList"), "");
    EXPECT_EQ(store.read("RepLayListTitle_EN", "Item1"), "Route");
    EXPECT_EQ(store.read("OTDR", "TestRange"), "160000");
    EXPECT_EQ(store.read("OTDR", "strTestRange"), "160000");
    EXPECT_EQ(store.read("OTDR", "PluseWidth"), "50000");
    // Wave-header and caption keys are read, never written back.
    const IniDocument doc = IniDocument::load(store.configFilePath());
    EXPECT_FALSE(doc.get("RepLayWaveHeader_EN", "Item1").has_value());
    EXPECT_FALSE(doc.get("NewReport_EN", "TraceTitle").has_value());

    // What was written at exit is what the next report load reads.
    reportSettings() = ReportSettings{};
    loadReportSettings(1);
    EXPECT_EQ(reportSettings().TotalLossOnOff, "1");
    EXPECT_EQ(reportSettings().Item[0], "Route");

    instrumentSettings() = InstrumentSettings{};
    writeConfigUInt("Color", "Trace8", 0x123456u);
    std::array<uint32_t, 8> slotColours{};
    loadStartupSettings([&](int slot, uint32_t colour) { slotColours.at(size_t(slot)) = colour; });
    EXPECT_EQ(instrumentSettings().TestRange, "160000");
    EXPECT_EQ(displaySettings().traceColour[7], 0x123456u);
    EXPECT_EQ(slotColours[7], 0x123456u);

    setConfigDir(previous);
}
