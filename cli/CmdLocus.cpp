// vanto-cli locus: the root locus of the loop inside a rectangle, the open-
// or closed-loop pole and zero report, the locus gain and angle at a point,
// and the damping-ratio and settling-time contours.

#include "cli/Cli.h"
#include "cli/LocusOptions.h"

#include "engine/base/Error.h"
#include "engine/expr/Expr.h"
#include "engine/model/Model.h"
#include "engine/model/ValueRanges.h"
#include "engine/root/RootEngine.h"
#include "engine/root/RootReport.h"

#include <ostream>
#include <string>

namespace {

// "X,Y": two expressions split at the comma outside any brackets.
bool ParsePoint(const std::string& text, double& x, double& y)
{
  int depth = 0;
  std::size_t comma = std::string::npos;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    depth += (c == '(' || c == '[') - (c == ')' || c == ']');
    if (c == ',' && depth == 0) {
      if (comma != std::string::npos)
        return false;
      comma = i;
    }
  }
  if (comma == std::string::npos)
    return false;
  const std::string parts[2] = {text.substr(0, comma), text.substr(comma + 1)};
  double v[2] = {};
  for (int k = 0; k < 2; ++k) {
    ClearError();
    v[k] = EvalConstant(parts[k].c_str());
    if (ErrorPending() || parts[k].find_first_not_of(" \t") == std::string::npos) {
      ClearError();
      return false;
    }
  }
  x = v[0];
  y = v[1];
  return true;
}

void PrintContour(CliContext& ctx, const ROOTSTAT& rec)
{
  ctx.out << "x,y\n";
  for (int i = 0; i < rec.result.count; ++i) {
    const LocusPoint& p = rec.result.points[static_cast<std::size_t>(i)];
    ctx.out << FormatSingle(p.x) << ',' << FormatSingle(p.y) << '\n';
  }
}

void PrintRoots(CliContext& ctx, const char* kind, const RootSet& set)
{
  for (int i = 0; i < set.n; ++i)
    ctx.out << kind << ',' << FormatDouble(set.r[i].re) << ',' << FormatDouble(set.r[i].im) << ','
            << FormatDouble(RootRadius(set.r[i])) << ',' << FormatDouble(RootAngleDegrees(set.r[i])) << '\n';
}

}  // namespace

int CmdLocus(CliContext& ctx)
{
  const std::unique_ptr<ROOTSTAT> rec = CreateRootLocus(Sys());
  LocusRequest asked;
  const int rc = TakeLocusOptions(ctx, *rec, asked);
  std::string report, pointText;
  const bool hasReport = ctx.takeValue("--report", report);
  const bool hasPoint = ctx.takeValue("--point", pointText);
  if (rc == 2 || !ctx.usageError().empty() || ctx.leftover())
    return 2;
  if (hasReport + hasPoint + asked.damping + asked.settling > 1) {
    ctx.setUsageError("locus: --report, --point, --damping and --settling exclude each other");
    return 2;
  }
  if (hasReport && report != "open" && report != "closed") {
    ctx.setUsageError("locus: --report open or closed expected");
    return 2;
  }
  double px = 0.0, py = 0.0;
  if (hasPoint && !ParsePoint(pointText, px, py)) {
    ctx.setUsageError("locus: --point X,Y expected");
    return 2;
  }
  if (rc == 1)
    return ctx.systemError();
  // Without rectangle options the rectangle is the window's start one.
  const double xMin = asked.hasXMin ? asked.xMin : rec->xMin, xMax = asked.hasXMax ? asked.xMax : rec->xMax;
  const double yMin = asked.hasYMin ? asked.yMin : rec->yMin, yMax = asked.hasYMax ? asked.yMax : rec->yMax;
  if (!MaxExceedsMin(xMin, xMax) || !MaxExceedsMin(yMin, yMax)) {
    SetError(kMaxMustExceedMin);
    return ctx.systemError();
  }
  SetWindow(*rec, xMin, xMax, yMin, yMax);

  if (hasReport) {
    const bool closed = report == "closed";
    if (!PrepareRootReport(DecodeRootLoop(Sys(), *rec, ReportUse(closed)), *rec, closed))
      return ctx.systemError();
    const RootSet poles = rec->report.poles, zeros = rec->report.zeros;
    RepeatTimed(ctx, [&] { (void)PrepareRootReport(DecodeRootLoop(Sys(), *rec, ReportUse(closed)), *rec, closed); });
    ctx.out << "kind,re,im,radius,angle_deg\n";
    PrintRoots(ctx, "pole", poles);
    PrintRoots(ctx, "zero", zeros);
    return 0;
  }
  if (!PrepareRootLoop(DecodeRootLoop(Sys(), *rec).roots, *rec))
    return ctx.systemError();
  if (hasPoint) {
    const double gain = LocusGain(rec->decoded, px, py), angle = ArgDegrees(rec->decoded, px, py);
    RepeatTimed(ctx, [&] { (void)(LocusGain(rec->decoded, px, py) + ArgDegrees(rec->decoded, px, py)); });
    ctx.out << "gain," << FormatDouble(gain) << "\nangle_deg," << FormatDouble(angle) << '\n';
    return 0;
  }
  if (asked.damping || asked.settling) {
    const auto contour = [&] {
      return asked.damping ? DampingContour(*rec, asked.zeta) : SettlingContour(rec->decoded, *rec);
    };
    if (!contour())
      return ctx.systemError();
    RepeatTimed(ctx, [&] { (void)contour(); });
    PrintContour(ctx, *rec);
    return 0;
  }
  if (!TraceLocus(DecodeRootLoop(Sys(), *rec).roots, *rec))
    return ctx.systemError();
  RepeatTimed(ctx, [&] { (void)TraceLocus(DecodeRootLoop(Sys(), *rec).roots, *rec); });
  ctx.out << "tag,x,y\n";
  for (int i = 0; i < rec->result.count; ++i) {
    const LocusPoint& p = rec->result.points[static_cast<std::size_t>(i)];
    ctx.out << FormatSingle(p.tag) << ',' << FormatSingle(p.x) << ',' << FormatSingle(p.y) << '\n';
  }
  return 0;
}
