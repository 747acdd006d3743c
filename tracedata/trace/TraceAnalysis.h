// The automatic event search on one trace record: the analysis conditions for the trace's
// wavelength, the engine call and the rebuilt event list.
#pragma once

#include "TraceRecord.h"

class CEndDravik;

// What the engine's automatic analysis is given besides the trace itself.
struct AutoSearchParameters {
    float lossThresholdDb = 0;        // 0: automatic
    float reflectionThresholdDb = 0;  // 0: automatic
    float endThresholdDb = 0;         // passed on; the engine does not use it
    float backscatterDb = 0;
    float refractiveIndex = 0;        // 0 or below: the trace's own index
};

// Picks the conditions for the trace's wavelength from analysis settings with the fields
// BendTH, ReflectTH, Termial, BackScatter[1550|1625] and Refraction[1550|1625]. A wavelength other
// than 1310, 1550 or 1625 nm has no settings of its own: the trace's own refractive index and a
// backscatter of 0 are used. A refractive index of 0 or below is replaced by the trace's own.
template <class Settings>
AutoSearchParameters autoSearchParametersFor(const TraceRecord& record, const Settings& s)
{
    AutoSearchParameters p;
    p.lossThresholdDb = s.BendTH;
    p.reflectionThresholdDb = s.ReflectTH;
    p.endThresholdDb = s.Termial;
    switch (record.wavelengthNm) {
    case 1310: p.backscatterDb = s.BackScatter; p.refractiveIndex = s.Refraction; break;
    case 1550: p.backscatterDb = s.BackScatter1550; p.refractiveIndex = s.Refraction1550; break;
    case 1625: p.backscatterDb = s.BackScatter1625; p.refractiveIndex = s.Refraction1625; break;
    default: p.backscatterDb = 0; p.refractiveIndex = record.refractiveIndex; break;
    }
    if (!(p.refractiveIndex > 0))
        p.refractiveIndex = record.refractiveIndex;
    return p;
}

// Runs the automatic analysis on the record. On success the engine's record replaces the
// embedded one and the event list is rebuilt from it; when the engine fails (throws) the record
// is left as it was and false is returned. A refractive index of 0 or below is never handed to
// the engine: the trace's own is used.
bool runAutoSearch(TraceRecord& record, CEndDravik& engine, const AutoSearchParameters& params);
