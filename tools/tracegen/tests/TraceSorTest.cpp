// The description language of the command-line tool, the SOR record of a generated trace read
// back by the SOR component, and the tool itself writing a file.
#include "SorFile.h"
#include "TraceDescription.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using tracegen::Description;

TEST(TraceDescriptionTest, SettingsFillTheDescription) {
  Description d;
  const std::string text =
      "# a 40 km link\n"
      "wavelength = 1550\n"
      "pulse=1000\r\n"
      "rate=25\n"
      "index=1.4682\n"
      "attenuation=0.2\n"
      "length=40km   # the end\n"
      "\n"
      "event=10km,0.3\n"
      "event=20000,0.25,0\n"
      "event=30.5km,0.5,4\n"
      "launch-level=30\nlaunch-reflection=18\ndead-zone=350m\nend-reflection=0\n"
      "noise-floor=61\nnoise=1.5\nsamples=65536\nseed=7\n"
      "version=1\ntimestamp=1700000000\nbackscatter=-81.5\naverages=1000\n"
      "cable=C-12\nfibre=F 3\nfrom=Exchange\nto=Cabinet 7\noperator=Ana\ncomment=Span A, after repair\nsupplier=Lab\n";
  ASSERT_EQ(tracegen::applyDescription(d, text), "");
  const tracegen::TraceSpec& t = d.trace;
  EXPECT_EQ(t.wavelengthNm, 1550);
  EXPECT_EQ(t.pulseWidthNs, 1000);
  EXPECT_DOUBLE_EQ(t.sampleRateMHz, 25);
  EXPECT_DOUBLE_EQ(t.refractiveIndex, 1.4682);
  EXPECT_DOUBLE_EQ(t.attenuationDbKm, 0.2);
  EXPECT_DOUBLE_EQ(t.fibreLengthM, 40000);
  ASSERT_EQ(t.events.size(), 3u);
  EXPECT_DOUBLE_EQ(t.events[0].distanceM, 10000);
  EXPECT_DOUBLE_EQ(t.events[0].lossDb, 0.3);
  EXPECT_DOUBLE_EQ(t.events[0].reflectionDb, 0);
  EXPECT_DOUBLE_EQ(t.events[1].distanceM, 20000);
  EXPECT_DOUBLE_EQ(t.events[2].distanceM, 30500);
  EXPECT_DOUBLE_EQ(t.events[2].reflectionDb, 4);
  EXPECT_DOUBLE_EQ(t.launchLevelDb, 30);
  EXPECT_DOUBLE_EQ(t.launchReflectionDb, 18);
  EXPECT_DOUBLE_EQ(t.launchDeadZoneM, 350);
  EXPECT_DOUBLE_EQ(t.endReflectionDb, 0);
  EXPECT_DOUBLE_EQ(t.noiseFloorDb, 61);
  EXPECT_DOUBLE_EQ(t.noiseRmsDb, 1.5);
  EXPECT_EQ(t.sampleCount, 65536);
  EXPECT_EQ(t.seed, 7u);
  const tracegen::SorInfo& s = d.sor;
  EXPECT_EQ(s.version, 1);
  EXPECT_EQ(s.timeStamp, 1700000000);
  EXPECT_DOUBLE_EQ(s.backscatterDb, -81.5);
  EXPECT_EQ(s.averages, 1000u);
  EXPECT_EQ(s.cableId, "C-12");
  EXPECT_EQ(s.fibreId, "F 3");
  EXPECT_EQ(s.from, "Exchange");
  EXPECT_EQ(s.to, "Cabinet 7");
  EXPECT_EQ(s.operatorName, "Ana");
  EXPECT_EQ(s.comment, "Span A, after repair");
  EXPECT_EQ(s.supplier, "Lab");
}

TEST(TraceDescriptionTest, BadSettingsAreReportedWithTheirLine) {
  const struct {
    const char* text;
    const char* expected;  // part of the message
  } cases[] = {
      {"pulse=100\nrate=fast\n", "line 2: bad value \"fast\" for rate"},
      {"pulse=12.5\n", "line 1: bad value \"12.5\" for pulse"},
      {"wavelength=0\n", "for wavelength"},
      {"seed=-1\n", "for seed"},
      {"version=3\n", "for version"},
      {"length=10 miles\n", "for length"},
      {"event=5000\n", "for event"},
      {"event=5km,0.3,high\n", "for event"},
      {"colour=blue\n", "line 1: unknown key \"colour\""},
      {"\n\n  just words\n", "line 3: expected key=value"},
  };
  for (const auto& c : cases) {
    Description d;
    EXPECT_NE(tracegen::applyDescription(d, c.text).find(c.expected), std::string::npos) << c.text;
  }
}

TEST(TraceDescriptionTest, ReflectanceFollowsHeightPulseAndBackscatter) {
  // 4 dB at 100 ns with -79.5 dB: -79.5 + 10 log10(10^0.8 - 1) + 20.
  EXPECT_NEAR(tracegen::reflectanceOf(4, 100, -79.5), -52.25, 0.01);
  // Ten times the pulse: 10 dB more; a higher peak: a higher reflectance.
  EXPECT_NEAR(tracegen::reflectanceOf(4, 1000, -79.5) - tracegen::reflectanceOf(4, 100, -79.5), 10.0, 1e-9);
  EXPECT_GT(tracegen::reflectanceOf(12, 100, -79.5), tracegen::reflectanceOf(4, 100, -79.5));
}

// Sample index the program gives an event of the file: distance / spacing - 1, nudged up by 0.1.
int programIndex(const SORDATA& d, const SorKeyEvent& e) {
  const float distance = static_cast<float>(299792458.0 / (d.refractiveIndex * 1e10) * e.propagationTime);
  const float x = distance / d.sampleSpacing - 1.0f;
  return static_cast<int>(x + 0.1f) != static_cast<int>(x) ? static_cast<int>(x + 0.1f) : static_cast<int>(x);
}

// Written and read back by the SOR component: the samples, the measurement parameters and the
// true events as key events that the program places at their true sample indices.
TEST(TraceSorTest, RecordReadsBackWithTheTrueEvents) {
  const struct {
    int version;
    int wavelength;
    int pulse;
    double rate;
  } cases[] = {{2, 1310, 100, 50}, {1, 1550, 1000, 25}, {2, 1625, 30, 100}, {2, 1310, 10, 200}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.wavelength);
    Description d;
    d.sor.version = c.version;
    d.sor.comment = "generated";
    d.trace.wavelengthNm = c.wavelength;
    d.trace.pulseWidthNs = c.pulse;
    d.trace.sampleRateMHz = c.rate;
    d.trace.fibreLengthM = 8000;
    d.trace.events = {{2000, 0.3, 0}, {4000, 0.5, 4}, {6000, 0.2, 0}};
    const tracegen::Trace trace = tracegen::generate(d.trace);

    std::vector<uint8_t> bytes;
    ASSERT_TRUE(serializeSor(tracegen::toSorData(trace, d), bytes));
    SORDATA back;
    const SorStatus status = parseSor(bytes, back);
    ASSERT_TRUE(status) << status.message;

    EXPECT_EQ(back.carried.version, c.version);
    ASSERT_EQ(back.dataSets.size(), 1u);
    EXPECT_EQ(back.dataSets[0].samples, trace.samples);
    EXPECT_EQ(back.dataSets[0].scaleFactor, 1000);
    EXPECT_EQ(back.wavelength, c.wavelength);
    EXPECT_EQ(back.pulseWidth, c.pulse);
    EXPECT_FLOAT_EQ(back.samplingRate, static_cast<float>(c.rate));
    EXPECT_NEAR(back.refractiveIndex, 1.4677, 1e-5);
    EXPECT_NEAR(back.sampleSpacing, trace.metresPerSample, trace.metresPerSample * 1e-3);
    EXPECT_FLOAT_EQ(back.backscatterCoeff, static_cast<float>(tracegen::nominalBackscatterDb(c.wavelength)));
    EXPECT_EQ(back.timeStamp, d.sor.timeStamp);
    EXPECT_EQ(back.carried.genParams.comment, "generated");

    ASSERT_EQ(back.keyEvents.size(), trace.events.size());
    for (size_t k = 0; k < trace.events.size(); ++k) {
      SCOPED_TRACE(k);
      const tracegen::TrueEvent& e = trace.events[k];
      const SorKeyEvent& f = back.keyEvents[k];
      EXPECT_EQ(programIndex(back, f), e.index);
      EXPECT_EQ(f.eventCode[0], e.reflective ? '1' : '0');
      EXPECT_EQ(f.eventCode[1], e.isStart ? 'S' : e.isEnd ? 'E' : 'F');
      EXPECT_EQ(f.eventLoss, std::lround(e.lossDb * 1000));
      if (e.reflective)
        EXPECT_NEAR(f.reflectance / 1000.0, tracegen::reflectanceOf(e.reflectionDb, c.pulse, back.backscatterCoeff), 0.002);
      else
        EXPECT_EQ(f.reflectance, 0);
    }
  }
}

// The tool: a description file plus command-line settings give a SOR file with those values.
TEST(TraceSorTest, ToolWritesTheDescribedTrace) {
  const auto dir = std::filesystem::temp_directory_path() / ("tracegen-tool-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const auto description = dir / "link.txt";
  const auto output = dir / "link.sor";
  std::ofstream(description) << "wavelength=1550\npulse=1000\nrate=25\nlength=40km\nevent=10km,0.3\nevent=30km,0.5,4\n";
  const std::string command = std::string(TRACEGEN_TOOL) + " -q -f " + description.string() +
                              " event=20km,0.3 --comment=Span-B samples=32768 -o " + output.string();
  ASSERT_EQ(std::system(command.c_str()), 0) << command;

  SORDATA d;
  CSorFile sor;
  ASSERT_EQ(sor.readSorFile(output.string(), d), 1) << sor.lastError();
  EXPECT_EQ(d.wavelength, 1550);
  EXPECT_EQ(d.pulseWidth, 1000);
  EXPECT_EQ(d.dataSets[0].pointCount, 32768u);
  EXPECT_EQ(d.carried.genParams.comment, "Span-B");
  ASSERT_EQ(d.keyEvents.size(), 5u);  // start, three events, end
  EXPECT_EQ(d.keyEvents[2].eventCode, "0F9999");
  EXPECT_EQ(d.keyEvents[3].eventCode, "1F9999");
  EXPECT_EQ(d.keyEvents[4].eventCode, "1E9999");
  // The file measures with the true speed of light, the generator with 3e8 m/s (0.07 % apart).
  EXPECT_NEAR(d.keyEvents[2].propagationTime * 299792458.0 * 1e-10 / d.refractiveIndex, 20000, 25);

  // A bad setting fails without writing.
  const auto refused = dir / "refused.sor";
  const std::string bad = std::string(TRACEGEN_TOOL) + " -q pulse=wide -o " + refused.string() + " 2>/dev/null";
  EXPECT_NE(std::system(bad.c_str()), 0);
  EXPECT_FALSE(std::filesystem::exists(refused));
  std::filesystem::remove_all(dir);
}

}  // namespace
