// vanto-cli roots TEXT: the gain and roots of a polynomial text, in the order
// the root finder appends them.

#include "cli/Cli.h"

#include "engine/base/Error.h"
#include "engine/model/Model.h"
#include "engine/model/Roots.h"
#include "engine/model/SysData.h"
#include "engine/model/TfParser.h"

#include <ostream>
#include <string>

int CmdRoots(CliContext& ctx)
{
  std::string text;
  if (!ctx.takeOnlyText(text, "roots needs a polynomial text"))
    return 2;
  SYSDATA& s = Sys();
  ClearError();
  s.currentVariable = ' ';
  Polynomial p;
  if (!PolyDecode(s, text.c_str(), p))
    return ctx.systemError();
  RootSet roots;
  double gain = 1.0;
  if (!FindRoots(p.c, p.n, gain, roots))
    return ctx.systemError();
  ctx.out << "gain," << FormatDouble(gain) << '\n';
  for (int i = 0; i < roots.n; ++i)
    ctx.out << FormatDouble(roots.r[i].re) << ',' << FormatDouble(roots.r[i].im) << '\n';
  return 0;
}
