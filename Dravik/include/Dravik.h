// Dravik: the OTDR event-analysis engine.
//
// This header is the one shared declaration of the engine's interface: the library and the
// application both compile against it, and Dravik_Result's byte layout is a binary interface
// between them (it is also embedded unchanged in every trace record of the application).
//
// Samples are unsigned 16-bit values, index 0 at the instrument; a sample s is s / 1000 dB
// below the top of the scale (larger means weaker backscatter).
#ifndef DRAVIK_H
#define DRAVIK_H

#include <cstddef>
#include <cstdint>

#if defined(DRAVIK_BUILDING_LIBRARY)
#define DRAVIK_API __attribute__((visibility("default")))
#else
#define DRAVIK_API
#endif

// Maximum number of events of one record.
constexpr int DRAVIK_MAX_EVENTS = 100;

// The engine's result record: at most 100 events in six parallel arrays, two record-wide
// values, the event count and one code letter per event ('S' start, 'F' found by the analysis,
// 'A' added by the user, 'E' end of the fibre). Exactly 2512 bytes, little-endian, no padding.
struct Dravik_Result {
    std::int32_t type[DRAVIK_MAX_EVENTS];     // 0 non-reflective, 1 reflective
    std::int32_t index[DRAVIK_MAX_EVENTS];    // event position as a sample index
    float loss[DRAVIK_MAX_EVENTS];            // event loss, dB (0 for the last event)
    float reflectance[DRAVIK_MAX_EVENTS];     // dB as a positive number (40 = -40 dB), 0 = not measured
    float attenuation[DRAVIK_MAX_EVENTS];     // dB/km of the section ending at this event; [0] is 0
    float totalLoss[DRAVIK_MAX_EVENTS];       // cumulative loss from the start of the fibre, dB
    float valueA;                             // record-wide value, never computed by the engine (0 when initialised)
    std::int32_t count;                       // valid events, 0..100
    float valueB;                             // record-wide value, 10.0 when initialised
    char code[DRAVIK_MAX_EVENTS];             // event code letter
};

static_assert(sizeof(Dravik_Result) == 2512, "Dravik_Result must be 2512 bytes");
static_assert(offsetof(Dravik_Result, type) == 0);
static_assert(offsetof(Dravik_Result, index) == 400);
static_assert(offsetof(Dravik_Result, loss) == 800);
static_assert(offsetof(Dravik_Result, reflectance) == 1200);
static_assert(offsetof(Dravik_Result, attenuation) == 1600);
static_assert(offsetof(Dravik_Result, totalLoss) == 2000);
static_assert(offsetof(Dravik_Result, valueA) == 2400);
static_assert(offsetof(Dravik_Result, count) == 2404);
static_assert(offsetof(Dravik_Result, valueB) == 2408);
static_assert(offsetof(Dravik_Result, code) == 2412);
static_assert(sizeof(float) == 4 && sizeof(std::int32_t) == 4 && sizeof(unsigned short) == 2);

// The engine. It keeps no state between calls: one instance serves any number of traces, and
// calls for different traces may run concurrently. Every operation takes the caller's record by
// value and returns a complete record; a request it cannot carry out returns the record it was
// given, unchanged; so does every operation given a record whose count lies outside 0..100 or a
// null sample array. The sample array is only read, and never outside [0, sampleCount) where a
// sample count is passed. A refractive index or sampling frequency that is not positive leaves
// every distance-derived value (attenuation, event loss, cumulative loss) as it was.
//
// Note the order of the two float parameters: dravik_arithmetic takes the sampling frequency
// before the refractive index, the other operations take the refractive index first.
class DRAVIK_API CEndDravik {
public:
    CEndDravik();
    ~CEndDravik();

    // Automatic analysis of a whole trace. The two doubles and the end threshold are accepted
    // and ignored. A threshold of 0 means automatic. positionHint: a sample index near which the
    // slope search accepts no candidate (0 for none).
    Dravik_Result dravik_arithmetic(int wavelengthNm, int pulseWidthNs, const unsigned short* samples,
                                    int sampleCount, double ignoredA, double ignoredB,
                                    float lossThresholdDb, float reflectionThresholdDb,
                                    float endThresholdDb, float backscatterDb, float sampleRateMHz,
                                    float refractiveIndex, int positionHint);

    // Adds an event at a sample index and re-measures the record. Refused (the record comes back
    // unchanged) when the index lies outside the array, at or within W / 2 behind the start event
    // (or before it), within W of a neighbouring event, on an event, or when the record already
    // holds 100 events or no event at all. The new event gets code 'A' and a type read from the
    // trace around it.
    Dravik_Result insertEvent(int sampleIndex, int wavelengthNm, int pulseWidthNs,
                              const unsigned short* samples, int sampleCount, Dravik_Result record,
                              float refractiveIndex, float sampleRateMHz, float backscatterDb);

    // Removes event eventIndex (0-based; event 0 cannot be removed) and re-measures the record.
    // This form carries no sample count: the caller's array must hold at least
    // index[count - 1] + 2 * W + 10 samples (W the analysis window of the pulse width and
    // sampling frequency; index[count - 1] the furthest event): the measurement round reads up to
    // that far behind the last event, never further.
    // Prefer the overload with the sample count, which never reads past the array.
    Dravik_Result deleteEvent(int eventIndex, int wavelengthNm, int pulseWidthNs,
                              const unsigned short* samples, Dravik_Result record,
                              float refractiveIndex, float sampleRateMHz, float backscatterDb);
    Dravik_Result deleteEvent(int eventIndex, int wavelengthNm, int pulseWidthNs,
                              const unsigned short* samples, int sampleCount, Dravik_Result record,
                              float refractiveIndex, float sampleRateMHz, float backscatterDb);

    // Recomputes the cumulative loss (totalLoss) of every event; nothing else changes.
    // The levels are read in front of the events only, so the count-less form needs the caller's
    // array to hold the samples 0 .. index[count - 1] - 1 (index[count - 1] the furthest event).
    Dravik_Result Acount_Total_Loss(int wavelengthNm, int pulseWidthNs, const unsigned short* samples,
                                    Dravik_Result record, float refractiveIndex, float sampleRateMHz);
    Dravik_Result Acount_Total_Loss(int wavelengthNm, int pulseWidthNs, const unsigned short* samples,
                                    int sampleCount, Dravik_Result record, float refractiveIndex,
                                    float sampleRateMHz);
};

#endif // DRAVIK_H
