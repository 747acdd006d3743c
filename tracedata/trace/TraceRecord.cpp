#include "TraceRecord.h"

#include <algorithm>
#include <cstring>

namespace {
// The speed of light as the trace-record code uses it (single-precision value of 299792458).
constexpr double kLightSpeedF = 299792448.0;
} // namespace

Dravik_Result initialDravikResult()
{
    Dravik_Result r;
    std::memset(&r, 0, sizeof r);
    r.valueB = 10.0f;
    return r;
}

TraceRecord::TraceRecord() : result(initialDravikResult()) {}

void computeSampleSpacing(TraceRecord& record)
{
    const double rate = record.sampleRateMHz;
    const double index = record.refractiveIndex;
    if (!(rate > 0) || !(index > 0)) {
        record.sampleSpacing = 0;
        return;
    }
    record.sampleSpacing = static_cast<float>(kLightSpeedF / (2.0 * rate * index * 1000000.0));
}

void syncEventsToResult(TraceRecord& record)
{
    const std::size_t n = record.events.size();
    if (n > static_cast<std::size_t>(DRAVIK_MAX_EVENTS))
        return;
    Dravik_Result& r = record.result;
    r.count = static_cast<std::int32_t>(n);
    for (std::size_t i = 0; i < n; ++i) {
        const EventItem& e = record.events[i];
        r.type[i] = e.eventType;
        r.index[i] = e.sampleIndex;
        r.loss[i] = e.eventLoss;
        r.reflectance[i] = e.reflectance;
        r.attenuation[i] = e.attenuation;
        r.totalLoss[i] = e.totalLoss;
        r.code[i] = e.codeLetter;
        r.valueA = e.valueA;
        r.valueB = e.valueB;
    }
}

void rebuildEventsFromResult(TraceRecord& record)
{
    const Dravik_Result& r = record.result;
    float spacing = 0;
    if (record.refractiveIndex > 0 && record.sampleRateMHz > 0)
        spacing = static_cast<float>(kLightSpeedF / record.refractiveIndex / record.sampleRateMHz
                                     / 1000000.0 * 0.5);
    const int count = std::clamp(r.count, 0, DRAVIK_MAX_EVENTS);
    record.events.clear();
    record.events.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        EventItem e;
        e.sampleIndex = r.index[i];
        e.eventType = r.type[i];
        e.distance = static_cast<float>(r.index[i]) * spacing;
        e.eventLoss = r.loss[i];
        e.reflectance = r.reflectance[i];
        e.attenuation = r.attenuation[i];
        e.totalLoss = r.totalLoss[i];
        e.valueA = r.valueA;
        e.valueB = r.valueB;
        e.codeLetter = r.code[i];
        record.events.push_back(e);
    }
}

void applyEngineResult(TraceRecord& record, const Dravik_Result& result)
{
    record.result = result;
    rebuildEventsFromResult(record);
}
