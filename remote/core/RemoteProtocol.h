#pragma once
// The instrument's line protocol: requests, settings lines and the reply parser.
//
// Every line ends with LF. "get1" asks for the system settings, "get2" for the test settings. A
// settings line is the group digit followed by key=value pairs, each ending with a comma, e.g.
// "2TestWave=1550,TestTime=30,...,AutoSave=1,".

#include "InstrumentSettings.h"

#include <string>
#include <string_view>
#include <vector>

namespace remote {

constexpr int kGroupSystem = 1;
constexpr int kGroupTest = 2;

// "get1" or "get2".
std::string requestLine(int group);
// "1Language=..,AutoPowerOff=..,LightLevel=..,DateTime=..,TouchSreeenStatus=..,"
std::string systemSettingsLine(const InstrumentSettings& s);
// "2TestWave=..,TestTime=..,TestMode=..,TestRange=..,TestUnit=..,PluseWidth=..,Resolution=..,AutoSave=..,"
std::string testSettingsLine(const InstrumentSettings& s);

// Applies one reply line (its line end, if any, is stripped first) to the settings. Returns the
// group it updated (1 or 2), or 0 when the line was ignored: shorter than four characters or of
// an unknown group. Unknown keys and fields without "=" are skipped; keys compare exactly.
int applyReplyLine(std::string_view line, InstrumentSettings& s);

// Applies every line of a received text in order, each under its own group. Returns the groups
// updated, one entry per accepted line.
std::vector<int> applyReplies(std::string_view text, InstrumentSettings& s);

// Pairs of a settings line (group digit removed, line end stripped), in order; fields without
// "=" are left out. Used by the simulator and the command-line client.
struct KeyValue {
    std::string key;
    std::string value;
};
std::vector<KeyValue> splitPairs(std::string_view body);

// Removes a trailing LF, CR LF or zero byte.
std::string_view stripLineEnd(std::string_view line);

// The keys of each group, in the order of the settings lines.
const std::vector<std::string>& systemKeys();
const std::vector<std::string>& testKeys();

// Access to a setting by its key ("Language", ..., "AutoSave"); nullptr for an unknown key.
std::string* settingByKey(InstrumentSettings& s, std::string_view key);
const std::string* settingByKey(const InstrumentSettings& s, std::string_view key);

} // namespace remote
