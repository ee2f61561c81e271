// Every engine on every loop of a corpus (continuous, sampled-data,
// discrete, with delay and nonlinearities, open and closed, and loops that
// fail): every entry point leaves the document byte for byte as it was, a
// domain's result does not depend on which domains were computed before it,
// and the closed-loop root report keeps the open loop's root sets in the
// window's decoded loop.

#include "engine/base/Error.h"
#include "engine/freq/DescribingFunction.h"
#include "engine/freq/FreqEngine.h"
#include "engine/freq/LimitCycles.h"
#include "engine/freq/Margins.h"
#include "engine/nlin/NlinEngine.h"
#include "engine/root/RootEngine.h"
#include "engine/root/RootReadouts.h"
#include "engine/time/TimeEngine.h"
#include "tests/DecodedRuns.h"
#include "tests/LoopTexts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct CorpusLoop {
  const char* name;
  LoopTexts loop;
  const char* fwdNl = "x";
  bool fwdIn = false;
};

const CorpusLoop kCorpus[] = {
    {"continuous, closed", {}},
    {"continuous, open, compensator in", {.compIn = true, .closed = false}},
    {"continuous with delay", {.gain = 2.0, .delay = 0.3}},
    {"sampled-data", {.hold = 0.1}},
    {"sampled-data with delay", {.gpNum = "1", .gpDen = "s+1", .delay = 0.25, .hold = 0.1}},
    {"discrete", {.gcNum = "1", .gcDen = "1", .gpNum = "0.5z", .gpDen = "(z-1)(z-0.6)", .hold = 0.5, .compIn = true}},
    {"discrete, open", {.gpNum = "0.2(z+0.5)", .gpDen = "z^2-1.2z+0.5", .hold = 0.2, .closed = false}},
    {"backlash in the forward path", {}, "hyst(x,0.5)", true},
    {"saturation in the forward path", {.gain = 4.0}, "clip(x,0.3)", true},
    {"error: plant text", {.gpNum = "sin("}},
    {"error: discrete plant without sample-hold time", {.gpNum = "0.5", .gpDen = "z-0.5"}},
    {"error: improper plant", {.gpNum = "s^2", .gpDen = "s+1"}},
};

// What one domain computed: success, the message, and the bytes of the
// result.
struct Outcome {
  bool ok = false;
  std::string message;
  std::vector<unsigned char> bytes;
  bool operator==(const Outcome&) const = default;
};

template <typename T>
void Append(std::vector<unsigned char>& out, const T* first, std::size_t count)
{
  const auto* p = reinterpret_cast<const unsigned char*>(first);
  out.insert(out.end(), p, p + count * sizeof(T));
}

// The document's bytes, padding included: an engine that wrote any field,
// even one put back afterwards with a different padding, shows here.
std::vector<unsigned char> DocumentBytes()
{
  std::vector<unsigned char> bytes;
  Append(bytes, &Sys(), 1);
  return bytes;
}

Outcome Finish(bool ok)
{
  Outcome o;
  o.ok = ok && !ErrorPending();
  o.message = ErrorPending() ? ErrorMessage() : "";
  ClearError();
  return o;
}

enum Domain { kTime, kFreq, kRoot, kNlin, kDomains };

void WriteCorpusLoop(const CorpusLoop& c)
{
  WriteLoop(c.loop);
  SetText(Sys().fwdNlText, c.fwdNl);
}

// Computes one domain on the loop model as its window's Go does, with
// settings made for the loop: the document is decoded first; with other set
// the document then holds other's loop while the engines run.
Outcome Compute(Domain d, const CorpusLoop& c, const CorpusLoop* other = nullptr)
{
  ClearError();
  const auto replaceDocument = [other] {
    if (!other)
      return;
    WriteCorpusLoop(*other);
    ClearError();
  };
  switch (d) {
    case kTime: {
      auto st = std::make_unique<TRANSTAT>();
      SetElements(st->loop, c.loop);
      st->loop.fwdNl = c.fwdIn;
      st->costOnGo = true;
      std::strcpy(st->costText, "integ(e*e)+max(y)");
      const Loop loop = DecodeTimeLoop(Sys(), *st);
      replaceDocument();
      Outcome o = Finish(TimeEngine(loop, *st, LoopContext(loop, ActiveDomain::Time)));
      const TransResult& r = st->result;
      if (o.ok) {
        Append(o.bytes, r.trace.data(), static_cast<std::size_t>(r.pointCount));
        Append(o.bytes, &r.cost, 1);
      }
      return o;
    }
    case kFreq: {
      auto rec = std::make_unique<FREQSTAT>();
      InitFreqSettings(Sys(), *rec);
      SetElements(rec->loop, c.loop);
      const auto response = std::make_unique<FreqLoop>(DecodeFreqLoop(Sys(), *rec, FreqUse::Response));
      const auto open = std::make_unique<FreqLoop>(DecodeFreqLoop(Sys(), *rec, FreqUse::OpenLoop));
      rec->loop.fwdNl = true;
      const auto nonlinear = std::make_unique<FreqLoop>(DecodeFreqLoop(Sys(), *rec, FreqUse::DescribingFunction));
      const auto withNonlinearity = std::make_unique<FreqLoop>(DecodeFreqLoop(Sys(), *rec, FreqUse::OpenLoop));
      rec->loop.fwdNl = false;
      replaceDocument();
      Outcome o = Finish(ComputeResponse(*response, *rec));
      if (o.ok)
        Append(o.bytes, rec->result.points.data(), static_cast<std::size_t>(rec->result.count));
      StabilityMargins margins;
      const Outcome m = Finish(ComputeMargins(*open, margins));
      o.message += "|" + m.message;
      if (m.ok) {
        const double found[] = {double(margins.gainCount), double(margins.phaseCount), margins.bandLo, margins.bandHi};
        Append(o.bytes, found, std::size(found));
      }
      rec->loop.fwdNl = true;
      rec->set.amplitudes = 20;
      const Outcome df =
          Finish(ComputeDescribingFunction(*nonlinear, *rec, LoopContext(nonlinear->loop, ActiveDomain::Frequency)));
      o.message += "|" + df.message;
      if (df.ok)
        Append(o.bytes, rec->result.points.data(), static_cast<std::size_t>(rec->result.count));
      auto cycles = std::make_unique<LimitCycleList>();
      const Outcome lc = Finish(ComputeLimitCycles(
          *withNonlinearity, *rec, LoopContext(withNonlinearity->loop, ActiveDomain::Frequency), *cycles));
      o.message += "|" + lc.message;
      if (lc.ok) {
        const double found[] = {double(cycles->count), cycles->bandLo, cycles->bandHi, cycles->ampLo, cycles->ampHi};
        Append(o.bytes, found, std::size(found));
      }
      return o;
    }
    case kRoot: {
      auto rec = std::make_unique<ROOTSTAT>();
      SetElements(rec->loop, c.loop);
      rec->loop.closedLoop = false;
      const auto loop = std::make_unique<RootLoop>(DecodeRootLoop(Sys(), *rec, RootUse::ClosedReport));
      ClearError();
      auto fresh = std::make_unique<Loop>();
      const Loop& readout = ReadoutLoop(Sys(), *rec, *fresh);
      char format[sizeof Sys().numberFormat];
      std::memcpy(format, Sys().numberFormat, sizeof format);
      replaceDocument();
      Outcome o = Finish(PrepareRootLoop(loop->roots, *rec) && TraceLocus(loop->roots, *rec));
      if (o.ok)
        Append(o.bytes, rec->result.points.data(), static_cast<std::size_t>(rec->result.count));
      const RootStatus status = RootStatusAt(readout, *rec, -0.5, 0.7, format);
      o.message += "|" + status.text;
      double gain = 0.0;
      const Outcome atPoint = Finish(GainAtLocusPoint(loop->roots, *rec, -0.5, 0.7, 1, gain));
      o.message += "|" + atPoint.message;
      Append(o.bytes, &gain, 1);
      Outcome report = Finish(PrepareRootReport(*loop, *rec, true));
      o.message += "|" + report.message;
      if (report.ok) {
        Append(o.bytes, &rec->report.poles, 1);
        Append(o.bytes, &rec->report.zeros, 1);
      }
      return o;
    }
    case kNlin: {
      auto rec = std::make_unique<NLINSTAT>();
      rec->loop.fwdNl = true;
      const Loop loop = DecodeNlinLoop(Sys());
      replaceDocument();
      Outcome o = Finish(ComputeCharacteristic(loop, *rec, LoopContext(loop, ActiveDomain::Nonlinear)));
      if (o.ok) {
        Append(o.bytes, rec->result.points.data(), static_cast<std::size_t>(rec->result.count));
        const NlinCursor walk = BeginCursor(*rec, -2.0, 2.0);
        for (const std::int32_t at : {0, 7, 3}) {
          const double y = CursorPoint(walk, rec->result, at).y;
          Append(o.bytes, &y, 1);
        }
        ClearError();
      }
      return o;
    }
    case kDomains:
      break;
  }
  return {};
}

TEST(Engines, ADomainComputesTheSameWhateverWasComputedBefore)
{
  int computed[kDomains] = {};
  for (const CorpusLoop& c : kCorpus) {
    SCOPED_TRACE(c.name);
    // Each domain alone, on a fresh model.
    Outcome alone[kDomains];
    for (int d = 0; d < kDomains; ++d) {
      ModelScope model;
      WriteCorpusLoop(c);
      const std::vector<unsigned char> before = DocumentBytes();
      alone[d] = Compute(static_cast<Domain>(d), c);
      EXPECT_TRUE(DocumentBytes() == before) << "domain " << d << " wrote the document";
      computed[d] += alone[d].ok && !alone[d].bytes.empty();
    }
    // All four in turn, twice, on one model, as windows side by side
    // recompute after one change.
    ModelScope model;
    WriteCorpusLoop(c);
    const std::vector<unsigned char> before = DocumentBytes();
    for (int round = 0; round < 2; ++round)
      for (const Domain d : {kNlin, kRoot, kTime, kFreq}) {
        const Outcome o = Compute(d, c);
        EXPECT_TRUE(DocumentBytes() == before) << "domain " << d << " round " << round;
        EXPECT_EQ(o.ok, alone[d].ok) << "domain " << d << " round " << round;
        EXPECT_EQ(o.message, alone[d].message) << "domain " << d << " round " << round;
        EXPECT_TRUE(o.bytes == alone[d].bytes) << "domain " << d << " round " << round;
      }
  }
  // Most loops of the corpus compute in every domain.
  for (int d = 0; d < kDomains; ++d)
    EXPECT_GE(computed[d], 6) << "domain " << d;
}

// An engine computes from the loop it is handed: a loop decoded from one
// document and computed while the document holds another loop (the next of
// the corpus: a fault, another kind, another nonlinearity) gives what it
// gives on its own document.
TEST(Engines, AnEngineComputesFromItsLoopWhateverTheDocumentHoldsNow)
{
  constexpr std::size_t n = std::size(kCorpus);
  for (std::size_t i = 0; i < n; ++i) {
    const CorpusLoop& c = kCorpus[i];
    const CorpusLoop& other = kCorpus[(i + 1) % n];
    SCOPED_TRACE(c.name);
    for (int d = 0; d < kDomains; ++d) {
      Outcome alone, replaced;
      {
        ModelScope model;
        WriteCorpusLoop(c);
        alone = Compute(static_cast<Domain>(d), c);
      }
      {
        ModelScope model;
        WriteCorpusLoop(c);
        replaced = Compute(static_cast<Domain>(d), c, &other);
      }
      EXPECT_EQ(replaced.ok, alone.ok) << "domain " << d;
      EXPECT_EQ(replaced.message, alone.message) << "domain " << d;
      EXPECT_TRUE(replaced.bytes == alone.bytes) << "domain " << d;
    }
  }
}

// A run's own checks keep their place before or after the message of a
// loop that does not decode, as when each run decoded the document itself.
TEST(Engines, ARunsChecksKeepTheirPlaceAroundTheLoopsFault)
{
  using Run = bool (*)();
  const Run time = [] {
    auto st = std::make_unique<TRANSTAT>();
    st->loop.compIn = true;
    return DecodedTimeEngine(Sys(), *st);
  };
  const Run response = [] {
    auto rec = std::make_unique<FREQSTAT>();
    InitFreqSettings(Sys(), *rec);
    rec->set.points = 0;
    return ComputeResponse(DecodeFreqLoop(Sys(), *rec, FreqUse::Response), *rec);
  };
  const Run describing = [] {
    auto rec = std::make_unique<FREQSTAT>();
    InitFreqSettings(Sys(), *rec);
    rec->loop.fwdNl = true;
    rec->set.view = FreqView::BodeGain;
    return DecodedDescribingFunction(Sys(), *rec);
  };
  const Run cycles = [] {
    auto rec = std::make_unique<FREQSTAT>();
    InitFreqSettings(Sys(), *rec);
    rec->loop.fwdNl = true;
    auto list = std::make_unique<LimitCycleList>();
    return DecodedLimitCycles(Sys(), *rec, *list);
  };
  const Run report = [] {
    auto rec = std::make_unique<ROOTSTAT>();
    return PrepareRootReport(DecodeRootLoop(Sys(), *rec, RootUse::ClosedReport), *rec, true);
  };
  const struct {
    const char* name;
    LoopTexts loop;
    const char* fwdNl;
    Run run;
    const char* message;
  } kCases[] = {
      {"time: no plant before the compensator's fault",
       {.gcNum = "sin(", .gpNum = "1", .gpDen = ""},
       "x",
       time,
       "No plant transfer function"},
      {"time: the plant's fault", {.gpNum = "sin("}, "x", time, "Term expected"},
      {"response: the fault before the grid", {.gpNum = "sin("}, "x", response, "Term expected"},
      {"response: the grid", {}, "x", response, "No of Points must lie between 1 and 1000"},
      {"describing function: no plant decoded",
       {.gpNum = "sin("},
       "clip(x,1)",
       describing,
       "Describing functions not available in Bode views"},
      {"limit cycles: the nonlinearity first", {.gpNum = "sin("}, "sin(", cycles, "Invalid nonlinear function"},
      {"limit cycles: then the loop's fault", {.gpNum = "sin("}, "clip(x,1)", cycles, "Term expected"},
      {"closed-loop report: the delay", {.delay = 0.3}, "x", report, "Not available with delay"},
      {"closed-loop report: the fault", {.gpNum = "sin("}, "x", report, "Term expected"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ModelScope model;
    WriteCorpusLoop({c.name, c.loop, c.fwdNl});
    ClearError();
    EXPECT_FALSE(c.run());
    EXPECT_STREQ(ErrorPending() ? ErrorMessage() : "", c.message);
  }
}

TEST(Engines, TheClosedLoopReportKeepsTheOpenLoopRootSets)
{
  for (const CorpusLoop& c : kCorpus) {
    SCOPED_TRACE(c.name);
    ModelScope model;
    WriteCorpusLoop(c);
    auto rec = std::make_unique<ROOTSTAT>();
    SetElements(rec->loop, c.loop);
    rec->loop.closedLoop = false;
    const bool openOk = PrepareRootReport(DecodeRootLoop(Sys(), *rec, ReportUse(false)), *rec, false);
    ClearError();
    const RootLocations open = rec->report;
    std::vector<unsigned char> before;
    Append(before, &Sys(), 1);

    const bool closedOk = PrepareRootReport(DecodeRootLoop(Sys(), *rec, ReportUse(true)), *rec, true);
    ClearError();
    std::vector<unsigned char> after;
    Append(after, &Sys(), 1);
    EXPECT_TRUE(before == after);
    if (!openOk || !closedOk)
      continue;
    // The open loop's poles stay in the window's decoded loop, the report
    // holds the closed loop's: the roots of D + K N, as many as the larger
    // of D and N has.
    EXPECT_EQ(std::memcmp(&rec->decoded.denRoots, &open.poles, sizeof open.poles), 0);
    EXPECT_EQ(rec->report.poles.n, std::max(open.poles.n, open.zeros.n));
  }
}

}  // namespace
