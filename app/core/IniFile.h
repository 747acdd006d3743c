// INI text files with the semantics the program's settings rely on:
// - sections "[name]" and "key=value" lines; section and key names compare ignoring ASCII case;
// - blanks around names and values are ignored; lines starting with ';' or '#' are comments;
// - a missing file, section or key reads as "not found" (callers turn that into the empty text);
// - the first occurrence of a section or key wins, as later duplicates are never read;
// - an update changes only the line of that key (or adds one line, or one section and line) and
//   keeps every other line of the file as it was: comments, order, blank lines, line endings, BOM;
// - saving is atomic: the new content goes to a temporary file in the same folder, which then
//   replaces the file by rename, so a crash never leaves a half-written settings file.
//
// Values are single-line. So that a multi-line value (a comment typed in a multi-line box) cannot
// break the file or inject other keys, line breaks are stored as the two characters "\n" and a
// backslash as "\\"; reading undoes this. Any other backslash sequence reads unchanged.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Turns a value into its single-line stored form and back.
std::string iniEscapeValue(std::string_view value);
std::string iniUnescapeValue(std::string_view stored);

// Compares two names ignoring ASCII case.
bool iniNameEquals(std::string_view a, std::string_view b);

class IniDocument {
public:
    IniDocument() = default;

    // Parses text (with or without a UTF-8 BOM, LF or CRLF line ends).
    static IniDocument parse(std::string_view text);
    // Reads a file; a missing or unreadable file gives an empty document (exists() false).
    static IniDocument load(const std::string& path);

    bool exists() const { return exists_; }

    // The unescaped value, or nullopt when the section or key is missing.
    std::optional<std::string> get(std::string_view section, std::string_view key) const;
    // Sets the value, adding the key at the end of its section or the section at the end.
    void set(std::string_view section, std::string_view key, std::string_view value);

    // All key/value pairs of one section in file order (unescaped; first occurrence of each key).
    std::vector<std::pair<std::string, std::string>> sectionEntries(std::string_view section) const;

    std::string serialize() const;
    // Writes atomically (temporary file + rename). Returns false on any failure; the old file
    // then stays untouched.
    bool save(const std::string& path) const;

private:
    struct Line {
        std::string text;      // the line as in the file, without its line end
        int section = -1;      // index of the section this line belongs to (-1 before any)
        bool isHeader = false; // "[name]" line
        bool isKey = false;    // "key=value" line
        std::string name;      // section name (header) or key name (key line), trimmed
        size_t valueStart = 0; // key lines: where the value begins in text
    };
    std::vector<Line> lines_;
    std::vector<std::string> sectionNames_;
    std::string eol_ = "\n";
    bool bom_ = false;
    bool endsWithEol_ = true;
    bool exists_ = false;

    int findSection(std::string_view section) const;
    int findKeyLine(int section, std::string_view key) const;
};

// Atomically replaces a file's content. Keeps the permission bits of an existing file.
bool writeFileAtomically(const std::string& path, std::string_view content);
