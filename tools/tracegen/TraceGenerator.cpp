#include "TraceGenerator.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <stdexcept>
#include <string>

namespace tracegen {

namespace {

// Linear power of a level given in dB below the top of the scale.
double powerOf(double dbBelowTop) { return std::pow(10.0, -dbBelowTop / 10.0); }

// Linear ratio of a height in dB minus one: the extra power a peak of that height adds.
double excessOf(double heightDb) { return std::pow(10.0, heightDb / 10.0) - 1.0; }

// Standard normal numbers from mt19937. std::normal_distribution
// is not the same on every standard library; this is, so a seed names one trace everywhere.
class Gaussian {
 public:
  explicit Gaussian(unsigned seed) : engine_(seed) {}
  double next() {
    if (hasSpare_) {
      hasSpare_ = false;
      return spare_;
    }
    // Marsaglia's polar method: a point uniform in the unit disc gives two normal numbers.
    double u, v, q;
    do {
      u = 2.0 * uniform() - 1.0;
      v = 2.0 * uniform() - 1.0;
      q = u * u + v * v;
    } while (q >= 1.0 || q == 0.0);
    const double f = std::sqrt(-2.0 * std::log(q) / q);
    spare_ = v * f;
    hasSpare_ = true;
    return u * f;
  }

 private:
  double uniform() { return (static_cast<double>(engine_()) + 0.5) / 4294967296.0; }  // (0, 1)
  std::mt19937 engine_;
  double spare_ = 0;
  bool hasSpare_ = false;
};

void require(bool ok, const std::string& what) {
  if (!ok) throw std::invalid_argument("tracegen: " + what);
}

}  // namespace

double nominalAttenuation(int wavelengthNm) {
  switch (wavelengthNm) {
    case 1550: return 0.19;
    case 1625: return 0.21;
    default: return 0.35;
  }
}

double dynamicRangeDb(int pulseWidthNs) {
  // Roughly 18 dB at 10 ns, 24 dB at 100 ns, 30 dB at 1 us, 36 dB at 10 us.
  return 12.0 + 6.0 * std::log10(std::max(pulseWidthNs, 1));
}

int indexAt(double distanceM, double metresPerSample) {
  return static_cast<int>(std::lround(distanceM / metresPerSample));
}

Trace generate(const TraceSpec& spec) {
  require(spec.sampleRateMHz > 0, "sampling rate must be positive");
  require(spec.refractiveIndex > 0, "refractive index must be positive");
  require(spec.pulseWidthNs > 0, "pulse width must be positive");
  require(spec.fibreLengthM > 0, "fibre length must be positive");
  require(spec.sampleCount >= 0, "sample count must not be negative");
  require(spec.noiseRmsDb >= 0 && std::isfinite(spec.noiseRmsDb), "noise must be a finite, non-negative number");
  require(std::isfinite(spec.launchReflectionDb) && std::isfinite(spec.endReflectionDb) && std::isfinite(spec.attenuationDbKm),
          "heights and attenuation must be finite");
  require(spec.launchLevelDb >= 0 && spec.noiseFloorDb >= 0, "levels must lie below the top of the scale");

  Trace trace;
  trace.metresPerSample = 150.0 / (spec.refractiveIndex * spec.sampleRateMHz);
  trace.pulseSamples = spec.pulseWidthNs * spec.sampleRateMHz / 1000.0;
  trace.attenuationDbKm = spec.attenuationDbKm < 0 ? nominalAttenuation(spec.wavelengthNm) : spec.attenuationDbKm;
  trace.noiseFloorDb = spec.noiseFloorDb > 0 ? spec.noiseFloorDb : defaultNoiseFloorDb;
  trace.launchLevelDb = spec.launchLevelDb > 0 ? spec.launchLevelDb : trace.noiseFloorDb - dynamicRangeDb(spec.pulseWidthNs);
  require(trace.launchLevelDb >= 0, "launch level must lie below the top of the scale");
  require(trace.noiseFloorDb > trace.launchLevelDb, "noise floor must lie below the launch level");
  require(trace.noiseFloorDb < 65.535, "noise floor must lie on the scale");

  const double mps = trace.metresPerSample;
  require(spec.fibreLengthM / mps <= maxSamples && trace.pulseSamples <= maxSamples, "fibre or pulse too long");
  require(spec.sampleCount <= maxSamples, "too many samples");
  const int pulse = std::max(1, static_cast<int>(std::lround(trace.pulseSamples)));
  const int endIndex = std::max(1, indexAt(spec.fibreLengthM, mps));
  int count = spec.sampleCount;
  if (count == 0) count = std::min(maxSamples, endIndex + std::max(1000, endIndex / 5));
  const auto n = static_cast<size_t>(count);

  struct Placed {
    int index;
    EventSpec spec;
  };
  std::vector<Placed> placed;
  for (const EventSpec& e : spec.events) {
    require(e.distanceM > 0 && e.distanceM < spec.fibreLengthM, "event outside the fibre");
    require(e.reflectionDb >= 0 && std::isfinite(e.reflectionDb) && std::isfinite(e.lossDb),
            "event loss and reflection height must be finite, the height not negative");
    require(endIndex >= 2, "fibre too short for an event");
    placed.push_back({std::clamp(indexAt(e.distanceM, mps), 1, endIndex - 1), e});
  }
  std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) { return a.index < b.index; });

  // Receiver response: a first-order low pass of about a quarter pulse. Peaks are raised by
  // the part of a pulse-long rectangle the filter loses, so that they reach the asked height.
  const double tau = std::max(0.25, pulse / 4.0);
  const double alpha = 1.0 - std::exp(-1.0 / tau);
  const double reach = 1.0 - std::pow(1.0 - alpha, pulse);

  // Peaks in the order they start: for one pulse the power stands at the peak level, the
  // given height above the backscatter just before the peak (whatever the backscatter does
  // meanwhile: it steps down under a reflective event and ends under the end reflection).
  struct Peak {
    int at;
    double heightDb;
  };
  std::vector<Peak> peaks;
  if (spec.launchReflectionDb > 0) peaks.push_back({0, spec.launchReflectionDb});
  for (const Placed& p : placed)
    if (p.spec.reflectionDb > 0) peaks.push_back({p.index, p.spec.reflectionDb});
  if (spec.endReflectionDb > 0) peaks.push_back({endIndex, spec.endReflectionDb});

  // Launch: after the front-panel reflection the receiver recovers over the dead zone, until
  // the excess has fallen to 0.005 dB.
  const double launch = powerOf(trace.launchLevelDb);
  const double launchPeak = launch * excessOf(spec.launchReflectionDb);
  const double deadZone = spec.launchDeadZoneM > 0 ? spec.launchDeadZoneM / mps : 3.0 * pulse + 5.0;
  const double settled = launch * excessOf(0.005);
  const bool recovers = launchPeak > settled && deadZone > pulse;
  const double decay = recovers ? (deadZone - pulse) / std::log(launchPeak / settled) : 1.0;
  const double recoveryFactor = std::exp(-1.0 / decay);

  // Noise floor: constant mean power with Gaussian noise of constant linear spread, so that at
  // the floor the level in dB spreads by noiseRmsDb and far above it hardly at all.
  const double floor = powerOf(trace.noiseFloorDb);
  const double spread = floor * spec.noiseRmsDb / (10.0 / std::numbers::ln10);
  // Backscatter far below the floor counts as nothing (this also keeps very long fibres out
  // of denormal arithmetic).
  const double negligible = floor * 1e-6;

  // One pass along the trace, sample by sample:
  //  fibre     backscatter of the fibre at this sample: falls by the attenuation, steps down
  //            at each event, nothing beyond the end;
  //  seen      what the instrument sees: the mean over the last `pulse` samples of fibre (the
  //            backscatter of one pulse length), so a step takes one pulse to complete;
  //  received  seen, or a peak's level while one lasts, through the receiver's low pass;
  //  then the floor and its noise, converted to a sample.
  const double perSample = powerOf(trace.attenuationDbKm * mps / 1000.0);
  std::vector<double> window(static_cast<size_t>(pulse), 0.0);  // the last `pulse` fibre samples
  double fibre = launch;
  double windowSum = 0;
  double seen = launch;
  double received = 0;
  double recovery = launchPeak;
  size_t nextEvent = 0;
  size_t nextPeak = 0;
  struct Active {
    int until;
    double level;
  };
  std::vector<Active> active;
  Gaussian gauss(spec.seed);
  trace.samples.resize(n);
  for (int i = 0; i < count; ++i) {
    const double seenBefore = seen;
    if (i >= endIndex) {
      fibre = 0;
    } else if (fibre > 0) {
      if (i > 0) fibre *= perSample;
      while (nextEvent < placed.size() && placed[nextEvent].index == i) fibre *= powerOf(placed[nextEvent++].spec.lossDb);
      if (fibre < negligible) fibre = 0;
    }
    double& oldest = window[static_cast<size_t>(i % pulse)];
    windowSum += fibre - oldest;
    oldest = fibre;
    seen = std::max(0.0, windowSum / std::min(i + 1, pulse));

    while (nextPeak < peaks.size() && peaks[nextPeak].at == i) {
      const double before = i == 0 ? seen : seenBefore;
      // The height is seen on the displayed level, which includes the floor.
      active.push_back({i + pulse, before + (before + floor) * excessOf(peaks[nextPeak++].heightDb) / reach});
    }
    double power = seen;
    for (size_t k = 0; k < active.size();) {
      if (active[k].until <= i) {
        active[k] = active.back();
        active.pop_back();
      } else {
        power = std::max(power, active[k++].level);
      }
    }
    if (recovers && i >= pulse && recovery > launch * 1e-6) {
      recovery *= recoveryFactor;
      power += recovery;
    }

    received = i == 0 ? power : received + alpha * (power - received);
    const double p = received + floor + spread * gauss.next();
    const double s = p > 0 ? std::clamp(-10000.0 * std::log10(p), 0.0, 65535.0) : 65535.0;
    trace.samples[static_cast<size_t>(i)] = static_cast<uint16_t>(s + 0.5);
  }

  // True events: the launch, the events inside the trace, the end when it lies inside.
  trace.events.push_back({0, spec.launchReflectionDb > 0, 0.0, spec.launchReflectionDb, true, false});
  for (const Placed& p : placed) {
    if (p.index >= count) break;
    trace.events.push_back({p.index, p.spec.reflectionDb > 0, p.spec.lossDb, p.spec.reflectionDb, false, false});
  }
  if (endIndex < count) trace.events.push_back({endIndex, spec.endReflectionDb > 0, 0.0, spec.endReflectionDb, false, true});
  return trace;
}

}  // namespace tracegen
