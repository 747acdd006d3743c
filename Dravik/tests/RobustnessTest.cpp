// Seeded randomised robustness of the automatic analysis: random and adversarial traces and
// parameter sets (any length, any content, NaN and out-of-range arguments) always give a valid
// record, never a crash, hang or out-of-array read (the sanitizer build checks the latter).
#include "AnalysisSteps.h"
#include "TraceGenerator.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// Checks the invariants of a returned record; returns a description of the first violation.
std::string violation(const Dravik_Result& r, int sampleCount)
{
    if (r.count < 0 || r.count > DRAVIK_MAX_EVENTS)
        return "count " + std::to_string(r.count);
    for (int i = 0; i < r.count; ++i) {
        if (r.type[i] != 0 && r.type[i] != 1)
            return "type " + std::to_string(r.type[i]) + " at " + std::to_string(i);
        if (r.index[i] < 0 || r.index[i] >= std::max(sampleCount, 1))
            return "index " + std::to_string(r.index[i]) + " at " + std::to_string(i);
        if (i > 0 && r.index[i] <= r.index[i - 1])
            return "order at " + std::to_string(i);
        const char c = r.code[i];
        if (c != 'S' && c != 'F' && c != 'E')
            return "code " + std::to_string(static_cast<int>(c)) + " at " + std::to_string(i);
    }
    if (r.count > 0 && r.code[0] != 'S')
        return "first code";
    return {};
}

struct Case {
    std::vector<unsigned short> samples;
    dravik::Params params;
    float loss = 0, reflection = 0;
    int hint = 0;
};

int pick(std::mt19937& g, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(g); }
float pickf(std::mt19937& g, float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(g); }

const int kPulses[] = {3, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000};
const float kRates[] = {12.5f, 25, 50, 100, 200, 400, 75, 500, 1000, 2000};

// Trace content: one of several shapes, many of them hostile to windowed scans.
void fillSamples(std::mt19937& g, std::vector<unsigned short>& s, int n)
{
    s.assign(static_cast<size_t>(n), 0);
    const int shape = pick(g, 0, 9);
    for (int j = 0; j < n; ++j) {
        int v = 0;
        switch (shape) {
        case 0: v = pick(g, 0, 65535); break;                          // white noise over the scale
        case 1: v = 0; break;                                          // full level
        case 2: v = 65535; break;                                      // no signal
        case 3: v = (j * 7919) % 65536; break;                         // sawtooth
        case 4: v = (j / std::max(1, n / 8)) % 2 ? 65535 : 0; break;   // square wave
        case 5: v = 20000 + j / 4 + pick(g, -30, 30); break;           // fibre without end
        case 6: v = j % 97 == 0 ? 0 : 60000 + pick(g, 0, 3000); break; // spikes in the noise
        case 7: v = 65535 - j % 65536; break;                          // rising level
        case 8: v = 30000 + (j % 3) * 20000; break;                    // three-sample pattern
        default: v = 25000 + j + (j % 500 < 5 ? -3000 : 0); break;     // peaks on a steep fall
        }
        s[static_cast<size_t>(j)] = static_cast<unsigned short>(std::clamp(v, 0, 65535));
    }
}

int randomLength(std::mt19937& g, int longest)
{
    switch (pick(g, 0, 5)) {
    case 0: return pick(g, 0, 12);
    case 1: return pick(g, 13, 120);
    case 2: return pick(g, 480, 520);
    case 3: return pick(g, 1990, 3010);
    default: return pick(g, 0, longest);
    }
}

Case randomCase(std::mt19937& g, int longest)
{
    Case c;
    const int n = randomLength(g, longest);
    const int kind = pick(g, 0, 3);
    if (kind == 0 && n > 0) {
        // A generated trace cut or padded to the length.
        tracegen::TraceSpec spec;
        spec.pulseWidthNs = kPulses[pick(g, 0, 11)];
        spec.sampleRateMHz = kRates[pick(g, 0, 9)];
        spec.fibreLengthM = pickf(g, 200, 60000);
        spec.events = {{spec.fibreLengthM * 0.3, 0.3, 0}, {spec.fibreLengthM * 0.6, 0.5, 4.0}};
        spec.sampleCount = n;
        spec.noiseRmsDb = pickf(g, 0, 2);
        spec.seed = static_cast<unsigned>(g());
        c.samples = tracegen::generate(spec).samples;
        c.params.pulseWidthNs = spec.pulseWidthNs;
        c.params.sampleRateMHz = static_cast<float>(spec.sampleRateMHz);
    } else {
        fillSamples(g, c.samples, n);
        c.params.pulseWidthNs = pick(g, 0, 3) == 0 ? pick(g, -100, 30000) : kPulses[pick(g, 0, 11)];
        c.params.sampleRateMHz = pick(g, 0, 2) == 0 ? pickf(g, 1, 2000) : kRates[pick(g, 0, 9)];
    }
    const int wl[] = {1310, 1550, 1625, 850, 0, -1};
    c.params.wavelengthNm = wl[pick(g, 0, 5)];
    c.params.refractiveIndex = pick(g, 0, 4) == 0 ? pickf(g, 0.5f, 3.0f) : 1.4685f;
    c.params.backscatterDb = pickf(g, -90, 10);
    c.loss = pick(g, 0, 3) == 0 ? 0.0f : pickf(g, -1, 5);
    c.reflection = pick(g, 0, 3) == 0 ? 0.0f : pickf(g, -1, 20);
    c.hint = pick(g, 0, 3) == 0 ? pick(g, -5000, 100000) : 0;

    // Hostile arguments now and then.
    switch (pick(g, 0, 15)) {
    case 0: c.params.sampleRateMHz = kNaN; break;
    case 1: c.params.sampleRateMHz = pick(g, 0, 1) ? 0.0f : -50.0f; break;
    case 2: c.params.refractiveIndex = pick(g, 0, 1) ? kNaN : -1.5f; break;
    case 3: c.params.refractiveIndex = pick(g, 0, 1) ? 1e-30f : 1e30f; break;
    case 4: c.loss = kNaN; c.reflection = kNaN; break;
    case 5: c.loss = kInf; c.reflection = -kInf; break;
    case 6: c.hint = pick(g, 0, 1) ? INT_MIN : INT_MAX; break;
    case 7: c.params.pulseWidthNs = pick(g, 0, 1) ? INT_MIN : INT_MAX; break;
    case 8: c.params.sampleRateMHz = pick(g, 0, 1) ? kInf : 1e9f; break;
    case 9: c.params.backscatterDb = kNaN; break;
    default: break;
    }
    return c;
}

TEST(Robustness, RandomAndAdversarialTracesGiveValidRecords)
{
    std::mt19937 g(20261211u);
    const int iterations = kSanitized ? 1200 : 4000;
    const int longest = kSanitized ? 20000 : 60000;
    for (int it = 0; it < iterations; ++it) {
        const Case c = randomCase(g, longest);
        const int n = static_cast<int>(c.samples.size());
        const Dravik_Result r =
            dravik::analyse(c.params, {n > 0 ? c.samples.data() : nullptr, n}, c.loss, c.reflection, c.hint);
        const std::string bad = violation(r, n);
        ASSERT_TRUE(bad.empty()) << bad << " in case " << it << ": N " << n << ", pulse " << c.params.pulseWidthNs
                                 << ", f " << c.params.sampleRateMHz << ", n " << c.params.refractiveIndex;
    }
}

// Short traces around every length at which a window or noise estimate changes its size, with
// every pulse width at its largest window.
TEST(Robustness, EveryShortLengthWithEveryPulseWidth)
{
    std::mt19937 g(7u);
    const int maxLength = kSanitized ? 260 : 620;
    for (int n = 0; n <= maxLength; n += (n < 40 ? 1 : 7)) {
        std::vector<unsigned short> s;
        fillSamples(g, s, n);
        for (int pw : kPulses)
            for (float f : {25.0f, 400.0f, 2000.0f}) {
                const dravik::Params p{1550, pw, 1.4685f, f, 0.0f};
                const Dravik_Result r = dravik::analyse(p, {s.data(), n}, 0, 0, 0);
                const std::string bad = violation(r, n);
                ASSERT_TRUE(bad.empty()) << bad << ": N " << n << ", pulse " << pw << ", f " << f;
            }
    }
}

// The largest traces: a million samples of noise and of a generated fibre.
TEST(Robustness, MillionSampleTraces)
{
    const int n = kSanitized ? 200000 : 1000000;
    std::vector<unsigned short> noise(static_cast<size_t>(n));
    std::mt19937 g(3u);
    for (auto& v : noise)
        v = static_cast<unsigned short>(pick(g, 0, 65535));
    tracegen::TraceSpec spec;
    spec.pulseWidthNs = 1000;
    spec.sampleRateMHz = 400;
    spec.fibreLengthM = 150000;
    spec.sampleCount = n;
    spec.events = {{40000, 0.3, 0}, {90000, 0.5, 4.0}};
    const std::vector<unsigned short> fibre = tracegen::generate(spec).samples;
    for (const std::vector<unsigned short>* s : {&std::as_const(noise), &fibre})
        for (int pw : {3, 100, 10000}) {
            const dravik::Params p{1310, pw, 1.4685f, 400.0f, 0.0f};
            const Dravik_Result r = dravik::analyse(p, {s->data(), n}, 0, 0, 0);
            EXPECT_EQ(violation(r, n), "") << "pulse " << pw;
        }
}

TEST(Robustness, NoSamplesOrUnusableScaleGiveTheInitialRecord)
{
    const std::vector<unsigned short> s(5000, 30000);
    const dravik::Params good{1550, 100, 1.4685f, 50.0f, 0.0f};
    struct {
        const unsigned short* data;
        int count;
        float rate, index;
    } cases[] = {{nullptr, 0, 50, 1.4685f},  {nullptr, 100, 50, 1.4685f}, {s.data(), 0, 50, 1.4685f},
                 {s.data(), -5, 50, 1.4685f}, {s.data(), 5000, kNaN, 1.4685f}, {s.data(), 5000, 0, 1.4685f},
                 {s.data(), 5000, -25, 1.4685f}, {s.data(), 5000, 50, kNaN},  {s.data(), 5000, 50, 0},
                 {s.data(), 5000, kInf, 1.4685f}, {s.data(), 5000, 1e9f, 1.4685f}, {s.data(), 5000, 50, 1e-30f},
                 {s.data(), 5000, 50, 1e30f}};
    for (const auto& c : cases) {
        dravik::Params p = good;
        p.sampleRateMHz = c.rate;
        p.refractiveIndex = c.index;
        const Dravik_Result r = dravik::analyse(p, {c.data, c.count}, 0, 0, 0);
        EXPECT_EQ(r.count, 0);
        EXPECT_FLOAT_EQ(r.valueB, 10.0f);
    }
}

} // namespace
