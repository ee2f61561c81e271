// vanto-cli eval EXPR [--domain time|freq|root|nlin]: the value of a
// constant expression, as the evaluator window computes it.

#include "cli/Cli.h"
#include "engine/domain/Domains.h"

#include "engine/base/Error.h"
#include "engine/expr/Expr.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"

#include <ostream>
#include <string>

int CmdEval(CliContext& ctx)
{
  std::string domain;
  const bool hasDomain = ctx.takeValue("--domain", domain);
  std::string text;
  if (!ctx.takeOnlyText(text, "eval needs an expression"))
    return 2;
  if (hasDomain) {
    const DomainInfo* found = FindDomainByName(domain);
    if (!found) {
      ctx.setUsageError("--domain: time, freq, root or nlin expected");
      return 2;
    }
    Sys().activeDomain = found->domain;
  }

  ClearError();
  CompiledExpr e;
  if (!parse(text.c_str(), e)) {
    if (ErrorPending())
      return ctx.systemError();
    ctx.setUsageError("eval needs an expression");  // a text of blanks only
    return 2;
  }
  const double v = eval(e);
  if (ErrorPending())
    return ctx.systemError();
  ctx.out << FormatDouble(v) << '\n';
  return 0;
}
