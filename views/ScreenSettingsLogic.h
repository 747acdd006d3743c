#pragma once

// Widget-free part of the screen settings: which configuration key and label feed each colour,
// and what the pages write when they are applied.

#include <array>
#include <cstdint>
#include <string>

class ConfigStore;
struct DisplaySettings;

namespace screenset {

// The twelve colours of the colours page, in swatch order.
inline constexpr int kColourCount = 12;
inline constexpr int kBackgroundIndex = 8;
inline constexpr int kGridIndex = 9;
inline constexpr int kEventMarkerIndex = 10;
inline constexpr int kCursorIndex = 11;

// Key of colour i in section "Color": "Trace1".."Trace8", "Back", "Grid", "EventMarker", "Cursor".
const char* colourKey(int index);
// Text key of the label of colour i ("IDS_SCREEN_COLOR_WAVE1" ..).
const char* colourLabelKey(int index);
// Identifiers of swatch i (1447, 1449, ..) and of its change button (1000 ..).
int swatchId(int index);
int changeButtonId(int index);

// Colour i of the active set.
std::uint32_t activeColour(const DisplaySettings& ds, int index);
// Colour i of the stored set.
std::uint32_t storedColour(const DisplaySettings& ds, int index);
// A colour chosen on the page goes into both sets at once.
void setBothColours(DisplaySettings& ds, int index, std::uint32_t colour);

// Apply of the colours page: every swatch colour written as "%u" to its key of "Color".
void applyColours(const ConfigStore& store, const std::array<std::uint32_t, kColourCount>& swatches);

// Choice of the units page; 0 or an empty unit stands for a group with nothing checked.
struct UnitChoice {
    int dbDecimals = 0;       // 3, 2 or 1
    int distanceDecimals = 0; // 5, 4 or 3
    std::string unit;         // "m", "mi" or "ft"
};

// The unit button the page checks for the configured "Distance" value: "ft", "mi", else "m".
std::string unitButtonFor(const std::string& configuredUnit);

// Apply of the units page: checked groups set their fields; "Figure", "DFigure" written as
// "%d" and "Distance" as the unit code.
void applyUnits(const ConfigStore& store, DisplaySettings& ds, const UnitChoice& choice);

// Opening of the grid page: "Grid" of "Condition" read as an integer; nonzero hides the grid.
// Sets gridShown and returns it.
bool openGridPage(const ConfigStore& store, DisplaySettings& ds);

// Apply of the grid page: gridShown from the choice, "Grid" written "0" (shown) or "1" (hidden).
void applyGrid(const ConfigStore& store, DisplaySettings& ds, bool shown);

} // namespace screenset
