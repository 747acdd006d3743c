// The configuration store: one INI file, "Config.ini" in the configuration folder, plus a small
// per-user store standing in for the machine-wide value "filepathrpt".
//
// Every read sees the file as it is on disk (the parsed content of a file that has not changed
// for a few seconds is reused while its identity, size and modification time stay the same);
// every write goes to the file at once, atomically, and keeps the rest of it as it was. A missing
// file, section or key reads as the empty text; a value comes back cut to 259 characters. Multi-line
// values are stored on one line (see IniFile.h). Readers convert the text:
//   integer       leading decimal digits (with optional sign) as a signed 32-bit value, 0 when none
//   float         leading decimal number as a double, 0 when the text is not a number
//   zero-flag     1 when the text equals "0", else 0 (missing key: 0)
//   nonzero-flag  1 when the text differs from "0" (missing key: 1)
// Numbers are written with fixed formats ("%d", "%u", "%.2f", "%.4f") independent of the locale.
//
// The store can be pointed at any folder (tests use temporary copies). The process-wide store is
// reached through the free functions below; by default it uses the application folder's Config/,
// or a per-user copy of it when that folder may not be written (see resolveConfigDir).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class IniDocument;

// Longest value a reader returns, in characters (the rest is cut off).
inline constexpr std::size_t kMaxConfigValueChars = 259;

// Cuts text to at most maxChars characters of UTF-8 without splitting a character.
std::string cutToChars(std::string_view text, std::size_t maxChars = kMaxConfigValueChars);

// Text conversions of the readers, usable on any text (for example a `ReportSettings` value).
int32_t configTextToInt(std::string_view text);
double configTextToFloat(std::string_view text);
bool configTextIsZero(std::string_view text);     // zero-flag: text equals "0"
bool configTextIsNonzero(std::string_view text);  // nonzero-flag: text differs from "0"
uint32_t configTextToColour(std::string_view text); // integer reading taken as a 0x00BBGGRR value

// Formats of the writers.
std::string formatInt(int value);             // "%d"
std::string formatUInt(uint32_t value);       // "%u"
std::string formatFixed(double value, int decimals); // "%.<decimals>f", always with '.'

class ConfigStore {
public:
    // configDir is the folder that holds Config.ini and the language files.
    explicit ConfigStore(std::string configDir = {});

    const std::string& configDir() const { return dir_; }
    void setConfigDir(std::string configDir) { dir_ = std::move(configDir); }

    // <configDir>/Config.ini
    std::string configFilePath() const;
    // <configDir>/<fileName>
    std::string filePath(std::string_view fileName) const;

    std::string read(std::string_view section, std::string_view key) const;
    int32_t readInt(std::string_view section, std::string_view key) const;
    double readFloat(std::string_view section, std::string_view key) const;
    bool readZeroFlag(std::string_view section, std::string_view key) const;
    bool readNonzeroFlag(std::string_view section, std::string_view key) const;
    uint32_t readColour(std::string_view section, std::string_view key) const;

    // Writes at once. Returns false when the file could not be written (callers may ignore it).
    bool write(std::string_view section, std::string_view key, std::string_view value) const;
    bool writeInt(std::string_view section, std::string_view key, int value) const;
    bool writeUInt(std::string_view section, std::string_view key, uint32_t value) const;
    bool writeFixed(std::string_view section, std::string_view key, double value, int decimals) const;
    // Several changes in one atomic update of the file: edit receives the current content.
    bool update(const std::function<void(IniDocument&)>& edit) const;
    // The file's current content, parsed (values not yet cut to 259 characters).
    std::shared_ptr<const IniDocument> document() const;

private:
    struct FileSignature {
        unsigned long long device = 0, inode = 0, size = 0;
        long long mtimeSec = 0, mtimeNsec = 0;
        bool exists = false;
        bool operator==(const FileSignature&) const = default;
    };
    std::string dir_;
    mutable std::shared_ptr<const IniDocument> cached_;
    mutable std::string cachedPath_;
    mutable FileSignature cachedSignature_;
};

// A small per-user key/value file standing in for the machine-wide registry value. Empty or
// missing values read as the empty text.
class MachineStore {
public:
    explicit MachineStore(std::string filePath = {});
    const std::string& filePath() const { return path_; }
    void setFilePath(std::string filePath) { path_ = std::move(filePath); }

    std::string readText(std::string_view name) const;
    bool writeText(std::string_view name, std::string_view text) const;

private:
    std::string path_;
};

// ---- Locations -------------------------------------------------------------------------------

// Folder of the running executable (from /proc/self/exe), without a trailing slash.
const std::string& applicationFolder();
// Overrides the application folder (tests, or a program started from elsewhere).
void setApplicationFolder(std::string folder);

// Per-user folder of this program: $XDG_CONFIG_HOME/OTDR, or ~/.config/OTDR.
std::string userDataFolder();

// Chooses the configuration folder for a given application folder:
// - <appFolder>/Config when it may be written (a program run from its build or unpacked folder);
// - otherwise <userFolder>/Config, after copying the shipped files of <appFolder>/Config into it
//   once: a file already there is never overwritten, so the user's settings survive.
// userFolder defaults to userDataFolder(); mayWrite decides whether a folder may be written
// (default: the process's access rights to the folder and to its Config.ini).
std::string resolveConfigDir(const std::string& appFolder, const std::string& userFolder = {},
                             const std::function<bool(const std::string&)>& mayWrite = nullptr);

// Copies every regular file of from into to (created when missing) unless to already has a file
// of that name. Returns false when the folder could not be made or a copy failed.
bool copyMissingFiles(const std::string& from, const std::string& to);

// ---- The process-wide store ------------------------------------------------------------------

// The store used by the free functions. On first use it is pointed at $OTDR_CONFIG_DIR when that
// is set and not empty (a scratch configuration for one run), else at
// resolveConfigDir(applicationFolder()).
ConfigStore& configStore();
// Points the process-wide store at another folder; also reloads the language texts from there.
void setConfigDir(const std::string& folder);
// The shipped configuration folder: <applicationFolder()>/Config. Language files missing from the
// configuration folder are looked up here.
std::string shippedConfigDir();

std::string configFilePath();
std::string readConfig(std::string_view section, std::string_view key);
int32_t readConfigInt(std::string_view section, std::string_view key);
double readConfigFloat(std::string_view section, std::string_view key);
bool readConfigZeroFlag(std::string_view section, std::string_view key);
bool readConfigNonzeroFlag(std::string_view section, std::string_view key);
uint32_t readConfigColour(std::string_view section, std::string_view key);
bool writeConfig(std::string_view section, std::string_view key, std::string_view value);
bool writeConfigInt(std::string_view section, std::string_view key, int value);
bool writeConfigUInt(std::string_view section, std::string_view key, uint32_t value);
bool writeConfigFixed(std::string_view section, std::string_view key, double value, int decimals);

// The per-user stand-in of the registry value ("filepathrpt"): <userDataFolder()>/machine.ini.
MachineStore& machineStore();
std::string readRegistryText(std::string_view name);
void writeRegistryText(std::string_view name, std::string_view text);
