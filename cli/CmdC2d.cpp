// vanto-cli c2d: the s-to-z transform of the compensator or the plant, as
// the transfer-function editor applies it.

#include "cli/Cli.h"

#include "engine/base/Error.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"
#include "engine/model/TfTransform.h"

#include <ostream>
#include <string>

namespace {

struct MethodName {
  const char* name;
  TransformMethod method;
};
constexpr MethodName kMethods[] = {
    {"zoh", TransformMethod::Zoh},
    {"rect", TransformMethod::Rectangular},
    {"tustin", TransformMethod::Tustin},
    {"prewarp", TransformMethod::TustinPrewarp},
};

void PrintSide(std::ostream& out, const char* name, const ZPolynomial& p)
{
  out << name;
  for (int i = 0; i < p.n; ++i)
    out << ',' << FormatDouble(p.c[i]);
  out << '\n';
}

}  // namespace

int CmdC2d(CliContext& ctx)
{
  std::string element, method;
  const bool hasElement = ctx.takeValue("--element", element);
  const bool hasMethod = ctx.takeValue("--method", method);
  double freq = 0.0;
  const bool hasFreq = ctx.takeNumber("--prewarp-freq", freq);
  const bool hz = ctx.takeFlag("--hz");
  const bool coefficients = ctx.takeFlag("--coefficients");
  if (!ctx.usageError().empty() || ctx.leftover())
    return 2;
  int elem = -1;
  if (element == "plant")
    elem = kPlant;
  else if (element == "compensator")
    elem = kCompensator;
  if (!hasElement || elem < 0) {
    ctx.setUsageError("c2d: --element plant or compensator expected");
    return 2;
  }
  const MethodName* found = nullptr;
  for (const MethodName& m : kMethods)
    if (method == m.name)
      found = &m;
  if (!hasMethod || !found) {
    ctx.setUsageError("c2d: --method zoh, rect, tustin or prewarp expected");
    return 2;
  }
  if (hasFreq && found->method != TransformMethod::TustinPrewarp) {
    ctx.setUsageError("c2d: --prewarp-freq goes with --method prewarp");
    return 2;
  }

  SYSDATA& s = Sys();
  TransformRequest req;
  req.method = found->method;
  req.prewarpFreq = hz ? freq * 2 * 3.14159265358979323846 : freq;
  // the texts of the element as they are before the transform
  TfText num, den;
  SetText(num, s.num[elem]);
  SetText(den, s.den[elem]);
  TransformResult result;
  ClearError();
  if (!TransformElement(s, elem, num, den, req, result))
    return ctx.systemError();
  RepeatTimed(ctx, [&] {
    TransformResult again;
    (void)TransformElement(s, elem, num, den, req, again);
  });
  if (coefficients) {
    PrintSide(ctx.out, "num", result.numZ);
    PrintSide(ctx.out, "den", result.denZ);
    ctx.out << "delay-samples," << result.delaySamples << '\n';
  } else {
    ctx.out << result.num << '\n' << result.den << '\n';
  }
  return 0;
}
