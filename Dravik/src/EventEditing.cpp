// Adding and removing one event, each followed by the measurement round.
#include "EngineInternal.h"
#include "SampleAccess.h"

#include <algorithm>

namespace dravik {

Dravik_Result removeEvent(Dravik_Result r, int i, const Params& p, Samples s)
{
    if (r.count < 1 || r.count > DRAVIK_MAX_EVENTS || i < 1 || i >= r.count)
        return r;
    const int n = r.count;
    // Every later event moves down one place; the attenuations are not moved, they are re-measured.
    for (int k = i; k + 1 < n; ++k) {
        r.type[k] = r.type[k + 1];
        r.index[k] = r.index[k + 1];
        r.loss[k] = r.loss[k + 1];
        r.reflectance[k] = r.reflectance[k + 1];
        r.totalLoss[k] = r.totalLoss[k + 1];
        r.code[k] = r.code[k + 1];
    }
    r.count = n - 1;
    r.attenuation[0] = 0;
    return measurementRound(r, p, s);
}

namespace {

// Type of an event added at x, from where the highest and lowest levels lie around it.
std::int32_t insertedType(long long x, int w, Samples s)
{
    const long long first = std::max<long long>(std::max<long long>(x - w / 4, 4), 0);
    const long long end = std::min<long long>(x + w / 2, s.count); // one past the last sample
    int highest = 0, lowest = 65535;
    long long highAt = -1, lowAt = -1;
    for (long long j = first; j < end; ++j) {
        const int v = level(s, j);
        if (v > highest) {
            highest = v;
            highAt = j;
        }
        if (v < lowest) {
            lowest = v;
            lowAt = j;
        }
    }
    if (highAt < 0 || lowAt < 0 || highAt == lowAt)
        return 0; // flat or empty window: nothing rises above the rest
    if (lowAt <= x) {
        if (highAt >= x)
            return 1; // a rise across x: a reflection starts here
        return highAt > lowAt ? 0 : 1;
    }
    // The lowest level lies behind x: reflective when the highest lies after the lowest.
    return highAt > lowAt ? 1 : 0;
}

} // namespace

Dravik_Result addEvent(Dravik_Result r, int x, const Params& p, Samples s)
{
    s = usable(s);
    const int c = r.count;
    if (c < 1 || c >= DRAVIK_MAX_EVENTS || x < 0 || x >= s.count)
        return r;
    const long long w = analysisWindow(p.pulseWidthNs, p.sampleRateMHz);
    const long long at = x;
    if (at <= r.index[0] + w / 2)
        return r; // before the start event or inside its first half window
    for (int k = 0; k < c; ++k)
        if (r.index[k] == x)
            return r;

    int slot = c; // where the new event goes
    if (at > r.index[c - 1]) {
        if (at - r.index[c - 1] <= w)
            return r;
    } else {
        int j = -1;
        for (int k = 0; k + 1 < c; ++k)
            if (r.index[k] < x && x < r.index[k + 1]) {
                j = k;
                break;
            }
        if (j < 0)
            return r; // no pair of events around x (an unordered record)
        if (at - r.index[j] <= w || r.index[j + 1] - at <= w)
            return r;
        slot = j + 1;
        for (int k = c; k > slot; --k) {
            r.type[k] = r.type[k - 1];
            r.index[k] = r.index[k - 1];
            r.loss[k] = r.loss[k - 1];
            r.reflectance[k] = r.reflectance[k - 1];
            r.attenuation[k] = r.attenuation[k - 1];
            r.totalLoss[k] = r.totalLoss[k - 1];
            r.code[k] = r.code[k - 1];
        }
    }
    // The new event starts with no measured values, also behind the last event, where the record
    // may still hold those of an event removed earlier.
    r.index[slot] = x;
    r.loss[slot] = 0;
    r.reflectance[slot] = 0;
    r.attenuation[slot] = 0;
    r.totalLoss[slot] = 0;
    r.code[slot] = 'A';
    r.type[slot] = insertedType(x, static_cast<int>(w), s);
    r.count = c + 1;
    r.attenuation[0] = 0;
    return measurementRound(r, p, s);
}

} // namespace dravik
