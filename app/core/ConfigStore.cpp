#include "ConfigStore.h"

#include "IniFile.h"
#include "Texts.h"

#include <charconv>
#include <climits>
#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <limits>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// Leading optional sign and decimal digits, saturated to [lo, hi]; 0 when there are no digits.
int64_t parseLeadingInteger(std::string_view text, int64_t lo, int64_t hi)
{
    size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t value = 0;
    const int64_t limit = negative ? -lo : hi;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > limit) {
            value = limit;
            // keep consuming digits without growing further
        }
    }
    return negative ? -value : value;
}

} // namespace

std::string cutToChars(std::string_view text, std::size_t maxChars)
{
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool continuation = (c & 0xC0) == 0x80;
        if (!continuation) {
            if (chars == maxChars)
                return std::string(text.substr(0, i));
            ++chars;
        }
    }
    return std::string(text);
}

int32_t configTextToInt(std::string_view text)
{
    return static_cast<int32_t>(parseLeadingInteger(text, INT32_MIN, INT32_MAX));
}

uint32_t configTextToColour(std::string_view text)
{
    // Colours are written as "%u"; a negative text (an old "%d" of a large value) wraps around.
    return static_cast<uint32_t>(parseLeadingInteger(text, INT32_MIN, UINT32_MAX));
}

double configTextToFloat(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Only plain decimal numbers count ("inf", "nan" and hexadecimal texts read as 0).
    const bool digitFirst = i < text.size() && text[i] >= '0' && text[i] <= '9';
    const bool pointFirst = i + 1 < text.size() && text[i] == '.' && text[i + 1] >= '0' && text[i + 1] <= '9';
    if (!digitFirst && !pointFirst)
        return 0.0;
    double value = 0.0;
    auto res = std::from_chars(text.data() + i, text.data() + text.size(), value, std::chars_format::general);
    if (res.ec != std::errc{})
        return 0.0;
    return negative ? -value : value;
}

bool configTextIsZero(std::string_view text) { return text == "0"; }
bool configTextIsNonzero(std::string_view text) { return text != "0"; }

std::string formatInt(int value) { return std::to_string(value); }
std::string formatUInt(uint32_t value) { return std::to_string(value); }

std::string formatFixed(double value, int decimals)
{
    if (decimals < 0)
        decimals = 0;
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (res.ec != std::errc{})
        return "0";
    return std::string(buf, res.ptr);
}

// ---- ConfigStore -----------------------------------------------------------------------------

ConfigStore::ConfigStore(std::string configDir) : dir_(std::move(configDir)) {}

std::string ConfigStore::configFilePath() const { return filePath("Config.ini"); }

std::string ConfigStore::filePath(std::string_view fileName) const
{
    return (fs::path(dir_) / fs::path(fileName)).string();
}

std::shared_ptr<const IniDocument> ConfigStore::document() const
{
    const std::string path = configFilePath();
    FileSignature sig;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        sig.exists = true;
        sig.device = st.st_dev;
        sig.inode = st.st_ino;
        sig.size = static_cast<unsigned long long>(st.st_size);
        sig.mtimeSec = st.st_mtim.tv_sec;
        sig.mtimeNsec = st.st_mtim.tv_nsec;
    }
    // File times have a coarse granularity: a file changed within the last two seconds could change
    // again without a visible difference, so it is always read anew.
    const bool settled = sig.exists && ::time(nullptr) - sig.mtimeSec > 2;
    if (!cached_ || !settled || cachedPath_ != path || !(cachedSignature_ == sig)) {
        cached_ = std::make_shared<const IniDocument>(sig.exists ? IniDocument::load(path) : IniDocument{});
        cachedPath_ = path;
        cachedSignature_ = sig;
    }
    return cached_;
}

std::string ConfigStore::read(std::string_view section, std::string_view key) const
{
    auto value = document()->get(section, key);
    return value ? cutToChars(*value) : std::string{};
}

int32_t ConfigStore::readInt(std::string_view section, std::string_view key) const
{
    return configTextToInt(read(section, key));
}

double ConfigStore::readFloat(std::string_view section, std::string_view key) const
{
    return configTextToFloat(read(section, key));
}

bool ConfigStore::readZeroFlag(std::string_view section, std::string_view key) const
{
    return configTextIsZero(read(section, key));
}

bool ConfigStore::readNonzeroFlag(std::string_view section, std::string_view key) const
{
    return configTextIsNonzero(read(section, key));
}

uint32_t ConfigStore::readColour(std::string_view section, std::string_view key) const
{
    return configTextToColour(read(section, key));
}

bool ConfigStore::write(std::string_view section, std::string_view key, std::string_view value) const
{
    return update([&](IniDocument& doc) { doc.set(section, key, value); });
}

bool ConfigStore::update(const std::function<void(IniDocument&)>& edit) const
{
    std::error_code ec;
    if (!dir_.empty())
        fs::create_directories(dir_, ec);
    const std::string path = configFilePath();
    IniDocument doc = IniDocument::load(path);
    edit(doc);
    const bool saved = doc.save(path);
    cached_.reset();
    return saved;
}

bool ConfigStore::writeInt(std::string_view section, std::string_view key, int value) const
{
    return write(section, key, formatInt(value));
}

bool ConfigStore::writeUInt(std::string_view section, std::string_view key, uint32_t value) const
{
    return write(section, key, formatUInt(value));
}

bool ConfigStore::writeFixed(std::string_view section, std::string_view key, double value, int decimals) const
{
    return write(section, key, formatFixed(value, decimals));
}

// ---- MachineStore ----------------------------------------------------------------------------

namespace {
constexpr const char* kMachineSection = "VARNO";
}

MachineStore::MachineStore(std::string filePath) : path_(std::move(filePath)) {}

std::string MachineStore::readText(std::string_view name) const
{
    if (path_.empty())
        return {};
    auto value = IniDocument::load(path_).get(kMachineSection, name);
    return value ? *value : std::string{};
}

bool MachineStore::writeText(std::string_view name, std::string_view text) const
{
    if (path_.empty())
        return false;
    std::error_code ec;
    fs::path parent = fs::path(path_).parent_path();
    if (!parent.empty())
        fs::create_directories(parent, ec);
    IniDocument doc = IniDocument::load(path_);
    doc.set(kMachineSection, name, text);
    return doc.save(path_);
}

// ---- Locations -------------------------------------------------------------------------------

namespace {

std::string& applicationFolderStorage()
{
    static std::string folder = [] {
        std::error_code ec;
        fs::path exe = fs::read_symlink("/proc/self/exe", ec);
        if (ec || exe.empty())
            return fs::current_path(ec).string();
        return exe.parent_path().string();
    }();
    return folder;
}

std::string homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return "/tmp";
}

bool configFolderWritable(const fs::path& dir)
{
    std::error_code ec;
    if (!fs::is_directory(dir, ec))
        return false;
    if (::access(dir.c_str(), W_OK) != 0)
        return false;
    const fs::path file = dir / "Config.ini";
    if (fs::exists(file, ec) && ::access(file.c_str(), W_OK) != 0)
        return false;
    return true;
}

} // namespace

const std::string& applicationFolder() { return applicationFolderStorage(); }

void setApplicationFolder(std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    applicationFolderStorage() = std::move(folder);
}

std::string userDataFolder()
{
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
        return (fs::path(xdg) / "OTDR").string();
    return (fs::path(homeFolder()) / ".config" / "OTDR").string();
}

bool copyMissingFiles(const std::string& from, const std::string& to)
{
    std::error_code ec;
    fs::create_directories(to, ec);
    if (!fs::is_directory(to, ec))
        return false;
    if (!fs::is_directory(from, ec))
        return true;
    bool ok = true;
    for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec))
            continue;
        const fs::path dest = fs::path(to) / it->path().filename();
        if (fs::exists(dest, ec))
            continue;
        std::error_code copyEc;
        fs::copy_file(it->path(), dest, copyEc);
        if (copyEc) {
            ok = false;
            continue;
        }
        // A copy of a read-only installed file must be writable by its user.
        fs::permissions(dest, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, copyEc);
    }
    return ok && !ec;
}

std::string resolveConfigDir(const std::string& appFolder, const std::string& userFolder,
                             const std::function<bool(const std::string&)>& mayWrite)
{
    const fs::path shipped = fs::path(appFolder) / "Config";
    std::error_code ec;
    const bool writable = mayWrite ? (fs::is_directory(shipped, ec) && mayWrite(shipped.string()))
                                   : configFolderWritable(shipped);
    if (writable)
        return shipped.string();
    const fs::path user = fs::path(userFolder.empty() ? userDataFolder() : userFolder) / "Config";
    copyMissingFiles(shipped.string(), user.string());
    return user.string();
}

// ---- The process-wide store ------------------------------------------------------------------

ConfigStore& configStore()
{
    static ConfigStore store([] {
        if (const char* dir = std::getenv("OTDR_CONFIG_DIR"); dir && *dir)
            return std::string(dir);
        return resolveConfigDir(applicationFolder());
    }());
    return store;
}

void setConfigDir(const std::string& folder)
{
    configStore().setConfigDir(folder);
    reloadTexts();
}

std::string shippedConfigDir() { return (fs::path(applicationFolder()) / "Config").string(); }

std::string configFilePath() { return configStore().configFilePath(); }

std::string readConfig(std::string_view section, std::string_view key)
{
    return configStore().read(section, key);
}

int32_t readConfigInt(std::string_view section, std::string_view key) { return configStore().readInt(section, key); }

double readConfigFloat(std::string_view section, std::string_view key)
{
    return configStore().readFloat(section, key);
}

bool readConfigZeroFlag(std::string_view section, std::string_view key)
{
    return configStore().readZeroFlag(section, key);
}

bool readConfigNonzeroFlag(std::string_view section, std::string_view key)
{
    return configStore().readNonzeroFlag(section, key);
}

uint32_t readConfigColour(std::string_view section, std::string_view key)
{
    return configStore().readColour(section, key);
}

bool writeConfig(std::string_view section, std::string_view key, std::string_view value)
{
    return configStore().write(section, key, value);
}

bool writeConfigInt(std::string_view section, std::string_view key, int value)
{
    return configStore().writeInt(section, key, value);
}

bool writeConfigUInt(std::string_view section, std::string_view key, uint32_t value)
{
    return configStore().writeUInt(section, key, value);
}

bool writeConfigFixed(std::string_view section, std::string_view key, double value, int decimals)
{
    return configStore().writeFixed(section, key, value, decimals);
}

MachineStore& machineStore()
{
    static MachineStore store((fs::path(userDataFolder()) / "machine.ini").string());
    return store;
}

std::string readRegistryText(std::string_view name) { return machineStore().readText(name); }

void writeRegistryText(std::string_view name, std::string_view text) { machineStore().writeText(name, text); }
