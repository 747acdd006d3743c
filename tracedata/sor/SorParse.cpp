// SR-4731 reader: a whole file in memory to a SORDATA record. Every read is bounded by the
// buffer, every list is sized only after the bytes it needs are known to be there.
#include "SorInternal.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

using namespace sorimpl;

namespace {

SorStatus fail(SorError code, std::string message)
{
    return {code, std::move(message)};
}

// A block name from the file as it may appear in a one-line message.
std::string printable(const std::string& name)
{
    std::string out = name.substr(0, 64);
    for (char& ch : out)
        if (static_cast<unsigned char>(ch) < 0x20 || static_cast<unsigned char>(ch) >= 0x7F)
            ch = '?';
    return '"' + out + (name.size() > 64 ? "...\"" : "\"");
}

SorStatus shortBlock(const std::string& name)
{
    return fail(SorError::Malformed, "block " + name + " is shorter than its fields");
}

// Keeps what follows the interpreted fields of a block.
void keepRest(Cursor& c, SorBlock& block)
{
    block.bytes.assign(c.here(), c.here() + c.remaining());
}

SorStatus parseGenParams(Cursor& c, int version, SORDATA& d)
{
    SorGenParams& g = d.carried.genParams;
    g.languageCode = c.chars(2);
    g.cableId = c.zstring();
    g.fibreId = c.zstring();
    g.fibreType = version == 2 ? c.u16() : 0;
    g.nominalWavelength = c.u16();
    g.originatingLocation = c.zstring();
    g.terminatingLocation = c.zstring();
    g.cableCode = c.zstring();
    g.currentDataFlag = c.chars(2);
    d.userOffset = c.i32();
    g.userOffsetDistance = version == 2 ? c.i32() : 0;
    g.operatorName = c.zstring();
    g.comment = c.zstring();
    return c.ok() ? SorStatus{} : shortBlock(std::string(kGenParams));
}

SorStatus parseSupParams(Cursor& c, SORDATA& d)
{
    SorSupParams& s = d.carried.supParams;
    for (std::string* field : {&s.supplier, &s.mainframeId, &s.mainframeSerial, &s.moduleId,
             &s.moduleSerial, &s.softwareRevision, &s.other})
        *field = c.zstring();
    return c.ok() ? SorStatus{} : shortBlock(std::string(kSupParams));
}

SorStatus parseFxdParams(Cursor& c, int version, SORDATA& d)
{
    SorFixedParams& f = d.fixedParams;
    d.timeStamp = c.i32();
    f.distanceUnits = c.chars(2);
    f.actualWavelength = c.u16();
    d.acquisitionOffset = c.i32();
    f.acquisitionOffsetDistance = version == 2 ? c.i32() : 0;
    const uint16_t n = c.u16();
    // Each pulse width takes 10 bytes (width, spacing, point count).
    if (!c.ok() || c.remaining() / 10 < n)
        return fail(SorError::Malformed, "FxdParams lists more pulse widths than the block holds");
    f.pulseWidths.resize(n);
    f.dataSpacings.resize(n);
    f.pointCounts.resize(n);
    for (auto& v : f.pulseWidths)
        v = c.u16();
    for (auto& v : f.dataSpacings)
        v = c.u32();
    for (auto& v : f.pointCounts)
        v = c.u32();
    d.groupIndex = c.i32();
    f.backscatterRaw = c.u16();
    d.averages = c.u32();
    f.averagingTime = version == 2 ? c.u16() : 0;
    f.acquisitionRange = c.u32();
    f.acquisitionRangeDistance = version == 2 ? c.i32() : 0;
    f.frontPanelOffset = c.i32();
    f.noiseFloorLevel = c.u16();
    f.noiseFloorScale = c.i16();
    f.powerOffset = c.u16();
    f.lossThresholdRaw = c.u16();
    f.reflectanceThresholdRaw = c.u16();
    f.endThresholdRaw = c.u16();
    if (version == 2) {
        f.traceType = c.chars(2);
        for (auto& w : f.windowCoordinates)
            w = c.i32();
    } else {
        f.traceType.clear();
        f.windowCoordinates = {};
    }
    return c.ok() ? SorStatus{} : shortBlock(std::string(kFxdParams));
}

SorStatus parseKeyEvents(Cursor& c, int version, SORDATA& d)
{
    const uint16_t n = c.u16();
    // Smallest event: 22 fixed bytes (+20 markers in version 2) and a one-byte comment.
    const std::size_t minEvent = version == 2 ? 43 : 23;
    if (!c.ok() || c.remaining() / minEvent < n)
        return fail(SorError::Malformed, "KeyEvents lists more events than the block holds");
    d.keyEvents.reserve(n);
    for (uint16_t k = 0; k < n; ++k) {
        SorKeyEvent e;
        SorEventFurther further;
        further.number = c.u16();
        e.propagationTime = c.i32();
        e.attenuation = c.i16();
        e.eventLoss = c.i16();
        e.reflectance = c.i32();
        e.eventCode = c.chars(6);
        e.lossTechnique = c.chars(2);
        if (version == 2)
            for (auto& m : further.markers)
                m = c.i32();
        further.comment = c.zstring();
        e.further = std::move(further);
        if (!c.ok())
            return shortBlock(std::string(kKeyEvents));
        d.keyEvents.push_back(std::move(e));
    }
    SorEventSummary& s = d.carried.eventSummary;
    s.endToEndLoss = c.i32();
    s.endToEndMarkers[0] = c.i32();
    s.endToEndMarkers[1] = c.i32();
    s.opticalReturnLoss = c.u16();
    s.returnLossMarkers[0] = c.i32();
    s.returnLossMarkers[1] = c.i32();
    return c.ok() ? SorStatus{} : shortBlock(std::string(kKeyEvents));
}

SorStatus parseDataPts(Cursor& c, SORDATA& d)
{
    d.carried.dataPointsTotal = c.u32();
    const uint16_t sets = c.u16();
    if (!c.ok() || c.remaining() / 6 < sets)
        return fail(SorError::Malformed, "DataPts lists more data sets than the block holds");
    if (sets == 0)
        return fail(SorError::Malformed, "DataPts holds no data set");
    // Only complete data sets enter the record, so even a failed read leaves every point count
    // matching its samples.
    d.dataSets.reserve(sets);
    for (uint16_t k = 0; k < sets; ++k) {
        SorDataSet set;
        set.pointCount = c.u32();
        set.scaleFactor = c.u16();
        if (!c.ok() || c.remaining() / 2 < set.pointCount)
            return fail(SorError::Malformed, "a DataPts data set claims more points than the block holds");
        set.samples.resize(set.pointCount);
        const uint8_t* p = c.here();
        if constexpr (std::endian::native == std::endian::little) {
            if (set.pointCount)
                std::memcpy(set.samples.data(), p, std::size_t(set.pointCount) * 2);
        } else {
            for (uint32_t i = 0; i < set.pointCount; ++i)
                set.samples[i] = static_cast<uint16_t>(p[2 * i] | (p[2 * i + 1] << 8));
        }
        c.skip(std::size_t(set.pointCount) * 2);
        d.dataSets.push_back(std::move(set));
    }
    return c.ok() ? SorStatus{} : shortBlock(std::string(kDataPts));
}

// The values the program uses, from the raw values just read.
void deriveValues(SORDATA& d, bool haveGenParams)
{
    const SorFixedParams& f = d.fixedParams;
    const uint16_t nominal = haveGenParams ? d.carried.genParams.nominalWavelength : 0;
    d.wavelength = nominal ? nominal : actualWavelengthNm(f.actualWavelength);
    d.pulseWidth = f.pulseWidths.empty() ? 0 : f.pulseWidths[0];
    const uint32_t spacing = f.dataSpacings.empty() ? 0 : f.dataSpacings[0];
    d.samplingRate = samplingRateFromSpacing(spacing);
    d.refractiveIndex = refractiveIndexFrom(d.groupIndex);
    d.sampleSpacing = sampleSpacingFrom(spacing, d.groupIndex);
    const uint32_t points = d.dataSets.empty() ? 0 : d.dataSets[0].pointCount;
    d.length = static_cast<float>(double(points) * d.sampleSpacing);
    d.range = rangeMetresFrom(f.acquisitionRange, d.groupIndex);
    d.backscatterCoeff = static_cast<float>(-f.backscatterRaw / 10.0);
    d.lossThreshold = static_cast<float>(f.lossThresholdRaw / 1000.0);
    d.reflectanceThreshold = static_cast<float>(-f.reflectanceThresholdRaw / 1000.0);
    d.endThreshold = static_cast<float>(f.endThresholdRaw / 1000.0);

    SorValuesAsRead& r = d.carried.asRead;
    r.range = d.range;
    r.pulseWidth = d.pulseWidth;
    r.wavelength = d.wavelength;
    r.samplingRate = d.samplingRate;
    r.refractiveIndex = d.refractiveIndex;
    r.sampleSpacing = d.sampleSpacing;
    r.backscatterCoeff = d.backscatterCoeff;
    r.lossThreshold = d.lossThreshold;
    r.reflectanceThreshold = d.reflectanceThreshold;
    r.endThreshold = d.endThreshold;
    r.groupIndex = d.groupIndex;
    r.pointCounts.clear();
    for (const SorDataSet& set : d.dataSets)
        r.pointCounts.push_back(set.pointCount);
}

} // namespace

SorStatus parseSor(std::span<const uint8_t> bytes, SORDATA& data)
{
    data = SORDATA{};
    if (bytes.size() > kSorMaxFileSize)
        return fail(SorError::TooLarge, "file is larger than " + std::to_string(kSorMaxFileSize) + " bytes");

    // Map: version 2 starts with the name "Map", version 1 directly with the revision number.
    Cursor head(bytes.data(), bytes.size());
    const int version = head.skipName("Map") ? 2 : 1;
    SorCarried& carried = data.carried;
    carried.version = version;
    carried.mapRevision = head.u16();
    const uint32_t mapSize = head.u32();
    const uint16_t blockCount = head.u16();
    if (!head.ok())
        return fail(SorError::Truncated, "file ends inside the map");
    if (mapSize > bytes.size())
        return fail(SorError::Truncated, "the map claims " + std::to_string(mapSize) + " bytes but the file has "
                + std::to_string(bytes.size()));
    if (mapSize < head.pos())
        return fail(SorError::BadMap, "the map's size is smaller than its header");
    if (blockCount == 0)
        return fail(SorError::BadMap, "the map lists no blocks");

    Cursor map(bytes.data(), mapSize);
    map.skip(head.pos());
    // Each entry takes at least 7 bytes (one-character name, revision, size).
    if (map.remaining() / 7 < std::size_t(blockCount - 1))
        return fail(SorError::BadMap, "the map lists more blocks than it holds");
    struct Entry {
        std::size_t offset;
        uint32_t size;
    };
    std::vector<Entry> entries;
    entries.reserve(blockCount - 1);
    carried.blocks.reserve(blockCount - 1);
    std::size_t offset = mapSize;
    for (int i = 1; i < blockCount; ++i) {
        SorBlock block;
        block.name = map.zstring();
        block.revision = map.u16();
        const uint32_t size = map.u32();
        if (!map.ok())
            return fail(SorError::BadMap, "the map's block list is cut short");
        if (size > bytes.size() - offset)
            return fail(SorError::BlockOverrun, "block " + printable(block.name) + " claims " + std::to_string(size)
                    + " bytes but only " + std::to_string(bytes.size() - offset) + " remain");
        entries.push_back({offset, size});
        offset += size;
        block.nameHeader = version == 2;
        carried.blocks.push_back(std::move(block));
    }
    carried.mapExtra.assign(map.here(), map.here() + map.remaining());
    carried.trailingBytes.assign(bytes.begin() + static_cast<std::ptrdiff_t>(offset), bytes.end());

    bool seen[6] = {};
    const std::string_view known[6] = {kGenParams, kSupParams, kFxdParams, kKeyEvents, kDataPts, kCksum};
    for (std::size_t b = 0; b < carried.blocks.size(); ++b) {
        SorBlock& block = carried.blocks[b];
        const uint8_t* start = bytes.data() + entries[b].offset;
        int kind = -1;
        for (int k = 0; k < 6; ++k)
            if (block.name == known[k] && !seen[k])
                kind = k;
        if (kind < 0) {
            // Opaque: the whole block, name header included, exactly as it stands.
            block.interpreted = false;
            block.nameHeader = false;
            block.bytes.assign(start, start + entries[b].size);
            continue;
        }
        seen[kind] = true;
        block.interpreted = true;
        Cursor c(start, entries[b].size);
        // Version 1 blocks have no name header; marking them as if they had one only matters
        // when the record is written as version 2, which then gets its headers.
        block.nameHeader = version == 2 ? c.skipName(block.name) : true;
        SorStatus st;
        switch (kind) {
        case 0: st = parseGenParams(c, version, data); break;
        case 1: st = parseSupParams(c, data); break;
        case 2: st = parseFxdParams(c, version, data); break;
        case 3: st = parseKeyEvents(c, version, data); break;
        case 4: st = parseDataPts(c, data); break;
        case 5: {
            const std::size_t at = entries[b].offset + c.pos();
            carried.storedChecksum = c.u16();
            if (!c.ok())
                return shortBlock(block.name);
            carried.hasChecksum = true;
            carried.checksumOk = sorCrc16(bytes.first(at)) == carried.storedChecksum;
            break;
        }
        }
        if (!st)
            return st;
        keepRest(c, block);
    }
    if (!seen[2])
        return fail(SorError::MissingBlock, "the file has no FxdParams block");
    if (!seen[4])
        return fail(SorError::MissingBlock, "the file has no DataPts block");

    deriveValues(data, seen[0]);
    return {};
}
