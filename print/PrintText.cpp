#include "PrintText.h"

#include "ConfigStore.h"
#include "PlotGeometry.h"
#include "Settings.h"
#include "Texts.h"
#include "TraceTable.h"

#include <cmath>
#include <cstdlib>
#include <ctime>

namespace printout {

namespace {

std::string fixed(double v, int decimals)
{
    return formatFixed(v, decimals);
}

// Length in bytes of the UTF-8 character starting at text[i].
std::size_t utf8Length(std::string_view text, std::size_t i)
{
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t n = 1;
    if (c >= 0xF0)
        n = 4;
    else if (c >= 0xE0)
        n = 3;
    else if (c >= 0xC0)
        n = 2;
    return std::min(n, text.size() - i);
}

} // namespace

std::string formatTimeStamp(long long secondsSince1970)
{
    const std::time_t t = static_cast<std::time_t>(secondsSince1970);
    std::tm local{};
    if (!localtime_r(&t, &local))
        return {};
    char buffer[64];
    if (std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local) == 0)
        return {};
    return buffer;
}

std::array<std::string, 9> traceMeasurementValues(const TraceRecord& r, int indexDecimals)
{
    return {formatInt(r.wavelengthNm),
            formatInt(r.pulseWidthNs),
            formatInt(r.rangeMetres),
            fixed(r.lossThreshold, 3),
            fixed(r.reflectanceThreshold, 3),
            fixed(r.endThreshold, 3),
            fixed(r.backscatterCoeff, 3),
            fixed(r.groupIndex, indexDecimals),
            fixed(r.averageCount, 0)};
}

PrintValues loadPrintValues(const ConfigStore& store, const TraceTable& table, int slot)
{
    PrintValues v;
    for (std::size_t i = 0; i < kContentKeys.size(); ++i)
        v.show[i] = store.readNonzeroFlag(kSection, kContentKeys[i]);
    for (std::size_t i = 0; i < kJobKeys.size(); ++i)
        v.job[i] = store.read(kSection, kJobKeys[i]);
    for (std::size_t i = 0; i < kLinkKeys.size(); ++i)
        v.link[i] = store.read(kSection, kLinkKeys[i]);
    const bool validSlot = TraceTable::validSlot(slot);
    if (store.readNonzeroFlag(kSection, "SelfDefine")) {
        for (std::size_t i = 0; i < kMeasurementKeys.size(); ++i)
            v.measurement[i] = store.read(kSection, kMeasurementKeys[i]);
    } else if (table.loadedCount > 0 && validSlot) {
        v.measurement = traceMeasurementValues(table.record(slot), 3);
    }
    if (validSlot) {
        v.fileName = table.slots[static_cast<std::size_t>(slot)].fileName;
        v.testTime = formatTimeStamp(table.record(slot).timeStamp);
    }
    v.comment = store.read(kSection, "Comment");
    return v;
}

PrintCaptions loadPrintCaptions(const ConfigStore& store, int language)
{
    const std::string s = reportCaptionSection(language);
    PrintCaptions c;
    const std::pair<const char*, std::string PrintCaptions::*> keys[] = {
        {"JobTitle", &PrintCaptions::JobTitle},
        {"JobID", &PrintCaptions::JobID},
        {"JobContractor", &PrintCaptions::JobContractor},
        {"JobCustomer", &PrintCaptions::JobCustomer},
        {"JobFile", &PrintCaptions::JobFile},
        {"JobDate", &PrintCaptions::JobDate},
        {"JobOperator", &PrintCaptions::JobOperator},
        {"JobComment", &PrintCaptions::JobComment},
        {"EventTitle", &PrintCaptions::EventTitle},
        {"ConfigTitle", &PrintCaptions::ConfigTitle},
        {"ConfigOrigin", &PrintCaptions::ConfigOrigin},
        {"ConfigOriginLocation", &PrintCaptions::ConfigOriginLocation},
        {"ConfigOriginCable", &PrintCaptions::ConfigOriginCable},
        {"ConfigOriginFiber", &PrintCaptions::ConfigOriginFiber},
        {"ConfigOriginColor", &PrintCaptions::ConfigOriginColor},
        {"ConfigEnd", &PrintCaptions::ConfigEnd},
        {"ConfigEndLocation", &PrintCaptions::ConfigEndLocation},
        {"ConfigEndCable", &PrintCaptions::ConfigEndCable},
        {"ConfigEndFiber", &PrintCaptions::ConfigEndFiber},
        {"ConfigEndColor", &PrintCaptions::ConfigEndColor},
        {"ConfigWave", &PrintCaptions::ConfigWave},
        {"ConfigIndex", &PrintCaptions::ConfigIndex},
        {"ConfigPulse", &PrintCaptions::ConfigPulse},
        {"ConfigRange", &PrintCaptions::ConfigRange},
        {"ConfigAverage", &PrintCaptions::ConfigAverage},
        {"ConfigRBS", &PrintCaptions::ConfigRBS},
        {"ConfigLossTH", &PrintCaptions::ConfigLossTH},
        {"ConfigReflectionTH", &PrintCaptions::ConfigReflectionTH},
        {"ConfigEndFiberTH", &PrintCaptions::ConfigEndFiberTH},
        {"TraceTitle", &PrintCaptions::TraceTitle},
    };
    for (const auto& [key, member] : keys)
        c.*member = store.read(s, key);
    return c;
}

std::string printTitle(const ConfigStore& store, int language)
{
    const std::string& inMemory = reportSettings().Heading;
    if (!inMemory.empty())
        return inMemory;
    return store.read(reportSection("RepLayListTitle", language), "Heading");
}

double kmToUnit(double km, std::string_view unit)
{
    if (unit == "mi")
        return km * 0.621388181;
    if (unit == "ft")
        return km * 3.281;
    return km;
}

const char* unitName(std::string_view unit)
{
    if (unit == "mi")
        return "miles";
    if (unit == "ft")
        return "kft";
    return "km";
}

std::vector<std::array<std::string, 7>> eventCells(const std::vector<EventItem>& events,
                                                    std::string_view unit, int language)
{
    std::vector<std::array<std::string, 7>> rows;
    rows.reserve(events.size());
    for (std::size_t i = 0; i < events.size(); ++i) {
        const EventItem& e = events[i];
        std::array<std::string, 7> cells;
        std::string number = formatInt(static_cast<int>(i + 1));
        if (language == kLanguageChinese) {
            if (e.eventType == 0)
                number += " 非反射";
            else if (e.eventType == 1)
                number += " 反射";
        } else if (language == kLanguageEnglish) {
            if (e.eventType == 0)
                number += " NoReflect";
            else if (e.eventType == 1)
                number += " Reflect";
        }
        switch (e.codeLetter) {
        case 'S': number += "(S)"; break;
        case 'E': number += "(E)"; break;
        case 'A': number += "(A)"; break;
        case 'F': number += "(F)"; break;
        case 'O': number += "(O)"; break;
        default: break;
        }
        cells[0] = number;
        if (i == 0) {
            cells[1] = fixed(0, 3);
            cells[2] = fixed(0, 3);
        } else {
            cells[1] = fixed(kmToUnit(e.distance / 1000.0, unit), 3);
            cells[2] = fixed(kmToUnit((e.distance - events[i - 1].distance) / 1000.0, unit), 3);
        }
        cells[3] = e.eventLoss == 0 ? "--" : fixed(e.eventLoss, 3);
        cells[4] = e.totalLoss == 0 ? "--" : fixed(e.totalLoss, 3);
        const double att = std::fabs(e.attenuation);
        cells[5] = att > 0 && att <= 0.5 ? fixed(e.attenuation, 3) : "--";
        if (e.eventType != 0 && e.reflectance != 0)
            cells[6] = fixed(e.reflectance, 3);
        rows.push_back(std::move(cells));
    }
    return rows;
}

double leadingNumber(std::string_view text)
{
    const std::string s(text);
    const char* begin = s.c_str();
    while (*begin == ' ')
        ++begin;
    char* end = nullptr;
    const double v = std::strtod(begin, &end);
    return end == begin || !std::isfinite(v) ? 0.0 : v;
}

MarkerReadout markerReadout(const MarkerSnapshot& m)
{
    MarkerReadout r;
    r.aDistance = m.aDistanceText;
    r.aLevel = m.aLevelText;
    r.bDistance = m.bDistanceText;
    r.bLevel = m.bLevelText;
    const double distance = leadingNumber(m.aDistanceText) - leadingNumber(m.bDistanceText);
    const double level = std::fabs(leadingNumber(m.aLevelText) - leadingNumber(m.bLevelText));
    r.abDistance = fixed(distance, 3);
    r.abLevel = fixed(level, 2);

    // The distance texts carry the display unit; the slope is per kilometre in every unit.
    std::string unit = "km";
    double kmPerUnit = 1.0;
    const std::string_view text = m.aDistanceText;
    if (text.ends_with("miles")) {
        unit = "miles";
        kmPerUnit = 1.0 / 0.621388181;
    } else if (text.ends_with("kft")) {
        unit = "kft";
        kmPerUnit = 1.0 / 3.281;
    }
    r.abUnit = unit;
    // The slope from the distance as printed, so that the three numbers agree.
    const double shownDistance = leadingNumber(r.abDistance);
    r.slope = fixed(shownDistance == 0 ? 0.0 : level / (shownDistance * kmPerUnit), 3);
    return r;
}

std::array<std::string, 10> distanceAxisLabels(double lengthMetres)
{
    std::array<std::string, 10> labels;
    for (int k = 0; k < 10; ++k)
        labels[static_cast<std::size_t>(k)] = fixed(k * lengthMetres / 1000.0 / 10.0, 1);
    return labels;
}

std::array<std::string, 8> levelAxisLabels()
{
    std::array<std::string, 8> labels;
    for (int i = 0; i < 8; ++i)
        labels[static_cast<std::size_t>(i)] = fixed(i * 7.5, 1);
    return labels;
}

std::string eventLossText(const EventItem& e)
{
    return fixed(e.eventLoss, 3) + "dB";
}

std::string eventDistanceText(const EventItem& e, std::string_view unit)
{
    return fixed(kmToUnit(e.distance / 1000.0, unit), 3) + unitName(unit);
}

std::string eventAttenuationText(const EventItem& e)
{
    if (e.attenuation == 0)
        return {};
    return fixed(e.attenuation, 3) + "dB/km";
}

std::vector<std::string> wrapText(std::string_view text, int maxWidth,
                                  const std::function<int(std::string_view)>& width)
{
    std::vector<std::string> lines;
    std::string line;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '\r' || text[i] == '\n') {
            // "\r\n" counts as one line break.
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            ++i;
            lines.push_back(std::move(line));
            line.clear();
            continue;
        }
        const std::size_t n = utf8Length(text, i);
        line.append(text.substr(i, n));
        i += n;
        if (width(line) >= maxWidth) {
            lines.push_back(std::move(line));
            line.clear();
        }
    }
    if (!line.empty())
        lines.push_back(std::move(line));
    return lines;
}

} // namespace printout
