#include "TraceAnalysis.h"

#include "Dravik.h"

#include <exception>

bool runAutoSearch(TraceRecord& record, CEndDravik& engine, const AutoSearchParameters& params)
{
    const float index = params.refractiveIndex > 0 ? params.refractiveIndex : record.refractiveIndex;
    Dravik_Result result;
    try {
        result = engine.dravik_arithmetic(record.wavelengthNm, record.pulseWidthNs, record.sampleData(),
                                          static_cast<int>(record.sampleCount), 2.08, 2.08,
                                          params.lossThresholdDb, params.reflectionThresholdDb,
                                          params.endThresholdDb, params.backscatterDb,
                                          record.sampleRateMHz, index, 0);
    } catch (const std::exception&) {
        return false;
    } catch (...) {
        return false;
    }
    applyEngineResult(record, result);
    return true;
}
