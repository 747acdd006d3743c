#pragma once

// Texts of the trace views: distances in the display unit ("m" kilometres, "mi" miles, "ft"
// kilofeet), levels, the per-division texts under the plot and the measurement conditions of the
// trace list panel. No widgets here.

#include <optional>
#include <string>
#include <string_view>

// printf-style formatting into a std::string.
std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Kilometres converted to the display unit; nothing for an unknown unit code.
std::optional<double> kmInUnit(double km, std::string_view unit);
// "km", "miles" or "kft" for "m", "mi", "ft"; empty for any other code.
const char* unitSuffix(std::string_view unit);

// Marker and event distances: "%.3fkm", "%.3fmiles" or "%.3fkft" of km in the unit.
std::optional<std::string> markerDistanceText(double km, std::string_view unit);
// "%.2fdB".
std::string markerLevelText(double db);

// Texts under the plot: km in the unit with 3, 4 or 5 decimals, with "/div" when perDiv.
// Nothing for an unknown unit or another number of decimals.
std::optional<std::string> scaleDistanceText(double km, std::string_view unit, int decimals, bool perDiv);
// "%.1fdB/Div", "%.2fdB/Div" or "%.3fdB/Div" for 1, 2 or 3 decimals.
std::optional<std::string> levelPerDivText(double dbPerDiv, int decimals);

// Measurement conditions of the trace list panel.
std::string pulseWidthText(int pulseWidthNs);                        // "1us", "999ns"
std::string rangeText(int rangeMetres, std::string_view unit);       // "%.2fkm", ... or empty
// A value written into a static keeps the static's unit suffix: everything from the last space
// of the present text on is appended ("--.-- nm" -> "1550 nm").
std::string keepUnitSuffix(const std::string& present, const std::string& value);
