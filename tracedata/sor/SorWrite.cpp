// SR-4731 writer: a SORDATA record to the bytes of a file. Values the caller changed since the
// read are re-encoded into their raw fields; everything else is written as it was read.
#include "SorInternal.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

using namespace sorimpl;

namespace {

SorStatus invalid(std::string message)
{
    return {SorError::InvalidData, std::move(message)};
}

// Rounds a finite value into [lo, hi]; false when it does not fit.
template <typename T>
bool encode(double value, T& out, double lo = double(std::numeric_limits<T>::min()),
    double hi = double(std::numeric_limits<T>::max()))
{
    if (!std::isfinite(value))
        return false;
    const double r = std::nearbyint(value);
    if (r < lo || r > hi)
        return false;
    out = static_cast<T>(r);
    return true;
}

// A record that was not read from a file has no interpreted block.
bool isNewRecord(const SORDATA& d)
{
    return std::none_of(d.carried.blocks.begin(), d.carried.blocks.end(),
        [](const SorBlock& b) { return b.interpreted; });
}

// The raw values to write: the carried ones with the caller's changes folded in.
struct RawValues {
    SorFixedParams fixed;
    SorGenParams gen;
    int32_t groupIndex = 0;
    uint32_t dataPointsTotal = 0;
};

SorStatus foldChanges(const SORDATA& d, RawValues& raw)
{
    const SorValuesAsRead& was = d.carried.asRead;
    raw.fixed = d.fixedParams;
    raw.gen = d.carried.genParams;
    SorFixedParams& f = raw.fixed;

    for (const SorDataSet& set : d.dataSets)
        if (set.pointCount != set.samples.size())
            return invalid("a data set's point count does not match its samples");
    std::vector<uint32_t> counts;
    for (const SorDataSet& set : d.dataSets)
        counts.push_back(set.pointCount);
    if (d.dataSets.size() > 0xFFFF)
        return invalid("too many data sets");

    // A record made by the program rather than read: one pulse-width entry per data set.
    const bool newLists = isNewRecord(d) && f.pulseWidths.empty() && f.dataSpacings.empty() && f.pointCounts.empty();
    if (newLists) {
        const std::size_t n = std::max<std::size_t>(1, d.dataSets.size());
        f.pulseWidths.assign(n, 0);
        f.dataSpacings.assign(n, 0);
        f.pointCounts.assign(n, 0);
    }
    // A read file without pulse-width entries gets one when the caller sets what it holds.
    if (!newLists && f.pulseWidths.empty() && f.dataSpacings.empty() && f.pointCounts.empty()
        && (d.pulseWidth != was.pulseWidth || d.samplingRate != was.samplingRate
            || d.sampleSpacing != was.sampleSpacing)) {
        f.pulseWidths.assign(1, 0);
        f.dataSpacings.assign(1, 0);
        f.pointCounts.assign(1, d.dataSets.empty() ? 0 : d.dataSets[0].pointCount);
    }
    if (f.dataSpacings.size() != f.pulseWidths.size() || f.pointCounts.size() != f.pulseWidths.size())
        return invalid("the pulse width, data spacing and point count lists differ in length");
    if (f.pulseWidths.size() > 0xFFFF)
        return invalid("too many pulse widths");

    // Group index first: the spacing and range conversions depend on it.
    raw.groupIndex = d.groupIndex;
    if (d.refractiveIndex != was.refractiveIndex) {
        if (!encode<int32_t>(double(d.refractiveIndex) * 1e5, raw.groupIndex, 0))
            return invalid("refractive index out of range");
    }
    if (!f.pulseWidths.empty()) {
        if (d.pulseWidth != was.pulseWidth && !encode<uint16_t>(d.pulseWidth, f.pulseWidths[0]))
            return invalid("pulse width out of range");
        if (d.samplingRate != was.samplingRate) {
            if (!(d.samplingRate >= 0.0f) || !std::isfinite(d.samplingRate))
                return invalid("sampling rate out of range");
            if (d.samplingRate == 0.0f)
                f.dataSpacings[0] = 0;
            else if (!encode<uint32_t>(5e7 / double(d.samplingRate), f.dataSpacings[0], 1))
                return invalid("sampling rate out of range");
        } else if (d.sampleSpacing != was.sampleSpacing && raw.groupIndex > 0) {
            const double perUnit = metresPerTimeUnit(raw.groupIndex) * 1e-4;
            if (!(d.sampleSpacing >= 0.0f) || !encode<uint32_t>(double(d.sampleSpacing) / perUnit, f.dataSpacings[0]))
                return invalid("sample spacing out of range");
        }
        if (newLists)
            for (std::size_t i = 1; i < f.pulseWidths.size(); ++i) {
                f.pulseWidths[i] = f.pulseWidths[0];
                f.dataSpacings[i] = f.dataSpacings[0];
            }
    }
    // The range is kept in metres: re-encoded when it changed, or when a new index changes the
    // metres its stored time stands for.
    const bool rangeChanged = d.range != was.range;
    const double perUnit = metresPerTimeUnit(raw.groupIndex);
    if (rangeChanged || (raw.groupIndex != was.groupIndex && perUnit > 0.0)) {
        if (perUnit <= 0.0 || d.range < 0 || !encode<uint32_t>(double(d.range) / perUnit, f.acquisitionRange))
            return invalid("range out of range");
        // The reader truncates to whole metres: step to the time that reads back as this range.
        for (int step = 0; step < 3; ++step) {
            const int32_t back = rangeMetresFrom(f.acquisitionRange, raw.groupIndex);
            if (back < d.range && f.acquisitionRange < 0xFFFFFFFFu)
                ++f.acquisitionRange;
            else if (back > d.range && f.acquisitionRange > 0)
                --f.acquisitionRange;
            else
                break;
        }
    }
    if (d.wavelength != was.wavelength) {
        if (!encode<uint16_t>(d.wavelength, raw.gen.nominalWavelength))
            return invalid("wavelength out of range");
        // Keep the file's own convention for the actual wavelength (0.1 nm, or nm for the
        // instruments that write whole nanometres).
        const bool wholeNm = f.actualWavelength != 0 && f.actualWavelength < 2000;
        if (!encode<uint16_t>(wholeNm ? d.wavelength : d.wavelength * 10.0, f.actualWavelength))
            return invalid("wavelength out of range");
    }
    if (d.backscatterCoeff != was.backscatterCoeff
        && !encode<uint16_t>(-double(d.backscatterCoeff) * 10.0, f.backscatterRaw))
        return invalid("backscatter coefficient out of range");
    if (d.lossThreshold != was.lossThreshold
        && !encode<uint16_t>(double(d.lossThreshold) * 1000.0, f.lossThresholdRaw))
        return invalid("loss threshold out of range");
    if (d.reflectanceThreshold != was.reflectanceThreshold
        && !encode<uint16_t>(-double(d.reflectanceThreshold) * 1000.0, f.reflectanceThresholdRaw))
        return invalid("reflectance threshold out of range");
    if (d.endThreshold != was.endThreshold
        && !encode<uint16_t>(double(d.endThreshold) * 1000.0, f.endThresholdRaw))
        return invalid("end-of-fibre threshold out of range");

    raw.dataPointsTotal = d.carried.dataPointsTotal;
    if (counts != was.pointCounts) {
        uint64_t total = 0;
        for (uint32_t c : counts)
            total += c;
        if (total > 0xFFFFFFFFu)
            return invalid("too many data points");
        raw.dataPointsTotal = static_cast<uint32_t>(total);
        for (std::size_t i = 0; i < counts.size() && i < f.pointCounts.size(); ++i)
            f.pointCounts[i] = counts[i];
    }
    if (d.keyEvents.size() > 0xFFFF)
        return invalid("too many key events");
    return {};
}

void writeGenParams(Sink& s, int version, const SORDATA& d, const RawValues& raw)
{
    const SorGenParams& g = raw.gen;
    s.chars(g.languageCode, 2, "language code");
    s.zstring(g.cableId, "cable ID");
    s.zstring(g.fibreId, "fibre ID");
    if (version == 2)
        s.u16(g.fibreType);
    s.u16(g.nominalWavelength);
    s.zstring(g.originatingLocation, "originating location");
    s.zstring(g.terminatingLocation, "terminating location");
    s.zstring(g.cableCode, "cable code");
    s.chars(g.currentDataFlag, 2, "current data flag");
    s.i32(d.userOffset);
    if (version == 2)
        s.i32(g.userOffsetDistance);
    s.zstring(g.operatorName, "operator");
    s.zstring(g.comment, "comment");
}

void writeSupParams(Sink& s, const SORDATA& d)
{
    const SorSupParams& p = d.carried.supParams;
    s.zstring(p.supplier, "supplier name");
    s.zstring(p.mainframeId, "mainframe ID");
    s.zstring(p.mainframeSerial, "mainframe serial number");
    s.zstring(p.moduleId, "module ID");
    s.zstring(p.moduleSerial, "module serial number");
    s.zstring(p.softwareRevision, "software revision");
    s.zstring(p.other, "other supplier text");
}

void writeFxdParams(Sink& s, int version, const SORDATA& d, const RawValues& raw)
{
    const SorFixedParams& f = raw.fixed;
    s.i32(d.timeStamp);
    s.chars(f.distanceUnits, 2, "distance units");
    s.u16(f.actualWavelength);
    s.i32(d.acquisitionOffset);
    if (version == 2)
        s.i32(f.acquisitionOffsetDistance);
    s.u16(static_cast<uint16_t>(f.pulseWidths.size()));
    for (uint16_t v : f.pulseWidths)
        s.u16(v);
    for (uint32_t v : f.dataSpacings)
        s.u32(v);
    for (uint32_t v : f.pointCounts)
        s.u32(v);
    s.i32(raw.groupIndex);
    s.u16(f.backscatterRaw);
    s.u32(d.averages);
    if (version == 2)
        s.u16(f.averagingTime);
    s.u32(f.acquisitionRange);
    if (version == 2)
        s.i32(f.acquisitionRangeDistance);
    s.i32(f.frontPanelOffset);
    s.u16(f.noiseFloorLevel);
    s.i16(f.noiseFloorScale);
    s.u16(f.powerOffset);
    s.u16(f.lossThresholdRaw);
    s.u16(f.reflectanceThresholdRaw);
    s.u16(f.endThresholdRaw);
    if (version == 2) {
        s.chars(f.traceType, 2, "trace type");
        for (int32_t w : f.windowCoordinates)
            s.i32(w);
    }
}

void writeKeyEvents(Sink& s, int version, const SORDATA& d)
{
    s.u16(static_cast<uint16_t>(d.keyEvents.size()));
    uint16_t position = 0;
    for (const SorKeyEvent& e : d.keyEvents) {
        ++position;
        SorEventFurther made;
        if (!e.further) {
            made.number = position;
            made.markers.fill(e.propagationTime);
        }
        const SorEventFurther& further = e.further ? *e.further : made;
        s.u16(further.number);
        s.i32(e.propagationTime);
        s.i16(e.attenuation);
        s.i16(e.eventLoss);
        s.i32(e.reflectance);
        s.chars(e.eventCode, 6, "event code");
        s.chars(e.lossTechnique, 2, "loss technique");
        if (version == 2)
            for (int32_t m : further.markers)
                s.i32(m);
        s.zstring(further.comment, "event comment");
    }
    const SorEventSummary& sum = d.carried.eventSummary;
    s.i32(sum.endToEndLoss);
    s.i32(sum.endToEndMarkers[0]);
    s.i32(sum.endToEndMarkers[1]);
    s.u16(sum.opticalReturnLoss);
    s.i32(sum.returnLossMarkers[0]);
    s.i32(sum.returnLossMarkers[1]);
}

void writeDataPts(Sink& s, std::vector<uint8_t>& out, const SORDATA& d, const RawValues& raw)
{
    s.u32(raw.dataPointsTotal);
    s.u16(static_cast<uint16_t>(d.dataSets.size()));
    for (const SorDataSet& set : d.dataSets) {
        s.u32(set.pointCount);
        s.u16(set.scaleFactor);
        const std::size_t at = out.size();
        out.resize(at + set.samples.size() * 2);
        uint8_t* p = out.data() + at;
        if constexpr (std::endian::native == std::endian::little) {
            if (!set.samples.empty())
                std::memcpy(p, set.samples.data(), set.samples.size() * 2);
        } else {
            for (uint16_t v : set.samples) {
                *p++ = static_cast<uint8_t>(v);
                *p++ = static_cast<uint8_t>(v >> 8);
            }
        }
    }
}

// The blocks to write, in order. A record that was not read (no interpreted block) gets the
// standard set; a record that lacks a block for data it holds gets one.
std::vector<SorBlock> blockList(const SORDATA& d)
{
    const int version = d.carried.version;
    const uint16_t rev = version == 2 ? 200 : 100;
    std::vector<SorBlock> blocks = d.carried.blocks;
    auto has = [&](std::string_view name) {
        return std::any_of(blocks.begin(), blocks.end(),
            [&](const SorBlock& b) { return b.interpreted && b.name == name; });
    };
    auto make = [&](std::string_view name) {
        SorBlock b;
        b.name = std::string(name);
        b.revision = rev;
        b.interpreted = true;
        b.nameHeader = true;
        return b;
    };
    if (isNewRecord(d)) {
        // The standard set, with the caller's own blocks before the checksum.
        std::vector<SorBlock> standard;
        for (std::string_view name : {kGenParams, kSupParams, kFxdParams, kKeyEvents, kDataPts})
            standard.push_back(make(name));
        standard.insert(standard.end(), blocks.begin(), blocks.end());
        standard.push_back(make(kCksum));
        return standard;
    }
    auto insertBeforeChecksum = [&](std::string_view name) {
        auto at = std::find_if(blocks.begin(), blocks.end(),
            [](const SorBlock& b) { return b.interpreted && b.name == kCksum; });
        blocks.insert(at, make(name));
    };
    if (!has(kFxdParams))
        insertBeforeChecksum(kFxdParams);
    if (!d.keyEvents.empty() && !has(kKeyEvents))
        insertBeforeChecksum(kKeyEvents);
    if (!has(kDataPts))
        insertBeforeChecksum(kDataPts);
    return blocks;
}

} // namespace

SorStatus serializeSor(const SORDATA& d, std::vector<uint8_t>& out)
{
    out.clear();
    const int version = d.carried.version;
    if (version != 1 && version != 2)
        return invalid("version must be 1 or 2");
    RawValues raw;
    if (SorStatus st = foldChanges(d, raw); !st)
        return st;
    const std::vector<SorBlock> blocks = blockList(d);
    if (blocks.size() + 1 > 0xFFFF)
        return invalid("too many blocks");

    // The map's size depends only on the block names, so the map goes first with zero sizes,
    // the blocks follow in the same buffer, and the sizes are filled in afterwards.
    std::size_t payload = d.carried.trailingBytes.size() + 4096;
    for (const SorDataSet& set : d.dataSets)
        payload += set.samples.size() * 2 + 6;
    for (const SorBlock& block : blocks)
        payload += block.bytes.size() + block.name.size() + 7;
    out.reserve(payload);
    Sink s(out);
    if (version == 2)
        s.zstring("Map", "map name");
    const uint16_t mapRevision = d.carried.mapRevision ? d.carried.mapRevision : (version == 2 ? 200 : 100);
    s.u16(mapRevision);
    std::size_t mapSize = out.size() + 4 + 2 + d.carried.mapExtra.size();
    for (const SorBlock& block : blocks)
        mapSize += block.name.size() + 1 + 2 + 4;
    s.u32(static_cast<uint32_t>(mapSize));
    s.u16(static_cast<uint16_t>(blocks.size() + 1));
    std::vector<std::size_t> sizeFields;
    for (const SorBlock& block : blocks) {
        s.zstring(block.name, "block name");
        s.u16(block.revision);
        sizeFields.push_back(out.size());
        s.u32(0);
    }
    s.bytes(d.carried.mapExtra);

    std::size_t checksumAt = std::string::npos;
    bool seen[6] = {};
    const std::string_view known[6] = {kGenParams, kSupParams, kFxdParams, kKeyEvents, kDataPts, kCksum};
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const SorBlock& block = blocks[b];
        const std::size_t start = out.size();
        int kind = -1;
        if (block.interpreted)
            for (int k = 0; k < 6; ++k)
                if (block.name == known[k] && !seen[k])
                    kind = k;
        if (kind < 0) {
            s.bytes(block.bytes);
        } else {
            seen[kind] = true;
            if (version == 2 && block.nameHeader)
                s.zstring(block.name, "block name");
            switch (kind) {
            case 0: writeGenParams(s, version, d, raw); break;
            case 1: writeSupParams(s, d); break;
            case 2: writeFxdParams(s, version, d, raw); break;
            case 3: writeKeyEvents(s, version, d); break;
            case 4: writeDataPts(s, out, d, raw); break;
            case 5:
                checksumAt = out.size();
                s.u16(0);
                break;
            }
            s.bytes(block.bytes);
        }
        const std::size_t size = out.size() - start;
        if (size > 0xFFFFFFFFu)
            return invalid("block " + block.name + " is too large");
        for (int i = 0; i < 4; ++i)
            out[sizeFields[b] + i] = static_cast<uint8_t>(size >> (8 * i));
    }
    s.bytes(d.carried.trailingBytes);
    if (!s.ok())
        return invalid(s.problem());
    if (checksumAt != std::string::npos) {
        const uint16_t crc = sorCrc16(std::span<const uint8_t>(out.data(), checksumAt));
        out[checksumAt] = static_cast<uint8_t>(crc);
        out[checksumAt + 1] = static_cast<uint8_t>(crc >> 8);
    }
    return {};
}
