// One loaded trace as the application keeps it: samples, measurement parameters, the event list
// the user sees and the engine record through which events travel to and from the engine.
#pragma once

#include "Dravik.h"

#include <cstdint>
#include <memory>
#include <vector>

struct SORDATA;

// One event as the application shows it.
struct EventItem {
    std::int32_t sampleIndex = 0;  // position as an index into the samples
    std::int32_t eventType = 0;    // 0 non-reflective, nonzero reflective (the digit of the file's code)
    float distance = 0;            // metres
    float eventLoss = 0;           // dB
    float reflectance = 0;         // dB
    float attenuation = 0;         // dB/km of the section before the event
    float totalLoss = 0;           // cumulative loss up to the event, dB
    float valueA = 0;              // carried to and from the engine record's valueA
    float valueB = 0;              // carried to and from the engine record's valueB
    char codeLetter = 0;           // 'S', 'F', 'A', 'E', 'O', ...
};

// A polyline point of the drawing buffers.
struct TracePoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// Colour of a record that has not been given its trace colour yet (blue, 0x00BBGGRR).
constexpr std::uint32_t TRACE_DEFAULT_COLOUR = 0xFF0000;

struct TraceRecord {
    // The trace. Only the first sampleCount values are valid; the array grows when a longer trace
    // is loaded into the record and is never shrunk.
    std::vector<std::uint16_t> samples;
    std::uint32_t visibleFirstSample = 0;  // first sample of the drawn window (printout, reports)
    std::uint32_t visibleEndSample = 0;    // one past the last sample of the drawn window
    float sampleSpacing = 0;               // metres between two samples
    float refractiveIndex = 0;             // group index used for every distance conversion
    float groupIndex = 0;                  // group index of the file's fixed parameters
    std::uint32_t sampleCount = 0;
    float sampleRateMHz = 0;
    std::int32_t rangeMetres = 0;
    std::int32_t pulseWidthNs = 0;
    std::int32_t wavelengthNm = 0;
    std::int32_t timeStamp = 0;            // seconds since 1970-01-01 UTC
    std::vector<TracePoint> printPoints;   // polyline buffer of the printout
    std::vector<EventItem> events;
    float averageCount = 0;
    float length = 0;                      // metres: the horizontal span of the trace
    std::int32_t thumbnailPointCount = 0;
    std::uint32_t colour = TRACE_DEFAULT_COLOUR;
    std::vector<TracePoint> thumbnailPoints;  // polyline buffer of the thumbnail
    float backscatterCoeff = 0;
    float lossThreshold = 0;
    float reflectanceThreshold = 0;
    float endThreshold = 0;
    Dravik_Result result;                  // the engine's record for this trace

    // The file data the trace was read from. A save starts from it, so that everything the
    // record does not hold (offsets, vendor blocks, time stamp, ...) goes back to its own file.
    std::shared_ptr<const SORDATA> sourceData;

    TraceRecord();

    // The valid samples (nullptr when there are none).
    const std::uint16_t* sampleData() const { return samples.empty() ? nullptr : samples.data(); }
};

// The engine record in its initial state: six arrays 0, count 0, valueA 0, valueB 10.0, codes 0.
Dravik_Result initialDravikResult();

// sampleSpacing = 299792448 / (2 x sampleRateMHz x refractiveIndex x 1e6), in double precision,
// stored as float. A rate or index of 0 or below leaves the spacing 0.
void computeSampleSpacing(TraceRecord& record);

// Copies the event vector into the engine record (types, indices, values, codes, count, and the
// record-wide values of the last event). Does nothing for more than 100 events.
void syncEventsToResult(TraceRecord& record);

// Rebuilds the event vector from the engine record, distances from the sample indices with the
// trace's own refractive index and sampling rate.
void rebuildEventsFromResult(TraceRecord& record);

// Takes a record returned by the engine: it replaces the embedded one and the events are rebuilt.
void applyEngineResult(TraceRecord& record, const Dravik_Result& result);
