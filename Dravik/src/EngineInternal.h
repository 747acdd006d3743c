// Internal steps of the engine, shared by the analysis, the editing operations and the
// white-box tests. Not part of the public interface.
#pragma once

#include "Dravik.h"

namespace dravik {

// A read-only view of the trace's samples. `count` is the number of samples the caller's array
// holds; every step stays inside [0, count).
struct Samples {
    const unsigned short* data = nullptr;
    int count = 0;
};

// Measurement parameters shared by the steps.
struct Params {
    int wavelengthNm = 0;
    int pulseWidthNs = 0;
    float refractiveIndex = 0;  // n
    float sampleRateMHz = 0;    // f
    float backscatterDb = 0;
};

// Pulse-width index p of a pulse width in ns (12 for widths not in the table).
int pulseWidthIndex(int pulseWidthNs);
// Analysis window W (samples) of a pulse width and sampling frequency.
int analysisWindow(int pulseWidthNs, float sampleRateMHz);
// Kilometres per sample, (300 / n) x (1 / f) / 2000; 0 when n or f is not positive.
double kmPerSample(float refractiveIndex, float sampleRateMHz);
// Nominal attenuation of 1310, 1550 and 1625 nm (dB/km); 0 for other wavelengths.
float nominalAttenuation(int wavelengthNm);

// The initial record: six arrays 0, count 0, valueA 0, valueB 10.0, codes 0.
Dravik_Result initialRecord();

// Span (samples) of the event-loss and reflection-height step: 2W but at least 20, 3W for pulse
// widths of 2000 ns and more.
int lossSpan(const Params& p);
// How far behind an event the measurement round reads: every read lies before
// index + measurementReach(p) (the last event's reflection window; its loss is not measured).
int measurementReach(const Params& p);

// The four measurement steps and the cumulative loss; each returns the changed record.
Dravik_Result sectionAttenuation(Dravik_Result r, const Params& p, Samples s);
Dravik_Result eventLossAndHeight(Dravik_Result r, const Params& p, Samples s);
Dravik_Result reflectanceFromHeight(Dravik_Result r, const Params& p);
Dravik_Result attenuationPlausibility(Dravik_Result r, const Params& p);
Dravik_Result totalLoss(Dravik_Result r, const Params& p, Samples s);

// The measurement round run after every edit: section attenuation, event loss and reflection
// height, reflectance, cumulative loss, attenuation plausibility.
Dravik_Result measurementRound(Dravik_Result r, const Params& p, Samples s);

// Removes event i (1 <= i < count) and runs the measurement round, as deleteEvent does;
// returns r unchanged for an invalid i.
Dravik_Result removeEvent(Dravik_Result r, int i, const Params& p, Samples s);

// Inserts an event at sample index x and runs the measurement round, as insertEvent does;
// returns r unchanged when the insertion is refused.
Dravik_Result addEvent(Dravik_Result r, int x, const Params& p, Samples s);

// The automatic analysis (candidate search, positions, pruning, final measurement).
Dravik_Result analyse(const Params& p, Samples s, float lossThresholdDb, float reflectionThresholdDb,
                      int positionHint);

} // namespace dravik
