#pragma once

// The analysis conditions without widgets: the rows of the two pages of the conditions sheet
// (identifiers, ranges, keys, fields), what a page shows when it is filled and what applying it
// writes to the record and to section "EventAnal" of the configuration.

#include "Settings.h"

#include <array>

class ConfigStore;

namespace anacon {

// Range, step and decimals of a numeric field. The range binds the arrows only.
struct SpinSpec {
    double minimum = 0;
    double maximum = 0;
    double step = 0;
    int decimals = 0;
};

// One row of a page: a label, an optional "自动" box, the edit box and its arrows, the fixed
// range text, and the field it edits with its configuration key.
struct ConditionRow {
    int labelId = 0;
    const char* labelText = "";  // initial (or fixed) text of the label
    const char* titleKey = "";   // text key of the label; empty: the label text is fixed
    int autoCheckId = 0;         // 0: the row has no "自动" box
    int editId = 0;
    int arrowsId = 0;
    const char* rangeText = "";
    const char* key = "";
    float AnalysisSettings::*field = nullptr;
    SpinSpec spin;
};

// Search-conditions page: thresholds (loss, reflection, fibre end), then backscatter (1310, 1550,
// 1625 nm).
extern const std::array<ConditionRow, 3> kThresholdRows;
extern const std::array<ConditionRow, 3> kBackscatterRows;
// Analysis-conditions page: refractive index at 1310, 1550 and 1625 nm.
extern const std::array<ConditionRow, 3> kRefractionRows;

// What the search-conditions page holds: per threshold row whether "自动" is checked and the
// value of its field, and the three backscatter values.
struct SearchPageValues {
    std::array<bool, 3> automatic{};
    std::array<double, 3> threshold{};
    std::array<double, 3> backscatter{};
};

// The page as filled from the record: a threshold of exactly 0 is automatic.
SearchPageValues searchPageFromSettings(const AnalysisSettings& settings);
// The refractive indices as filled from the record.
std::array<double, 3> analysisPageFromSettings(const AnalysisSettings& settings);

// OK on the search-conditions page: each threshold becomes 0 and is written "0" when automatic,
// otherwise takes the value and is written "%.2f" (also the fibre end); each backscatter takes
// its value and is written "%.2f". Values are stored as given, without range checks. The record
// changes even when the file cannot be written.
void applySearchPage(const ConfigStore& store, AnalysisSettings& settings, const SearchPageValues& values);
// OK on the analysis-conditions page: each refractive index is stored and written "%.4f".
void applyAnalysisPage(const ConfigStore& store, AnalysisSettings& settings, const std::array<double, 3>& refraction);

} // namespace anacon
