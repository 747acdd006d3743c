#pragma once
// What the two instrument settings pages show for a given InstrumentSettings, and what their
// controls give back, as plain functions over radio identifiers so they are testable without
// widgets. A radio group is represented by the identifier of its checked radio, 0 for none.

#include "InstrumentSettings.h"

#include <string>
#include <vector>

namespace remote {

// One radio of a group: its control identifier, the setting value it stands for, the label of the
// dialog template and, where the label is translated, its text key ("" otherwise).
struct RadioChoice {
    int id;
    const char* value;
    const char* label;
    const char* textKey;
};

const std::vector<RadioChoice>& languageChoices();
const std::vector<RadioChoice>& autoPowerOffChoices();
const std::vector<RadioChoice>& touchChoices();
const std::vector<RadioChoice>& waveChoices();
const std::vector<RadioChoice>& resolutionChoices();
const std::vector<RadioChoice>& autoSaveChoices();
const std::vector<RadioChoice>& modeChoices();
const std::vector<RadioChoice>& rangeChoices();
const std::vector<RadioChoice>& unitChoices();
const std::vector<RadioChoice>& pulseChoices();

// The dead-zone test and automatic range are exchanged as these values in both directions;
// older instruments filled the page with "50000" and "10" for them, which are accepted too.
constexpr const char* kRangeDeadZoneValue = "100";
constexpr const char* kRangeAutoValue = "500000";
constexpr const char* kRangeDeadZoneAltValue = "50000";
constexpr const char* kRangeAutoAltValue = "10";

constexpr int kBrightnessMin = 15;
constexpr int kBrightnessMax = 100;
constexpr int kTestTimeMin = 0;
constexpr int kTestTimeMax = 100;

struct SystemPageView {
    int language = 0;     // 1002 Chinese, 1001 English
    int autoPowerOff = 0; // 1003, 1004, 1009, 1005, 1010, 1011, 1006, 1012 or 0
    int slider = kBrightnessMax; // position of the vertical brightness slider (115 - level)
    int touch = 0;        // 1007 on, 1008 off, or 0
};

struct TestPageView {
    int wave = 0;
    int resolution = 0;
    int autoSave = 0;
    int testTime = 0;
    int mode = 0;
    int range = 0;
    int unit = 0;
    int pulse = 0;
};

SystemPageView systemPageFromSettings(const InstrumentSettings& s);
// Takes language, automatic power-off and touch screen; an unchecked group leaves its value.
// The brightness is taken on every slider move (lightLevelFromSlider), the date and time apart.
void systemPageToSettings(const SystemPageView& v, InstrumentSettings& s);

// Brightness slider: the slider is upside down, position = 115 - level.
int sliderFromLightLevel(const std::string& level);
std::string lightLevelFromSlider(int position);

// "%Y-%m-%d %H:%M:%S"
std::string formatDateTime(int year, int month, int day, int hour, int minute, int second);

TestPageView testPageFromSettings(const InstrumentSettings& s);
void testPageToSettings(const TestPageView& v, InstrumentSettings& s);

// Leading decimal digits (with sign) as an integer, 0 when there are none.
int leadingInt(const std::string& text);

// The value a page would send for a value the user asked for: the radio it selects, read back
// (e.g. "1" stays "1", "50000" for the range becomes "100"). Empty when the page cannot show it.
// LightLevel and TestTime come back within their ranges; DateTime and unknown keys give empty.
std::string pageValue(const std::string& key, const std::string& value);

} // namespace remote
