#include "EventTableFormat.h"

#include "Settings.h"

#include <cmath>
#include <cstdio>

namespace evtable {

const std::array<const char*, kColumnCount> kInitialTitles = {
    "事件序号", "距离(Km)", "段(Km)", "损耗(dB)", "总损耗(dB)", "斜率(dB/Km)", "反射(dB)"};

const std::array<const char*, kColumnCount> kTitleKeys = {
    "IDS_FRM_VIEW_EVENT_ORDER", "IDS_FRM_VIEW_EVENT_DIST",       "IDS_FRM_VIEW_EVENT_SEGMENT",
    "IDS_FRM_VIEW_EVENT_LOSS",  "IDS_FRM_VIEW_EVENT_TOTAL_LOSS", "IDS_FRM_VIEW_EVENT_SLOPE",
    "IDS_FRM_VIEW_EVENT_REFLECTION"};

namespace {

// Losses, attenuation and reflectance: "%.3f".
std::string fixed3(double value)
{
    return formatDistance(value, 3);
}

const char* const kDash = "--";

} // namespace

std::string unitSuffix(std::string_view distanceUnit)
{
    if (distanceUnit == "mi")
        return "(miles)";
    if (distanceUnit == "ft")
        return "(kft)";
    return "(km)";
}

double kmToDisplayUnit(double km, std::string_view distanceUnit)
{
    if (distanceUnit == "mi")
        return km * 0.621388181;
    if (distanceUnit == "ft")
        return km * 3.281;
    return km;
}

// "%.<n>f" independent of the process locale: the cells always use ".".
std::string formatDistance(double value, int distanceDecimals)
{
    const int decimals = distanceDecimals >= 3 && distanceDecimals <= 5 ? distanceDecimals : 3;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string s = buffer;
    for (char& c : s)
        if (c == ',')
            c = '.';
    return s;
}

std::string codeSuffix(char codeLetter)
{
    switch (codeLetter) {
    case 'S': return "(S)";
    case 'E': return "(E)";
    case 'A': return "(A)";
    case 'F': return "(F)";
    case 'O': return "(O)";
    default: return "    ";
    }
}

std::array<std::string, kColumnCount> columnTitles(std::string_view distanceUnit, const TextLookup& lookup)
{
    std::array<std::string, kColumnCount> titles;
    for (int c = 0; c < kColumnCount; ++c) {
        std::string t = lookup ? lookup(kTitleKeys[static_cast<size_t>(c)]) : std::string();
        if (t.empty()) {
            t = kInitialTitles[static_cast<size_t>(c)];
            // The initial titles of the distance columns carry "(Km)"; the unit decides it.
            if (c == 1 || c == 2)
                t = t.substr(0, t.find('('));
        }
        if (c == 1 || c == 2)
            t += unitSuffix(distanceUnit);
        titles[static_cast<size_t>(c)] = std::move(t);
    }
    return titles;
}

std::vector<EventRow> eventRows(const std::vector<EventItem>& events, const DisplaySettings& display)
{
    std::vector<EventRow> rows;
    rows.reserve(events.size());
    const std::string_view unit = display.distanceUnit;
    const auto distanceText = [&](double metres) {
        return formatDistance(kmToDisplayUnit(metres / 1000.0, unit), display.distanceDecimals);
    };
    int image = kImageNonReflective;
    for (size_t i = 0; i < events.size(); ++i) {
        const EventItem& e = events[i];
        if (e.eventType == 1)
            image = kImageReflective;
        else if (e.eventType == 0)
            image = kImageNonReflective;
        EventRow row;
        row.image = image;
        row.cells[0] = std::to_string(i + 1) + codeSuffix(e.codeLetter);
        if (i == 0) {
            row.cells[1] = distanceText(0);
            row.cells[2] = distanceText(0);
        } else {
            row.cells[1] = distanceText(e.distance);
            row.cells[2] = distanceText(double(e.distance) - double(events[i - 1].distance));
        }
        row.cells[3] = e.eventLoss == 0 ? kDash : fixed3(e.eventLoss);
        row.cells[4] = e.totalLoss == 0 ? kDash : fixed3(e.totalLoss);
        row.cells[5] = (e.attenuation == 0 || std::fabs(e.attenuation) > 0.5f) ? kDash : fixed3(e.attenuation);
        row.cells[6] = (e.eventType == 0 || e.reflectance == 0) ? kDash : fixed3(e.reflectance);
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace evtable
