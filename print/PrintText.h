#pragma once

// What the trace printout says, without any drawing: the print settings and captions as read
// from the configuration store, the measurement values of a trace, the cells of the printed event
// table, the marker section's readouts, the graph's axis and event texts, and the wrapping of the
// comment. The page drawing (TracePrinter.h) and the print settings sheet use these.

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class ConfigStore;
class TraceTable;
struct TraceRecord;
struct EventItem;
struct MarkerSnapshot;

namespace printout {

inline constexpr const char* kSection = "PrintSetting";

// The six content flags, in the order of their keys.
inline constexpr std::array<const char*, 6> kContentKeys = {
    "SelectLogo", "SelectJob", "SelectConfig", "SelectComment", "SelectTrace", "SelectEvent"};
enum ContentFlag { Logo, Job, Config, Comment, Trace, Events };

// The eight link values: origin location, cable, fibre, colour, then the same at the end.
inline constexpr std::array<const char*, 8> kLinkKeys = {
    "OriginLocation", "OriginCable", "OriginFiber", "OriginColor",
    "EndLocation", "EndCable", "EndFiber", "EndColor"};
// The nine measurement values.
inline constexpr std::array<const char*, 9> kMeasurementKeys = {
    "Wavelength", "Pulse", "Range", "LossThreshold", "ReflectionThreshold", "EndThreshold",
    "BackscatterCoeff", "Index", "Average"};
enum Measurement { Wavelength, Pulse, Range, LossTh, ReflectionTh, EndTh, Backscatter, Index, Average };
// The four job values.
inline constexpr std::array<const char*, 4> kJobKeys = {"Job", "Contractor", "Customer", "Operator"};

// Local time of a time stamp as "%Y-%m-%d %H:%M:%S"; empty when it cannot be converted.
std::string formatTimeStamp(long long secondsSince1970);

// The nine measurement values of a trace. The printout prints the refractive index with three
// decimals, the settings sheet with six.
std::array<std::string, 9> traceMeasurementValues(const TraceRecord& record, int indexDecimals);

// Everything a trace block prints besides the trace itself.
struct PrintValues {
    std::array<bool, 6> show{true, true, true, true, true, true};  // by ContentFlag
    std::array<std::string, 4> job;          // id, contractor, customer, operator
    std::string fileName;                    // the slot's file name
    std::string testTime;                    // the trace's time stamp
    std::array<std::string, 8> link;         // kLinkKeys order
    std::array<std::string, 9> measurement;  // kMeasurementKeys order
    std::string comment;
};

// Reads the print settings for the block of `slot`: flags (on unless "0"), job, link and comment
// values from the store; the measurement values from the store when "SelfDefine" is not "0",
// otherwise from the slot's trace while a trace is loaded (empty when none is).
PrintValues loadPrintValues(const ConfigStore& store, const TraceTable& table, int slot);

// The captions of the printed boxes (section "NewReport_CH", "_EN" or "_PT" of the language).
struct PrintCaptions {
    std::string JobTitle, JobID, JobContractor, JobCustomer, JobFile, JobDate, JobOperator,
        JobComment, EventTitle, ConfigTitle, ConfigOrigin, ConfigOriginLocation, ConfigOriginCable,
        ConfigOriginFiber, ConfigOriginColor, ConfigEnd, ConfigEndLocation, ConfigEndCable,
        ConfigEndFiber, ConfigEndColor, ConfigWave, ConfigIndex, ConfigPulse, ConfigRange,
        ConfigAverage, ConfigRBS, ConfigLossTH, ConfigReflectionTH, ConfigEndFiberTH, TraceTitle;
};
PrintCaptions loadPrintCaptions(const ConfigStore& store, int language);

// The page title: the report heading of the language (the one in memory when the report
// settings hold one, else the stored one).
std::string printTitle(const ConfigStore& store, int language);

// The fixed logo text of the date line.
inline constexpr const char* kLogoText = "Parlune VOVA Vuvaru";

// Kilometres in the display unit ("mi" miles, "ft" kilofeet, anything else kilometres).
double kmToUnit(double km, std::string_view unit);
// "km", "miles" or "kft".
const char* unitName(std::string_view unit);

// The seven cells of one printed event row per event:
//   number, reflectivity word of the language and code ("2 反射(F)", "2 Reflect(F)", "2(F)");
//   distance and section in the display unit ("%.3f", 0.000 on the first row); loss and total
//   loss ("--" when 0); attenuation ("%.3f" when its magnitude is above 0 and at most 0.5, else
//   "--"); reflectance ("%.3f"; empty for a non-reflective event or 0).
std::vector<std::array<std::string, 7>> eventCells(const std::vector<EventItem>& events,
                                                    std::string_view unit, int language);

// The marker section's texts from the snapshot of the plot's markers.
struct MarkerReadout {
    std::string aDistance, aLevel, bDistance, bLevel;
    std::string abDistance;  // "%.3f" of A's distance minus B's, as their texts show them
    std::string abUnit;      // the unit of the distance texts ("km" when they carry none)
    std::string abLevel;     // "%.2f" of |A's level - B's level|
    std::string slope;       // "%.3f" dB/km; 0.000 when the distance is 0
};
MarkerReadout markerReadout(const MarkerSnapshot& snapshot);

// The leading number of a text ("1.234km" -> 1.234); 0 when it has none.
double leadingNumber(std::string_view text);

// Graph texts.
// Distance labels 0..9 under the graph: "%.1f" of k x length / 10 in kilometres.
std::array<std::string, 10> distanceAxisLabels(double lengthMetres);
// Level labels 0..7 beside the graph: "%.1f" of i x 7.5 (a fixed 60 dB scale).
std::array<std::string, 8> levelAxisLabels();
// An event's texts on the graph.
std::string eventLossText(const EventItem& e);                          // "%.3fdB"
std::string eventDistanceText(const EventItem& e, std::string_view unit); // "%.3fkm" / miles / kft
std::string eventAttenuationText(const EventItem& e);                   // "%.3fdB/km", empty when 0

// Wraps text character by character: characters are added to a line until its width reaches
// maxWidth or the text ends; a line break in the text also ends a line. `width` measures a text.
std::vector<std::string> wrapText(std::string_view text, int maxWidth,
                                  const std::function<int(std::string_view)>& width);

} // namespace printout
