// Checks that generated traces look the way their description says: levels, steps, peaks,
// the noise floor and the list of true events.
#include "TraceGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

namespace {

using tracegen::EventSpec;
using tracegen::Trace;
using tracegen::TraceSpec;
using tracegen::TrueEvent;

// Level in dB below the top of the scale.
double dbOf(uint16_t s) { return s / 1000.0; }

// Least-squares line through the levels of samples [first, last): level(i) = a + b i.
struct Line {
  double a = 0;
  double b = 0;
  double at(double i) const { return a + b * i; }
};
Line fit(const Trace& t, int first, int last) {
  double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
  for (int i = first; i < last; ++i) {
    const double y = dbOf(t.samples[static_cast<size_t>(i)]);
    n += 1;
    sx += i;
    sy += y;
    sxx += double(i) * i;
    sxy += i * y;
  }
  Line l;
  l.b = (n * sxy - sx * sy) / (n * sxx - sx * sx);
  l.a = (sy - l.b * sx) / n;
  return l;
}

// Standard deviation of the levels around a fitted line.
double spreadAround(const Trace& t, int first, int last) {
  const Line l = fit(t, first, last);
  double s2 = 0;
  for (int i = first; i < last; ++i) s2 += std::pow(dbOf(t.samples[static_cast<size_t>(i)]) - l.at(i), 2);
  return std::sqrt(s2 / (last - first));
}

double median(std::vector<double> v) {
  std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
  return v[v.size() / 2];
}

// The first example link: 10 km at 1310 nm, 100 ns, 50 MHz, splices at 2.5 and 7.5 km and a
// connector at 5 km.
TraceSpec tenKm() {
  TraceSpec s;
  s.events = {{7500, 0.3, 0}, {2500, 0.3, 0}, {5000, 0.5, 4}};  // deliberately out of order
  return s;
}

TEST(TraceGeneratorTest, TrueEventsLieWhereTheDescriptionPutsThem) {
  const Trace t = tracegen::generate(tenKm());
  const double mps = 150.0 / (1.4677 * 50.0);
  EXPECT_DOUBLE_EQ(t.metresPerSample, mps);
  EXPECT_DOUBLE_EQ(t.pulseSamples, 5.0);
  EXPECT_DOUBLE_EQ(t.attenuationDbKm, 0.35);

  const int end = static_cast<int>(std::lround(10000 / mps));
  ASSERT_EQ(t.events.size(), 5u);
  struct Expected {
    int index;
    bool reflective;
    double loss;
    double height;
    bool start;
    bool isEnd;
  };
  const Expected expected[] = {
      {0, true, 0.0, 20.0, true, false},
      {static_cast<int>(std::lround(2500 / mps)), false, 0.3, 0.0, false, false},
      {static_cast<int>(std::lround(5000 / mps)), true, 0.5, 4.0, false, false},
      {static_cast<int>(std::lround(7500 / mps)), false, 0.3, 0.0, false, false},
      {end, true, 0.0, 12.0, false, true},
  };
  for (size_t k = 0; k < t.events.size(); ++k) {
    SCOPED_TRACE(k);
    const TrueEvent& e = t.events[k];
    EXPECT_EQ(e.index, expected[k].index);
    EXPECT_EQ(e.reflective, expected[k].reflective);
    EXPECT_DOUBLE_EQ(e.lossDb, expected[k].loss);
    EXPECT_DOUBLE_EQ(e.reflectionDb, expected[k].height);
    EXPECT_EQ(e.isStart, expected[k].start);
    EXPECT_EQ(e.isEnd, expected[k].isEnd);
  }
  // The automatic length leaves a tail of noise of at least 1000 samples behind the end.
  EXPECT_GE(static_cast<int>(t.samples.size()), end + 1000);
}

TEST(TraceGeneratorTest, SampleCountCutsTheTraceAndItsEvents) {
  TraceSpec s = tenKm();
  s.sampleCount = 16384;
  EXPECT_EQ(tracegen::generate(s).samples.size(), 16384u);
  EXPECT_TRUE(tracegen::generate(s).events.back().isEnd);

  // Cut between the connector and the last splice: neither the splice nor the end is listed.
  s.sampleCount = 3000;
  const Trace t = tracegen::generate(s);
  ASSERT_EQ(t.samples.size(), 3000u);
  ASSERT_EQ(t.events.size(), 3u);
  EXPECT_TRUE(t.events[0].isStart);
  EXPECT_DOUBLE_EQ(t.events[2].reflectionDb, 4.0);
}

// Between events the level falls by the fibre attenuation: per sample attenuation x metres per
// sample / 1000 dB, with and without noise, for each wavelength's default attenuation.
TEST(TraceGeneratorTest, LevelFallsAtTheAttenuationBetweenEvents) {
  struct Case {
    int wavelength;
    int pulseNs;
    double rateMHz;
    double attenuation;  // below 0: the wavelength's default
    double expected;
    double noiseDb;
  };
  const Case cases[] = {
      {1310, 100, 50, -1, 0.35, 0.0},  {1310, 100, 50, -1, 0.35, 1.0}, {1550, 1000, 25, -1, 0.19, 1.0},
      {1625, 30, 100, -1, 0.21, 0.5}, {1310, 100, 50, 0.5, 0.5, 1.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.wavelength);
    TraceSpec s;
    s.wavelengthNm = c.wavelength;
    s.pulseWidthNs = c.pulseNs;
    s.sampleRateMHz = c.rateMHz;
    s.attenuationDbKm = c.attenuation;
    s.noiseRmsDb = c.noiseDb;
    s.fibreLengthM = 20000;
    s.launchLevelDb = 25;
    s.noiseFloorDb = 62;  // far below the fibre, where the floor does not bend the level
    s.events = {{10000, 1.0, 3}};
    const Trace t = tracegen::generate(s);
    EXPECT_DOUBLE_EQ(t.attenuationDbKm, c.expected);
    const int event = t.events[1].index;
    const int guard = 3 * static_cast<int>(t.pulseSamples) + 60;  // clear of dead zone and event
    const double perSample = c.expected * t.metresPerSample / 1000.0;
    EXPECT_NEAR(fit(t, guard, event - 5).b, perSample, perSample * 0.02);
    EXPECT_NEAR(fit(t, event + guard, t.events.back().index - guard).b, perSample, perSample * 0.02);
  }
}

// An event changes nothing before its index and takes about one pulse to step down by its loss.
TEST(TraceGeneratorTest, EventStepsDownByItsLossAtItsIndex) {
  struct Case {
    int pulseNs;
    double rateMHz;
    double loss;
    double height;
  };
  const Case cases[] = {
      {100, 50, 0.1, 0}, {100, 50, 0.3, 0}, {1000, 25, 1.5, 0}, {10, 100, 0.5, 0},
      {100, 50, -0.2, 0},  // a gainer steps up
      {100, 50, 0.5, 4},  {1000, 25, 0.8, 15},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.loss);
    TraceSpec with;
    with.pulseWidthNs = c.pulseNs;
    with.sampleRateMHz = c.rateMHz;
    with.noiseRmsDb = 0;
    with.launchLevelDb = 25;
    with.noiseFloorDb = 62;  // far below, so that the floor does not shrink the step
    with.events = {{5000, c.loss, c.height}};
    TraceSpec without = with;
    without.events.clear();
    const Trace t = tracegen::generate(with);
    const Trace plain = tracegen::generate(without);
    const int k = t.events[1].index;
    const int pulse = std::max(1, static_cast<int>(std::lround(t.pulseSamples)));

    for (int i = 0; i < k; ++i) ASSERT_EQ(t.samples[i], plain.samples[i]) << "sample " << i;
    EXPECT_NE(t.samples[k], plain.samples[k]);

    // Well after the event, the trace runs parallel to the one without it, lower by the loss.
    for (int i = k + 5 * pulse + 30; i < k + 5 * pulse + 200; ++i)
      ASSERT_NEAR(dbOf(t.samples[i]) - dbOf(plain.samples[i]), c.loss, 0.0015) << "sample " << i;
  }
}

// A reflective event peaks at the given height above the backscatter before it, within about
// one pulse of its index; the same holds for the end reflection.
TEST(TraceGeneratorTest, ReflectionsPeakAtTheirHeight) {
  struct Case {
    int pulseNs;
    double rateMHz;
    double height;
    double endHeight;
  };
  const Case cases[] = {{100, 50, 4, 12}, {100, 50, 0.8, 6}, {1000, 25, 10, 20}, {20, 100, 2, 25}, {3, 25, 3, 8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.height);
    TraceSpec s;
    s.pulseWidthNs = c.pulseNs;
    s.sampleRateMHz = c.rateMHz;
    s.noiseRmsDb = 0;
    s.endReflectionDb = c.endHeight;
    s.events = {{5000, 0.5, c.height}};
    const Trace t = tracegen::generate(s);
    const int pulse = std::max(1, static_cast<int>(std::lround(t.pulseSamples)));
    for (const TrueEvent& e : {t.events[1], t.events[2]}) {
      const Line before = fit(t, e.index - 100, e.index);
      const auto first = t.samples.begin() + e.index;
      const uint16_t top = *std::min_element(first, first + pulse + 3);
      const double measured = before.at(e.index) - dbOf(top);
      EXPECT_NEAR(measured, e.reflectionDb, 0.02) << "at " << e.index;
    }
  }
}

// After the end: the noise floor's median at the given level and its spread in dB as given;
// before the end the noise in dB grows as the backscatter approaches the floor.
TEST(TraceGeneratorTest, NoiseFloorAfterTheEndAndNoiseGrowingTowardsIt) {
  struct Case {
    double floorDb;
    double rmsDb;
  };
  const Case cases[] = {{0, 1.0}, {50, 0.5}, {58, 2.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.floorDb);
    TraceSpec s;
    s.fibreLengthM = 30000;
    s.noiseFloorDb = c.floorDb;
    s.noiseRmsDb = c.rmsDb;
    s.sampleCount = 30000;
    const Trace t = tracegen::generate(s);
    const double floorDb = c.floorDb > 0 ? c.floorDb : tracegen::defaultNoiseFloorDb;
    EXPECT_DOUBLE_EQ(t.noiseFloorDb, floorDb);
    EXPECT_DOUBLE_EQ(t.launchLevelDb, floorDb - tracegen::dynamicRangeDb(100));

    std::vector<double> tail;
    for (size_t i = static_cast<size_t>(t.events.back().index) + 50; i < t.samples.size(); ++i) tail.push_back(dbOf(t.samples[i]));
    EXPECT_NEAR(median(tail), floorDb, 0.1);
    // Spread measured robustly (interquartile range of a normal distribution is 1.349 sigma).
    std::sort(tail.begin(), tail.end());
    const double iqr = tail[tail.size() * 3 / 4] - tail[tail.size() / 4];
    EXPECT_NEAR(iqr / 1.349, c.rmsDb, c.rmsDb * 0.15);

    const int end = t.events.back().index;
    const double nearStart = spreadAround(t, 200, 1200);
    const double nearEnd = spreadAround(t, end - 1100, end - 100);
    EXPECT_LT(nearStart, 0.02);
    EXPECT_GT(nearEnd, 2 * nearStart);
  }
}

TEST(TraceGeneratorTest, SeedDeterminesTheNoise) {
  TraceSpec s = tenKm();
  const Trace a = tracegen::generate(s);
  EXPECT_EQ(a.samples, tracegen::generate(s).samples);
  s.seed = 2;
  const Trace b = tracegen::generate(s);
  EXPECT_NE(a.samples, b.samples);
  // The seed changes only the noise, never the events.
  ASSERT_EQ(a.events.size(), b.events.size());
  for (size_t k = 0; k < a.events.size(); ++k) EXPECT_EQ(a.events[k].index, b.events[k].index);
}

// Levels above the top of the scale read 0 and levels below its bottom 65535: a saturated
// launch and a floor at the bottom of the scale must not wrap round.
TEST(TraceGeneratorTest, SamplesAreClampedToTheScale) {
  TraceSpec s;
  s.launchLevelDb = 3;
  s.launchReflectionDb = 25;
  s.noiseFloorDb = 65;
  s.noiseRmsDb = 3;
  const Trace t = tracegen::generate(s);
  EXPECT_EQ(t.samples[0], 0);
  EXPECT_EQ(t.samples[1], 0);
  const auto tailBegin = t.samples.begin() + t.events.back().index + 50;
  EXPECT_EQ(*std::max_element(tailBegin, t.samples.end()), 65535);
  EXPECT_GT(*std::min_element(tailBegin, t.samples.end()), 50000);
  EXPECT_GT(std::count(tailBegin, t.samples.end(), uint16_t{65535}), 10);
}

// The launch peak is followed by the dead zone: the level is back on the backscatter line
// (within 0.01 dB) once the dead zone is over, and still well above it halfway through.
TEST(TraceGeneratorTest, LaunchDeadZoneEndsWhereDescribed) {
  TraceSpec s;
  s.noiseRmsDb = 0;
  s.launchDeadZoneM = 200;
  const Trace t = tracegen::generate(s);
  const Line line = fit(t, 300, 1200);
  const int deadZone = static_cast<int>(std::lround(200 / t.metresPerSample));
  EXPECT_LT(std::abs(dbOf(t.samples[deadZone + 2]) - line.at(deadZone + 2)), 0.01);
  EXPECT_GT(line.at(deadZone / 2) - dbOf(t.samples[deadZone / 2]), 0.1);
  EXPECT_LT(dbOf(t.samples[0]), t.launchLevelDb - 19.0);  // the peak itself, 20 dB above the launch level
}

TEST(TraceGeneratorTest, ImpossibleDescriptionsAreRefused) {
  const std::vector<void (*)(TraceSpec&)> faults = {
      [](TraceSpec& s) { s.sampleRateMHz = 0; },
      [](TraceSpec& s) { s.refractiveIndex = -1.46; },
      [](TraceSpec& s) { s.pulseWidthNs = 0; },
      [](TraceSpec& s) { s.fibreLengthM = 0; },
      [](TraceSpec& s) { s.sampleCount = -1; },
      [](TraceSpec& s) { s.sampleCount = tracegen::maxSamples + 1; },
      [](TraceSpec& s) { s.fibreLengthM = 1e12; },
      [](TraceSpec& s) { s.events = {{10000, 0.2, 0}}; },  // at the end
      [](TraceSpec& s) { s.events = {{0, 0.2, 0}}; },      // at the launch
      [](TraceSpec& s) { s.events = {{5000, 0.2, -3}}; },
      [](TraceSpec& s) { s.events = {{5000, std::nan(""), 0}}; },
      [](TraceSpec& s) { s.noiseRmsDb = std::numeric_limits<double>::infinity(); },
      [](TraceSpec& s) { s.fibreLengthM = 1, s.events = {{0.5, 0.1, 0}}; },  // shorter than two samples
      [](TraceSpec& s) { s.launchLevelDb = 30, s.noiseFloorDb = 29; },  // floor above the launch level
      [](TraceSpec& s) { s.noiseFloorDb = 66; },  // beyond the scale
      [](TraceSpec& s) { s.launchLevelDb = -1; },
      [](TraceSpec& s) { s.noiseFloorDb = 10; },  // the automatic launch level would lie above the top
  };
  for (size_t k = 0; k < faults.size(); ++k) {
    TraceSpec s;
    faults[k](s);
    EXPECT_THROW(tracegen::generate(s), std::invalid_argument) << "fault " << k;
  }
}

}  // namespace
