// otdr-tracegen: writes a synthetic OTDR trace with known events as a SOR file.
#include "SorFile.h"
#include "TraceDescription.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const char* const kUsage =
    "usage: otdr-tracegen [-f FILE] [KEY=VALUE ...] -o OUTPUT.sor\n"
    "Writes a synthetic OTDR trace with known events as a SOR file; the events become its key events.\n"
    "\n"
    "  -f, --file FILE     read settings from a description file (key=value lines, # comments)\n"
    "  -o, --output FILE   the SOR file to write\n"
    "  -q, --quiet         print nothing on success\n"
    "  -h, --help          show this text\n"
    "\n"
    "Settings (KEY=VALUE or --KEY=VALUE; those on the command line come after the file's, and\n"
    "every event= adds one event). Distances in metres, or km with the suffix km.\n"
    "  wavelength=1310  pulse=100 (ns)  rate=50 (MHz)  index=1.4677  attenuation (dB/km, default by\n"
    "  wavelength)  length=10km (fibre end)  event=DISTANCE,LOSS[,REFLECTION HEIGHT] (dB)\n"
    "  launch-level, noise-floor (dB below the top of the scale; default: floor 62.5, launch one\n"
    "  dynamic range above it)  launch-reflection=20  dead-zone (m)  end-reflection=12 (0: none)\n"
    "  noise=1 (dB at the floor)  samples (0: fibre plus a tail)  seed=1\n"
    "  version=2  timestamp (seconds since 1970)  backscatter (dB)  averages  cable  fibre  from  to\n"
    "  operator  comment  supplier\n";

int usageError(const std::string& message) {
  std::cerr << "otdr-tracegen: " << message << "\n\n" << kUsage;
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  tracegen::Description description;
  std::vector<std::string> settings;
  std::string file;
  std::string output;
  bool quiet = false;

  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const auto value = [&](const char* what) -> std::string {
      if (i + 1 >= argc) throw std::invalid_argument(arg + " needs " + what);
      return argv[++i];
    };
    try {
      if (arg == "-h" || arg == "--help") {
        std::cout << kUsage;
        return 0;
      } else if (arg == "-q" || arg == "--quiet") {
        quiet = true;
      } else if (arg == "-f" || arg == "--file") {
        file = value("a file name");
      } else if (arg == "-o" || arg == "--output") {
        output = value("a file name");
      } else if (arg.find('=') != std::string::npos) {
        settings.push_back(arg.starts_with("--") ? arg.substr(2) : arg);
      } else {
        return usageError("unexpected argument \"" + arg + "\"");
      }
    } catch (const std::invalid_argument& e) {
      return usageError(e.what());
    }
  }
  if (output.empty()) return usageError("no output file (-o)");

  if (!file.empty()) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      std::cerr << "otdr-tracegen: cannot read " << file << "\n";
      return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (const std::string error = tracegen::applyDescription(description, text.str()); !error.empty()) {
      std::cerr << "otdr-tracegen: " << file << ", " << error << "\n";
      return 2;
    }
  }
  for (const std::string& s : settings) {
    const auto eq = s.find('=');
    if (const std::string error = tracegen::applySetting(description, s.substr(0, eq), s.substr(eq + 1)); !error.empty())
      return usageError(error);
  }

  tracegen::Trace trace;
  try {
    trace = tracegen::generate(description.trace);
  } catch (const std::invalid_argument& e) {
    std::cerr << "otdr-tracegen: " << e.what() << "\n";
    return 2;
  }

  CSorFile sor;
  if (!sor.saveSorFile(output, tracegen::toSorData(trace, description))) {
    std::cerr << "otdr-tracegen: cannot write " << output << ": " << sor.lastError() << "\n";
    return 1;
  }

  if (!quiet) {
    std::printf("%s: %zu samples, %.3f m per sample, %d nm, %d ns, %g MHz\n", output.c_str(), trace.samples.size(),
                trace.metresPerSample, description.trace.wavelengthNm, description.trace.pulseWidthNs,
                description.trace.sampleRateMHz);
    std::printf("  %8s %10s  %-13s %8s %8s\n", "sample", "distance", "event", "loss", "height");
    for (const tracegen::TrueEvent& e : trace.events) {
      const char* kind = e.isStart ? "start" : e.isEnd ? "end" : e.reflective ? "reflective" : "non-reflective";
      std::printf("  %8d %9.1fm  %-13s %8.3f %8.3f\n", e.index, e.index * trace.metresPerSample, kind, e.lossDb,
                  e.reflectionDb);
    }
  }
  return 0;
}
