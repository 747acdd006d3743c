#include "TraceDescription.h"

#include "SorFile.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <type_traits>

namespace tracegen {

namespace {

std::string_view trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t\r");
  return s.substr(first, last - first + 1);
}

bool number(std::string_view text, double& out) {
  text = trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc() && end == text.data() + text.size() && std::isfinite(out);
}

bool integer(std::string_view text, long long& out, long long lo, long long hi) {
  text = trim(text);
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc() && end == text.data() + text.size() && out >= lo && out <= hi;
}

// Metres, or kilometres with a "km" suffix; a plain "m" suffix is accepted too.
bool distance(std::string_view text, double& metres) {
  text = trim(text);
  double scale = 1.0;
  if (text.ends_with("km")) {
    scale = 1000.0;
    text.remove_suffix(2);
  } else if (text.ends_with("m")) {
    text.remove_suffix(1);
  }
  if (!number(text, metres)) return false;
  metres *= scale;
  return true;
}

std::string bad(std::string_view key, std::string_view value, std::string_view expected) {
  return "bad value \"" + std::string(value) + "\" for " + std::string(key) + ": expected " + std::string(expected);
}

}  // namespace

std::string applySetting(Description& d, std::string_view key, std::string_view value) {
  key = trim(key);
  value = trim(value);
  TraceSpec& t = d.trace;
  SorInfo& s = d.sor;
  long long n = 0;
  const auto real = [&](double& field) { return number(value, field) ? std::string() : bad(key, value, "a number"); };
  const auto metres = [&](double& field) {
    return distance(value, field) ? std::string() : bad(key, value, "a distance (metres, or km with the suffix km)");
  };
  const auto text = [&](std::string& field) {
    field = value;
    return std::string();
  };
  const auto whole = [&](auto& field, long long lo, long long hi) {
    if (!integer(value, n, lo, hi)) return bad(key, value, "a whole number from " + std::to_string(lo) + " to " + std::to_string(hi));
    field = static_cast<std::remove_reference_t<decltype(field)>>(n);
    return std::string();
  };

  if (key == "wavelength") return whole(t.wavelengthNm, 1, 65535);
  if (key == "pulse") return whole(t.pulseWidthNs, 1, 65535);
  if (key == "rate") return real(t.sampleRateMHz);
  if (key == "index") return real(t.refractiveIndex);
  if (key == "attenuation") return real(t.attenuationDbKm);
  if (key == "length") return metres(t.fibreLengthM);
  if (key == "launch-level") return real(t.launchLevelDb);
  if (key == "launch-reflection") return real(t.launchReflectionDb);
  if (key == "dead-zone") return metres(t.launchDeadZoneM);
  if (key == "end-reflection") return real(t.endReflectionDb);
  if (key == "noise-floor") return real(t.noiseFloorDb);
  if (key == "noise") return real(t.noiseRmsDb);
  if (key == "samples") return whole(t.sampleCount, 0, 16 * 1024 * 1024);
  if (key == "seed") return whole(t.seed, 0, std::numeric_limits<unsigned>::max());
  if (key == "event") {
    EventSpec e;
    const auto comma = value.find(',');
    const std::string_view where = value.substr(0, comma);
    const std::string_view rest = comma == std::string_view::npos ? std::string_view() : value.substr(comma + 1);
    const auto comma2 = rest.find(',');
    const std::string_view loss = rest.substr(0, comma2);
    const std::string_view height = comma2 == std::string_view::npos ? std::string_view() : rest.substr(comma2 + 1);
    if (comma == std::string_view::npos || !distance(where, e.distanceM) || !number(loss, e.lossDb) ||
        (!height.empty() && !number(height, e.reflectionDb)))
      return bad(key, value, "distance,loss or distance,loss,reflection height");
    t.events.push_back(e);
    return {};
  }
  if (key == "version") return whole(s.version, 1, 2);
  if (key == "timestamp") return whole(s.timeStamp, 0, std::numeric_limits<int32_t>::max());
  if (key == "backscatter") return real(s.backscatterDb);
  if (key == "averages") return whole(s.averages, 0, std::numeric_limits<uint32_t>::max());
  if (key == "cable") return text(s.cableId);
  if (key == "fibre") return text(s.fibreId);
  if (key == "from") return text(s.from);
  if (key == "to") return text(s.to);
  if (key == "operator") return text(s.operatorName);
  if (key == "comment") return text(s.comment);
  if (key == "supplier") return text(s.supplier);
  return "unknown key \"" + std::string(key) + "\"";
}

std::string applyDescription(Description& d, std::string_view text) {
  int line = 0;
  while (!text.empty()) {
    ++line;
    const auto eol = text.find('\n');
    std::string_view l = text.substr(0, eol);
    text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
    if (const auto hash = l.find('#'); hash != std::string_view::npos) l = l.substr(0, hash);
    l = trim(l);
    if (l.empty()) continue;
    const auto eq = l.find('=');
    std::string error = eq == std::string_view::npos ? "expected key=value" : applySetting(d, l.substr(0, eq), l.substr(eq + 1));
    if (!error.empty()) return "line " + std::to_string(line) + ": " + error;
  }
  return {};
}

double nominalBackscatterDb(int wavelengthNm) {
  switch (wavelengthNm) {
    case 1550: return -81.0;
    case 1625: return -80.5;
    default: return -79.5;
  }
}

double reflectanceOf(double heightDb, int pulseWidthNs, double backscatterDb) {
  const double x = std::pow(10.0, heightDb / 5.0) - 1.0;
  return backscatterDb + 10.0 * std::log10(x) + 10.0 * std::log10(static_cast<double>(pulseWidthNs));
}

SORDATA toSorData(const Trace& trace, const Description& d) {
  const TraceSpec& t = d.trace;
  const SorInfo& s = d.sor;
  SORDATA data;
  data.carried.version = s.version;

  SorDataSet set;
  set.samples = trace.samples;
  set.pointCount = static_cast<uint32_t>(set.samples.size());
  data.dataSets.push_back(std::move(set));

  const double backscatter = s.backscatterDb != 0 ? s.backscatterDb : nominalBackscatterDb(t.wavelengthNm);
  data.wavelength = t.wavelengthNm;
  data.pulseWidth = t.pulseWidthNs;
  data.samplingRate = static_cast<float>(t.sampleRateMHz);
  data.refractiveIndex = static_cast<float>(t.refractiveIndex);
  data.range = static_cast<int32_t>(trace.samples.size() * trace.metresPerSample);
  data.backscatterCoeff = static_cast<float>(backscatter);
  data.lossThreshold = 0.05f;
  data.reflectanceThreshold = -65.0f;
  data.endThreshold = 3.0f;
  data.timeStamp = s.timeStamp;
  data.averages = s.averages;
  data.fixedParams.distanceUnits = "km";

  data.carried.genParams.cableId = s.cableId;
  data.carried.genParams.fibreId = s.fibreId;
  data.carried.genParams.originatingLocation = s.from;
  data.carried.genParams.terminatingLocation = s.to;
  data.carried.genParams.operatorName = s.operatorName;
  data.carried.genParams.comment = s.comment;
  data.carried.supParams.supplier = s.supplier;
  data.carried.supParams.mainframeId = "tracegen";
  data.carried.supParams.softwareRevision = "1";

  // Event times in units of 0.1 ns, one way: the file's time per point is the data spacing the
  // writer stores for this rate (time of 10 000 points in units of 100 ps).
  const double spacingRaw = std::nearbyint(5e7 / t.sampleRateMHz);
  const auto timeOf = [&](int index) { return static_cast<int32_t>(std::lround(index * spacingRaw / 10000.0)); };
  const int16_t attenuation = static_cast<int16_t>(std::lround(trace.attenuationDbKm * 1000.0));
  double lossSoFar = 0;
  for (const TrueEvent& e : trace.events) {
    SorKeyEvent k;
    k.propagationTime = e.isStart ? 0 : timeOf(e.index + 1);
    k.attenuation = e.isStart ? 0 : attenuation;
    k.eventLoss = static_cast<int16_t>(std::lround(e.lossDb * 1000.0));
    k.reflectance = e.reflective ? static_cast<int32_t>(std::lround(reflectanceOf(e.reflectionDb, t.pulseWidthNs, backscatter) * 1000.0)) : 0;
    const char letter = e.isStart ? 'S' : e.isEnd ? 'E' : 'F';
    k.eventCode = std::string(1, e.reflective ? '1' : '0') + letter + "9999";
    k.lossTechnique = "LS";
    data.keyEvents.push_back(std::move(k));
    lossSoFar += e.lossDb;
  }
  if (!trace.events.empty() && trace.events.back().isEnd) {
    const int end = trace.events.back().index;
    data.carried.eventSummary.endToEndLoss =
        static_cast<int32_t>(std::lround((lossSoFar + trace.attenuationDbKm * end * trace.metresPerSample / 1000.0) * 1000.0));
    data.carried.eventSummary.endToEndMarkers = {0, timeOf(end + 1)};
  }
  return data;
}

}  // namespace tracegen
