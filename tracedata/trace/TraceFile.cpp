#include "TraceFile.h"

#include "Dravik.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Speed of light for converting the file's event times (exact value, m/s).
constexpr double kLightSpeed = 299792458.0;

std::int16_t toInt16(double v)
{
    const double t = std::trunc(v);
    if (!(t > std::numeric_limits<std::int16_t>::min()))
        return std::numeric_limits<std::int16_t>::min();
    if (t > std::numeric_limits<std::int16_t>::max())
        return std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(t);
}

std::int32_t toInt32(double v)
{
    const double t = std::trunc(v);
    if (!(t > std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (t > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(t);
}

bool hasTraceData(const SORDATA& data)
{
    return !data.dataSets.empty() && data.dataSets.front().pointCount > 0
        && !data.dataSets.front().samples.empty();
}

// Sample index and distance of an event at `distance` metres along the samples. Sample i lies at
// (i + 1) x spacing; a position within a tenth of a sample below the next sample snaps to it.
void placeEvent(EventItem& e, float distance, float spacing, std::uint32_t sampleCount)
{
    e.distance = distance;
    e.sampleIndex = 0;
    if (!(spacing > 0) || sampleCount == 0)
        return;
    const float x = distance / spacing - 1.0f;
    if (std::isnan(x))
        return;
    const double whole = std::trunc(static_cast<double>(x));
    const double snapped = std::trunc(static_cast<double>(x) + 0.1);
    double index = whole;
    if (snapped != whole && snapped >= 0) {
        index = snapped;
        e.distance = static_cast<float>(snapped + 1.0) * spacing;
    }
    // An event before the first sample (possible when the offsets put it there) sits on sample 0
    // and keeps its distance, so that a save writes its time back; one beyond the last sample sits
    // on the last.
    if (index < 0)
        index = 0;
    const double last = static_cast<double>(sampleCount) - 1.0;
    if (index > last)
        index = last;
    e.sampleIndex = static_cast<std::int32_t>(index);
}

} // namespace

double eventTimeToDistance(std::int64_t propagationTime, std::int32_t userOffset,
                           std::int32_t acquisitionOffset, float refractiveIndex)
{
    if (!(refractiveIndex > 0))
        return 0.0;
    const std::int64_t alongSamples = propagationTime + userOffset - static_cast<std::int64_t>(acquisitionOffset);
    return kLightSpeed / (static_cast<double>(refractiveIndex) * 1e10) * static_cast<double>(alongSamples);
}

std::int32_t eventDistanceToTime(float distance, float refractiveIndex, std::int32_t userOffset,
                                 std::int32_t acquisitionOffset)
{
    const double alongSamples = std::trunc(static_cast<double>(refractiveIndex) * 1e10
                                           * static_cast<double>(distance) / kLightSpeed);
    return toInt32(alongSamples - static_cast<double>(userOffset) + static_cast<double>(acquisitionOffset));
}

void loadFromSor(TraceRecord& record, CEndDravik& engine, SORDATA data)
{
    // Samples: the array grows for a longer trace and is never shrunk.
    if (!data.dataSets.empty()) {
        const SorDataSet& set = data.dataSets.front();
        const std::size_t n = std::min<std::size_t>(set.pointCount, set.samples.size());
        if (record.samples.size() < n)
            record.samples.assign(n, 0);
        std::copy_n(set.samples.begin(), n, record.samples.begin());
        record.sampleCount = static_cast<std::uint32_t>(n);
    }

    record.refractiveIndex = data.refractiveIndex;
    record.wavelengthNm = data.wavelength;
    record.sampleRateMHz = data.samplingRate;
    record.sampleSpacing = data.sampleSpacing;
    record.pulseWidthNs = data.pulseWidth;
    record.length = data.length;

    record.events.clear();
    record.events.reserve(data.keyEvents.size());
    for (const SorKeyEvent& k : data.keyEvents) {
        EventItem e;
        if (k.eventCode.size() >= 6) {
            e.eventType = k.eventCode[0] - '0';
            e.codeLetter = k.eventCode[1];
        }
        const float distance = static_cast<float>(
            eventTimeToDistance(k.propagationTime, data.userOffset, data.acquisitionOffset, record.refractiveIndex));
        placeEvent(e, distance, record.sampleSpacing, record.sampleCount);
        e.attenuation = static_cast<float>(k.attenuation) / 1000.0f;
        e.eventLoss = static_cast<float>(k.eventLoss) / 1000.0f;
        e.reflectance = static_cast<float>(k.reflectance) / 1000.0f;
        record.events.push_back(e);
    }

    // Cumulative losses from the engine, on a separate record of the events just read.
    if (!record.events.empty()) {
        Dravik_Result r = initialDravikResult();
        const std::size_t n = std::min<std::size_t>(record.events.size(), DRAVIK_MAX_EVENTS);
        for (std::size_t i = 0; i < n; ++i) {
            const EventItem& e = record.events[i];
            r.type[i] = e.eventType;
            r.index[i] = e.sampleIndex;
            r.loss[i] = e.eventLoss;
            r.reflectance[i] = e.reflectance;
            r.attenuation[i] = e.attenuation;
            r.code[i] = e.codeLetter;
        }
        r.valueA = 0;
        r.valueB = 0;
        r.count = static_cast<std::int32_t>(n);
        const Dravik_Result out = engine.Acount_Total_Loss(
            record.wavelengthNm, record.pulseWidthNs, record.sampleData(),
            static_cast<int>(record.sampleCount), r, record.refractiveIndex, record.sampleRateMHz);
        for (std::size_t i = 0; i < n; ++i)
            record.events[i].totalLoss = out.totalLoss[i];
    }

    record.backscatterCoeff = data.backscatterCoeff;
    record.lossThreshold = data.lossThreshold;
    record.reflectanceThreshold = data.reflectanceThreshold;
    record.endThreshold = data.endThreshold;
    record.rangeMetres = data.range;
    record.timeStamp = data.timeStamp;
    record.averageCount = static_cast<float>(data.averages);
    record.groupIndex = static_cast<float>(data.groupIndex * 0.00001);

    record.sourceData = std::make_shared<const SORDATA>(std::move(data));
}

void storeToSor(SORDATA& data, const TraceRecord& record)
{
    const std::size_t n = std::min<std::size_t>(record.sampleCount, record.samples.size());
    SorDataSet set;
    set.pointCount = static_cast<std::uint32_t>(n);
    set.scaleFactor = 1000;
    set.samples.assign(record.samples.begin(), record.samples.begin() + static_cast<std::ptrdiff_t>(n));
    data.dataSets.clear();
    data.dataSets.push_back(std::move(set));

    data.refractiveIndex = record.refractiveIndex;
    data.pulseWidth = record.pulseWidthNs;
    data.wavelength = record.wavelengthNm;
    data.samplingRate = record.sampleRateMHz;

    data.keyEvents.clear();
    data.keyEvents.reserve(record.events.size());
    for (const EventItem& e : record.events) {
        SorKeyEvent k;
        k.propagationTime = eventDistanceToTime(e.distance, record.refractiveIndex, data.userOffset,
                                                data.acquisitionOffset);
        k.attenuation = toInt16((static_cast<double>(e.attenuation) + 0.0001) * 1000.0);
        k.eventLoss = toInt16((static_cast<double>(e.eventLoss) + 0.0001) * 1000.0);
        k.reflectance = toInt32((static_cast<double>(e.reflectance) + 0.0001) * 1000.0);
        // Type digit, code letter, "9999". An event without a letter gets a blank, never a zero
        // byte inside the fixed six characters.
        k.eventCode.push_back(static_cast<char>('0' + e.eventType));
        k.eventCode.push_back(e.codeLetter != 0 ? e.codeLetter : ' ');
        k.eventCode += "9999";
        k.lossTechnique = "LS";
        data.keyEvents.push_back(std::move(k));
    }

    data.backscatterCoeff = record.backscatterCoeff;
    data.lossThreshold = record.lossThreshold;
    data.reflectanceThreshold = record.reflectanceThreshold;
    data.endThreshold = record.endThreshold;
    data.range = toInt32(record.length);
}

int maxLevelDb(const SORDATA& data)
{
    int best = 0;
    for (const SorDataSet& set : data.dataSets)
        for (std::uint16_t s : set.samples)
            best = std::max(best, (65535 - static_cast<int>(s)) / 1000);
    return best;
}

const char* openRefusalTextKey(const TraceTable& table)
{
    return table.loadedCount > MAX_OPEN_TRACES - 1 ? TRACE_TEXT_MAX_CURVE : nullptr;
}

TraceReadResult readTraceIntoSlot(TraceTable& table, CEndDravik& engine, const std::string& path,
                                  const std::string& name, int slot)
{
    TraceReadResult res;
    res.path = path;
    res.slot = slot;
    if (!TraceTable::validSlot(slot) || table.slots[static_cast<std::size_t>(slot)].loaded != 0) {
        res.status = TraceReadStatus::NoFreeSlot;
        return res;
    }
    if (table.isAlreadyLoaded(path)) {
        res.status = TraceReadStatus::AlreadyLoaded;
        return res;
    }

    SORDATA data;
    int readResult = 0;
    try {
        CSorFile file;
        readResult = file.readSorFile(path, data);
        res.detail = file.lastError();
    } catch (const std::exception& ex) {
        readResult = 0;
        res.detail = ex.what();
    } catch (...) {
        readResult = 0;
    }

    if (!hasTraceData(data)) {
        res.status = TraceReadStatus::DataInvalid;
        res.textKey = TRACE_TEXT_OPEN_DATA_INVALID;
        return res;
    }
    if (readResult != 1) {
        res.status = TraceReadStatus::FileError;
        res.textKey = TRACE_TEXT_OPEN_FILE_ERROR;
        return res;
    }

    TraceRecord& record = table.record(slot);
    try {
        res.maxLevelDb = maxLevelDb(data);
        loadFromSor(record, engine, std::move(data));
        syncEventsToResult(record);
        computeSampleSpacing(record);
    } catch (const std::exception& ex) {
        res.status = TraceReadStatus::FileError;
        res.textKey = TRACE_TEXT_OPEN_FILE_ERROR;
        res.detail = ex.what();
        return res;
    }

    TraceSlot& s = table.slots[static_cast<std::size_t>(slot)];
    s.loaded = 1;
    s.fileName = name;
    s.filePath = path;
    ++table.loadedCount;
    record.colour = table.traceColourFor(table.loadedCount);
    table.currentTrace = slot;
    res.status = TraceReadStatus::Loaded;
    res.detail.clear();
    return res;
}

std::vector<TraceReadResult> readTraceFiles(TraceTable& table, CEndDravik& engine,
                                            const std::vector<std::string>& paths)
{
    std::vector<TraceReadResult> results;
    if (openRefusalTextKey(table) != nullptr)
        return results;
    results.reserve(paths.size());
    for (const std::string& path : paths) {
        const int slot = table.firstFreeSlot();
        if (slot > MAX_OPEN_TRACES - 1) {
            TraceReadResult skipped;
            skipped.status = TraceReadStatus::NoFreeSlot;
            skipped.path = path;
            results.push_back(std::move(skipped));
            continue;
        }
        results.push_back(readTraceIntoSlot(table, engine, path, traceFileName(path), slot));
    }
    return results;
}

std::string traceFileName(const std::string& path)
{
    const std::size_t sep = path.find_last_of('/');
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

TraceSaveResult saveTrace(const TraceRecord& record, const std::string& path)
{
    TraceSaveResult res;
    try {
        SORDATA data = record.sourceData ? *record.sourceData : SORDATA{};
        storeToSor(data, record);
        CSorFile file;
        res.ok = file.saveSorFile(path, std::move(data)) == 1;
        if (!res.ok)
            res.detail = file.lastError();
    } catch (const std::exception& ex) {
        res.ok = false;
        res.detail = ex.what();
    } catch (...) {
        res.ok = false;
    }
    if (!res.ok)
        res.textKey = TRACE_TEXT_SAVE_FILE_ERROR;
    return res;
}

int loadReportTrace(TraceTable& table, const std::string& folder, const std::string& name,
                    TraceReadResult* result)
{
    TraceReadResult res;
    const int slot = table.firstFreeSlot();
    res.slot = slot;
    if (!TraceTable::validSlot(slot)) {
        res.status = TraceReadStatus::NoFreeSlot;
        if (result)
            *result = res;
        return 0;
    }
    std::string path = folder;
    if (!path.empty() && path.back() != '/')
        path += '/';
    path += name;
    res.path = path;
    if (table.isAlreadyLoaded(path)) {
        res.status = TraceReadStatus::AlreadyLoaded;
        if (result)
            *result = res;
        return 0;
    }

    SORDATA data;
    CEndDravik engine;
    int readResult = 0;
    try {
        CSorFile file;
        readResult = file.readSorFile(path, data);
        res.detail = file.lastError();
    } catch (const std::exception& ex) {
        res.detail = ex.what();
    } catch (...) {
    }

    if (readResult != 1 || !hasTraceData(data)) {
        res.status = readResult == 1 ? TraceReadStatus::DataInvalid : TraceReadStatus::FileError;
        if (result)
            *result = res;
        return 1;
    }

    TraceRecord& record = table.record(slot);
    const std::uint32_t visibleFirst = record.visibleFirstSample;
    const std::uint32_t visibleEnd = record.visibleEndSample;
    try {
        res.maxLevelDb = maxLevelDb(data);
        loadFromSor(record, engine, std::move(data));
        syncEventsToResult(record);
    } catch (const std::exception& ex) {
        res.status = TraceReadStatus::FileError;
        res.detail = ex.what();
        if (result)
            *result = res;
        return 1;
    }
    TraceSlot& s = table.slots[static_cast<std::size_t>(slot)];
    s.loaded = 1;
    s.fileName = name;
    s.filePath = path;
    ++table.loadedCount;
    record.visibleFirstSample = visibleFirst;
    record.visibleEndSample = visibleEnd;
    computeSampleSpacing(record);

    res.status = TraceReadStatus::Loaded;
    res.detail.clear();
    if (result)
        *result = res;
    return 1;
}
