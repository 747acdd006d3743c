#include "PlotFormats.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

std::string formatText(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        std::vector<char> buffer(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        out.assign(buffer.data(), static_cast<std::size_t>(n));
    }
    va_end(args);
    return out;
}

std::optional<double> kmInUnit(double km, std::string_view unit)
{
    if (unit == "m")
        return km;
    if (unit == "mi")
        return km * 0.621388181;
    if (unit == "ft")
        return km * 3.281;
    return std::nullopt;
}

const char* unitSuffix(std::string_view unit)
{
    if (unit == "m")
        return "km";
    if (unit == "mi")
        return "miles";
    if (unit == "ft")
        return "kft";
    return "";
}

std::optional<std::string> markerDistanceText(double km, std::string_view unit)
{
    const std::optional<double> v = kmInUnit(km, unit);
    if (!v)
        return std::nullopt;
    return formatText("%.3f%s", *v, unitSuffix(unit));
}

std::string markerLevelText(double db)
{
    return formatText("%.2fdB", db);
}

std::optional<std::string> scaleDistanceText(double km, std::string_view unit, int decimals, bool perDiv)
{
    const std::optional<double> v = kmInUnit(km, unit);
    if (!v || decimals < 3 || decimals > 5)
        return std::nullopt;
    return formatText("%.*f%s%s", decimals, *v, unitSuffix(unit), perDiv ? "/div" : "");
}

std::optional<std::string> levelPerDivText(double dbPerDiv, int decimals)
{
    if (decimals < 1 || decimals > 3)
        return std::nullopt;
    return formatText("%.*fdB/Div", decimals, dbPerDiv);
}

std::string pulseWidthText(int pulseWidthNs)
{
    if (pulseWidthNs >= 1000)
        return formatText("%dus", pulseWidthNs / 1000);
    return formatText("%dns", pulseWidthNs);
}

std::string rangeText(int rangeMetres, std::string_view unit)
{
    const std::optional<double> v = kmInUnit(rangeMetres / 1000.0, unit);
    if (!v)
        return {};
    return formatText("%.2f%s", *v, unitSuffix(unit));
}

std::string keepUnitSuffix(const std::string& present, const std::string& value)
{
    const std::size_t space = present.rfind(' ');
    if (space == std::string::npos)
        return value;
    return value + present.substr(space);
}
