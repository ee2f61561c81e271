// The system file: every field of the loop and of the environment survives
// save -> load bit-exact and byte-identical, every kind of bad file is
// refused with its one message, the files of every released version keep
// loading, and the atomic writer leaves the old file alone when it fails.

#include "engine/file/SystemFile.h"
#include "engine/expr/ConstantTable.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string k79(79, 'q');

bool sameBits(double a, double b)
{
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// Every loop field away from its start value, with awkward values: negative
// zero, the smallest normal magnitudes, sums that are not short decimals,
// texts with blanks at both ends, quotes, backslashes and 79 characters.
void setAwkwardLoop(SYSDATA& s)
{
  SetText(s.num[kCompensator], " 1+0.5s ");
  SetText(s.den[kCompensator], "s \"quoted\" \\ back");
  SetText(s.num[kPlant], k79.c_str());
  SetText(s.den[kPlant], "\t(s+1)(s^2+1.4s+6)");
  s.gain = -0.0;
  s.delay = 1e-300;
  s.sampleHold = 0.1 + 0.2;
  SetText(s.fwdNlText, "sat(x, a) # not a comment");
  SetText(s.fbkNlText, "\"");
  SetParameter(0, -0.0);
  SetParameter(1, 2.2250738585072014e-308);
  SetParameter(2, -1.7976931348623157e308);
  SetParameter(3, 1.0 / 3.0);
  s.firstElement = kCompensator;
  s.lastElement = kPlant;
  s.initCompOutput = -1e20;
  s.initPlantOutput = 5e-324;
  s.compInitEnabled = true;
  s.plantInitEnabled = true;
  SetText(s.stored[kCompensator].storedNum, "2 ");
  SetText(s.stored[kCompensator].storedDen, " s+3");
  s.stored[kCompensator].transformed = true;
  s.stored[kCompensator].changedSinceTransform = true;
  SetText(s.stored[kPlant].storedNum, "=");
  SetText(s.stored[kPlant].storedDen, "[x]");
  s.stored[kPlant].transformed = true;
  s.delayChanged = true;
  std::strcpy(s.numberFormat, "%0.9g");
  s.pen[0] = 0x000000;
  s.pen[1] = 0xFFFFFF;
  s.pen[2] = 0x0A0B0C;
  s.pen[3] = 0xABCDEF;
  s.showMarkLabels = true;
}

LoopSwitches flipped(LoopSwitches l)
{
  l.closedLoop = !l.closedLoop;
  l.compIn = !l.compIn;
  l.plantIn = !l.plantIn;
  l.fwdNl = !l.fwdNl;
  l.fbkNl = !l.fbkNl;
  l.refInput = !l.refInput;
  l.loadInput = !l.loadInput;
  l.noiseInput = !l.noiseInput;
  return l;
}

// One window of each domain (the frequency one twice), every setting away
// from its start value.
std::vector<WindowRecord> awkwardWindows()
{
  std::vector<WindowRecord> w(5);
  TRANSTAT& t = w[0].state.emplace<TRANSTAT>();
  t.plotType = TransPlot::PhasePlane;
  t.duration = 1e-20;
  t.points = 1000;
  t.loop = flipped(t.loop);
  t.discreteInterpolation = true;
  t.periodic = true;
  t.period = 0.1 + 0.7;
  t.initCompOutput = -0.0;
  t.initPlantOutput = 1e20;
  SetText(t.refText, " step(t) ");
  SetText(t.loadText, "\\\\");
  SetText(t.noiseText, k79.c_str());
  SetText(t.phaseXText, "u");
  SetText(t.phaseYText, "\"e\"");
  t.secondary = SecondaryTrace::Error;
  SetText(t.costText, "e^2");
  t.costOnGo = true;
  t.characteristicsOnGo = true;

  FREQSTAT& f = w[1].state.emplace<FREQSTAT>();
  f.set.view = FreqView::BodePhase;
  f.set.startFreq = 1e-3;
  f.set.endFreq = 1e20;
  f.set.monotonicPhase = false;
  f.set.logIncrement = false;
  f.set.points = 1000;
  std::strcpy(f.set.units, "Hz");
  f.set.amplitudes = 200;
  f.set.dftPoints = 4;
  f.set.startAmp = 0.0;
  f.set.endAmp = 1e-300;
  f.loop = flipped(f.loop);
  f.chart = {1e-300, 2e-300, -0.0, 0.1 + 0.2};
  f.mContours = {-100, 100, 0.01};
  f.describingMode = true;
  w[2].state = w[1].state;
  std::get<FREQSTAT>(w[2].state).set.view = FreqView::Nichols;

  ROOTSTAT& r = w[3].state.emplace<ROOTSTAT>();
  r.loop = flipped(r.loop);
  r.points = 5;
  r.settlingTime = 3.4028234663852886e38;
  r.dampingContours = {0.0, 1.0, 100.0};
  r.xMin = -1e20;
  r.xMax = 1e20;
  r.yMin = -0.0;
  r.yMax = 5e-324;

  NLINSTAT& n = w[4].state.emplace<NLINSTAT>();
  n.loop = flipped(n.loop);
  n.xMin = -0.5;
  n.xMax = -0.25;
  n.points = 2;

  for (std::size_t i = 0; i < w.size(); ++i) {
    w[i].x = -1000000 + static_cast<int>(i);
    w[i].y = 1000000 - static_cast<int>(i);
    w[i].w = 640 + static_cast<int>(i);
    w[i].h = static_cast<int>(i) + 1;
    w[i].maximised = true;
    w[i].minimised = true;
    w[i].shownXMin = -0.0;
    w[i].shownXMax = 5e-324;
    w[i].shownYMin = -1e300;
    w[i].shownYMax = 0.1 + 0.2 + static_cast<double>(i);
  }
  return w;
}

// The records a new window of each of those domains starts with.
Environment startEnvironment(const std::vector<WindowRecord>& like)
{
  Environment e;
  for (const WindowRecord& w : like) {
    WindowRecord& n = e.windows.emplace_back();
    switch (w.domain()) {
      case ActiveDomain::Time:
        n.state.emplace<TRANSTAT>();
        break;
      case ActiveDomain::Frequency:
        n.state.emplace<FREQSTAT>();
        break;
      case ActiveDomain::Root:
        n.state.emplace<ROOTSTAT>();
        break;
      case ActiveDomain::Nonlinear:
        n.state.emplace<NLINSTAT>();
        break;
    }
  }
  return e;
}

std::vector<std::string> lines(const std::string& text)
{
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);)
    out.push_back(l);
  return out;
}

// The line (from 1) of the first line of text starting with start.
int lineOf(const std::string& text, const std::string& start)
{
  const std::vector<std::string> ls = lines(text);
  for (std::size_t i = 0; i < ls.size(); ++i)
    if (ls[i].rfind(start, 0) == 0)
      return static_cast<int>(i) + 1;
  ADD_FAILURE() << "no line starts with " << start;
  return 0;
}

std::string replaceLine(std::string text, const std::string& start, const std::string& with)
{
  const std::size_t at = text.find("\n" + start);
  EXPECT_NE(at, std::string::npos) << start;
  const std::size_t end = text.find('\n', at + 1);
  return text.replace(at + 1, end - at - 1, with);
}

std::string readAll(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeRaw(const std::string& path, const std::string& text)
{
  std::ofstream(path, std::ios::binary) << text;
}

std::string tempDir(const char* name)
{
  const std::string d = testing::TempDir() + "vanto_files_" + std::to_string(getpid()) + "_" + name;
  fs::remove_all(d);
  fs::create_directories(d);
  return d;
}

}  // namespace

TEST(SystemFile, EveryFieldSurvivesSaveAndLoadBitExactAndByteIdentical)
{
  ModelScope model;
  SYSDATA& s = Sys();
  setAwkwardLoop(s);
  const std::vector<WindowRecord> windows = awkwardWindows();
  const std::string text = SystemFileText(s, windows);

  // Every key holds a value other than a start record's, so no field of the
  // test is left at a value a lost field would also give.
  const Environment start = startEnvironment(windows);
  const std::vector<std::string> got = lines(text), def = lines(SystemFileText(SystemValues{}, &start));
  ASSERT_EQ(got.size(), def.size());
  int keys = 0;
  for (std::size_t i = 0; i < got.size(); ++i) {
    if (got[i].find(" = ") == std::string::npos)
      continue;
    ++keys;
    EXPECT_NE(got[i], def[i]) << "line " << i + 1 << " holds its start value";
  }
  EXPECT_GT(keys, 150);

  LoadedSystem loaded;
  std::string message;
  ASSERT_TRUE(ReadSystemFile(text, "awkward.vanto", loaded, message)) << message;
  EXPECT_TRUE(loaded.hasEnvironment);
  ASSERT_EQ(loaded.environment.windows.size(), windows.size());
  // Each value is written in the shortest form that reads back to the same
  // double, so equal texts mean equal fields.
  EXPECT_EQ(SystemFileText(loaded.system, &loaded.environment), text);

  // Applied to another loop, the loop reads as it was saved.
  ModelScope other;
  SYSDATA& t = Sys();
  ApplySystem(loaded, t);
  ApplyDisplayRecord(loaded.environment.options, t);
  EXPECT_EQ(SystemFileText(t, loaded.environment.windows), text);
  EXPECT_TRUE(sameBits(t.gain, -0.0));
  EXPECT_TRUE(sameBits(t.delay, 1e-300));
  EXPECT_TRUE(sameBits(t.sampleHold, 0.1 + 0.2));
  EXPECT_TRUE(sameBits(Parameter(0), -0.0));
  EXPECT_TRUE(sameBits(Parameter(2), -1.7976931348623157e308));
  EXPECT_TRUE(sameBits(t.initPlantOutput, 5e-324));
  EXPECT_STREQ(t.num[kPlant], k79.c_str());
  EXPECT_STREQ(t.den[kCompensator], "s \"quoted\" \\ back");
  EXPECT_STREQ(t.num[kCompensator], " 1+0.5s ");
  EXPECT_EQ(t.firstElement, kCompensator);
  EXPECT_TRUE(t.delayChanged && t.stored[kCompensator].changedSinceTransform && t.stored[kPlant].transformed);
  EXPECT_STREQ(t.numberFormat, "%0.9g");
  EXPECT_EQ(t.pen[3], 0xABCDEFu);
  const WindowRecord& nl = loaded.environment.windows[4];
  EXPECT_EQ(nl.domain(), ActiveDomain::Nonlinear);
  EXPECT_EQ(nl.x, -999996);
  EXPECT_TRUE(sameBits(std::get<ROOTSTAT>(loaded.environment.windows[3].state).yMin, -0.0));
  EXPECT_STREQ(std::get<TRANSTAT>(loaded.environment.windows[0].state).noiseText, k79.c_str());

  // A system file alone holds no environment and saves to the same bytes.
  const std::string alone = SystemFileText(t);
  ASSERT_TRUE(ReadSystemFile(alone, "alone.vanto", loaded, message)) << message;
  EXPECT_FALSE(loaded.hasEnvironment);
  EXPECT_TRUE(loaded.environment.windows.empty());
  EXPECT_EQ(SystemFileText(loaded.system, nullptr), alone);
}

TEST(SystemFile, RefusesEveryKindOfBadTextWithOneMessage)
{
  ModelScope model;
  const std::vector<WindowRecord> windows = awkwardWindows();
  const std::string good = SystemFileText(Sys(), windows);
  const std::string F = "d.vanto, line ";
  auto at = [&](const std::string& text, const std::string& start) { return std::to_string(lineOf(text, start)); };
  const std::string noGain = replaceLine(good, "gain = ", "# gain removed");
  const std::string twoGains = replaceLine(good, "delay = ", "gain = 2");
  const std::string noRootMin = replaceLine(good, "x-max = 1e+20", "x-max = -1e+20");
  // Whole windows up to one more than a file may hold.
  const std::string nlin = good.substr(good.find("[window nonlinear]"));
  const int extra = kMaxFileWindows + 1 - static_cast<int>(windows.size());
  std::string tooMany = good;
  for (int i = 0; i < extra; ++i)
    tooMany += nlin;
  const std::string noOptions = good.substr(0, good.find("[options]")) + good.substr(good.find("[window time]"));
  auto last = [](const std::string& text) { return std::to_string(lines(text).size()); };
  const std::string binary = replaceLine(good, "b = ", std::string("b = 1\0", 6));
  const std::string rootLine = at(good, "[window root]");

  struct Case {
    const char* what;
    std::string text;
    std::string message;
  };
  const Case cases[] = {
      {"empty", "", F + "1: the file is empty"},
      {"NUL byte", binary, F + at(good, "b = ") + ": binary data (a NUL byte), not a system file"},
      {"not UTF-8", replaceLine(good, "c = ", "c = \xC0\xAF"),
       F + at(good, "c = ") + ": binary data (not UTF-8 text), not a system file"},
      {"another program", "[Desktop Entry]\nName=x\n", F + "1: not a VANTO system file"},
      {"magic not at the start", " " + good, F + "1: not a VANTO system file"},
      {"newer version", "VANTO system file 2\n[future]\n",
       F + "1: the file was written by a newer VANTO (file version 2); this one reads versions up to 1"},
      {"huge version", "VANTO system file 99999999999999999999\n",
       F + "1: the file was written by a newer VANTO (file version 99999999999999999999); this one reads "
           "versions up to 1"},
      {"bad version", "VANTO system file 0\n", F + "1: bad file version \"0\""},
      {"last line cut", good.substr(0, good.size() - 3),
       F + std::to_string(lines(good).size()) + ": the last line is cut short (no line end)"},
      {"first line cut", "VANTO system file 1", F + "1: the last line is cut short (no line end)"},
      {"cut after a section's first lines", good.substr(0, good.find("gain = ")),
       F + at(good, "[system]") + ": section [system] lacks the key \"gain\""},
      {"key missing", noGain, F + at(good, "[system]") + ": section [system] lacks the key \"gain\""},
      {"window key missing", replaceLine(good, "damping-end = ", "#"),
       F + rootLine + ": section [window root] lacks the key \"damping-end\""},
      {"window geometry missing", replaceLine(good, "minimised = yes", "#"),
       F + at(good, "[window time]") + ": section [window time] lacks the key \"minimised\""},
      {"no system section", "VANTO system file 1\n# only a comment\n",
       F + "2: the file ends without a [system] section"},
      {"windows without options", noOptions, F + last(noOptions) + ": the file ends without a [options] section"},
      {"unknown key", replaceLine(good, "gain = ", "gian = 1"), F + at(good, "gain = ") + ": unknown key \"gian\""},
      {"duplicate key", twoGains,
       F + at(good, "delay = ") + ": duplicate key \"gain\" (first on line " + at(good, "gain = ") + ")"},
      {"duplicate section", good + "[system]\n",
       F + std::to_string(lines(good).size() + 1) + ": duplicate section [system] (first on line 3)"},
      {"unknown section", good + "[window bode]\n",
       F + std::to_string(lines(good).size() + 1) + ": unknown section [window bode]"},
      {"too many windows", tooMany,
       F + std::to_string(lines(good).size() + (extra - 1) * lines(nlin).size() + 1) + ": more than 32 windows"},
      {"key before any section", "VANTO system file 1\ngain = 1\n[system]\n",
       F + "2: key \"gain\" before the first [section]"},
      {"no equals sign", replaceLine(good, "gain = ", "gain 1"),
       F + at(good, "gain = ") + ": \"key = value\" or [section] expected"},
      {"text over 79", replaceLine(good, "plant-numerator = ", "plant-numerator = \"" + k79 + "x\""),
       F + at(good, "plant-numerator") + ": the text of \"plant-numerator\" is longer than 79 characters"},
      {"text unquoted", replaceLine(good, "plant-numerator = ", "plant-numerator = 6"),
       F + at(good, "plant-numerator") + ": quoted text expected for \"plant-numerator\", found 6"},
      {"text unclosed", replaceLine(good, "plant-numerator = ", "plant-numerator = \"6"),
       F + at(good, "plant-numerator") + ": the text of \"plant-numerator\" has no closing quote"},
      {"text then more", replaceLine(good, "plant-numerator = ", "plant-numerator = \"6\" x"),
       F + at(good, "plant-numerator") + ": nothing may follow the closing quote of \"plant-numerator\""},
      {"bad escape", replaceLine(good, "plant-numerator = ", "plant-numerator = \"\\n\""),
       F + at(good, "plant-numerator") +
           ": in the text of \"plant-numerator\": only \\\" and \\\\ may follow a backslash"},
      {"gain out of range", replaceLine(good, "gain = ", "gain = 1e21"),
       F + at(good, "gain = ") + ": Gain must lie between -1E20 and 1E20"},
      {"delay negative", replaceLine(good, "delay = ", "delay = -1"),
       F + at(good, "delay = ") + ": Delay must lie between 0 and 1E20"},
      {"gain not a number", replaceLine(good, "gain = ", "gain = 1,5"),
       F + at(good, "gain = ") + ": number expected for \"gain\", found \"1,5\""},
      {"parameter infinite", replaceLine(good, "a = ", "a = inf"),
       F + at(good, "a = ") + ": number expected for \"a\", found \"inf\""},
      {"parameter overflowing", replaceLine(good, "a = ", "a = 1e999"),
       F + at(good, "a = ") + ": number expected for \"a\", found \"1e999\""},
      {"points out of range", replaceLine(good, "points = 1000", "points = 1001"),
       F + at(good, "points = 1000") + ": No of Points must lie between 2 and 1000"},
      {"points not whole", replaceLine(good, "points = 1000", "points = 2.5"),
       F + at(good, "points = 1000") + ": whole number expected for \"points\", found \"2.5\""},
      {"not yes or no", replaceLine(good, "mark-labels = ", "mark-labels = true"),
       F + at(good, "mark-labels") + ": yes or no expected for \"mark-labels\", found \"true\""},
      {"unknown word", replaceLine(good, "elements = ", "elements = all"),
       F + at(good, "elements = ") + ": one of \"plant\", \"compensator\" or \"both\" expected for \"elements\""},
      {"bad colour", replaceLine(good, "pen-1 = ", "pen-1 = red"),
       F + at(good, "pen-1") + ": colour #RRGGBB expected for \"pen-1\", found \"red\""},
      {"bad number format", replaceLine(good, "number-format = ", "number-format = \"%0.2g\""),
       F + at(good, "[options]") + ": the number format must be \"%0.Ng\" with N from 3 to 9"},
      {"root range reversed", noRootMin, F + rootLine + ": Max must exceed Min"},
      {"DFT points", replaceLine(good, "dft-points = ", "dft-points = 100"),
       F + at(good, "[window frequency]") + ": the number of DFT points must be 4, 8, 16, 32, 64, 128, 256 or 512"},
      {"too large", good + std::string(kMaxSystemFileSize, '#'), "d.vanto: larger than 1 MiB, not a system file"},
  };

  const std::string before = SystemFileText(Sys());
  for (const Case& c : cases) {
    LoadedSystem scratch;
    std::string message;
    EXPECT_FALSE(ReadSystemFile(c.text, "d.vanto", scratch, message)) << c.what;
    EXPECT_EQ(message, c.message) << c.what;
    EXPECT_EQ(message.find('\n'), std::string::npos) << c.what;
  }
  EXPECT_EQ(SystemFileText(Sys()), before) << "reading touches no loop";
  // Windows line ends, comments and blank lines are fine.
  std::string crlf;
  for (const std::string& l : lines(good))
    crlf += l + "\r\n# note\r\n\r\n";
  LoadedSystem loaded;
  std::string message;
  EXPECT_TRUE(ReadSystemFile(crlf, "d.vanto", loaded, message)) << message;
  EXPECT_EQ(SystemFileText(loaded.system, &loaded.environment), good);
}

TEST(SystemFile, RefusesFilesThatCannotBeRead)
{
  const std::string dir = tempDir("read");
  const std::string big = dir + "/big.vanto";
  writeRaw(big, "VANTO system file 1\n" + std::string(kMaxSystemFileSize, '#') + "\n");
  struct Case {
    std::string path;
    std::string message;
  };
  const Case cases[] = {
      {dir + "/missing.vanto", dir + "/missing.vanto: no such file"},
      {dir, dir + ": is a directory, not a system file"},
      {"/dev/null", "/dev/null: is not a regular file"},
      {big, big + ": larger than 1 MiB, not a system file"},
  };
  for (const Case& c : cases) {
    LoadedSystem scratch;
    std::string message;
    EXPECT_FALSE(LoadSystemFile(c.path, scratch, message)) << c.path;
    EXPECT_EQ(message, c.message);
  }
  fs::remove_all(dir);
}

// The files of every released version (written by that version) keep
// loading; those of the current version also save to the same bytes.
TEST(SystemFile, FilesOfEveryReleasedVersionLoad)
{
  int files = 0;
  for (int version = 1; version <= kSystemFileVersion; ++version) {
    const fs::path dir = fs::path(VANTO_FILE_VERSIONS) / ("v" + std::to_string(version));
    ASSERT_TRUE(fs::is_directory(dir)) << dir << ": every released version keeps its folder";
    for (const fs::directory_entry& e : fs::directory_iterator(dir)) {
      ++files;
      LoadedSystem loaded;
      std::string message;
      ASSERT_TRUE(LoadSystemFile(e.path().string(), loaded, message)) << message;
      EXPECT_EQ(loaded.version, version) << e.path();
      if (version == kSystemFileVersion) {
        EXPECT_EQ(SystemFileText(loaded.system, loaded.hasEnvironment ? &loaded.environment : nullptr),
                  readAll(e.path().string()))
            << e.path();
      }
    }
  }
  EXPECT_GE(files, 4);
}

TEST(SystemFile, AFailedSaveLeavesTheOldFile)
{
  const std::string dir = tempDir("write");
  const std::string path = dir + "/loop.vanto";
  const std::string old = "old contents\n";
  const std::string text = "VANTO system file 1\n" + std::string(100000, '#') + "\n";
  std::string message;

  // A good save replaces the file whole and leaves nothing else behind.
  writeRaw(path, old);
  ASSERT_TRUE(WriteFileAtomically(path, text, message)) << message;
  EXPECT_EQ(readAll(path), text);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1);

  // Over a directory, and in a folder that does not exist.
  EXPECT_FALSE(WriteFileAtomically(dir, text, message));
  EXPECT_EQ(message, "Cannot write " + dir + ": Is a directory");
  EXPECT_TRUE(fs::is_directory(dir));
  EXPECT_FALSE(WriteFileAtomically(dir + "/none/x.vanto", text, message));
  EXPECT_EQ(message, "Cannot write " + dir + "/none/x.vanto: No such file or directory");

  // A file-size limit stops the write part-way, in a child process.
  writeRaw(path, old);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::string m;
    const bool ok = WriteFileAtomically(path, text, m);
    _exit(!ok && m == "Cannot write " + path + ": File too large" ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the write failed with its reason";
  EXPECT_EQ(readAll(path), old);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1) << "no temporary left";
  fs::remove_all(dir);
}
