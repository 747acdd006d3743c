// The phases of the automatic analysis: threshold normalisation, candidate search, event
// positions and start of the fibre, and the pruning passes. Shared by Analysis.cpp and the
// white-box tests.
#pragma once

#include "EngineInternal.h"

#include <algorithm>
#include <cstdint>

namespace dravik {

// Normalised thresholds (dB). A threshold of exactly 0 (or NaN) means automatic: 0.05 dB; short
// pulses (10 ns or less) never use a reflection threshold below 1 dB.
struct Thresholds {
    float lossDb = 0.05f;
    float reflectionDb = 0.05f;
};
Thresholds normaliseThresholds(float lossDb, float reflectionDb, int pulseWidthNs);

// Working context of one analysis call.
struct AnalysisContext {
    Params params;
    Samples samples;      // usable view: data non-null whenever count > 0
    Thresholds thresholds;
    std::int64_t positionHint = 0;
    int window = 1;       // W
    double km = 0;        // kilometres per sample
};

// Output of the candidate search: the record with the sorted candidates, the end position U and
// whether the short-pulse reflective search settled the list.
struct CandidateList {
    Dravik_Result record;
    int endPosition = 0;
    bool shortPulseOutcome = false;
    int noiseLevel = 0;
};

// Output of the position step: the first cleaned event list, with the start values T and T0.
struct PositionedList {
    Dravik_Result record;
    int start = 0;        // T
    int startValue = 0;   // T0
};

// Sample value at index x, clamped to the array (edge samples repeat outward). The array must
// not be empty.
inline int sampleAt(const Samples& s, std::int64_t x)
{
    if (x < 0)
        x = 0;
    else if (x >= s.count)
        x = s.count - 1;
    return s.data[x];
}
inline int levelAt(const Samples& s, std::int64_t x) { return 65535 - sampleAt(s, x); }

// Integer mean of seven samples centred on y (clamped to the array).
inline int mean7(const Samples& s, std::int64_t y)
{
    int sum = 0;
    for (int k = -3; k <= 3; ++k)
        sum += sampleAt(s, y + k);
    return sum / 7;
}

// Noise level of the candidate search: integer mean level of the last 500 (200 for traces
// below 3000 samples) samples, 2000 when that is 4000 or more; 0 for traces of 501 samples or
// fewer.
int noiseLevel(const Samples& s);
// Coarse end of the fibre from the noise level, clamped to N - 2W - 2 (and to 0 .. N - 1).
int coarseEnd(const Samples& s, int window, int noise);
// End refinement around the coarse end.
int refineEnd(const Samples& s, int window, int end);

// Type of an event added at the end position U: reflective when the highest level of
// U .. U + W - 1 exceeds the level of sample U - 1 by more than the reflection threshold.
int endEventType(const AnalysisContext& c, int end);

// Threshold normalisation's output is in c; runs the phases up to the end event.
CandidateList candidateSearch(const AnalysisContext& c);

// Onsets, start of the fibre, dead-zone and loss filters, up to the codes.
PositionedList eventPositions(const AnalysisContext& c, const CandidateList& candidates);

// Start-of-fibre search alone (returns T and T0 before the refinement, which needs the events).
struct StartSearch {
    int start = 0;       // T after the short-start substitution
    int startValue = 0;  // T0
    double slopeNoise = 0;  // a3
};
StartSearch findFibreStart(const AnalysisContext& c);

// Measurement rounds and the twelve pruning passes.
Dravik_Result pruneEvents(const AnalysisContext& c, Dravik_Result r);

// Individual pruning passes (each returns the changed record), for the tests.
Dravik_Result pruneThresholds(const AnalysisContext& c, Dravik_Result r);     // pass 1 and 9
Dravik_Result prunePositionHint(const AnalysisContext& c, Dravik_Result r);   // pass 2
Dravik_Result pruneNoise(const AnalysisContext& c, Dravik_Result r);          // pass 3
Dravik_Result pruneEndGhosts(const AnalysisContext& c, Dravik_Result r);      // pass 4
Dravik_Result pruneTailGhosts(const AnalysisContext& c, Dravik_Result r);     // pass 5
Dravik_Result pruneEndEvent(const AnalysisContext& c, Dravik_Result r);       // pass 6
Dravik_Result pruneDeadZone(const AnalysisContext& c, Dravik_Result r);       // pass 7
Dravik_Result pruneDoubleEnd(const AnalysisContext& c, Dravik_Result r);      // pass 8
Dravik_Result pruneFallingTail(const AnalysisContext& c, Dravik_Result r);    // pass 10
Dravik_Result pruneWeakReflections(const AnalysisContext& c, Dravik_Result r);// pass 11
Dravik_Result pruneReflectionTail(const AnalysisContext& c, Dravik_Result r); // pass 12

// Ghost tolerance of passes 4 and 5 (samples) and the noise figures of the trace's tail.
int ghostTolerance(float sampleRateMHz);
struct TailNoise {
    int meanStep = 0;   // nd
    int meanLevel = 0;  // nl (limited to 1500 .. 3000)
};
TailNoise tailNoise(const Samples& s);

// Removes the listed events (ascending, each once) one after another.
Dravik_Result removeCollected(const AnalysisContext& c, Dravik_Result r, const int* list, int n);

// Sorts events 0 .. count - 1 by index, moving every field (stable).
void sortEvents(Dravik_Result& r);
// Moves event `from` to slot `to` (every field).
void moveEvent(Dravik_Result& r, int from, int to);
// Appends an event with the given type, index and code, other fields 0. False when 99 exist.
bool appendEvent(Dravik_Result& r, int type, int index, char code);

// The context of a call: usable samples, sanitised arguments; false when the arguments admit no
// analysis (no samples, unusable frequency or index), in which case the result is the initial
// record.
bool makeContext(AnalysisContext& c, const Params& p, Samples s, float lossThresholdDb,
                 float reflectionThresholdDb, int positionHint);

} // namespace dravik
