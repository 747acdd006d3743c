#pragma once

// What the event table shows, without widgets: the column titles with their unit suffixes, the
// texts of every cell and the icon of every row, from the current trace's event list and the
// display settings.

#include "TraceRecord.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct DisplaySettings;

namespace evtable {

inline constexpr int kColumnCount = 7;
// Every column is this many pixels wide and left-aligned.
inline constexpr int kColumnWidth = 137;

// Icons of the rows: image 0 marks non-reflective events, image 1 reflective ones.
inline constexpr int kImageNonReflective = 0;
inline constexpr int kImageReflective = 1;

// Titles the columns carry before the language's texts are set.
extern const std::array<const char*, kColumnCount> kInitialTitles;
// Text keys of the column titles; columns 1 and 2 also get the unit suffix.
extern const std::array<const char*, kColumnCount> kTitleKeys;

// "(km)" for unit "m", "(miles)" for "mi", "(kft)" for "ft"; any other unit counts as kilometres.
std::string unitSuffix(std::string_view distanceUnit);
// Kilometres in the display unit: "mi" x 0.621388181, "ft" x 3.281, otherwise unchanged.
double kmToDisplayUnit(double km, std::string_view distanceUnit);
// "%.3f", "%.4f" or "%.5f" for 3, 4 or 5 decimals; any other count of decimals uses 3.
std::string formatDistance(double value, int distanceDecimals);
// "(S)", "(E)", "(A)", "(F)", "(O)" for those code letters, four blanks for any other.
std::string codeSuffix(char codeLetter);

// The seven column titles in the current language: the text of each key (the initial title when
// the language has no text for it), with the unit suffix on columns 1 and 2.
using TextLookup = std::function<std::string(std::string_view key)>;
std::array<std::string, kColumnCount> columnTitles(std::string_view distanceUnit, const TextLookup& lookup);

struct EventRow {
    std::array<std::string, kColumnCount> cells;
    int image = kImageNonReflective;
};

// One row per event:
//   0 number and code ("3(F)"); 1 distance and 2 section (both 0 on the first row), in the
//   display unit; 3 loss and 4 total loss ("--" when 0); 5 attenuation ("--" when 0 or its
//   magnitude exceeds 0.5); 6 reflectance ("--" for a non-reflective event or a value of 0).
// Event type 1 gets the reflective icon, type 0 the other; any other type keeps the icon of the
// row before (image 0 on the first row).
std::vector<EventRow> eventRows(const std::vector<EventItem>& events, const DisplaySettings& display);

} // namespace evtable
