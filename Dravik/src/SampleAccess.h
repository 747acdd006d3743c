// Bounds-checked access to the trace samples for the engine's own steps.
#pragma once

#include "EngineInternal.h"

#include <cmath>

namespace dravik {

// The samples with an unusable view (null data, negative count) turned into an empty one.
inline Samples usable(Samples s)
{
    if (s.data == nullptr || s.count < 0)
        return {s.data, 0};
    return s;
}

inline bool inside(Samples s, long long i) { return i >= 0 && i < s.count; }

// Level of a sample: grows with returned power, in thousandths of a dB.
inline int level(Samples s, long long i) { return 65535 - static_cast<int>(s.data[i]); }

// Integer mean (truncated) of the samples first .. last inside the array; false when none is.
// A window that would leave the array is clipped to its part inside.
inline bool clippedMean(Samples s, long long first, long long last, long long& mean)
{
    if (first < 0)
        first = 0;
    if (last >= s.count)
        last = s.count - 1L;
    if (last < first)
        return false;
    long long sum = 0;
    for (long long j = first; j <= last; ++j)
        sum += s.data[j];
    mean = sum / (last - first + 1);
    return true;
}

// Number of valid events of a record, 0..DRAVIK_MAX_EVENTS whatever the stored count.
inline int eventCount(const Dravik_Result& r)
{
    return r.count < 0 ? 0 : (r.count > DRAVIK_MAX_EVENTS ? DRAVIK_MAX_EVENTS : r.count);
}

// True when distances can be computed: a positive, finite refractive index and sampling frequency.
inline bool hasDistanceScale(const Params& p)
{
    return p.refractiveIndex > 0 && p.sampleRateMHz > 0 && std::isfinite(p.refractiveIndex) &&
           std::isfinite(p.sampleRateMHz);
}

// Kilometres spanned by `samples` samples: multiplied first, divided by 2000 last.
inline double spanKm(long long samples, const Params& p)
{
    return (300.0 / p.refractiveIndex) * (1.0 / p.sampleRateMHz) * static_cast<double>(samples) / 2000.0;
}

} // namespace dravik
