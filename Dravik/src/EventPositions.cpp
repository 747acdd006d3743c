// Second stage of the automatic analysis: moves each candidate onto the sample where its event
// begins, finds the start of the fibre behind the instrument's own reflection, removes what lies
// in that dead zone and filters weak steps against the loss threshold.
#include "AnalysisSteps.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace dravik {

namespace {

using i64 = std::int64_t;

// Onset of a reflective event: the first sample of the rise in front of its peak.
void reflectiveOnset(const AnalysisContext& c, Dravik_Result& r, int i, int end)
{
    const Samples& s = c.samples;
    const i64 p = r.index[i];
    const i64 h = std::max(c.window / 4, 6);
    const i64 last = std::min<i64>(std::min<i64>(end, p + h), s.count);
    if (last <= p)
        return;  // empty search range: the event keeps its position
    i64 peak = p;
    for (i64 j = p + 1; j < last; ++j)
        if (levelAt(s, j) > levelAt(s, peak))
            peak = j;
    i64 valley = peak;
    for (i64 j = peak - 1; j >= std::max<i64>(p - h, 0) + 1; --j)
        if (levelAt(s, j) < levelAt(s, valley))
            valley = j;
    double threshold = 0;
    const i64 from = std::max<i64>(valley - 10, 0);
    if (from < valley) {
        double steps = 0, levels = 0;
        int nSteps = 0;
        for (i64 j = from; j < valley; ++j) {
            levels += levelAt(s, j);
            if (j >= 1) {
                steps += std::abs(sampleAt(s, j) - sampleAt(s, j - 1));
                ++nSteps;
            }
        }
        threshold = 2 * (nSteps > 0 ? steps / nSteps : 0.0) + levels / static_cast<double>(valley - from);
    }
    i64 run = 0;
    while (peak - run - 1 >= 0 && levelAt(s, peak - run - 1) >= threshold)
        ++run;
    r.index[i] = static_cast<int>(std::max<i64>(peak - run - 1, 0));
}

// Onset of a non-reflective event: the first of W / 8 consecutive one-sample falls steeper than
// half the mean fall around it.
void stepOnset(const AnalysisContext& c, Dravik_Result& r, int i)
{
    const Samples& s = c.samples;
    const i64 w = c.window;
    const i64 p = r.index[i];
    const i64 h = w / 2;
    i64 sum = 0;
    for (i64 j = p - h; j <= p + h - 2; ++j)
        sum += sampleAt(s, j + 1) - sampleAt(s, j);
    const i64 t = (sum / std::max<i64>(w - 1, 1)) / 2;
    const i64 need = std::max<i64>(w / 8, 1);
    i64 run = 0;
    for (i64 j = p - h; j <= p + h - 2; ++j) {
        if (sampleAt(s, j + 1) - sampleAt(s, j) > t) {
            if (++run == need) {
                r.index[i] = static_cast<int>(std::max<i64>(j - run, 0));
                return;
            }
        } else {
            run = 0;
        }
    }
}

// Keeps the events for which keep(i, lastKept) holds (event 0 always), moving every field.
template <class Keep>
void filterEvents(Dravik_Result& r, Keep keep)
{
    if (r.count <= 0)
        return;
    int kept = 1;
    for (int i = 1; i < r.count; ++i)
        if (keep(i, kept - 1)) {
            moveEvent(r, i, kept);
            ++kept;
        }
    r.count = kept;
}

// Drops the events before T; the first one at or after T becomes event 0; after it reflective
// events are kept when more than `reflGap` and non-reflective ones when more than W / 2 behind
// the previously kept event.
void thinFromStart(Dravik_Result& r, int start, int reflGap, int w)
{
    int first = 0;
    while (first < r.count && r.index[first] < start)
        ++first;
    int kept = 0;
    for (int i = first; i < r.count; ++i) {
        if (kept > 0) {
            const i64 gap = static_cast<i64>(r.index[i]) - r.index[kept - 1];
            const bool keep = r.type[i] != 0 ? gap > reflGap : gap > w / 2;
            if (!keep)
                continue;
        }
        moveEvent(r, i, kept);
        ++kept;
    }
    r.count = kept;
}

} // namespace

StartSearch findFibreStart(const AnalysisContext& c)
{
    const Samples& s = c.samples;
    const int w = c.window;
    const int o = std::max(2 * w, 20);
    const int q4 = w / 4;
    const int limit = 2 * o + 3;
    std::vector<int> q(static_cast<size_t>(limit) + 1, 0);

    int highest = 0, p0 = 0, fallCount = 0, returns = 0;
    bool falling = false;
    int e0 = limit;
    for (int k = std::max(q4, 20); k < limit; ++k) {
        q[k] = sampleAt(s, k + 3) - sampleAt(s, k);
        const int v = levelAt(s, k);
        if (v >= highest) {
            if (!falling) {
                highest = v;
                p0 = k;
                fallCount = 0;
            } else if (++returns == 5) {
                e0 = k - 5;
                break;
            }
        } else {
            if (v + 20 < highest && sampleAt(s, k - 1) < sampleAt(s, k) && ++fallCount >= 10)
                falling = true;
            returns = 0;
        }
    }

    StartSearch out;
    double a3 = std::abs(q[p0]);
    if (e0 > p0) {
        double sum = 0;
        for (int k = p0; k < e0; ++k)
            sum += std::abs(q[k]);
        a3 = sum / (e0 - p0);
    }
    out.slopeNoise = a3;

    const int m = std::max(w / 16, 5);
    int run = 0;
    bool found = false;
    int t = 0;
    for (int k = e0; k >= p0 + 3; --k) {
        const int v = sampleAt(s, k);
        if (v - sampleAt(s, k - 1) > 5 && v - sampleAt(s, k - 2) > 5 && v - sampleAt(s, k - 3) > 5) {
            if (++run == m) {
                t = k + m;
                found = true;
                break;
            }
        } else {
            run = 0;
        }
    }
    if (!found)
        t = p0 == 0 ? o : p0;
    out.startValue = t;
    if (t < w / 2) {
        // A start inside the first half window: one pulse length in samples instead.
        const double sub = static_cast<double>(c.params.pulseWidthNs / 40) *
                           (static_cast<double>(c.params.sampleRateMHz) / 25.0);
        t = static_cast<int>(std::clamp(sub, 0.0, static_cast<double>(std::max(s.count - 1, 0))));
    }
    out.start = std::clamp(t, 0, std::max(s.count - 1, 0));  // short traces: inside the array
    return out;
}

PositionedList eventPositions(const AnalysisContext& c, const CandidateList& candidates)
{
    PositionedList out;
    out.record = candidates.record;
    Dravik_Result& r = out.record;
    const Samples& s = c.samples;
    const Params& par = c.params;
    const int w = c.window;
    const int pw = par.pulseWidthNs;
    const int o = std::max(2 * w, 20);
    const int q4 = w / 4;
    const int end = candidates.endPosition;
    const bool shortOutcome = candidates.shortPulseOutcome;
    const float bt = c.thresholds.lossDb;

    // Phase A: onset of each event.
    if (pw >= 10) {
        for (int i = 0; i < r.count; ++i) {
            if (r.type[i] != 0 || pw >= 5000) {
                if (r.index[i] >= 10)
                    reflectiveOnset(c, r, i, end);
            } else if (r.index[i] > w / 2) {
                if (i == r.count - 1)
                    break;
                stepOnset(c, r, i);
            }
        }
    }

    // Phase B: start of the fibre.
    const StartSearch st = findFibreStart(c);
    int t = st.start;
    int t0 = st.startValue;
    if (pw <= 200 && r.count > 0) {
        const i64 d = static_cast<i64>(r.index[0]) - t0;
        int a = o;
        if (d > 2 * o)
            a = 3 * o / 2;
        else if (d <= o)
            a = o / 2;
        if (static_cast<i64>(t0) + a < r.index[0]) {
            const int h = a / 2;
            std::vector<int> q(static_cast<size_t>(std::max(h, 1)), 0);
            i64 sum = 0;
            for (int x = 0; x < h; ++x) {
                q[x] = sampleAt(s, static_cast<i64>(t0) + x + h) - sampleAt(s, static_cast<i64>(t0) + x);
                sum += std::abs(q[x]);
            }
            const double rr = static_cast<double>(sum / std::max(a, 1)) * 0.5;
            const double limit = 2 * st.slopeNoise + rr;
            int hits = 0, misses = 0;
            for (int x = h - 1; x >= 1; --x) {
                if (q[x] > limit) {
                    ++hits;
                } else if (++misses > 1) {
                    hits = misses = 0;
                }
                if (hits > 7) {
                    t0 = t = t0 + x + hits + misses;
                    break;
                }
            }
        }
    }
    t = std::clamp(t, 0, std::max(s.count - 1, 0));
    out.startValue = t0;

    // Phase C: dead zone of the initial reflection, then the section attenuations.
    filterEvents(r, [&](int i, int) {
        return std::llabs(static_cast<i64>(r.index[i]) - t0) > o / 4 || r.type[i] != 0;
    });
    r = sectionAttenuation(r, par, s);

    // Phase D: move each step onto the position of its largest loss.
    if (!shortOutcome && pw <= 20000) {
        float previousAtt = 0;
        for (int i = 0; i + 1 < r.count; ++i) {
            if (r.type[i] != 0)
                continue;
            float att;
            if (r.attenuation[i] > 0)
                att = r.attenuation[i];
            else if (r.attenuation[i + 1] > 0)
                att = r.attenuation[i + 1];
            else if (par.wavelengthNm == 1310 || par.wavelengthNm == 1550 || par.wavelengthNm == 1625)
                att = nominalAttenuation(par.wavelengthNm);
            else
                att = previousAtt;
            previousAtt = att;
            const double fibre = static_cast<double>(att) * 1.25 * w * c.km;
            const i64 p = r.index[i];
            double best = 0;
            i64 bestX = -1;
            for (i64 x = std::max<i64>(p - q4, 0); x < p + 2LL * w && x < s.count; x += 4) {
                i64 before = x - q4;
                if (before <= 0)
                    before = 3;
                const double est = (mean7(s, x + w) - mean7(s, before)) / 1000.0 - fibre;
                if (est > best) {
                    best = est;
                    bestX = x;
                }
            }
            if (bestX >= 0 && bestX != p) {
                r.index[i] = static_cast<int>(bestX);
                r.loss[i] = static_cast<float>(best);
            }
        }
    }

    // Phase E: measurement and the loss filter.
    if (!shortOutcome) {
        r = eventLossAndHeight(r, par, s);
        sortEvents(r);
        filterEvents(r, [&](int i, int lastKept) {
            if (r.type[i] != 0)
                return true;
            const i64 gap = static_cast<i64>(r.index[i]) - r.index[lastKept];
            const int need = r.type[lastKept] != 0 ? o / 2 : o / 4;
            return std::fabs(r.loss[i]) >= bt && gap >= need;
        });
        if (pw >= 20) {
            for (int i = 1; i + 1 < r.count; ++i) {
                const i64 p = r.index[i];
                if (r.type[i] != 0 || p - o / 2 <= 0)
                    continue;
                const i64 from = p - o / 2, to = p + 2LL * o - 11;
                if (to < from)
                    continue;
                i64 sum = 0;
                for (i64 x = from; x <= to; ++x)
                    sum += sampleAt(s, x + 10) - sampleAt(s, x);
                const i64 a = sum / (to - from + 1);
                const i64 threshold = r.loss[i] < 1.0f ? 4 * a / 3 : a;
                int run = 0;
                for (i64 x = from; x <= to; ++x) {
                    if (sampleAt(s, x + 10) - sampleAt(s, x) > threshold) {
                        if (++run == 10) {
                            r.index[i] = static_cast<int>(x - 10);
                            break;
                        }
                    } else {
                        run = 0;
                    }
                }
            }
        }
    }

    // Phase F: second measurement and the start-zone filter, then the end and start events.
    r = eventLossAndHeight(r, par, s);
    if (r.count >= 2) {
        const int last = r.count - 1;
        const int firstIndex = r.index[0];
        int kept = 1;
        for (int i = 1; i <= last; ++i) {
            const i64 p = r.index[i];
            bool keep;
            if (i == last)
                keep = static_cast<i64>(firstIndex) + o / 4 < p;
            else if (r.type[i] != 0)
                keep = p >= static_cast<i64>(t0) + w || r.reflectance[i] > 1.0f;
            else
                keep = p > static_cast<i64>(t0) + 2LL * w;
            if (keep) {
                moveEvent(r, i, kept);
                ++kept;
            }
        }
        r.count = kept;
    }
    if (r.count == 0 || static_cast<i64>(end) - r.index[r.count - 1] > o)
        appendEvent(r, endEventType(c, end), end, 'F');
    appendEvent(r, 1, t, 'F');  // the start: the instrument's own connector
    sortEvents(r);
    thinFromStart(r, t, -1, w);  // reflective events stay whatever the gap

    // Phase G: onset of the first reflective event behind the start.
    if (!shortOutcome && r.count >= 3 && r.type[1] != 0 && static_cast<i64>(r.index[1]) - r.index[0] < o) {
        const i64 from = r.index[1];
        const i64 to = std::min<i64>(std::min<i64>(from + o, r.index[2]), s.count);
        if (to > from) {
            i64 peak = from;
            for (i64 j = from + 1; j < to; ++j)
                if (levelAt(s, j) > levelAt(s, peak))
                    peak = j;
            i64 lower = o / 16 < 6 ? peak - 6 : peak - o / 16;
            lower = std::max<i64>(lower, r.index[0]);
            i64 bestX = peak;
            int bestRise = -1;
            for (i64 x = peak; x >= lower + 1; --x) {
                const int rise = sampleAt(s, x) - sampleAt(s, x + 1);
                if (rise >= 0 && rise >= bestRise) {
                    bestRise = rise;
                    bestX = x;
                }
            }
            r.index[1] = static_cast<int>(bestX);
        }
    }
    thinFromStart(r, t, q4, w);

    // Phase H: onset of the steps by a three-sample slope.
    for (int i = 1; i + 1 < r.count; ++i) {
        if (r.type[i] != 0)
            continue;
        const i64 p = r.index[i];
        if (!(r.index[i - 1] <= p - 2LL * w && p + 2LL * w + 3 <= r.index[i + 1]))
            continue;
        const i64 from = p - 2LL * w, to = p + 2LL * w + 2;
        double sumAbs = 0;
        for (i64 x = from; x <= to; ++x)
            sumAbs += std::abs(sampleAt(s, x + 3) - sampleAt(s, x));
        const double a = sumAbs / static_cast<double>(to - from + 1);
        bool done = false;
        for (int factor = 3; factor >= 1 && !done; --factor) {
            int run = 0, misses = 0;
            for (i64 x = from; x <= to; ++x) {
                if (sampleAt(s, x + 3) - sampleAt(s, x) >= factor * a * 0.5) {
                    ++run;
                    misses = 0;
                } else if (++misses >= 2) {
                    run = 0;
                }
                if (run == 10) {
                    // Never in front of the previous event: the list stays in ascending order.
                    r.index[i] = static_cast<int>(std::max<i64>(x - 10, static_cast<i64>(r.index[i - 1]) + 1));
                    done = true;
                    break;
                }
            }
        }
    }

    // Phase I: final measurement of this stage, the start zone and the codes.
    if (r.count > 0)
        r.attenuation[0] = 0;
    r = sectionAttenuation(r, par, s);
    r = eventLossAndHeight(r, par, s);
    if (r.count >= 2 && r.index[0] < o / 5 && r.index[1] < o / 2 && r.index[1] - r.index[0] < o / 4) {
        for (int i = 1; i < r.count; ++i)
            moveEvent(r, i, i - 1);
        --r.count;
    }
    for (int i = 0; i < r.count; ++i) {
        r.code[i] = 'F';
        if (r.type[i] == 0)
            r.reflectance[i] = 0;  // only reflections carry a height
    }
    if (r.count > 0) {
        r.code[r.count - 1] = 'E';
        r.code[0] = 'S';
    }
    out.start = t;
    return out;
}

} // namespace dravik
