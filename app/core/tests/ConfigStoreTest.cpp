#include "ConfigStore.h"
#include "IniFile.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>

namespace fs = std::filesystem;

TEST(ConfigStore, MissingFileSectionOrKeyReadsEmptyAndConverts)
{
    TestFolder dir;
    ConfigStore store(dir.path());
    EXPECT_EQ(store.read("Color", "Trace1"), "");
    EXPECT_EQ(store.readInt("Unit", "Figure"), 0);
    EXPECT_EQ(store.readFloat("EventAnal", "BendTH"), 0.0);
    EXPECT_FALSE(store.readZeroFlag("Condition", "Grid"));
    EXPECT_TRUE(store.readNonzeroFlag("FileList", "MultiMode"));

    dir.write("Config.ini", "[Unit]\nFigure=2\n");
    EXPECT_EQ(store.read("Unit", "DFigure"), "");    // missing key
    EXPECT_EQ(store.read("Color", "Figure"), "");    // missing section
    EXPECT_EQ(store.readInt("Unit", "Figure"), 2);
}

TEST(ConfigStore, NamesCompareIgnoringCaseAndBlanksAroundAreIgnored)
{
    TestFolder dir;
    dir.write("Config.ini", "[ eventanal ]\n  bendth = 1.50  \nREFLECTTH=2\n");
    ConfigStore store(dir.path());
    EXPECT_EQ(store.read("EventAnal", "BendTH"), "1.50");
    EXPECT_EQ(store.read("EVENTANAL", "ReflectTH"), "2");

    // A write under another spelling updates the same line instead of adding a second one.
    store.write("EventAnal", "BENDTH", "3.00");
    EXPECT_EQ(dir.read("Config.ini"), "[ eventanal ]\n  bendth = 3.00\nREFLECTTH=2\n");
}

TEST(ConfigStore, LongValuesAreCutTo259CharactersWithoutSplittingOne)
{
    TestFolder dir;
    ConfigStore store(dir.path());
    store.write("PrintSetting", "Comment", std::string(300, 'x'));
    EXPECT_EQ(store.read("PrintSetting", "Comment"), std::string(259, 'x'));
    // The file keeps the whole value; only the reader cuts.
    EXPECT_NE(dir.read("Config.ini").find(std::string(300, 'x')), std::string::npos);

    std::string chinese;
    for (int i = 0; i < 300; ++i)
        chinese += "光";
    store.write("PrintSetting", "Comment", chinese);
    const std::string back = store.read("PrintSetting", "Comment");
    EXPECT_EQ(back.size(), 259u * 3u);
    EXPECT_EQ(back, chinese.substr(0, 259 * 3));
}

TEST(ConfigStore, ReaderConversions)
{
    struct IntCase { const char* text; int32_t value; };
    for (const IntCase& c : {IntCase{"12", 12}, {"  -7", -7}, {"+5", 5}, {"42abc", 42}, {"abc", 0}, {"", 0},
                             {"3.9", 3}, {"99999999999", INT32_MAX}, {"-99999999999", INT32_MIN}})
        EXPECT_EQ(configTextToInt(c.text), c.value) << c.text;

    struct FloatCase { const char* text; double value; };
    for (const FloatCase& c : {FloatCase{"1.4677", 1.4677}, {"-79.44", -79.44}, {" .5", 0.5}, {"+2", 2.0},
                               {"7.00dB", 7.0}, {"1,5", 1.0}, {"abc", 0.0}, {"", 0.0}, {"nan", 0.0},
                               {"inf", 0.0}, {"-", 0.0}, {"1e3", 1000.0}})
        EXPECT_DOUBLE_EQ(configTextToFloat(c.text), c.value) << c.text;

    struct FlagCase { const char* text; bool zero; bool nonzero; };
    for (const FlagCase& c : {FlagCase{"0", true, false}, {"1", false, true}, {"", false, true},
                              {"00", false, true}, {" 0", false, true}, {"off", false, true}})
    {
        EXPECT_EQ(configTextIsZero(c.text), c.zero) << c.text;
        EXPECT_EQ(configTextIsNonzero(c.text), c.nonzero) << c.text;
    }

    EXPECT_EQ(configTextToColour("16711680"), 0xFF0000u);
    EXPECT_EQ(configTextToColour("4294967295"), 0xFFFFFFFFu);
    EXPECT_EQ(configTextToColour("-1"), 0xFFFFFFFFu);
}

TEST(ConfigStore, WriterFormats)
{
    EXPECT_EQ(formatFixed(7, 2), "7.00");
    EXPECT_EQ(formatFixed(1.7, 4), "1.7000");
    EXPECT_EQ(formatFixed(-79.0, 2), "-79.00");
    EXPECT_EQ(formatFixed(1.46775, 4).size(), 6u);
    EXPECT_EQ(formatFixed(0.125, 0), "0");
    EXPECT_EQ(formatInt(-3), "-3");
    EXPECT_EQ(formatUInt(0xFFFFFFFFu), "4294967295");

    TestFolder dir;
    ConfigStore store(dir.path());
    store.writeFixed("EventAnal", "Refraction", 1.4677, 4);
    store.writeUInt("Color", "Back", 16777215u);
    store.writeInt("Unit", "Figure", 2);
    EXPECT_EQ(store.read("EventAnal", "Refraction"), "1.4677");
    EXPECT_EQ(store.readColour("Color", "Back"), 16777215u);
    EXPECT_EQ(store.readInt("Unit", "Figure"), 2);
}

TEST(ConfigStore, WriteKeepsTheRestOfTheFile)
{
    TestFolder dir;
    const std::string before =
        "; settings of the trace viewer\n"
        "[Color]\n"
        "Trace1=255 \n"
        "# a comment inside\n"
        "Back=0\n"
        "\n"
        "[Unit]\n"
        "Figure=2\n"
        "Figure=9\n"
        "\n"
        "[Empty]\n";
    dir.write("Config.ini", before);
    ConfigStore store(dir.path());

    EXPECT_TRUE(store.write("Color", "Back", "16777215"));   // existing key
    EXPECT_TRUE(store.write("Color", "Grid", "8421504"));    // new key: end of its section
    EXPECT_TRUE(store.write("Unit", "Figure", "3"));         // duplicate: the first one is the key
    EXPECT_TRUE(store.write("Language", "LanguageOpt", "1")); // new section at the end
    EXPECT_EQ(dir.read("Config.ini"),
              "; settings of the trace viewer\n"
              "[Color]\n"
              "Trace1=255 \n"
              "# a comment inside\n"
              "Back=16777215\n"
              "Grid=8421504\n"
              "\n"
              "[Unit]\n"
              "Figure=3\n"
              "Figure=9\n"
              "\n"
              "[Empty]\n"
              "[Language]\n"
              "LanguageOpt=1\n");
    EXPECT_EQ(store.readInt("Unit", "Figure"), 3);

    // Nothing but Config.ini is left in the folder (no temporary files).
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST(ConfigStore, WriteKeepsLineEndsBomAndMissingFinalLineEnd)
{
    TestFolder dir;
    ConfigStore store(dir.path());
    dir.write("Config.ini", "\xEF\xBB\xBF[Unit]\r\nFigure=2\r\nDistance=m");
    EXPECT_EQ(store.read("Unit", "Figure"), "2");
    store.write("Unit", "Figure", "3");
    EXPECT_EQ(dir.read("Config.ini"), "\xEF\xBB\xBF[Unit]\r\nFigure=3\r\nDistance=m");
    store.write("Unit", "DFigure", "4");
    EXPECT_EQ(dir.read("Config.ini"), "\xEF\xBB\xBF[Unit]\r\nFigure=3\r\nDistance=m\r\nDFigure=4\r\n");
}

TEST(ConfigStore, MultiLineValuesRoundTripAndCannotInjectKeys)
{
    TestFolder dir;
    ConfigStore store(dir.path());
    const std::string comment = "first line\nSelectLogo=0\r\n[Color]\nBack=1 C:\\data\\new";
    store.write("PrintSetting", "Comment", comment);
    EXPECT_EQ(store.read("PrintSetting", "Comment"), comment);
    EXPECT_EQ(store.read("PrintSetting", "SelectLogo"), "");
    EXPECT_EQ(store.read("Color", "Back"), "");
    // The value occupies exactly one line of the file.
    const std::string text = dir.read("Config.ini");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
}

TEST(ConfigStore, WriteCreatesTheFolderAndFailsCleanlyWhereItCannotWrite)
{
    TestFolder dir;
    ConfigStore store(dir.file("sub/Config"));
    EXPECT_TRUE(store.write("Unit", "Distance", "ft"));
    EXPECT_EQ(store.read("Unit", "Distance"), "ft");

    ConfigStore nowhere("/proc/otdr-no-such-folder");
    EXPECT_FALSE(nowhere.write("Unit", "Distance", "ft"));
    EXPECT_EQ(nowhere.read("Unit", "Distance"), "");
}

TEST(ConfigStore, WriteThroughASymbolicLinkKeepsTheLink)
{
    TestFolder dir;
    dir.write("real/Config.ini", "[Unit]\nFigure=1\n");
    fs::create_directories(dir.file("cfg"));
    fs::create_symlink(dir.file("real/Config.ini"), dir.file("cfg/Config.ini"));
    ConfigStore store(dir.file("cfg"));
    store.write("Unit", "Figure", "2");
    EXPECT_TRUE(fs::is_symlink(dir.file("cfg/Config.ini")));
    EXPECT_EQ(dir.read("real/Config.ini"), "[Unit]\nFigure=2\n");
}

TEST(MachineStore, EmptyOrMissingValuesReadEmpty)
{
    TestFolder dir;
    MachineStore store(dir.file("otdr/machine.ini"));
    EXPECT_EQ(store.readText("filepathrpt"), "");
    EXPECT_TRUE(store.writeText("filepathrpt", "/home/user/traces"));
    EXPECT_EQ(store.readText("FILEPATHRPT"), "/home/user/traces");
    EXPECT_TRUE(store.writeText("filepathrpt", ""));
    EXPECT_EQ(store.readText("filepathrpt"), "");
    EXPECT_EQ(MachineStore{}.readText("filepathrpt"), "");
}

TEST(ConfigLocation, WritableShippedFolderIsUsedInPlace)
{
    TestFolder app;
    TestFolder user;
    app.write("Config/Config.ini", "[Unit]\nFigure=2\n");
    EXPECT_EQ(resolveConfigDir(app.path(), user.path(), [](const std::string&) { return true; }),
              app.file("Config"));
    EXPECT_FALSE(fs::exists(user.file("Config")));
}

TEST(ConfigLocation, ReadOnlyShippedFolderIsCopiedOnceToTheUserFolder)
{
    TestFolder app;
    TestFolder user;
    app.write("Config/Config.ini", "[Unit]\nFigure=2\n");
    app.write("Config/Multi_eng.ini", "[String]\nIDS_OKORCANCEL=Exit?\n");
    fs::permissions(app.file("Config/Config.ini"), fs::perms::owner_read | fs::perms::group_read);
    auto readOnly = [](const std::string&) { return false; };

    const std::string dir = resolveConfigDir(app.path(), user.path(), readOnly);
    EXPECT_EQ(dir, user.file("Config"));
    EXPECT_EQ(user.read("Config/Multi_eng.ini"), "[String]\nIDS_OKORCANCEL=Exit?\n");

    // The copy is the user's: it may be written, and a second start does not overwrite it.
    ConfigStore store(dir);
    EXPECT_TRUE(store.write("Unit", "Figure", "3"));
    EXPECT_EQ(resolveConfigDir(app.path(), user.path(), readOnly), dir);
    EXPECT_EQ(store.readInt("Unit", "Figure"), 3);
    EXPECT_EQ(app.read("Config/Config.ini"), "[Unit]\nFigure=2\n");

    // A file removed by the user comes back from the shipped folder at the next start.
    fs::remove(user.file("Config/Multi_eng.ini"));
    resolveConfigDir(app.path(), user.path(), readOnly);
    EXPECT_TRUE(fs::exists(user.file("Config/Multi_eng.ini")));
}

TEST(ConfigLocation, MissingShippedFolderStillGivesAUsableUserFolder)
{
    TestFolder app;
    TestFolder user;
    const std::string dir = resolveConfigDir(app.path(), user.path());
    EXPECT_EQ(dir, user.file("Config"));
    ConfigStore store(dir);
    EXPECT_TRUE(store.write("Language", "LanguageOpt", "2"));
    EXPECT_EQ(store.read("Language", "LanguageOpt"), "2");
}

TEST(ConfigLocation, ProcessWideStoreCanBePointedAtAnyFolder)
{
    TestFolder dir;
    const std::string previous = configStore().configDir();
    setConfigDir(dir.path());
    EXPECT_EQ(configFilePath(), dir.file("Config.ini"));
    writeConfigFixed("EventAnal", "BackScatter", -79.444, 2);
    EXPECT_EQ(readConfig("EventAnal", "BackScatter"), "-79.44");
    EXPECT_FLOAT_EQ(static_cast<float>(readConfigFloat("eventanal", "backscatter")), -79.44f);
    setConfigDir(previous);

    EXPECT_FALSE(applicationFolder().empty());
    EXPECT_NE(applicationFolder().back(), '/');
}

TEST(ConfigStore, ReadsSeeChangesMadeByOthers)
{
    TestFolder dir;
    ConfigStore store(dir.path());
    dir.write("Config.ini", "[Unit]\nFigure=1\n");
    EXPECT_EQ(store.read("Unit", "Figure"), "1");
    dir.write("Config.ini", "[Unit]\nFigure=2\n"); // same size, same file, at once
    EXPECT_EQ(store.read("Unit", "Figure"), "2");

    // An old file is parsed once and read again when it changes.
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
    fs::last_write_time(dir.file("Config.ini"), old);
    EXPECT_EQ(store.read("Unit", "Figure"), "2");
    EXPECT_EQ(store.document(), store.document());
    dir.write("Config.ini", "[Unit]\nFigure=3\n");
    fs::last_write_time(dir.file("Config.ini"), old + std::chrono::seconds(1));
    EXPECT_EQ(store.read("Unit", "Figure"), "3");
}
