#pragma once

// The Auto Search command on the current trace, without widgets.

#include "Settings.h"

class CEndDravik;
class TraceTable;

// Runs the engine's automatic analysis on the current trace of table with the conditions of
// settings for the trace's wavelength (a wavelength without settings of its own, or a refractive
// index of 0 or below, uses the trace's own index). On success the trace's engine record and its
// events are replaced; when no trace is loaded or the engine fails, nothing changes and false is
// returned.
bool autoSearchCurrentTrace(TraceTable& table, CEndDravik& engine, const AnalysisSettings& settings);
