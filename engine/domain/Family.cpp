#include "engine/domain/Family.h"

#include "engine/base/Error.h"
#include "engine/expr/ConstantTable.h"
#include "engine/model/NumberFormat.h"

#include <cmath>
#include <cstdio>

const char* FamilyParameterName(int over)
{
  static const char* const kNames[] = {"a", "b", "c", "d", "gain"};
  return over >= 0 && over <= kFamilyGain ? kNames[over] : "?";
}

double FamilyParameterValue(const SYSDATA& doc, int over)
{
  return over == kFamilyGain ? doc.gain : Parameter(over);
}

bool SpreadFamily(const FamilyPlan& plan, double current, FamilyMembers& out)
{
  out.count = 0;
  out.current = -1;
  const char* problem = nullptr;
  if (plan.over < 0 || plan.over > kFamilyGain)
    problem = "Family parameter must be a, b, c, d or gain";
  else if (plan.members > kMaxFamilyMembers)
    problem = "A family has at most 10 members";
  else if (plan.members < 1)
    problem = "A family needs at least one member";
  else if (!std::isfinite(plan.from) || !std::isfinite(plan.to) || !(plan.from < plan.to))
    problem = "Family range: the start must be below the end";
  else if (plan.log && plan.from <= 0.0)
    problem = "A logarithmic family range must be positive";
  if (problem) {
    SetError(problem);
    return false;
  }
  const int n = plan.members;
  for (int i = 0; i < n; ++i) {
    const double f = n == 1 ? 0.0 : static_cast<double>(i) / (n - 1);
    double v = plan.log ? plan.from * std::pow(plan.to / plan.from, f) : plan.from + f * (plan.to - plan.from);
    if (i == n - 1 && n > 1)
      v = plan.to;  // the end exactly, whatever the rounding
    out.value[static_cast<std::size_t>(i)] = v;
    if (out.current < 0 && std::fabs(v - current) <= 1e-12 * std::fmax(std::fabs(v), std::fabs(current)))
      out.current = i;
  }
  out.count = n;
  return true;
}

FamilyValueScope::FamilyValueScope(SYSDATA& copy, int over, double v) : over_(over), saved_(Parameter(over))
{
  if (over == kFamilyGain)
    copy.gain = v;
  else
    SetParameter(over, v);
}

FamilyValueScope::~FamilyValueScope()
{
  if (over_ != kFamilyGain)
    SetParameter(over_, saved_);
}

void ReportMemberFailure(const FamilyPlan& plan, int member, double value)
{
  char number[32];
  (void)FormatInCLocale(number, sizeof number, "%.10g", value);
  char text[TError::kMaxMessage + 1];
  std::snprintf(text, sizeof text, "Family member %d (%s = %s): %s", member + 1, FamilyParameterName(plan.over), number,
                ErrorMessage());
  SetError(text);
}
