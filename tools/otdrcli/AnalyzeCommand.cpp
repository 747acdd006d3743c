// otdrcli analyze FILE [--loss-threshold DB] [--reflection-threshold DB] [--backscatter DB]
//                      [--index N]
// Reads the file into a trace record as the Open command does, runs the automatic event search
// with the analysis conditions for the trace's wavelength (the shipped defaults unless an option
// gives a value) and prints the parameters used and the events found as one JSON object.
#include "Command.h"
#include "Json.h"
#include "TraceInput.h"

#include "ConfigStore.h"
#include "Dravik.h"
#include "Settings.h"
#include "TraceAnalysis.h"
#include "TraceFile.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>

namespace {

constexpr const char* kUsage =
    "usage: otdrcli analyze FILE [--loss-threshold DB] [--reflection-threshold DB] "
    "[--backscatter DB] [--index N]\n";

struct AnalyzeOptions {
    std::string file;
    std::optional<float> lossThreshold;
    std::optional<float> reflectionThreshold;
    std::optional<float> backscatter;
    std::optional<float> refractiveIndex;
};

std::optional<float> parseNumber(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(v))
        return std::nullopt;
    return static_cast<float>(v);
}

// Returns an error text, empty when the arguments were understood.
std::string parseArguments(const std::vector<std::string>& args, AnalyzeOptions& o)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (arg.rfind("--", 0) != 0) {
            if (!o.file.empty())
                return "more than one file given";
            o.file = arg;
            continue;
        }
        std::string value;
        if (const auto eq = arg.find('='); eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
        } else {
            if (i + 1 >= args.size())
                return "option " + arg + " needs a value";
            value = args[++i];
        }
        std::optional<float>* target = nullptr;
        if (arg == "--loss-threshold")
            target = &o.lossThreshold;
        else if (arg == "--reflection-threshold")
            target = &o.reflectionThreshold;
        else if (arg == "--backscatter")
            target = &o.backscatter;
        else if (arg == "--index")
            target = &o.refractiveIndex;
        else
            return "unknown option " + arg;
        *target = parseNumber(value);
        if (!*target)
            return "option " + arg + " needs a number, not '" + value + "'";
    }
    if (o.file.empty())
        return "no file given";
    return {};
}

// The analysis conditions shipped with the program; the built-in values stand in when the
// shipped configuration file is missing.
AnalysisSettings shippedAnalysisSettings(std::string& source)
{
    const ConfigStore store(shippedConfigDir());
    std::error_code ec;
    if (std::filesystem::is_regular_file(store.configFilePath(), ec)) {
        AnalysisSettings s;
        loadAnalysisSettings(store, s);
        source = store.configFilePath();
        return s;
    }
    AnalysisSettings s;
    s.BendTH = 0;
    s.ReflectTH = 0;
    s.Termial = 0;
    s.BackScatter = -79.44f;
    s.BackScatter1550 = -79.0f;
    s.BackScatter1625 = -79.0f;
    s.Refraction = 1.4677f;
    s.Refraction1550 = 1.4682f;
    s.Refraction1625 = 1.4685f;
    source = "built-in";
    return s;
}

int runAnalyze(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    AnalyzeOptions o;
    if (const std::string problem = parseArguments(args, o); !problem.empty()) {
        err << "otdrcli analyze: " << problem << '\n' << kUsage;
        return kExitUsage;
    }

    auto table = std::make_unique<TraceTable>();
    CEndDravik engine;
    TraceRecord* const read = readCommandTrace(*table, engine, o.file, err);
    if (!read)
        return kExitFailure;
    TraceRecord& record = *read;

    std::string settingsSource;
    AnalysisSettings settings = shippedAnalysisSettings(settingsSource);
    if (o.lossThreshold)
        settings.BendTH = *o.lossThreshold;
    if (o.reflectionThreshold)
        settings.ReflectTH = *o.reflectionThreshold;
    AutoSearchParameters params = autoSearchParametersFor(record, settings);
    if (o.backscatter)
        params.backscatterDb = *o.backscatter;
    // An index given here stands for the setting: one of 0 or below means the trace's own.
    if (o.refractiveIndex)
        params.refractiveIndex = *o.refractiveIndex > 0 ? *o.refractiveIndex : record.refractiveIndex;

    if (!runAutoSearch(record, engine, params)) {
        err << "otdrcli: " << o.file << ": the event analysis failed\n";
        return kExitFailure;
    }

    JsonWriter j;
    j.beginObject();
    j.field("file", o.file);
    j.key("parameters").beginObject();
    j.field("settings", settingsSource);
    j.field("wavelength_nm", record.wavelengthNm);
    j.field("pulse_width_ns", record.pulseWidthNs);
    j.field("sample_count", record.sampleCount);
    j.field("sampling_rate_mhz", record.sampleRateMHz);
    j.field("sample_spacing_m", record.sampleSpacing);
    j.field("trace_refractive_index", record.refractiveIndex);
    j.field("loss_threshold_db", params.lossThresholdDb);
    j.field("reflection_threshold_db", params.reflectionThresholdDb);
    j.field("end_threshold_db", params.endThresholdDb);
    j.field("backscatter_db", params.backscatterDb);
    j.field("refractive_index", params.refractiveIndex);
    j.endObject();
    j.key("events").beginArray();
    for (const EventItem& e : record.events) {
        j.beginObject();
        j.field("index", e.sampleIndex);
        j.field("type", e.eventType);
        j.field("distance_m", e.distance);
        j.field("loss_db", e.eventLoss);
        j.field("reflectance_db", e.reflectance);
        j.field("attenuation_db_km", e.attenuation);
        j.field("total_loss_db", e.totalLoss);
        j.field("code", std::string(1, e.codeLetter != 0 ? e.codeLetter : ' '));
        j.endObject();
    }
    j.endArray();
    j.endObject();
    out << j.str() << '\n';
    return kExitOk;
}

} // namespace

OTDRCLI_COMMAND({"analyze", "FILE [--loss-threshold DB] [--reflection-threshold DB] [--backscatter DB] [--index N]",
                 "find the events of a SOR file with the automatic analysis and print them as JSON", &runAnalyze})
