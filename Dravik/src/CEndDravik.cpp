#include "Dravik.h"
#include "EngineInternal.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace dravik {
Dravik_Result initialRecord()
{
    Dravik_Result r;
    std::memset(&r, 0, sizeof r);
    r.valueB = 10.0f;
    return r;
}
} // namespace dravik

namespace {

bool validCount(const Dravik_Result& r) { return r.count >= 0 && r.count <= DRAVIK_MAX_EVENTS; }

// One past the furthest sample index that the events of r and `reach` samples behind them span;
// the number of samples the count-less operations take the caller's array to hold.
int impliedSampleCount(const Dravik_Result& r, int firstEvent, long long reach)
{
    long long furthest = -1;
    for (int i = firstEvent; i < r.count; ++i)
        furthest = std::max<long long>(furthest, r.index[i]);
    if (furthest < 0)
        return 0;
    return static_cast<int>(std::min<long long>(furthest + reach, INT_MAX));
}

} // namespace

CEndDravik::CEndDravik() = default;
CEndDravik::~CEndDravik() = default;

Dravik_Result CEndDravik::dravik_arithmetic(int wavelengthNm, int pulseWidthNs, const unsigned short* samples,
                                           int sampleCount, double, double, float lossThresholdDb,
                                           float reflectionThresholdDb, float, float backscatterDb,
                                           float sampleRateMHz, float refractiveIndex, int positionHint)
{
    const dravik::Params p{wavelengthNm, pulseWidthNs, refractiveIndex, sampleRateMHz, backscatterDb};
    return dravik::analyse(p, {samples, sampleCount}, lossThresholdDb, reflectionThresholdDb, positionHint);
}

Dravik_Result CEndDravik::insertEvent(int sampleIndex, int wavelengthNm, int pulseWidthNs,
                                     const unsigned short* samples, int sampleCount, Dravik_Result record,
                                     float refractiveIndex, float sampleRateMHz, float backscatterDb)
{
    if (!validCount(record) || samples == nullptr)
        return record;
    const dravik::Params p{wavelengthNm, pulseWidthNs, refractiveIndex, sampleRateMHz, backscatterDb};
    return dravik::addEvent(record, sampleIndex, p, {samples, sampleCount});
}

Dravik_Result CEndDravik::deleteEvent(int eventIndex, int wavelengthNm, int pulseWidthNs,
                                     const unsigned short* samples, Dravik_Result record, float refractiveIndex,
                                     float sampleRateMHz, float backscatterDb)
{
    if (!validCount(record))
        return record;
    const dravik::Params p{wavelengthNm, pulseWidthNs, refractiveIndex, sampleRateMHz, backscatterDb};
    const int implied = impliedSampleCount(record, 0, dravik::measurementReach(p));
    return deleteEvent(eventIndex, wavelengthNm, pulseWidthNs, samples, implied, record, refractiveIndex,
                       sampleRateMHz, backscatterDb);
}

Dravik_Result CEndDravik::deleteEvent(int eventIndex, int wavelengthNm, int pulseWidthNs,
                                     const unsigned short* samples, int sampleCount, Dravik_Result record,
                                     float refractiveIndex, float sampleRateMHz, float backscatterDb)
{
    if (!validCount(record) || samples == nullptr)
        return record;
    const dravik::Params p{wavelengthNm, pulseWidthNs, refractiveIndex, sampleRateMHz, backscatterDb};
    return dravik::removeEvent(record, eventIndex, p, {samples, sampleCount});
}

Dravik_Result CEndDravik::Acount_Total_Loss(int wavelengthNm, int pulseWidthNs, const unsigned short* samples,
                                           Dravik_Result record, float refractiveIndex, float sampleRateMHz)
{
    if (!validCount(record))
        return record;
    // Every read lies before an event after the start event.
    const int implied = impliedSampleCount(record, 1, 0);
    return Acount_Total_Loss(wavelengthNm, pulseWidthNs, samples, implied, record, refractiveIndex,
                             sampleRateMHz);
}

Dravik_Result CEndDravik::Acount_Total_Loss(int wavelengthNm, int pulseWidthNs, const unsigned short* samples,
                                           int sampleCount, Dravik_Result record, float refractiveIndex,
                                           float sampleRateMHz)
{
    if (!validCount(record) || samples == nullptr)
        return record;
    const dravik::Params p{wavelengthNm, pulseWidthNs, refractiveIndex, sampleRateMHz, 0};
    return dravik::totalLoss(record, p, {samples, sampleCount});
}
