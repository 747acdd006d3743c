#include "ConfigStore.h"
#include "TestFolder.h"
#include "TextKeys.h"
#include "Texts.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::string shippedDir() { return std::string(OTDR_SOURCE_DIR) + "/Config"; }

// Points the process-wide store and the shipped folder at test folders for one test.
class ProcessTexts : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousDir_ = configStore().configDir();
        previousApp_ = applicationFolder();
        setApplicationFolder(app_.path());
        setConfigDir(config_.path());
        setLanguage(kLanguageChinese);
    }
    void TearDown() override
    {
        setApplicationFolder(previousApp_);
        setConfigDir(previousDir_);
        setLanguage(kLanguageChinese);
    }
    TestFolder app_;
    TestFolder config_;
    std::string previousDir_;
    std::string previousApp_;
};

bool isValidUtf8(const std::string& s)
{
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        size_t n = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : 99;
        if (n == 99 || i + n >= s.size() + (n == 0 ? 1 : 0))
            return false;
        for (size_t k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += n + 1;
    }
    return true;
}

} // namespace

TEST(TextKeys, TableHoldsEveryKeyOnce)
{
    const auto keys = allTextKeys();
    // 305 interface texts and 10 captions, plus the texts the program adds (all IDS_).
    EXPECT_EQ(keys.size(), 315u + kOwnTextKeyCount);
    std::set<std::string> unique(keys.begin(), keys.end());
    EXPECT_EQ(unique.size(), keys.size());
    size_t ids = 0;
    for (const std::string key : keys) {
        ids += key.rfind("IDS_", 0) == 0;
        EXPECT_TRUE(key.rfind("IDS_", 0) == 0 || key.rfind("IDC_", 0) == 0) << key;
    }
    EXPECT_EQ(ids, 305u + kOwnTextKeyCount);
}

TEST(TextKeys, EveryShippedLanguageFileHasATextForEveryKey)
{
    for (int language : {kLanguageChinese, kLanguageEnglish, kLanguagePortuguese}) {
        const std::string path = shippedDir() + "/" + languageFileName(language);
        const std::string raw = TestFolder::readFile(path);
        ASSERT_FALSE(raw.empty()) << path;
        EXPECT_TRUE(isValidUtf8(raw)) << path;
        const TextTable table = TextTable::fromFile(path);
        for (const char* key : allTextKeys()) {
            EXPECT_FALSE(table.text(key).empty()) << languageFileName(language) << ": " << key;
            EXPECT_NE(table.text(key), key) << languageFileName(language) << ": " << key;
        }
    }
    // The three languages really differ.
    const TextTable zh = TextTable::fromFile(shippedDir() + "/Multi_ch.ini");
    const TextTable en = TextTable::fromFile(shippedDir() + "/Multi_eng.ini");
    const TextTable pt = TextTable::fromFile(shippedDir() + "/Multi_port.ini");
    EXPECT_EQ(en.text(tk::IDS_REMOTE_SETTING_CONNECT), "Connect");
    EXPECT_EQ(zh.text(tk::IDS_REMOTE_SETTING_CONNECT), "连接");
    EXPECT_EQ(pt.text(tk::IDS_REMOTE_SETTING_CONNECT), "Conectar");
}

TEST(TextTable, LookupIgnoresCaseCutsLongTextsAndDecodesLineBreaks)
{
    const TextTable table = TextTable::fromText("[Other]\nIDS_A=wrong section\n"
                                                "[string]\nids_a = Alpha \nIDS_LONG=" + std::string(300, 'y') +
                                                "\nIDS_TWO=one\\ntwo\nIDS_A=second\n");
    EXPECT_EQ(table.text("IDS_A"), "Alpha");
    EXPECT_EQ(table.text("Ids_A"), "Alpha");
    EXPECT_EQ(table.text("IDS_LONG"), std::string(259, 'y'));
    EXPECT_EQ(table.text("IDS_TWO"), "one\ntwo");
    EXPECT_EQ(table.text("IDS_MISSING"), "");
    EXPECT_EQ(TextTable::fromFile("/no/such/Multi_eng.ini").text("IDS_A"), "");
}

TEST_F(ProcessTexts, LanguageSwitchReadsTheFileOfThatLanguageOnly)
{
    config_.write("Multi_ch.ini", "[String]\nIDS_SCREEN_OK=确定\nIDS_SCREEN_CANCAL=取消\n");
    config_.write("Multi_eng.ini", "[String]\nIDS_SCREEN_OK=OK\nIDS_SCREEN_CANCAL=Cancel\n");
    config_.write("Multi_port.ini", "[String]\nIDS_SCREEN_OK=OK\n");

    EXPECT_EQ(loadText(tk::IDS_SCREEN_CANCAL), "取消");
    setLanguage(kLanguagePortuguese);
    EXPECT_EQ(loadText(tk::IDS_SCREEN_OK), "OK");
    EXPECT_EQ(loadText(tk::IDS_SCREEN_CANCAL), ""); // missing in Portuguese only
    setLanguage(kLanguageEnglish);
    EXPECT_EQ(loadText(tk::IDS_SCREEN_CANCAL), "Cancel");
    setLanguage(kLanguageChinese);
    EXPECT_EQ(loadText(tk::IDS_SCREEN_CANCAL), "取消");

    setLanguage(7); // no file for an unknown language
    EXPECT_EQ(loadText(tk::IDS_SCREEN_OK), "");
    EXPECT_EQ(languageFilePath(7, config_.path()), "");
}

TEST_F(ProcessTexts, MissingLanguageFileIsTakenFromTheShippedFolder)
{
    app_.write("Config/Multi_eng.ini", "[String]\nIDS_MAX_CURVE=shipped\n");
    setLanguage(kLanguageEnglish);
    EXPECT_EQ(loadText(tk::IDS_MAX_CURVE), "shipped");

    // A file of the configuration folder wins once it exists (read again on a language switch).
    config_.write("Multi_eng.ini", "[String]\nIDS_MAX_CURVE=own\n");
    setLanguage(kLanguageEnglish);
    EXPECT_EQ(loadText(tk::IDS_MAX_CURVE), "own");

    // Missing in both places: empty texts.
    setLanguage(kLanguagePortuguese);
    EXPECT_EQ(loadText(tk::IDS_MAX_CURVE), "");
}

TEST_F(ProcessTexts, LanguageOptionIsReadAndWrittenAtOnce)
{
    struct Case { const char* stored; int expected; bool valid; };
    for (const Case& c : {Case{"1", 1, true}, {"2", 2, true}, {"0", 0, true}, {"3", 0, false},
                          {"", 0, false}, {"en", 0, false}, {"1x", 0, false}}) {
        setLanguage(kLanguageChinese);
        writeConfig("Language", "LanguageOpt", c.stored);
        EXPECT_EQ(loadLanguageOption(), c.valid) << c.stored;
        EXPECT_EQ(currentLanguage(), c.expected) << c.stored;
    }

    setLanguage(kLanguagePortuguese);
    saveLanguageOption();
    EXPECT_EQ(readConfig("language", "languageopt"), "2");
}
