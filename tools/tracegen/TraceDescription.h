#pragma once
// A generated trace as a SOR file: the description language of the command-line tool and the
// conversion of a generated trace into the SOR component's record.
//
// A description is a list of key=value settings, one per line in a file ('#' starts a comment)
// or one per argument on the command line. Distances are metres, or kilometres with a "km"
// suffix ("2.5km"). Keys:
//   wavelength (nm), pulse (ns), rate (MHz), index, attenuation (dB/km), length (fibre end),
//   launch-level, launch-reflection, dead-zone, end-reflection, noise-floor, noise (dB),
//   samples, seed,
//   event = distance,loss[,reflection height]   (repeatable; one event each)
//   version (SOR 1 or 2), timestamp (seconds since 1970), backscatter (dB, e.g. -79.5),
//   averages, cable, fibre, from, to, operator, comment, supplier.
#include "TraceGenerator.h"

#include <cstdint>
#include <string>
#include <string_view>

struct SORDATA;

namespace tracegen {

// What a SOR file carries beyond the trace itself.
struct SorInfo {
  int version = 2;
  int32_t timeStamp = 1767603600;  // 2026-01-05 09:00 UTC: fixed, so a description gives one file
  double backscatterDb = 0;        // backscatter coefficient; 0 = the usual one for the wavelength
  uint32_t averages = 4000;
  std::string supplier = "Synthetic";
  std::string cableId;
  std::string fibreId;
  std::string from;
  std::string to;
  std::string operatorName;
  std::string comment;
};

struct Description {
  TraceSpec trace;
  SorInfo sor;
};

// Applies one setting. Returns an empty text on success, else what is wrong.
std::string applySetting(Description& d, std::string_view key, std::string_view value);

// Applies the settings of a description file's text, line by line. Returns an empty text on
// success, else what is wrong and on which line.
std::string applyDescription(Description& d, std::string_view text);

// Usual backscatter coefficient (dB for a 1 ns pulse) of single-mode fibre at a wavelength.
double nominalBackscatterDb(int wavelengthNm);

// Reflectance (dB, negative) of a reflection of the given height above the backscatter:
// backscatter + 10 log10(10^(height / 5) - 1) + 10 log10(pulse width in ns).
double reflectanceOf(double heightDb, int pulseWidthNs, double backscatterDb);

// The SOR record of a generated trace: one data set with the samples, the measurement
// parameters of the description and the true events as key events. The program reads an event
// time t as the sample t / T - 1 (T the time per sample), so each event is written at the time
// of its index + 1; the launch at time 0.
SORDATA toSorData(const Trace& trace, const Description& d);

}  // namespace tracegen
