// vanto-cli decode TEXT [--factored]: the polynomial a transfer-function
// text describes, or its gain and roots factor by factor.

#include "cli/Cli.h"

#include "engine/base/Error.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"
#include "engine/model/TfParser.h"

#include <ostream>
#include <string>

int CmdDecode(CliContext& ctx)
{
  const bool factored = ctx.takeFlag("--factored");
  std::string text;
  if (!ctx.takeOnlyText(text, "decode needs a transfer-function text"))
    return 2;
  SYSDATA& s = Sys();
  ClearError();
  s.currentVariable = ' ';
  if (factored) {
    RootSet roots;
    double gain = 1.0;
    if (!RootDecode(s, text.c_str(), roots, gain))
      return ctx.systemError();
    ctx.out << "gain," << FormatDouble(gain) << '\n';
    for (int i = 0; i < roots.n; ++i)
      ctx.out << FormatDouble(roots.r[i].re) << ',' << FormatDouble(roots.r[i].im) << '\n';
    return 0;
  }
  Polynomial p;
  if (!PolyDecode(s, text.c_str(), p))
    return ctx.systemError();
  ctx.out << (s.currentVariable == ' ' ? '-' : s.currentVariable);
  for (int i = 0; i < p.n; ++i)
    ctx.out << ',' << FormatDouble(p.c[i]);
  ctx.out << '\n';
  return 0;
}
