#pragma once
// Synthetic OTDR traces with known events.
//
// A trace is an array of 16-bit samples; a sample s stands for the level (65535 - s) / 1000 dB,
// that is s / 1000 dB below the top of the scale: larger samples mean weaker backscatter.
// Sample i lies i x 150 / (n x f) metres from the instrument (n refractive index, f sampling
// rate in MHz).
//
// The generator builds the returned power in linear units and converts it to samples:
//  - backscatter that starts launchLevelDb below the top and falls by the fibre attenuation;
//  - each event: its loss as a step that takes one pulse length, a reflective event also a
//    rectangle-like peak one pulse long, of the given height above the backscatter before it;
//  - the launch reflection at sample 0 with a recovery tail over the dead zone;
//  - the fibre end: an optional reflection, then nothing but the noise floor;
//  - a causal receiver response (first-order low pass of about a quarter pulse);
//  - the noise floor with Gaussian noise of constant linear power, so the noise in dB grows
//    as the backscatter approaches the floor, as it does on a real instrument.
// Noise comes from std::mt19937 seeded with the description's seed through our own Gaussian
// transform, so a description gives the same samples on every platform and build.
#include <cstdint>
#include <vector>

namespace tracegen {

// One event along the fibre.
struct EventSpec {
  double distanceM = 0;     // from the instrument; must lie inside (0, fibreLengthM)
  double lossDb = 0;        // step down of the backscatter (negative: a gainer)
  double reflectionDb = 0;  // peak height above the backscatter before it; 0 = non-reflective
};

// Description of a trace. Levels are dB below the top of the scale (sample / 1000).
struct TraceSpec {
  int wavelengthNm = 1310;
  int pulseWidthNs = 100;
  double sampleRateMHz = 50;
  double refractiveIndex = 1.4677;
  double attenuationDbKm = -1;     // below 0: the usual value for the wavelength (nominalAttenuation)
  double fibreLengthM = 10000;     // position of the fibre end
  double launchLevelDb = 0;        // backscatter level at the start; 0 = one dynamic range above the floor
  double launchReflectionDb = 20;  // launch peak height above the backscatter (clipped at the top)
  double launchDeadZoneM = 0;      // recovery after the launch peak; 0 = from the pulse width
  double endReflectionDb = 12;     // end peak height above the backscatter; 0 = non-reflective end
  double noiseFloorDb = 0;         // level after the end (median); 0 = defaultNoiseFloorDb
  double noiseRmsDb = 1.0;         // spread of the noise floor in dB (standard deviation at the floor)
  int sampleCount = 0;             // 0 = the fibre plus a tail of noise (at least 1000 samples)
  std::vector<EventSpec> events;   // any order
  unsigned seed = 1;
};

// An event as it lies in the generated samples.
struct TrueEvent {
  int index = 0;            // first sample the event changes (start of its rise or step)
  bool reflective = false;
  double lossDb = 0;        // 0 for the start and the end
  double reflectionDb = 0;  // peak height above the backscatter; 0 when non-reflective
  bool isStart = false;     // the launch at sample 0 (always the first true event)
  bool isEnd = false;       // the fibre end (last true event when it lies inside the trace)
};

// Where instruments put the noise floor: near the bottom of the scale (real traces end at 62 to
// 63 dB). The analysis relies on it, as it compares levels with three times the floor's level.
inline constexpr double defaultNoiseFloorDb = 62.5;

struct Trace {
  std::vector<uint16_t> samples;
  std::vector<TrueEvent> events;  // ascending index: start, the events inside the trace, end
  double metresPerSample = 0;     // 150 / (n x f)
  double pulseSamples = 0;        // pulse width in samples: pulseWidthNs x f / 1000
  double attenuationDbKm = 0;     // as used (after the wavelength default)
  double launchLevelDb = 0;       // as used (after the automatic default)
  double noiseFloorDb = 0;        // as used (after the automatic default)
};

// Longest trace the generator makes (samples), far beyond any instrument's.
inline constexpr int maxSamples = 1 << 26;

// Attenuation of standard single-mode fibre at 1310, 1550 and 1625 nm (dB/km); 0.35 for others.
double nominalAttenuation(int wavelengthNm);

// Typical one-way dynamic range of an instrument for a pulse width (dB): longer pulses reach
// further. Used for the automatic launch level.
double dynamicRangeDb(int pulseWidthNs);

// Sample index nearest to a distance for a trace of the given spacing.
int indexAt(double distanceM, double metresPerSample);

// Generates the trace. Throws std::invalid_argument for an impossible description: a
// non-positive rate, index, pulse width or fibre length, an event outside the fibre, a noise
// floor not below the launch level or beyond the scale, a negative sample count, a trace longer
// than maxSamples.
Trace generate(const TraceSpec& spec);

}  // namespace tracegen
