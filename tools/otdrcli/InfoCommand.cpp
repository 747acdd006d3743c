// otdrcli info FILE: the file's measurement parameters, blocks and key events as one JSON object.
#include "Command.h"
#include "Json.h"
#include "SorInput.h"

#include <ostream>

namespace {

int runInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() != 1) {
        err << "usage: otdrcli info FILE\n";
        return kExitUsage;
    }
    SORDATA d;
    if (!readSorForCli(args[0], d, err))
        return kExitFailure;

    JsonWriter j;
    j.beginObject();
    j.field("version", d.carried.version);
    j.field("wavelength_nm", d.wavelength);
    j.field("pulse_width_ns", d.pulseWidth);
    j.field("sampling_rate_mhz", d.samplingRate);
    j.field("refractive_index", d.refractiveIndex);
    j.field("group_index", d.groupIndex / 100000.0);
    j.field("sample_count", d.dataSets.empty() ? 0u : d.dataSets[0].pointCount);
    j.field("data_sets", d.dataSets.size());
    j.field("sample_spacing_m", d.sampleSpacing);
    j.field("length_m", d.length);
    j.field("range_m", d.range);
    j.field("averages", d.averages);
    j.field("timestamp", d.timeStamp);
    j.field("backscatter_db", d.backscatterCoeff);
    j.field("loss_threshold_db", d.lossThreshold);
    j.field("reflectance_threshold_db", d.reflectanceThreshold);
    j.field("end_threshold_db", d.endThreshold);
    j.key("blocks").beginArray();
    j.value("Map");
    for (const SorBlock& b : d.carried.blocks)
        j.value(b.name);
    j.endArray();
    j.field("checksum_ok", d.carried.hasChecksum && d.carried.checksumOk);
    j.field("user_offset", d.userOffset);
    j.field("acquisition_offset", d.acquisitionOffset);
    j.key("events").beginArray();
    for (const SorKeyEvent& e : d.keyEvents) {
        j.beginObject();
        j.field("time", e.propagationTime);
        // Stored as float, as the trace record keeps event distances.
        j.field("distance_m", static_cast<float>(sorEventDistance(d, e.propagationTime)));
        j.field("loss_db", e.eventLoss / 1000.0);
        j.field("reflectance_db", e.reflectance / 1000.0);
        j.field("attenuation_db_km", e.attenuation / 1000.0);
        j.field("code", e.eventCode);
        j.field("technique", e.lossTechnique);
        j.endObject();
    }
    j.endArray();
    j.endObject();
    out << j.str() << '\n';
    return kExitOk;
}

} // namespace

OTDRCLI_COMMAND({"info", "FILE", "print a SOR file's parameters, blocks and events as JSON", &runInfo})
