#include "IniFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

} // namespace

bool iniNameEquals(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

std::string iniEscapeValue(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

std::string iniUnescapeValue(std::string_view stored)
{
    std::string out;
    out.reserve(stored.size());
    for (size_t i = 0; i < stored.size(); ++i) {
        char c = stored[i];
        if (c == '\\' && i + 1 < stored.size()) {
            char n = stored[i + 1];
            if (n == '\\') { out += '\\'; ++i; continue; }
            if (n == 'n') { out += '\n'; ++i; continue; }
            if (n == 'r') { out += '\r'; ++i; continue; }
        }
        out += c;
    }
    return out;
}

IniDocument IniDocument::parse(std::string_view text)
{
    IniDocument doc;
    doc.exists_ = true;
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") {
        doc.bom_ = true;
        text.remove_prefix(3);
    }
    size_t firstLf = text.find('\n');
    if (firstLf != std::string_view::npos && firstLf > 0 && text[firstLf - 1] == '\r')
        doc.eol_ = "\r\n";
    doc.endsWithEol_ = text.empty() || text.back() == '\n';

    int section = -1;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        std::string_view raw = text.substr(pos, end == std::string_view::npos ? text.size() - pos : end - pos);
        pos = (end == std::string_view::npos) ? text.size() : end + 1;
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);

        Line line;
        line.text = std::string(raw);
        std::string_view t = trim(raw);
        if (!t.empty() && t.front() == '[') {
            size_t close = t.find(']');
            std::string_view name = t.substr(1, close == std::string_view::npos ? t.size() - 1 : close - 1);
            line.isHeader = true;
            line.name = std::string(trim(name));
            doc.sectionNames_.push_back(line.name);
            section = int(doc.sectionNames_.size()) - 1;
        } else if (!t.empty() && t.front() != ';' && t.front() != '#') {
            size_t eq = raw.find('=');
            if (eq != std::string_view::npos) {
                line.isKey = true;
                line.name = std::string(trim(raw.substr(0, eq)));
                line.valueStart = eq + 1;
            }
        }
        line.section = section;
        doc.lines_.push_back(std::move(line));
    }
    return doc;
}

IniDocument IniDocument::load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return IniDocument{};
    std::ostringstream ss;
    ss << in.rdbuf();
    return parse(ss.str());
}

int IniDocument::findSection(std::string_view section) const
{
    for (size_t i = 0; i < sectionNames_.size(); ++i)
        if (iniNameEquals(sectionNames_[i], section))
            return int(i);
    return -1;
}

int IniDocument::findKeyLine(int section, std::string_view key) const
{
    for (size_t i = 0; i < lines_.size(); ++i) {
        const Line& l = lines_[i];
        if (l.section == section && l.isKey && iniNameEquals(l.name, key))
            return int(i);
    }
    return -1;
}

std::optional<std::string> IniDocument::get(std::string_view section, std::string_view key) const
{
    int s = findSection(section);
    if (s < 0)
        return std::nullopt;
    int k = findKeyLine(s, key);
    if (k < 0)
        return std::nullopt;
    const Line& l = lines_[size_t(k)];
    return iniUnescapeValue(trim(std::string_view(l.text).substr(l.valueStart)));
}

std::vector<std::pair<std::string, std::string>> IniDocument::sectionEntries(std::string_view section) const
{
    std::vector<std::pair<std::string, std::string>> out;
    int s = findSection(section);
    if (s < 0)
        return out;
    for (const Line& l : lines_) {
        if (l.section != s || !l.isKey)
            continue;
        bool seen = false;
        for (const auto& e : out)
            if (iniNameEquals(e.first, l.name)) { seen = true; break; }
        if (!seen)
            out.emplace_back(l.name, iniUnescapeValue(trim(std::string_view(l.text).substr(l.valueStart))));
    }
    return out;
}

void IniDocument::set(std::string_view section, std::string_view key, std::string_view value)
{
    exists_ = true;
    const std::string stored = iniEscapeValue(value);
    int s = findSection(section);
    if (s >= 0) {
        int k = findKeyLine(s, key);
        if (k >= 0) {
            // Keep the key as spelled and the blanks after '='; replace the value.
            Line& l = lines_[size_t(k)];
            size_t valueAt = l.valueStart;
            while (valueAt < l.text.size() && (l.text[valueAt] == ' ' || l.text[valueAt] == '\t'))
                ++valueAt;
            l.text = l.text.substr(0, valueAt) + stored;
            return;
        }
        // New key: after the last non-blank line of the section (its trailing blank lines stay
        // before the next section).
        size_t insertAt = 0;
        for (size_t i = 0; i < lines_.size(); ++i)
            if (lines_[i].section == s && !trim(lines_[i].text).empty())
                insertAt = i + 1;
        Line line;
        line.text = std::string(key) + "=" + stored;
        line.section = s;
        line.isKey = true;
        line.name = std::string(key);
        line.valueStart = key.size() + 1;
        if (insertAt == lines_.size())
            endsWithEol_ = true;
        lines_.insert(lines_.begin() + std::ptrdiff_t(insertAt), std::move(line));
        return;
    }
    sectionNames_.emplace_back(section);
    s = int(sectionNames_.size()) - 1;
    Line header;
    header.text = "[" + std::string(section) + "]";
    header.section = s;
    header.isHeader = true;
    header.name = std::string(section);
    Line line;
    line.text = std::string(key) + "=" + stored;
    line.section = s;
    line.isKey = true;
    line.name = std::string(key);
    line.valueStart = key.size() + 1;
    lines_.push_back(std::move(header));
    lines_.push_back(std::move(line));
    endsWithEol_ = true;
}

std::string IniDocument::serialize() const
{
    std::string out;
    if (bom_)
        out += "\xEF\xBB\xBF";
    for (size_t i = 0; i < lines_.size(); ++i) {
        out += lines_[i].text;
        if (i + 1 < lines_.size() || endsWithEol_)
            out += eol_;
    }
    return out;
}

bool IniDocument::save(const std::string& path) const { return writeFileAtomically(path, serialize()); }

bool writeFileAtomically(const std::string& path, std::string_view content)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path target(path);
    // Write through a symbolic link to the file it names, so the link stays a link.
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::canonical(target, ec);
        if (!ec)
            target = resolved;
    }
    fs::path dir = target.parent_path();
    if (dir.empty())
        dir = ".";

    mode_t mode = 0;
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    std::string tmpl = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(tmpl.data());
    if (fd < 0) {
        // A folder that cannot take a new file but holds a writable file: update it in place
        // rather than lose the change.
        if (::access(target.c_str(), W_OK) != 0)
            return false;
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        out.write(content.data(), std::streamsize(content.size()));
        out.flush();
        return bool(out);
    }
    bool ok = true;
    const char* p = content.data();
    size_t left = content.size();
    while (ok && left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ok = false;
            break;
        }
        p += n;
        left -= size_t(n);
    }
    if (ok && ::fchmod(fd, mode) != 0)
        ok = false;
    if (ok && ::fsync(fd) != 0)
        ok = false;
    if (::close(fd) != 0)
        ok = false;
    if (ok && ::rename(tmpl.c_str(), target.c_str()) != 0)
        ok = false;
    if (!ok)
        ::unlink(tmpl.c_str());
    return ok;
}
