#include "ScreenSettingsLogic.h"

#include "ConfigStore.h"
#include "Settings.h"

namespace screenset {

namespace {
const char* const kKeys[kColourCount] = {"Trace1", "Trace2", "Trace3", "Trace4", "Trace5", "Trace6",
                                         "Trace7", "Trace8", "Back", "Grid", "EventMarker", "Cursor"};
const char* const kLabels[kColourCount] = {
    "IDS_SCREEN_COLOR_WAVE1", "IDS_SCREEN_COLOR_WAVE2", "IDS_SCREEN_COLOR_WAVE3",
    "IDS_SCREEN_COLOR_WAVE4", "IDS_SCREEN_COLOR_WAVE5", "IDS_SCREEN_COLOR_WAVE6",
    "IDS_SCREEN_COLOR_WAVE7", "IDS_SCREEN_COLOR_WAVE8", "IDS_SCREEN_COLOR_BACKGROUND",
    "IDS_SCREEN_COLOR_GRID", "IDS_SCREEN_COLOR_EVENT_MARK", "IDS_SCREEN_COLOR_CURSOR"};

bool valid(int i) { return i >= 0 && i < kColourCount; }
} // namespace

const char* colourKey(int index) { return valid(index) ? kKeys[index] : ""; }
const char* colourLabelKey(int index) { return valid(index) ? kLabels[index] : ""; }
int swatchId(int index) { return 1447 + 2 * index; }
int changeButtonId(int index) { return 1000 + index; }

std::uint32_t activeColour(const DisplaySettings& ds, int i)
{
    if (i >= 0 && i < 8)
        return ds.traceColour[static_cast<size_t>(i)];
    switch (i) {
    case kBackgroundIndex: return ds.backgroundColour;
    case kGridIndex: return ds.gridColour;
    case kEventMarkerIndex: return ds.eventMarkerColour;
    case kCursorIndex: return ds.cursorColour;
    default: return 0;
    }
}

std::uint32_t storedColour(const DisplaySettings& ds, int i)
{
    if (i >= 0 && i < 8)
        return ds.storedTraceColour[static_cast<size_t>(i)];
    switch (i) {
    case kBackgroundIndex: return ds.storedBackgroundColour;
    case kGridIndex: return ds.storedGridColour;
    case kEventMarkerIndex: return ds.storedEventMarkerColour;
    case kCursorIndex: return ds.storedCursorColour;
    default: return 0;
    }
}

void setBothColours(DisplaySettings& ds, int i, std::uint32_t c)
{
    if (i >= 0 && i < 8) {
        ds.traceColour[static_cast<size_t>(i)] = c;
        ds.storedTraceColour[static_cast<size_t>(i)] = c;
        return;
    }
    switch (i) {
    case kBackgroundIndex: ds.backgroundColour = ds.storedBackgroundColour = c; break;
    case kGridIndex: ds.gridColour = ds.storedGridColour = c; break;
    case kEventMarkerIndex: ds.eventMarkerColour = ds.storedEventMarkerColour = c; break;
    case kCursorIndex: ds.cursorColour = ds.storedCursorColour = c; break;
    default: break;
    }
}

void applyColours(const ConfigStore& store, const std::array<std::uint32_t, kColourCount>& swatches)
{
    for (int i = 0; i < kColourCount; ++i)
        store.writeUInt("Color", kKeys[i], swatches[static_cast<size_t>(i)]);
}

std::string unitButtonFor(const std::string& configured)
{
    if (configured == "ft")
        return "ft";
    if (configured == "mi")
        return "mi";
    return "m";
}

void applyUnits(const ConfigStore& store, DisplaySettings& ds, const UnitChoice& c)
{
    if (c.dbDecimals != 0)
        ds.dbDecimals = c.dbDecimals;
    if (c.distanceDecimals != 0)
        ds.distanceDecimals = c.distanceDecimals;
    if (!c.unit.empty())
        ds.distanceUnit = c.unit;
    store.writeInt("Unit", "Figure", ds.dbDecimals);
    store.writeInt("Unit", "DFigure", ds.distanceDecimals);
    store.write("Unit", "Distance", ds.distanceUnit);
}

bool openGridPage(const ConfigStore& store, DisplaySettings& ds)
{
    ds.gridShown = store.readInt("Condition", "Grid") != 0 ? 0 : 1;
    return ds.gridShown != 0;
}

void applyGrid(const ConfigStore& store, DisplaySettings& ds, bool shown)
{
    ds.gridShown = shown ? 1 : 0;
    store.write("Condition", "Grid", shown ? "0" : "1");
}

} // namespace screenset
