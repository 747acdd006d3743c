#include "Dravik.h"
#include "EngineInternal.h"

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

Dravik_Result CEndDravik::insertEvent(int, int, int, const unsigned short*, int, Dravik_Result record, float, float,
                                     float)
{
    return record;
}

Dravik_Result CEndDravik::deleteEvent(int, int, int, const unsigned short*, Dravik_Result record, float, float, float)
{
    return record;
}

Dravik_Result CEndDravik::deleteEvent(int, int, int, const unsigned short*, int, Dravik_Result record, float, float,
                                     float)
{
    return record;
}

Dravik_Result CEndDravik::Acount_Total_Loss(int, int, const unsigned short*, Dravik_Result record, float, float)
{
    return record;
}

Dravik_Result CEndDravik::Acount_Total_Loss(int, int, const unsigned short*, int, Dravik_Result record, float, float)
{
    return record;
}
