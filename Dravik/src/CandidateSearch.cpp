// First half of the automatic analysis: threshold normalisation, noise level, end of the fibre
// and the event candidates (reflective peaks and non-reflective steps).
#include "AnalysisSteps.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace dravik {

namespace {

constexpr int kMaxFound = 99;  // no phase grows a list beyond 99 entries

// Reflective search for short pulses: steep rises of three samples over the mean level.
// Appends the rises to r; returns false when the trace is too short for the search.
void shortPulseRises(const AnalysisContext& c, Dravik_Result& r)
{
    const Samples& s = c.samples;
    const int n = s.count;
    const int w = c.window;
    if (n - 3 <= 5)
        return;

    long long sum = 0;
    int highest = 0;
    for (int j = 5; j < n; ++j) {
        const int v = 65535 - s.data[j];
        sum += v;
        highest = std::max(highest, v);
    }
    const long long m = sum / (n - 5);
    const double factor = highest < 3 * m ? 1.5 : 2.0;

    // q[j] for j = 5 .. n - 4: level above factor x mean; then the three-sample rise of that.
    std::vector<int> q(static_cast<size_t>(n), 0);
    for (int j = 5; j <= n - 4; ++j) {
        const int e = static_cast<int>(static_cast<double>(65535 - s.data[j]) - factor * static_cast<double>(m));
        q[j] = e > 0 ? e : 0;
    }
    for (int j = 5; j <= n - 5; ++j) {
        const int rise = q[j + 3] - q[j];
        q[j] = rise < 300 ? 0 : rise;
    }

    const float f = c.params.sampleRateMHz;
    const int minRun = (f == 200.0f || f == 100.0f || f == 50.0f || f == 25.0f) ? 2 : 3;
    int run = 0;
    auto nearLast = [&](int j) {
        return r.count > 0 && static_cast<long long>(j) - run + 1 < w / 4 + static_cast<long long>(r.index[r.count - 1]);
    };
    for (int j = 5; j <= n - 4 && r.count < kMaxFound; ++j) {
        if (q[j] > 0) {
            ++run;
            if (run > w) {
                if (nearLast(j))
                    continue;
                appendEvent(r, 1, j - run, 'F');
                run = 0;
            }
        } else {
            if (run >= minRun && !nearLast(j))
                appendEvent(r, 1, j - run, 'F');
            run = 0;
        }
    }
}

// The scans below are written in fixed chunks of 16 samples so that the compiler turns them into
// vector code; each keeps the exact result of the plain sample-by-sample loop.

// Sum of |s[j + lag] - s[j]| for j in [a, b); the caller keeps b - 1 + lag inside the array.
long long absDifferenceSum(const unsigned short* s, long long a, long long b, int lag)
{
    long long total = 0;
    long long j = a;
    for (; j + 16 <= b; j += 16) {
        int part = 0;
        for (int k = 0; k < 16; ++k)
            part += std::abs(static_cast<int>(s[j + k + lag]) - static_cast<int>(s[j + k]));
        total += part;
    }
    for (; j < b; ++j)
        total += std::abs(static_cast<int>(s[j + lag]) - static_cast<int>(s[j]));
    return total;
}

// True when some sample of [a, b) is below `bound` (its level above 65535 - bound).
bool anySampleBelow(const unsigned short* s, long long a, long long b, long long bound)
{
    if (bound <= 0)
        return false;
    if (bound > 65535)
        return b > a;
    const int lim = static_cast<int>(bound);
    long long j = a;
    for (; j + 16 <= b; j += 16) {
        int any = 0;
        for (int k = 0; k < 16; ++k)
            any |= static_cast<int>(s[j + k]) < lim;
        if (any)
            return true;
    }
    for (; j < b; ++j)
        if (s[j] < lim)
            return true;
    return false;
}

// First i in [0, formed - 6] with s[i + k + 5] - s[i + k] >= limit for k = 0 .. 5 (six
// consecutive five-sample slopes at or above the limit), or -1. `hits` is scratch of at least
// formed + 16 bytes.
long long firstSixSlopes(const unsigned short* s, long long formed, long long limit, std::vector<unsigned char>& hits)
{
    if (formed < 6)
        return -1;
    if (limit > 65535)
        return -1;
    const int lim = static_cast<int>(std::max<long long>(limit, -65536));
    unsigned char* h = hits.data();
    long long i = 0;
    for (; i + 16 <= formed; i += 16) {
        unsigned char chunk[16];  // local, so the stores cannot alias the samples
        for (int k = 0; k < 16; ++k)
            chunk[k] = static_cast<int>(s[i + k + 5]) - static_cast<int>(s[i + k]) >= lim;
        std::memcpy(h + i, chunk, sizeof chunk);
    }
    for (; i < formed; ++i)
        h[i] = static_cast<int>(s[i + 5]) - static_cast<int>(s[i]) >= lim;
    // Runs of six: fold the hits onto their first position, in place (each position reads only
    // itself and the five after it, which are folded later).
    const long long starts = formed - 5;
    i = 0;
    for (; i + 16 <= starts; i += 16) {
        unsigned char any = 0;
        for (int k = 0; k < 16; ++k) {
            const unsigned char all = h[i + k] & h[i + k + 1] & h[i + k + 2] & h[i + k + 3] & h[i + k + 4] & h[i + k + 5];
            any |= all;
        }
        if (any)
            break;
    }
    for (; i < starts; ++i)
        if (h[i] & h[i + 1] & h[i + 2] & h[i + 3] & h[i + 4] & h[i + 5])
            return i;
    return -1;
}

// Reflective search by blocks: a run of samples above the block's reference level by twice the
// derivative noise.
void blockSearch(const AnalysisContext& c, int end, Dravik_Result& r)
{
    const Samples& s = c.samples;
    const int n = s.count;
    const int w = c.window;
    if (end - w <= 5)
        return;
    int needAbove = w / 10, endAbove = w / 12;
    if (w < 30) {
        needAbove = 6;
        endAbove = 4;
    }
    const int step = std::max(1, w / 2);
    const int first = r.count;
    for (long long b = 0; b < end - w; b += step) {
        long long e = b + w;
        if (e > end - w)
            e = (static_cast<long long>(end) + w > n) ? n - w - 1 : static_cast<long long>(end) + w;
        e = std::min<long long>(e, n);  // every sample read below lies in b .. e - 1
        if (e - 2 <= b)
            continue;
        const long long dsum = e - 2 > b ? absDifferenceSum(s.data, b, e - 2, 2) : 0;
        const long long d = e - 2 - b > 0 ? dsum / (e - 2 - b) : 0;

        long long ref = b;
        while (ref < e - 2) {
            const long long threshold = (65535 - s.data[ref]) + 2 * d;
            // Without a single sample above the threshold the scan below finds nothing.
            if (!anySampleBelow(s.data, ref + 1, e - 2, 65535 - threshold))
                break;
            int above = 0, below = 0;
            long long x = ref + 1;
            bool restarted = false;
            for (; x <= e - 3; ++x) {
                if (65535 - s.data[x] > threshold) {
                    if (below > 0)
                        above = below = 0;
                    else
                        ++above;
                } else {
                    if (above > 0)
                        above = below = 0;
                    else
                        ++below;
                }
                if (above == needAbove && r.count < kMaxFound) {
                    appendEvent(r, 1, static_cast<int>(x - above), 'F');
                    ref = x;
                    restarted = true;
                    break;
                }
            }
            if (restarted)
                continue;
            if (above >= endAbove && r.count < kMaxFound)
                appendEvent(r, 1, static_cast<int>(x - above), 'F');
            break;
        }
    }
    // De-duplication in the order found: keep a find only when it lies more than W behind every
    // find kept before it.
    int kept = first;
    long long highestKept = -1;
    for (int i = first; i < r.count; ++i) {
        if (kept > first && r.index[i] <= highestKept + w)
            continue;
        moveEvent(r, i, kept);
        highestKept = std::max<long long>(highestKept, r.index[kept]);
        ++kept;
    }
    r.count = kept;
}

// One pass of the slope search: blocks of `len` samples starting every `step` samples; in each
// block the first run of six five-sample slopes d[i] = s[o + i + 5] - s[o + i] at or above a
// quarter of the block's mean absolute slope gives a candidate.
void slopePass(const AnalysisContext& c, int end, int blocks, int len, int step, int rejectDistance,
               int minPosition, std::vector<int>& out)
{
    const unsigned short* s = c.samples.data;
    std::vector<unsigned char> hits(static_cast<size_t>(std::max(len, 0)) + 16);
    long long o = 0;
    for (int blk = 0; blk < blocks - 1; ++blk, o += step) {
        // Slopes i = 0 .. formed - 1 with o + i + 5 <= end.
        const long long formed = std::min<long long>(len, end - 5 - o + 1);
        if (formed <= 0)
            break;  // later blocks start even further
        const double mean = static_cast<double>(absDifferenceSum(s, o, o + formed, 5)) / static_cast<double>(formed);
        // d >= 0.25 x mean, as an integer bound for the integer slopes.
        const long long limit = static_cast<long long>(std::ceil(0.25 * mean));
        const long long first = firstSixSlopes(s + o, formed, limit, hits);
        if (first < 0)
            continue;
        // The run reaches six at i = first + 5; the candidate lies at i - 6.
        const long long p = o + first - 1;
        bool close = false;
        for (int q : out)
            if (std::llabs(p - q) < rejectDistance) {
                close = true;
                break;
            }
        if (!close && p > minPosition && std::llabs(c.positionHint - p) >= rejectDistance / 2 &&
            static_cast<int>(out.size()) < kMaxFound)
            out.push_back(static_cast<int>(p));
    }
}

void mergeCandidates(Dravik_Result& r, std::vector<int> list, int distance)
{
    std::sort(list.begin(), list.end());
    for (int p : list) {
        if (r.count >= kMaxFound)
            return;
        bool near = false;
        for (int i = 0; i < r.count; ++i)
            if (std::llabs(static_cast<long long>(r.index[i]) - p) < distance) {
                near = true;
                break;
            }
        if (!near)
            appendEvent(r, 0, p, 'F');
    }
}

} // namespace

Thresholds normaliseThresholds(float lossDb, float reflectionDb, int pulseWidthNs)
{
    Thresholds t;
    t.lossDb = std::isnan(lossDb) ? 0.0f : lossDb;
    t.reflectionDb = std::isnan(reflectionDb) ? 0.0f : reflectionDb;
    if (t.lossDb == 0.0f)
        t.lossDb = 0.05f;
    if (t.reflectionDb == 0.0f)
        t.reflectionDb = 0.05f;
    if (pulseWidthNs <= 10 && t.reflectionDb <= 1.0f)
        t.reflectionDb = 1.0f;
    return t;
}

int noiseLevel(const Samples& s)
{
    const int n = s.count;
    if (n <= 501)
        return 0;
    const int len = (n >= 3000 ? 501 : 201) - 1;
    long long sum = 0;
    for (int j = n - len; j < n; ++j)
        sum += 65535 - s.data[j];
    const int noise = static_cast<int>(sum / len);
    return noise >= 4000 ? 2000 : noise;
}

int coarseEnd(const Samples& s, int window, int noise)
{
    const int n = s.count;
    const int b = std::max(window, 40);
    int end = n - 1;
    for (int i = n - 1; i > 0; i -= b / 2) {
        if (i <= b) {
            end = n - 1;
            break;
        }
        int hits = 0;
        long long sum = 0;
        for (int j = i - b + 1; j <= i; ++j) {
            const int v = 65535 - s.data[j];
            hits += v > 3 * noise;
            sum += v;
        }
        const float share = static_cast<float>(hits) / static_cast<float>(b);
        if (share >= 0.8f && sum / b >= 3LL * noise) {
            end = (i - b) + static_cast<int>(share * static_cast<float>(b));
            break;
        }
    }
    if (static_cast<long long>(end) >= static_cast<long long>(n) - 2LL * window)
        end = static_cast<int>(std::max<long long>(0, static_cast<long long>(n) - 2LL * window - 2));
    return std::clamp(end, 0, std::max(n - 1, 0));
}

int refineEnd(const Samples& s, int window, int end)
{
    const long long w = window;
    if (!(end > 6 * w && end - 2 * w < s.count))
        return end;
    const long long a = end - 2 * w;
    const long long b = std::min<long long>(end + 2 * w, s.count);
    long long sum = 0;
    for (long long j = a; j < b; ++j)
        sum += levelAt(s, j);
    const long long m = sum / (b - a);
    long long peak = a;
    long long best = 0;
    for (long long j = a; j < b; ++j)
        if (levelAt(s, j) - m > best) {
            best = levelAt(s, j) - m;
            peak = j;
        }
    long long m5 = 0;
    for (long long j = a; j < a + 5; ++j)
        m5 += levelAt(s, j);
    m5 /= 5;
    int count = 0;
    for (long long j = peak - 8; j <= peak + 7; ++j) {
        if (levelAt(s, j) - m5 > 100) {
            if (++count == 4)
                return static_cast<int>(std::max<long long>(j - 4, 0));
        } else {
            count = 0;
        }
    }
    // The fall into the noise: five consecutive differences above half their mean.
    long long dsum = 0;
    for (long long j = a; j <= b - 2; ++j)
        dsum += sampleAt(s, j + 1) - sampleAt(s, j);
    const long long t = (dsum / std::max<long long>(4 * w - 1, 1)) / 2;
    count = 0;
    for (long long j = a; j <= b - 2; ++j) {
        if (sampleAt(s, j + 1) - sampleAt(s, j) > t) {
            if (++count == 5)
                return static_cast<int>(j - 5);
        } else {
            count = 0;
        }
    }
    return end;
}

int endEventType(const AnalysisContext& c, int end)
{
    const Samples& s = c.samples;
    if (s.count == 0)
        return 0;
    int highest = 0;
    const long long last = std::min<long long>(static_cast<long long>(end) + c.window, s.count);
    for (long long j = std::max(end, 0); j < last; ++j)
        highest = std::max(highest, levelAt(s, j));
    const double rise = (highest - levelAt(s, static_cast<long long>(end) - 1)) / 1000.0;
    return rise > static_cast<double>(c.thresholds.reflectionDb) ? 1 : 0;
}

CandidateList candidateSearch(const AnalysisContext& c)
{
    CandidateList out;
    out.record = initialRecord();
    Dravik_Result& r = out.record;
    const Samples& s = c.samples;
    const int w = c.window;
    const int pw = c.params.pulseWidthNs;

    out.noiseLevel = noiseLevel(s);
    int end = coarseEnd(s, w, out.noiseLevel);
    end = refineEnd(s, w, end);
    end = std::clamp(end, 0, std::max(s.count - 1, 0));

    bool shortOutcome = false;
    if (pw < 100) {
        shortPulseRises(c, r);
        if (r.count < 20) {
            shortOutcome = true;
            if (r.count > 0) {
                r.code[r.count - 1] = 'E';
                end = r.index[r.count - 1];
            }
        } else {
            for (int i = 0; i < r.count; ++i) {
                r.type[i] = 0;
                r.index[i] = 0;
                r.code[i] = 0;
            }
            r.count = 0;
        }
    }

    if (!shortOutcome) {
        blockSearch(c, end, r);
        if (pw >= 20) {
            const long long blocks = w > 0 ? 2LL * (end - w) / w : 0;
            if (blocks > 1) {
                const int k = static_cast<int>(std::min<long long>(blocks, 1 << 30));
                std::vector<int> first, second;
                slopePass(c, end, k, w, std::max(1, w / 2), w, w / 4, first);
                const int v = 2 * w / 3;
                slopePass(c, end, k, v, std::max(1, v / 2), v, v / 2, second);
                mergeCandidates(r, first, 2 * w);
                mergeCandidates(r, second, w);
            }
        }
    }

    sortEvents(r);

    if (r.count > 0) {
        const int last = r.count - 1;
        if (r.index[last] >= end)
            r.index[last] = end;
        else if (static_cast<long long>(end) >= static_cast<long long>(r.index[last]) + 2LL * w)
            appendEvent(r, endEventType(c, end), end, 'F');
    }
    out.endPosition = end;
    out.shortPulseOutcome = shortOutcome;
    return out;
}

} // namespace dravik
