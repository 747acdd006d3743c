#include "Texts.h"

#include "ConfigKeys.h"
#include "ConfigStore.h"
#include "IniFile.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr const char* kStringSection = "String";

std::string upperAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return out;
}

} // namespace

const char* languageFileName(int language)
{
    switch (language) {
    case kLanguageChinese: return "Multi_ch.ini";
    case kLanguageEnglish: return "Multi_eng.ini";
    case kLanguagePortuguese: return "Multi_port.ini";
    default: return "";
    }
}

TextTable TextTable::fromText(std::string_view iniText)
{
    TextTable table;
    for (auto& [key, value] : IniDocument::parse(iniText).sectionEntries(kStringSection))
        table.texts_.emplace(upperAscii(key), cutToChars(value));
    return table;
}

TextTable TextTable::fromFile(const std::string& path)
{
    TextTable table;
    if (path.empty())
        return table;
    for (auto& [key, value] : IniDocument::load(path).sectionEntries(kStringSection))
        table.texts_.emplace(upperAscii(key), cutToChars(value));
    return table;
}

std::string TextTable::text(std::string_view key) const
{
    auto it = texts_.find(upperAscii(key));
    return it == texts_.end() ? std::string{} : it->second;
}

bool TextTable::contains(std::string_view key) const { return texts_.count(upperAscii(key)) != 0; }

std::string languageFilePath(int language, const std::string& configDir, const std::string& fallbackDir)
{
    const std::string name = languageFileName(language);
    if (name.empty())
        return {};
    std::error_code ec;
    const fs::path primary = fs::path(configDir) / name;
    if (fs::exists(primary, ec) || fallbackDir.empty())
        return primary.string();
    const fs::path fallback = fs::path(fallbackDir) / name;
    if (fs::exists(fallback, ec))
        return fallback.string();
    return primary.string();
}

// ---- The process-wide language ---------------------------------------------------------------

namespace {

struct LanguageState {
    int language = kLanguageChinese;
    bool loaded = false;
    TextTable table;
};

LanguageState& state()
{
    static LanguageState s;
    return s;
}

void loadCurrentTable()
{
    LanguageState& s = state();
    s.table = TextTable::fromFile(languageFilePath(s.language, configStore().configDir(), shippedConfigDir()));
    s.loaded = true;
}

} // namespace

int currentLanguage() { return state().language; }

void setLanguage(int language)
{
    // The file is read at the first lookup in the new language.
    state().language = language;
    state().loaded = false;
}

void reloadTexts()
{
    // Loaded lazily on the next lookup, so a folder change before any lookup costs nothing.
    state().loaded = false;
}

std::string loadText(std::string_view key)
{
    if (!state().loaded)
        loadCurrentTable();
    return state().table.text(key);
}

bool loadLanguageOption()
{
    const std::string option = readConfig(cfg::kLanguage, cfg::kLanguageOpt);
    // Digits have no case; the three valid texts are exactly "0", "1" and "2".
    if (option == "0" || option == "1" || option == "2") {
        setLanguage(option[0] - '0');
        return true;
    }
    return false;
}

void saveLanguageOption() { writeConfigInt(cfg::kLanguage, cfg::kLanguageOpt, currentLanguage()); }
