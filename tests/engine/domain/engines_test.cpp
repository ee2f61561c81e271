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

// Computes one domain on the loop model as its window's Go does, with
// settings made for the loop.
Outcome Compute(Domain d, const CorpusLoop& c)
{
  ClearError();
  switch (d) {
    case kTime: {
      auto st = std::make_unique<TRANSTAT>();
      SetElements(st->loop, c.loop);
      st->loop.fwdNl = c.fwdIn;
      st->costOnGo = true;
      std::strcpy(st->costText, "integ(e*e)+max(y)");
      Outcome o = Finish(DecodedTimeEngine(Sys(), *st));
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
      Outcome o = Finish(ComputeResponse(DecodeFreqLoop(Sys(), *rec, FreqUse::Response), *rec));
      if (o.ok)
        Append(o.bytes, rec->result.points.data(), static_cast<std::size_t>(rec->result.count));
      StabilityMargins margins;
      const Outcome m = Finish(ComputeMargins(DecodeFreqLoop(Sys(), *rec, FreqUse::OpenLoop), margins));
      o.message += "|" + m.message;
      if (m.ok) {
        const double found[] = {double(margins.gainCount), double(margins.phaseCount), margins.bandLo, margins.bandHi};
        Append(o.bytes, found, std::size(found));
      }
      rec->loop.fwdNl = true;
      rec->set.amplitudes = 20;
      const Outcome df = Finish(DecodedDescribingFunction(Sys(), *rec));
      o.message += "|" + df.message;
      if (df.ok)
        Append(o.bytes, rec->result.points.data(), static_cast<std::size_t>(rec->result.count));
      auto cycles = std::make_unique<LimitCycleList>();
      const Outcome lc = Finish(DecodedLimitCycles(Sys(), *rec, *cycles));
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
      const RootLoop loop = DecodeRootLoop(Sys(), *rec);
      Outcome o = Finish(PrepareRootLoop(loop.roots, *rec) && TraceLocus(loop.roots, *rec));
      if (o.ok)
        Append(o.bytes, rec->result.points.data(), static_cast<std::size_t>(rec->result.count));
      Loop fresh;
      const RootStatus status = RootStatusAt(ReadoutLoop(Sys(), *rec, fresh), *rec, -0.5, 0.7, Sys().numberFormat);
      o.message += "|" + status.text;
      double gain = 0.0;
      const Outcome atPoint = Finish(GainAtLocusPoint(loop.roots, *rec, -0.5, 0.7, 1, gain));
      o.message += "|" + atPoint.message;
      Append(o.bytes, &gain, 1);
      Outcome report = Finish(PrepareRootReport(DecodeRootLoop(Sys(), *rec, ReportUse(true)), *rec, true));
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
      Outcome o = Finish(DecodedCharacteristic(Sys(), *rec));
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

void WriteCorpusLoop(const CorpusLoop& c)
{
  WriteLoop(c.loop);
  SetText(Sys().fwdNlText, c.fwdNl);
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
