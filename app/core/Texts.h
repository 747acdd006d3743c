// Localised texts. The user interface speaks Chinese (language 0), English (1) and Portuguese (2);
// every text is the value of its key in section "String" of the language file of the current
// language: Multi_ch.ini, Multi_eng.ini or Multi_port.ini in the configuration folder (a file
// missing there is taken from the shipped Config/ folder). A missing file or key gives the empty
// text; a text is at most 259 characters. Each language file is read once into memory and read
// again when the language or the configuration folder changes.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

class ConfigStore;

inline constexpr int kLanguageChinese = 0;
inline constexpr int kLanguageEnglish = 1;
inline constexpr int kLanguagePortuguese = 2;

// "Multi_ch.ini", "Multi_eng.ini", "Multi_port.ini"; empty for any other language.
const char* languageFileName(int language);

// The texts of one language file.
class TextTable {
public:
    TextTable() = default;
    // Reads section "String" of the file; a missing file gives an empty table.
    static TextTable fromFile(const std::string& path);
    static TextTable fromText(std::string_view iniText);

    // The text of key (ignoring case), or the empty text.
    std::string text(std::string_view key) const;
    bool contains(std::string_view key) const;
    std::size_t size() const { return texts_.size(); }

private:
    std::unordered_map<std::string, std::string> texts_; // upper-case key -> text
};

// Path of a language file: the configuration folder's file when it exists, else the one in
// fallbackDir (when given and the file exists there), else the configuration folder's path.
// Empty for any other language.
std::string languageFilePath(int language, const std::string& configDir,
                             const std::string& fallbackDir = {});

// ---- The process-wide language ---------------------------------------------------------------

// Current language, 0 at start.
int currentLanguage();
// Sets the language; its file is read again at the next lookup (also for the same language).
void setLanguage(int language);
// Reads the language file of the current language again (after the configuration folder moved).
void reloadTexts();

// The text of key in the current language (empty when missing).
std::string loadText(std::string_view key);

// Reads "Language" "LanguageOpt": "0", "1" or "2" set that language; anything else keeps it.
// Returns true when the stored option was valid.
bool loadLanguageOption();
// Writes "LanguageOpt" as "%d" of the current language.
void saveLanguageOption();
