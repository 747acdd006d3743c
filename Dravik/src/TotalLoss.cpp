// Cumulative loss of every event: the first section from its attenuation, every later event from
// the trace level in front of it relative to the level in front of event 1.
#include "EngineInternal.h"
#include "SampleAccess.h"

namespace dravik {

namespace {

// Integer mean of the five samples first .. first + 4; false unless all of them are in the array.
bool meanOfFive(Samples s, long long first, long long& mean)
{
    if (!inside(s, first) || !inside(s, first + 4))
        return false;
    long long sum = 0;
    for (long long j = first; j < first + 5; ++j)
        sum += s.data[j];
    mean = sum / 5;
    return true;
}

} // namespace

Dravik_Result totalLoss(Dravik_Result r, const Params& p, Samples s)
{
    s = usable(s);
    const int n = eventCount(r);
    if (n < 2 || !hasDistanceScale(p))
        return r;
    if (n == 2) {
        if (r.attenuation[1] == 0)
            r.totalLoss[0] = 0; // totalLoss[1] keeps its value
        else
            r.totalLoss[1] = static_cast<float>(r.attenuation[1] * spanKm(r.index[1], p) + 0.02);
        return r;
    }

    double first = r.attenuation[1];
    if (first == 0)
        first = r.attenuation[2];
    if (first == 0)
        first = nominalAttenuation(p.wavelengthNm);
    r.totalLoss[1] = static_cast<float>(first * spanKm(r.index[1], p) + 0.02);

    // The reference level lies on five samples ending 6 samples before event 1, each event's level
    // on five samples ending 11 samples before it, so that no event's own rise or step enters.
    long long reference = 0;
    const bool levels = p.pulseWidthNs > 10 && r.index[1] >= 10 && meanOfFive(s, r.index[1] - 10LL, reference);
    for (int k = 2; k < n; ++k) {
        if (r.index[k] < 15 || p.pulseWidthNs <= 10 || r.index[1] < 10) {
            r.totalLoss[k] = 0;
            continue;
        }
        long long here = 0;
        if (!levels || !meanOfFive(s, r.index[k] - 15LL, here))
            continue; // the level window leaves the array: the value stays as it was
        float value = static_cast<float>(static_cast<double>(here - reference) / 1000.0 + r.totalLoss[1]);
        if (value <= 0.1f)
            value = 0;
        for (int c = 0; c < k; ++c)
            if (r.totalLoss[c] > value)
                value = 0;
        r.totalLoss[k] = value;
    }
    return r;
}

} // namespace dravik
