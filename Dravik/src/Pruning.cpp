// Last stage of the automatic analysis: the measurement rounds and the rule-based passes that
// remove events that are too weak, lie in the noise, sit in a reflection's dead zone or on its
// falling edge, or are ghosts of a strong reflection. Every removal goes through removeEvent,
// which re-measures the record, so each rule sees measured values.
#include "AnalysisSteps.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace dravik {

namespace {

using i64 = std::int64_t;

// Nominal attenuation of the pruning rules: 1550 nm's value for any other wavelength.
double pruneNominal(int wavelengthNm)
{
    if (wavelengthNm == 1310)
        return 0.35;
    if (wavelengthNm == 1625)
        return 0.192;
    return 0.182;
}

// Mean level of the four samples in front of x.
int levelBefore(const Samples& s, i64 x)
{
    const int sum = sampleAt(s, x - 4) + sampleAt(s, x - 3) + sampleAt(s, x - 2) + sampleAt(s, x - 1);
    return 65535 - sum / 4;
}

// Integer mean level of the samples first .. last clipped to the array (0 when none).
i64 meanLevel(const Samples& s, i64 first, i64 last)
{
    first = std::max<i64>(first, 0);
    last = std::min<i64>(last, s.count - 1);
    if (last < first)
        return 0;
    i64 sum = 0;
    for (i64 j = first; j <= last; ++j)
        sum += 65535 - s.data[j];
    return sum / (last - first + 1);
}

// Mean level of the positive levels among p - 5 .. p - 2; the level of p - 1 when none is.
double levelInFront(const Samples& s, i64 p)
{
    double sum = 0;
    int n = 0;
    for (i64 j = p - 5; j <= p - 2; ++j) {
        const int v = levelAt(s, j);
        if (v > 0) {
            sum += v;
            ++n;
        }
    }
    return n > 0 ? sum / n : levelAt(s, p - 1);
}

Dravik_Result removeAt(const AnalysisContext& c, const Dravik_Result& r, int i)
{
    return removeEvent(r, i, c.params, c.samples);
}

int lastIndex(const Dravik_Result& r) { return r.count - 1; }

} // namespace

int ghostTolerance(float sampleRateMHz)
{
    const double k = std::trunc(static_cast<double>(sampleRateMHz) / 25.0);
    if (k == 1)
        return 2;
    if (k == 2 || k == 4 || k == 8 || k == 16)
        return 4;
    return 3;
}

TailNoise tailNoise(const Samples& s)
{
    const i64 n = s.count;
    const i64 len = n <= 2000 ? 200 : 500;
    const i64 from = std::max<i64>(n - len, 0);
    TailNoise t;
    i64 steps = 0, stepCount = 0;
    for (i64 j = std::max<i64>(from, 1); j < n; ++j) {
        steps += std::abs(s.data[j] - s.data[j - 1]);
        ++stepCount;
    }
    t.meanStep = stepCount > 0 ? static_cast<int>(steps / stepCount) : 0;
    t.meanLevel = static_cast<int>(meanLevel(s, from, n - 1));
    if (t.meanLevel <= 1000)
        t.meanLevel = 1500;
    else if (t.meanLevel > 3000)
        t.meanLevel = 3000;
    return t;
}

Dravik_Result removeCollected(const AnalysisContext& c, Dravik_Result r, const int* list, int n)
{
    for (int k = 0; k < n; ++k)
        r = removeAt(c, r, list[k] - k);
    return r;
}

Dravik_Result pruneThresholds(const AnalysisContext& c, Dravik_Result r)
{
    const float bt = c.thresholds.lossDb, rt = c.thresholds.reflectionDb;
    std::vector<int> list;
    std::vector<char> collected(static_cast<size_t>(std::max(r.count, 1)), 0);
    for (int i = 1; i + 1 < r.count; ++i) {
        const float loss = r.loss[i];
        bool drop = false;
        if (r.type[i] != 0) {
            drop = r.reflectance[i] < std::fabs(rt) && loss < bt;
        } else if (loss <= std::fabs(bt) || loss <= 0) {
            drop = true;
        } else if (i >= 2) {
            for (int j = 0; j <= i - 2 && !drop; ++j)
                drop = !collected[j] && std::llabs(static_cast<i64>(r.index[i]) - r.index[j]) < c.window;
        }
        if (drop) {
            collected[i] = 1;
            list.push_back(i);
        }
    }
    return removeCollected(c, r, list.data(), static_cast<int>(list.size()));
}

Dravik_Result prunePositionHint(const AnalysisContext& c, Dravik_Result r)
{
    const i64 h = c.positionHint;
    if (h <= 1000)
        return r;
    const i64 w = c.window;
    std::vector<int> list;
    for (int i = 1; i < r.count; ++i) {
        const i64 p = r.index[i];
        const i64 dist = std::llabs(p - h);
        if (dist >= 2 * w)
            continue;
        bool drop;
        if (r.type[i] != 0)
            drop = dist <= w / 2;
        else if (p > h)
            drop = std::fabs(r.loss[i]) <= 0.02f;
        else
            drop = dist <= w;
        if (drop)
            list.push_back(i);
    }
    return removeCollected(c, r, list.data(), static_cast<int>(list.size()));
}

Dravik_Result pruneNoise(const AnalysisContext& c, Dravik_Result r)
{
    const int pw = c.params.pulseWidthNs;
    if (r.count < 3 || pw < 20)
        return r;
    const Samples& s = c.samples;
    const i64 n = s.count;
    const i64 w = c.window;
    const i64 wp = std::max<i64>(w, 16);
    const i64 nz = std::max<i64>(meanLevel(s, n - 502, n - 3), 1000);
    const double nom = pruneNominal(c.params.wavelengthNm);

    for (int i = r.count - 1; i >= 1; --i) {
        const i64 p = r.index[i];
        bool drop = false;
        if (r.type[i] != 0) {
            double d = 0;
            if (p - r.index[i - 1] > 20) {
                double sum = 0;
                for (i64 j = p - 10; j <= p - 3; ++j)
                    sum += std::abs(sampleAt(s, j) - sampleAt(s, j - 1));
                d = sum / 8;
            }
            double b = levelInFront(s, p);
            if (b <= nz)
                b = static_cast<double>(nz + 500);
            i64 hits = 0;
            int misses = 0;
            for (i64 x = p + 2; x <= p + 2 * wp - 1 && x < n - 100; ++x) {
                if (levelAt(s, x) > b + 2 * d) {
                    ++hits;
                    misses = 0;
                } else if (hits >= wp / 8 && ++misses == 5) {
                    break;
                }
            }
            drop = hits < wp / 8 && r.loss[i] < nom * static_cast<double>(wp) * c.km;
        } else {
            drop = p < 2 * w;
            const double b = levelInFront(s, p);
            if (!drop)
                drop = b <= static_cast<double>(2 * nz + 500);
            if (!drop) {
                i64 below = 0;
                int atOrAbove = 0;
                for (i64 x = p + 2; x <= p + wp - 1 && below <= wp / 4; ++x) {
                    if (levelAt(s, x) < b) {
                        ++below;
                        atOrAbove = 0;
                    } else if (++atOrAbove == 3) {
                        below = 0;
                        atOrAbove = 0;
                    }
                }
                drop = below < wp / 4;
            }
            if (!drop && i > 1)
                drop = p - r.index[i - 1] < 3 * w;
            if (!drop) {
                i64 sum = 0;
                for (i64 j = p - 2 * w; j <= p - w - 1; ++j)
                    sum += std::abs(sampleAt(s, j) - sampleAt(s, j + w / 2));
                const i64 md = sum / std::max<i64>(w, 1);
                const float loss = r.loss[i];
                if (c.params.wavelengthNm == 1310)
                    drop = (md > 450 && loss < 0.1f) || (md > 750 && loss < 0.3f);
                else
                    drop = (md > 300 && loss < 0.1f) || (md > 500 && loss < 0.4f);
            }
        }
        if (drop)
            r = removeAt(c, r, i);
    }
    return r;
}

Dravik_Result pruneEndGhosts(const AnalysisContext& c, Dravik_Result r)
{
    if (r.count <= 2)
        return r;
    const Samples& s = c.samples;
    const i64 tol = ghostTolerance(c.params.sampleRateMHz);
    const TailNoise tn = tailNoise(s);
    const i64 nl = tn.meanLevel, nd = tn.meanStep;
    auto p = [&](int i) { return static_cast<i64>(r.index[i]); };

    if (r.count == 3) {
        if (2 * (nl + nd) > levelBefore(s, p(2)) && std::llabs(p(2) - 2 * p(1)) <= tol)
            r = removeAt(c, r, 2);
        return r;
    }
    const int last = lastIndex(r);
    int a = -1, b = -1;
    for (int i = 1; i < r.count; ++i)
        if (r.reflectance[i] != 0) {
            a = i;
            break;
        }
    for (int i = r.count - 2; i >= 1; --i)
        if (r.reflectance[i] != 0) {
            b = i;
            break;
        }
    if (a < 0 || a == last)
        return r;
    if (b == a)
        b = -1;
    const i64 limit = nl + 2 * nd;
    auto ghostOf = [&](i64 x, i64 y) { return std::llabs(std::llabs(x - y) - p(a)) <= tol; };
    if (b < 0) {
        if (limit > levelBefore(s, p(last)) && std::llabs(p(last) - 2 * p(a)) <= tol)
            r = removeAt(c, r, last);
    } else if (ghostOf(p(last), p(b))) {
        if (limit > levelBefore(s, p(last)))
            r = removeAt(c, r, last);
        if (ghostOf(p(b), p(a)) && limit > levelBefore(s, p(b)))
            r = removeAt(c, r, b);
    } else if (ghostOf(p(last), p(a))) {
        if (limit > levelBefore(s, p(last)))
            r = removeAt(c, r, last);
    } else if (ghostOf(p(b), p(a))) {
        if (limit > levelBefore(s, p(b)))
            r = removeAt(c, r, b);
    }
    return r;
}

Dravik_Result pruneTailGhosts(const AnalysisContext& c, Dravik_Result r)
{
    const int pw = c.params.pulseWidthNs;
    if (pw < 3 || pw > 999)
        return r;
    const Samples& s = c.samples;
    const i64 tol = ghostTolerance(c.params.sampleRateMHz);
    const i64 nl = tailNoise(s).meanLevel;
    const int repeats = r.count - 2;
    for (int k = 0; k < repeats && r.count >= 2; ++k) {
        const int last = lastIndex(r);
        const i64 pl = r.index[last], pp = r.index[last - 1];
        const i64 g = pl - pp;
        const i64 len = g < 100 ? 20 : 50;
        if (len > g)
            continue;
        i64 levels = 0, steps = 0;
        for (i64 j = pl - len + 1; j <= pl; ++j) {
            levels += levelAt(s, j);
            steps += std::abs(sampleAt(s, j) - sampleAt(s, j - 2));
        }
        const i64 lk = levels / len;
        const i64 dk = std::max<i64>(steps / len, 500);
        if (lk < nl + 2 * dk && std::llabs(pl - 2 * pp) < 5 * tol)
            r = removeAt(c, r, last);
    }
    return r;
}

Dravik_Result pruneEndEvent(const AnalysisContext& c, Dravik_Result r)
{
    const i64 w = c.window;
    if (r.count <= 2 || r.index[lastIndex(r)] <= 3 * w)
        return r;
    const Samples& s = c.samples;
    const int last = lastIndex(r);
    const i64 pl = r.index[last];
    const i64 g = pl - r.index[last - 1];
    const i64 m = c.params.pulseWidthNs <= 200 ? 14 * w : 10 * w;
    const bool previousReflective = r.type[last - 1] != 0;
    if (g > 2 * w && g < 5 * w) {
        r.code[last] = 'E';
    } else if (g >= 5 * w && g < m && !previousReflective) {
        const i64 lv3 = 65535 - (sampleAt(s, pl - 1) + sampleAt(s, pl) + sampleAt(s, pl + 1)) / 3;
        if (lv3 < 3 * meanLevel(s, s.count - 500, s.count - 1)) {
            r = removeAt(c, r, last);
        } else {
            double sum = 0;
            int n = 0;
            for (i64 j = pl - w / 4 + 1; j <= pl - 1; ++j) {
                sum += std::abs(sampleAt(s, j) - sampleAt(s, j - 1));
                ++n;
            }
            if (n > 0 && sum / n > 100)
                r = removeAt(c, r, last);
        }
    } else if (g >= 5 * w && g < m) {
        i64 sum = 0;
        for (int k = 0; k <= 4; ++k)
            sum += std::abs(sampleAt(s, pl - 1 - k) - sampleAt(s, pl - 3 - k));
        if (2.0 * static_cast<double>(sum) / 5000.0 > r.reflectance[last - 1])
            r = removeAt(c, r, last);
    } else if (g <= 2 * w) {
        if (!previousReflective || (c.params.pulseWidthNs >= 100 && g <= w))
            r = removeAt(c, r, last);
    }
    return r;
}

Dravik_Result pruneDeadZone(const AnalysisContext& c, Dravik_Result r)
{
    if (c.params.pulseWidthNs < 1000)
        return r;
    const i64 w = c.window;
    std::vector<int> list;
    for (int i = 1; i < r.count; ++i) {
        if (r.type[i] != 0)
            continue;
        const bool inZone = i == 1 ? r.index[1] < 2 * w
                                   : r.type[i - 1] != 0 && static_cast<i64>(r.index[i]) - r.index[i - 1] < 2 * w;
        if (inZone)
            list.push_back(i);
    }
    return removeCollected(c, r, list.data(), static_cast<int>(list.size()));
}

Dravik_Result pruneDoubleEnd(const AnalysisContext& c, Dravik_Result r)
{
    if (r.count < 3)
        return r;
    const int last = lastIndex(r);
    if (r.type[last] != 0 && r.type[last - 1] != 0 &&
        static_cast<i64>(r.index[last]) - r.index[last - 1] < c.window / 4)
        r = removeAt(c, r, last);
    return r;
}

Dravik_Result pruneFallingTail(const AnalysisContext& c, Dravik_Result r)
{
    const Samples& s = c.samples;
    const i64 w = c.window;
    int refl = 0;
    for (int i = 1; i < r.count; ++i)
        if (r.type[i] != 0)
            refl = i;
    const double fibre = 2 * pruneNominal(c.params.wavelengthNm) * static_cast<double>(w) * c.km;
    while (r.count > 2) {
        const int last = lastIndex(r);
        if (refl >= last || r.type[last] != 0 || r.index[last] >= static_cast<i64>(r.index[refl]) + 10 * w)
            break;
        const i64 pl = r.index[last];
        i64 sum = 0;
        for (int k = 0; k <= 4; ++k)
            sum += sampleAt(s, pl - k) - sampleAt(s, pl - w - k);
        if (fibre > static_cast<double>(sum) / 5000.0)
            break;
        r = removeAt(c, r, last);
    }
    return r;
}

Dravik_Result pruneWeakReflections(const AnalysisContext& c, Dravik_Result r)
{
    const int pw = c.params.pulseWidthNs;
    if (pw > 100)
        return r;
    float minHeight = 0;
    switch (pw) {
    case 3: minHeight = 3.0f; break;
    case 5: minHeight = 2.0f; break;
    case 10: minHeight = 1.5f; break;
    case 20: minHeight = 1.0f; break;
    case 50: minHeight = 0.4f; break;
    case 100: minHeight = 0.2f; break;
    default: break;
    }
    std::vector<int> list;
    for (int i = 1; i + 1 < r.count; ++i)
        if (r.type[i] != 0 && r.reflectance[i] <= minHeight)
            list.push_back(i);
    return removeCollected(c, r, list.data(), static_cast<int>(list.size()));
}

Dravik_Result pruneReflectionTail(const AnalysisContext& c, Dravik_Result r)
{
    if (r.count <= 2)
        return r;
    const Samples& s = c.samples;
    const i64 w = c.window;
    for (int i = lastIndex(r); i >= 1; --i) {
        if (r.type[i] != 0)
            continue;
        if (i == 1)
            break;
        bool reflectionBefore = false;
        for (int j = 1; j < i; ++j)
            reflectionBefore = reflectionBefore || r.type[j] != 0;
        if (!reflectionBefore)
            break;
        // The nearest peak: only the two windows in front of the step count, so a splice far
        // behind a reflection is not compared with the fibre's own level at that reflection.
        const i64 p = r.index[i];
        const i64 from = std::max<i64>(static_cast<i64>(r.index[i - 1]) - w + 1, p - 2 * w);
        i64 xm = p;
        for (i64 x = p - 1; x >= from; --x)
            if (levelAt(s, x) > levelAt(s, xm))
                xm = x;
        bool onEdge = true;
        for (int k = 0; k <= 2 && onEdge; ++k)
            onEdge = sampleAt(s, p - k) - sampleAt(s, xm - k) > 400;
        if (onEdge)
            r = removeAt(c, r, i);
    }
    return r;
}

Dravik_Result pruneEvents(const AnalysisContext& c, Dravik_Result r)
{
    const Params& par = c.params;
    const Samples& s = c.samples;

    // Measurement round 1 (heights stay in the reflectance field).
    r = sectionAttenuation(r, par, s);
    r = eventLossAndHeight(r, par, s);
    r = totalLoss(r, par, s);
    r = attenuationPlausibility(r, par);

    r = pruneThresholds(c, r);
    r = prunePositionHint(c, r);
    r = pruneNoise(c, r);
    r = pruneEndGhosts(c, r);
    r = pruneTailGhosts(c, r);
    r = eventLossAndHeight(r, par, s);

    r = pruneEndEvent(c, r);
    r = pruneDeadZone(c, r);
    r = pruneDoubleEnd(c, r);
    r = pruneThresholds(c, r);

    // Measurement round 2.
    r = sectionAttenuation(r, par, s);
    if (r.count > 1)
        r.code[r.count - 1] = 'E';  // a lone start event keeps its 'S'

    r = eventLossAndHeight(r, par, s);
    r = reflectanceFromHeight(r, par);
    r = totalLoss(r, par, s);
    r = attenuationPlausibility(r, par);

    r = pruneFallingTail(c, r);
    r = sectionAttenuation(r, par, s);
    r = eventLossAndHeight(r, par, s);

    r = pruneWeakReflections(c, r);
    r = pruneReflectionTail(c, r);

    return measurementRound(r, par, s);
}

} // namespace dravik
