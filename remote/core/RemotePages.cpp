#include "RemotePages.h"

#include "RemoteIds.h"
#include "RemoteProtocol.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace remote {

using namespace ids;

const std::vector<RadioChoice>& languageChoices()
{
    static const std::vector<RadioChoice> c{
        {kLangChinese, "0", "中文", "IDS_REMOTE_SETTING_SYSTEM_CHS"},
        {kLangEnglish, "1", "英文", "IDS_REMOTE_SETTING_SYSTEM_ENG"},
    };
    return c;
}

const std::vector<RadioChoice>& autoPowerOffChoices()
{
    static const std::vector<RadioChoice> c{
        {kPowerOffNever, "Never", "不关机", "IDS_REMOTE_SETTING_SYSTEM_AUTOPOWEROFF_NEVER"},
        {kPowerOff1, "1", "1min", ""},   {kPowerOff3, "3", "3min", ""},
        {kPowerOff5, "5", "5min", ""},   {kPowerOff10, "10", "10min", ""},
        {kPowerOff20, "20", "20min", ""}, {kPowerOff30, "30", "30min", ""},
        {kPowerOff60, "60", "60min", ""},
    };
    return c;
}

const std::vector<RadioChoice>& touchChoices()
{
    static const std::vector<RadioChoice> c{
        {kTouchOn, "0", "开启", "IDS_REMOTE_SETTING_SYSTEM_TOUCH_STARTUP"},
        {kTouchOff, "1", "关闭", "IDS_REMOTE_SETTING_SYSTEM_TOUCH_SHUTDOWN"},
    };
    return c;
}

const std::vector<RadioChoice>& waveChoices()
{
    static const std::vector<RadioChoice> c{
        {kWave1310, "1310", "1310mm", ""},
        {kWave1550, "1550", "1550mm", ""},
        {kWaveDual, "2000", "双波长", "IDS_REMOTE_SETTING_TEST_WAVE_DUAL"},
    };
    return c;
}

const std::vector<RadioChoice>& resolutionChoices()
{
    static const std::vector<RadioChoice> c{
        {kResolutionNormal, "0", "标准", "IDS_REMOTE_SETTING_TEST_RESOLUTION_NORMAL"},
        {kResolutionHigh, "1", "高", "IDS_REMOTE_SETTING_TEST_RESOLUTION_HIGH"},
    };
    return c;
}

const std::vector<RadioChoice>& autoSaveChoices()
{
    static const std::vector<RadioChoice> c{
        {kAutoSaveYes, "1", "是", "IDS_REMOTE_SETTING_TEST_AUTOSAVE_YES"},
        {kAutoSaveNo, "0", "否", "IDS_REMOTE_SETTING_TEST_AUTOSAVE_NO"},
    };
    return c;
}

const std::vector<RadioChoice>& modeChoices()
{
    static const std::vector<RadioChoice> c{
        {kModeManual, "0", "手动", "IDS_REMOTE_SETTING_TEST_MODE_MANUL"},
        {kModeAuto, "1", "自动", "IDS_REMOTE_SETTING_TEST_MODE_AUTO"},
    };
    return c;
}

const std::vector<RadioChoice>& rangeChoices()
{
    static const std::vector<RadioChoice> c{
        {kRange500m, "500", "500m", ""},       {kRange2km, "2000", "2km", ""},
        {kRange5km, "5000", "5km", ""},        {kRange10km, "10000", "10km", ""},
        {kRange20km, "20000", "20km", ""},     {kRange40km, "40000", "40km", ""},
        {kRange80km, "80000", "80km", ""},     {kRange120km, "120000", "120km", ""},
        {kRange160km, "160000", "160km", ""},
        {kRangeDeadZone, kRangeDeadZoneValue, "盲区测试", "IDS_REMOTE_SETTING_TEST_RANGE_BLINK"},
        {kRangeAuto, kRangeAutoValue, "自动配置", "IDS_REMOTE_SETTING_TEST_RANGE_AUTO"},
    };
    return c;
}

const std::vector<RadioChoice>& unitChoices()
{
    static const std::vector<RadioChoice> c{
        {kUnitKm, "m", "Km", ""},
        {kUnitKfeet, "ft", "Kfeet", ""},
        {kUnitMiles, "mi", "Miles", ""},
    };
    return c;
}

const std::vector<RadioChoice>& pulseChoices()
{
    static const std::vector<RadioChoice> c{
        {kPulse3, "3", "3ns", ""},          {kPulse5, "5", "5ns", ""},
        {kPulse10, "10", "10ns", ""},       {kPulse20, "20", "20ns", ""},
        {kPulse50, "50", "50ns", ""},       {kPulse100, "100", "100ns", ""},
        {kPulse200, "200", "200ns", ""},    {kPulse500, "500", "500ns", ""},
        {kPulse1000, "1000", "1us", ""},    {kPulse2000, "2000", "2us", ""},
        {kPulse5000, "5000", "5us", ""},    {kPulse10000, "10000", "10us", ""},
        {kPulseAuto, "50000", "自动配置", "IDS_REMOTE_SETTING_TEST_PULSE_WIDTH_AUTO"},
    };
    return c;
}

namespace {

// The radio whose value equals the text, 0 for none.
int radioFor(const std::vector<RadioChoice>& choices, const std::string& value)
{
    for (const RadioChoice& c : choices)
        if (value == c.value)
            return c.id;
    return 0;
}

// Takes the checked radio's value; no (or an unknown) radio leaves the value.
void takeRadio(const std::vector<RadioChoice>& choices, int checked, std::string& value)
{
    for (const RadioChoice& c : choices)
        if (c.id == checked) {
            value = c.value;
            return;
        }
}

int rangeRadioFor(const std::string& value)
{
    if (value == kRangeDeadZoneAltValue)
        return kRangeDeadZone;
    if (value == kRangeAutoAltValue)
        return kRangeAuto;
    return radioFor(rangeChoices(), value);
}

} // namespace

int leadingInt(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 2147483647LL)
            value = 2147483648LL; // saturate, keeps the sign flip below in range
    }
    if (negative)
        value = -value;
    return static_cast<int>(std::clamp<long long>(value, -2147483647LL - 1, 2147483647LL));
}

int sliderFromLightLevel(const std::string& level)
{
    const long long position = 115LL - leadingInt(level);
    return static_cast<int>(std::clamp<long long>(position, kBrightnessMin, kBrightnessMax));
}

std::string lightLevelFromSlider(int position)
{
    return std::to_string(115 - position);
}

std::string formatDateTime(int year, int month, int day, int hour, int minute, int second)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute,
                  second);
    return buf;
}

SystemPageView systemPageFromSettings(const InstrumentSettings& s)
{
    SystemPageView v;
    v.language = s.Language == "0" ? kLangChinese : kLangEnglish;
    v.autoPowerOff = radioFor(autoPowerOffChoices(), s.AutoPowerOff);
    v.slider = sliderFromLightLevel(s.LightLevel);
    v.touch = radioFor(touchChoices(), s.TouchSreeenStatus);
    return v;
}

void systemPageToSettings(const SystemPageView& v, InstrumentSettings& s)
{
    s.Language = v.language == kLangEnglish ? "1" : "0";
    takeRadio(autoPowerOffChoices(), v.autoPowerOff, s.AutoPowerOff);
    takeRadio(touchChoices(), v.touch, s.TouchSreeenStatus);
}

TestPageView testPageFromSettings(const InstrumentSettings& s)
{
    TestPageView v;
    v.wave = radioFor(waveChoices(), s.TestWave);
    v.resolution = s.Resolution == "0" ? kResolutionNormal : kResolutionHigh;
    v.autoSave = s.AutoSave == "1" ? kAutoSaveYes : kAutoSaveNo;
    v.testTime = std::clamp(leadingInt(s.TestTime), kTestTimeMin, kTestTimeMax);
    v.mode = radioFor(modeChoices(), s.TestMode);
    v.range = rangeRadioFor(s.TestRange);
    v.unit = radioFor(unitChoices(), s.TestUnit);
    v.pulse = radioFor(pulseChoices(), s.PluseWidth);
    return v;
}

void testPageToSettings(const TestPageView& v, InstrumentSettings& s)
{
    takeRadio(waveChoices(), v.wave, s.TestWave);
    s.Resolution = v.resolution == kResolutionNormal ? "0" : "1";
    s.AutoSave = v.autoSave == kAutoSaveYes ? "1" : "0";
    s.TestTime = std::to_string(v.testTime);
    takeRadio(modeChoices(), v.mode, s.TestMode);
    takeRadio(rangeChoices(), v.range, s.TestRange);
    takeRadio(unitChoices(), v.unit, s.TestUnit);
    takeRadio(pulseChoices(), v.pulse, s.PluseWidth);
}

std::string pageValue(const std::string& key, const std::string& value)
{
    const auto viaRadio = [&](const std::vector<RadioChoice>& choices, int radio) -> std::string {
        std::string out;
        takeRadio(choices, radio, out);
        return out;
    };
    const auto isNumber = [](const std::string& t) {
        return !t.empty() && std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (key == "Language")
        return viaRadio(languageChoices(), radioFor(languageChoices(), value));
    if (key == "AutoPowerOff")
        return viaRadio(autoPowerOffChoices(), radioFor(autoPowerOffChoices(), value));
    if (key == "TouchSreeenStatus")
        return viaRadio(touchChoices(), radioFor(touchChoices(), value));
    if (key == "LightLevel")
        return isNumber(value) ? lightLevelFromSlider(sliderFromLightLevel(value)) : "";
    if (key == "TestWave")
        return viaRadio(waveChoices(), radioFor(waveChoices(), value));
    if (key == "Resolution")
        return viaRadio(resolutionChoices(), radioFor(resolutionChoices(), value));
    if (key == "AutoSave")
        return viaRadio(autoSaveChoices(), radioFor(autoSaveChoices(), value));
    if (key == "TestTime")
        return isNumber(value) ? std::to_string(std::clamp(leadingInt(value), kTestTimeMin, kTestTimeMax)) : "";
    if (key == "TestMode")
        return viaRadio(modeChoices(), radioFor(modeChoices(), value));
    if (key == "TestRange")
        return viaRadio(rangeChoices(), rangeRadioFor(value));
    if (key == "TestUnit")
        return viaRadio(unitChoices(), radioFor(unitChoices(), value));
    if (key == "PluseWidth")
        return viaRadio(pulseChoices(), radioFor(pulseChoices(), value));
    return {};
}

} // namespace remote
