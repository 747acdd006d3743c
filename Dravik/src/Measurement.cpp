// The measurement steps run after every change of the event list: section attenuation, event loss
// and reflection height, reflectance, attenuation plausibility, and the round that chains them.
//
// Every step stays inside the sample array and the record's arrays whatever the event positions:
// sample windows are clipped to the array, and a value that cannot be measured (no sample of its
// window inside the array, no distance scale) keeps what the record held.
#include "EngineInternal.h"
#include "SampleAccess.h"

#include <algorithm>
#include <cmath>

namespace dravik {

namespace {

// Attenuation band of a wavelength inside which a measured section attenuation is plausible.
struct Band {
    bool known = false;
    float low = 0, high = 0, nominal = 0;
};

Band attenuationBand(int wavelengthNm)
{
    switch (wavelengthNm) {
    case 1310: return {true, 0.28f, 0.42f, 0.35f};
    case 1550: return {true, 0.12f, 0.24f, 0.182f};
    case 1625: return {true, 0.12f, 0.26f, 0.192f};
    default: return {};
    }
}

bool outsideBand(const Band& b, float value) { return value < b.low || value > b.high; }

// Span of the section-attenuation step: 2W, or from the pulse width for 2000 ns and more; at least 20.
int sectionSpan(const Params& p, int w)
{
    long long span = 2LL * w;
    if (p.pulseWidthNs >= 2000) {
        const double scaled = static_cast<double>(2LL * p.pulseWidthNs / 40) * (p.sampleRateMHz / 25.0);
        span = std::isfinite(scaled) ? static_cast<long long>(std::clamp(scaled, 0.0, 1e9)) : 0;
    }
    return static_cast<int>(std::max(span, 20LL));
}

} // namespace

int lossSpan(const Params& p)
{
    const int w = analysisWindow(p.pulseWidthNs, p.sampleRateMHz);
    if (p.pulseWidthNs >= 2000)
        return 3 * w;
    return 2 * w <= 20 ? 20 : 2 * w;
}

int measurementReach(const Params& p) { return lossSpan(p) / 2; }

Dravik_Result sectionAttenuation(Dravik_Result r, const Params& p, Samples s)
{
    s = usable(s);
    if (!hasDistanceScale(p))
        return r; // no distance scale: every section keeps its value
    const int w = analysisWindow(p.pulseWidthNs, p.sampleRateMHz);
    const long long l2 = sectionSpan(p, w);
    const double metresPerSample = 150.0 / (static_cast<double>(p.refractiveIndex) * p.sampleRateMHz);
    const double slopeScale = (300.0 / p.refractiveIndex) * (1.0 / p.sampleRateMHz) * 0.5;
    const Band band = attenuationBand(p.wavelengthNm);
    const int n = eventCount(r);

    for (int k = 1; k < n; ++k) {
        const long long p0 = r.index[k - 1];
        const long long p1 = r.index[k];
        long long end = p1 - 10;
        if (end <= 0)
            end = 10;
        const long long q = (p1 - p0) / 8;
        long long start = p0 + q;
        if (start <= 0)
            return r; // this and every later section keep their values
        start = std::max(start, p0 + (3 * l2) / 2);
        r.attenuation[k] = 0;
        end -= q;
        if (end <= p0 + l2 / 8)
            continue;

        const long long m = std::min<long long>(q, 200);
        const long long jEnd = std::min(m, start);
        double sum = 0;
        long long formed = 0;
        for (long long j = 4; j < jEnd; ++j) {
            if (end - start <= 0) {
                ++formed; // no span: the slope counts as 0
                continue;
            }
            if (!inside(s, start + j) || !inside(s, end + j))
                continue; // the pair leaves the array: the window is clipped
            const double diff = static_cast<double>(s.data[end + j]) - static_cast<double>(s.data[start + j]);
            sum += diff / (static_cast<double>(end - start) * slopeScale);
            ++formed;
        }
        float a = formed > 0 ? static_cast<float>(sum / static_cast<double>(formed)) : 0.0f;
        if (band.known && static_cast<double>(end - start) * metresPerSample > 400 && outsideBand(band, a))
            a = band.nominal + (a - band.nominal) / 10;
        r.attenuation[k] = a;
    }
    return r;
}

namespace {

// Reflection height (dB) of the reflective event i; false when its window holds no sample.
bool reflectionHeight(const Dravik_Result& r, int i, int n, long long l2, Samples s, float& height)
{
    const long long at = r.index[i];
    const long long a = l2 / 15;
    long long start = a > 4 ? at - a : at - 4;
    start = std::max<long long>(start, r.index[i - 1]);
    long long end = at + l2 / 2;
    if (i + 1 < n && end > r.index[i + 1]) {
        end = r.index[i + 1] - l2 / 10;
        if (end < at)
            end = r.index[i + 1] - 2LL;
    }
    start = std::max<long long>(start, 0);
    end = std::min<long long>(end, s.count);
    if (end <= start)
        return false;

    int highest = 0, lowest = 65535;
    long long highAt = start, lowAt = start;
    for (long long j = start; j < end; ++j) {
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
    bool lowFound = true;
    if (highAt < lowAt) {
        // The trace falls after its peak: the base is the lowest level in front of the peak.
        lowest = 65535;
        lowFound = false;
        for (long long j = start; j < highAt; ++j) {
            const int v = level(s, j);
            if (v < lowest) {
                lowest = v;
                lowAt = j;
                lowFound = true;
            }
        }
    }
    // With nothing in front of the peak the base stays at the bottom of the scale: the height is
    // not positive, as the event shows no reflection.
    long long base = lowest;
    if (lowFound && lowAt > 50) {
        long long sum = 0;
        for (long long j = lowAt - 4; j <= lowAt; ++j)
            sum += level(s, j); // lowAt - 4 > 46: inside the array
        base = sum / 5;
    }
    height = static_cast<float>(highest - base) / 1000.0f;
    return true;
}

float eventNominalAttenuation(int wavelengthNm)
{
    const float nominal = nominalAttenuation(wavelengthNm);
    return nominal > 0 ? nominal : 0.186f;
}

} // namespace

Dravik_Result eventLossAndHeight(Dravik_Result r, const Params& p, Samples s)
{
    s = usable(s);
    const long long l2 = lossSpan(p);
    const bool scale = hasDistanceScale(p);
    const double nominal = eventNominalAttenuation(p.wavelengthNm);
    const int n = eventCount(r);

    for (int i = 0; i < n; ++i) {
        if (i == 0) {
            if (r.type[0] != 0)
                r.type[0] = 1;
            else
                r.loss[0] = 0;
            continue;
        }
        if (r.type[i] != 0) {
            float height = 0;
            if (reflectionHeight(r, i, n, l2, s, height))
                r.reflectance[i] = height;
        }
        // The last event's loss is set to 0 below; measuring it would only read further behind
        // the end of the fibre.
        if (i == n - 1 || !scale)
            continue;
        const long long at = r.index[i];
        long long before = at - l2 / 8;
        if (before <= 0)
            before = 3;
        long long after = at + l2;
        if (after > r.index[i + 1])
            after = static_cast<long long>(r.index[i + 1]) - 10;
        long long sb = 0, sa = 0;
        if (!clippedMean(s, before - 3, before + 3, sb) || !clippedMean(s, after - 3, after + 3, sa))
            continue;
        const double drop = static_cast<double>(sa - sb) / 1000.0;
        float loss = static_cast<float>(drop - nominal * spanKm(after - before, p));
        if (loss <= 0.005f)
            loss = 0;
        r.loss[i] = loss;
    }
    if (n > 0)
        r.loss[n - 1] = 0;
    return r;
}

Dravik_Result reflectanceFromHeight(Dravik_Result r, const Params& p)
{
    const int n = eventCount(r);
    double pulse = p.pulseWidthNs;
    if (p.pulseWidthNs == 3)
        pulse = 5.0;
    else if (p.pulseWidthNs == 5)
        pulse = 7.5;
    double b = 0;
    switch (p.wavelengthNm) {
    case 1310: b = 79.5; break;
    case 1550: b = 81.0; break;
    case 1625: b = 80.5; break;
    default: break;
    }
    for (int i = 1; i < n; ++i) {
        if (r.type[i] == 0) {
            r.reflectance[i] = 0;
            continue;
        }
        const float h = r.reflectance[i];
        const float x = std::pow(10.0f, h / 5.0f) - 1.0f;
        double reflectance = 70;
        if (pulse <= 0)
            reflectance = 0; // no pulse length: not measurable
        else if (x > 0)
            reflectance = -(10.0 * std::log10(static_cast<double>(x)) + 10.0 * std::log10(pulse * 1e-9)) -
                          (b + p.backscatterDb);
        if (!(reflectance > 12))
            reflectance = 0;
        else if (reflectance >= 70)
            reflectance = 70;
        r.reflectance[i] = static_cast<float>(reflectance);
    }
    return r;
}

Dravik_Result attenuationPlausibility(Dravik_Result r, const Params& p)
{
    const Band band = attenuationBand(p.wavelengthNm);
    if (!band.known)
        return r;
    const int n = eventCount(r);
    for (int i = 0; i < n; ++i)
        if (!(r.attenuation[i] >= band.low && r.attenuation[i] <= band.high))
            r.attenuation[i] = 0;
    return r;
}

Dravik_Result measurementRound(Dravik_Result r, const Params& p, Samples s)
{
    r = sectionAttenuation(r, p, s);
    const int n = eventCount(r);
    if (n > 0)
        r.loss[n - 1] = 0;
    r = eventLossAndHeight(r, p, s);
    r = reflectanceFromHeight(r, p);
    r = totalLoss(r, p, s);
    r = attenuationPlausibility(r, p);
    return r;
}

} // namespace dravik
