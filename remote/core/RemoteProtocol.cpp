#include "RemoteProtocol.h"

namespace remote {

namespace {

std::string flag(std::string_view value)
{
    return value == "1" ? "1" : "0";
}

void appendPair(std::string& line, const char* key, const std::string& value)
{
    line += key;
    line += '=';
    line += value;
    line += ',';
}

} // namespace

std::string requestLine(int group)
{
    return "get" + std::to_string(group);
}

std::string systemSettingsLine(const InstrumentSettings& s)
{
    std::string line = "1";
    appendPair(line, "Language", s.Language);
    appendPair(line, "AutoPowerOff", s.AutoPowerOff);
    appendPair(line, "LightLevel", s.LightLevel);
    appendPair(line, "DateTime", s.DateTime);
    appendPair(line, "TouchSreeenStatus", s.TouchSreeenStatus);
    return line;
}

std::string testSettingsLine(const InstrumentSettings& s)
{
    std::string line = "2";
    appendPair(line, "TestWave", s.TestWave);
    appendPair(line, "TestTime", s.TestTime);
    appendPair(line, "TestMode", s.TestMode);
    appendPair(line, "TestRange", s.TestRange);
    appendPair(line, "TestUnit", s.TestUnit);
    appendPair(line, "PluseWidth", s.PluseWidth);
    appendPair(line, "Resolution", s.Resolution);
    appendPair(line, "AutoSave", s.AutoSave);
    return line;
}

std::string_view stripLineEnd(std::string_view line)
{
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == '\0'))
        line.remove_suffix(1);
    return line;
}

std::vector<KeyValue> splitPairs(std::string_view body)
{
    std::vector<KeyValue> pairs;
    body = stripLineEnd(body);
    std::size_t start = 0;
    while (start <= body.size()) {
        std::size_t comma = body.find(',', start);
        if (comma == std::string_view::npos)
            comma = body.size();
        const std::string_view field = body.substr(start, comma - start);
        const std::size_t eq = field.find('=');
        if (eq != std::string_view::npos) {
            // The value is the second "="-separated part, as the instrument has always sent it.
            std::string_view value = field.substr(eq + 1);
            value = value.substr(0, value.find('='));
            pairs.push_back({std::string(field.substr(0, eq)), std::string(value)});
        }
        start = comma + 1;
    }
    return pairs;
}

int applyReplyLine(std::string_view line, InstrumentSettings& s)
{
    line = stripLineEnd(line);
    if (line.size() < 4)
        return 0;
    const char group = line.front();
    if (group != '1' && group != '2')
        return 0;
    for (const KeyValue& kv : splitPairs(line.substr(1))) {
        const std::string& k = kv.key;
        const std::string& v = kv.value;
        if (group == '1') {
            if (k == "Language")
                s.Language = flag(v);
            else if (k == "TouchSreeenStatus")
                s.TouchSreeenStatus = flag(v);
            else if (k == "AutoPowerOff")
                s.AutoPowerOff = v;
            else if (k == "LightLevel")
                s.LightLevel = v;
        } else {
            if (k == "TestWave")
                s.TestWave = v;
            else if (k == "TestTime")
                s.TestTime = v;
            else if (k == "TestRange")
                s.TestRange = v;
            else if (k == "TestUnit")
                s.TestUnit = v;
            else if (k == "PluseWidth")
                s.PluseWidth = v;
            else if (k == "TestMode")
                s.TestMode = flag(v);
            else if (k == "AutoSave")
                s.AutoSave = flag(v);
            else if (k == "Resolution")
                s.Resolution = flag(v);
        }
    }
    return group - '0';
}

std::vector<int> applyReplies(std::string_view text, InstrumentSettings& s)
{
    std::vector<int> groups;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string_view::npos ? text.size() : end + 1;
        if (const int g = applyReplyLine(text.substr(start, end - start), s))
            groups.push_back(g);
        start = end;
    }
    return groups;
}

const std::vector<std::string>& systemKeys()
{
    static const std::vector<std::string> keys{"Language", "AutoPowerOff", "LightLevel", "DateTime",
                                               "TouchSreeenStatus"};
    return keys;
}

const std::vector<std::string>& testKeys()
{
    static const std::vector<std::string> keys{"TestWave",  "TestTime",   "TestMode",   "TestRange",
                                               "TestUnit",  "PluseWidth", "Resolution", "AutoSave"};
    return keys;
}

std::string* settingByKey(InstrumentSettings& s, std::string_view key)
{
    if (key == "Language") return &s.Language;
    if (key == "LightLevel") return &s.LightLevel;
    if (key == "AutoPowerOff") return &s.AutoPowerOff;
    if (key == "DateTime") return &s.DateTime;
    if (key == "TouchSreeenStatus") return &s.TouchSreeenStatus;
    if (key == "TestWave") return &s.TestWave;
    if (key == "TestTime") return &s.TestTime;
    if (key == "TestMode") return &s.TestMode;
    if (key == "TestRange") return &s.TestRange;
    if (key == "TestUnit") return &s.TestUnit;
    if (key == "PluseWidth") return &s.PluseWidth;
    if (key == "Resolution") return &s.Resolution;
    if (key == "AutoSave") return &s.AutoSave;
    return nullptr;
}

const std::string* settingByKey(const InstrumentSettings& s, std::string_view key)
{
    return settingByKey(const_cast<InstrumentSettings&>(s), key);
}

} // namespace remote
