// The automatic analysis: candidate search, event positions and start of the fibre, then the
// measurement rounds and pruning passes. Also the small record helpers those phases share.
#include "AnalysisSteps.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace dravik {

void moveEvent(Dravik_Result& r, int from, int to)
{
    if (from == to)
        return;
    r.type[to] = r.type[from];
    r.index[to] = r.index[from];
    r.loss[to] = r.loss[from];
    r.reflectance[to] = r.reflectance[from];
    r.attenuation[to] = r.attenuation[from];
    r.totalLoss[to] = r.totalLoss[from];
    r.code[to] = r.code[from];
}

bool appendEvent(Dravik_Result& r, int type, int index, char code)
{
    if (r.count < 0 || r.count >= 99)
        return false;
    const int i = r.count++;
    r.type[i] = type;
    r.index[i] = index;
    r.loss[i] = 0;
    r.reflectance[i] = 0;
    r.attenuation[i] = 0;
    r.totalLoss[i] = 0;
    r.code[i] = code;
    return true;
}

void sortEvents(Dravik_Result& r)
{
    const int n = std::clamp(r.count, 0, DRAVIK_MAX_EVENTS);
    bool sorted = true;
    for (int i = 1; i < n && sorted; ++i)
        sorted = r.index[i - 1] <= r.index[i];
    if (sorted)
        return;
    int order[DRAVIK_MAX_EVENTS];
    std::iota(order, order + n, 0);
    std::stable_sort(order, order + n, [&](int a, int b) { return r.index[a] < r.index[b]; });
    const Dravik_Result old = r;
    for (int i = 0; i < n; ++i) {
        r.type[i] = old.type[order[i]];
        r.index[i] = old.index[order[i]];
        r.loss[i] = old.loss[order[i]];
        r.reflectance[i] = old.reflectance[order[i]];
        r.attenuation[i] = old.attenuation[order[i]];
        r.totalLoss[i] = old.totalLoss[order[i]];
        r.code[i] = old.code[order[i]];
    }
}

bool makeContext(AnalysisContext& c, const Params& p, Samples s, float lossThresholdDb, float reflectionThresholdDb,
                 int positionHint)
{
    // Without samples, or with a frequency or index that gives no usable sample spacing, there
    // is nothing to analyse.
    if (s.data == nullptr || s.count <= 0)
        return false;
    // The bounds are far beyond any instrument; they keep every distance and loss finite.
    const float f = p.sampleRateMHz, n = p.refractiveIndex;
    if (!(f >= 1.0e-3f && f <= 1.0e6f) || !(n >= 1.0e-3f && n <= 1.0e3f))
        return false;
    c.params = p;
    if (!std::isfinite(c.params.backscatterDb))
        c.params.backscatterDb = 0;
    c.samples = s;
    c.thresholds = normaliseThresholds(lossThresholdDb, reflectionThresholdDb, p.pulseWidthNs);
    c.positionHint = positionHint;
    c.window = std::max(analysisWindow(p.pulseWidthNs, f), 1);
    c.km = kmPerSample(n, f);
    if (!std::isfinite(c.km))
        c.km = 0;
    return true;
}

Dravik_Result analyse(const Params& p, Samples s, float lossThresholdDb, float reflectionThresholdDb,
                      int positionHint)
{
    AnalysisContext c;
    if (!makeContext(c, p, s, lossThresholdDb, reflectionThresholdDb, positionHint))
        return initialRecord();
    const CandidateList candidates = candidateSearch(c);
    const PositionedList positioned = eventPositions(c, candidates);
    return pruneEvents(c, positioned.record);
}

} // namespace dravik
