#pragma once
// A family of responses over one parameter of the loop: which parameter
// (a user parameter a-d or the loop gain), the range its members spread
// over, and the member values. The time and frequency engines run each
// member on a copy of the loop document with the value set in it.

#include "engine/model/SysData.h"

#include <array>

inline constexpr int kMaxFamilyMembers = 10;
// The parameter a family runs over: 0..3 are the user parameters a..d.
inline constexpr int kFamilyGain = 4;

struct FamilyPlan {
  int over = kFamilyGain;
  double from = 0.5;
  double to = 2.0;
  int members = 5;   // 1..kMaxFamilyMembers
  bool log = false;  // spread evenly on a logarithmic scale
};

// The member values, and which one holds the document's current value (-1
// when none does).
struct FamilyMembers {
  int count = 0;
  int current = -1;
  std::array<double, kMaxFamilyMembers> value{};
};

// "a".."d" or "gain".
[[nodiscard]] const char* FamilyParameterName(int over);

// The value the document gives the parameter: its gain or the user parameter.
[[nodiscard]] double FamilyParameterValue(const SYSDATA& doc, int over);

// Spreads plan's members from plan.from to plan.to, both ends included
// (one member lies at plan.from), evenly or evenly in the logarithm, and
// marks the member equal to current (within 1e-12 relative). False with
// the message pending, and out empty, for more than kMaxFamilyMembers
// members, fewer than one, a range whose start is not below its end, a
// logarithmic range that is not positive or a parameter out of a-d/gain.
[[nodiscard]] bool SpreadFamily(const FamilyPlan& plan, double current, FamilyMembers& out);

// Gives the copy of a loop document the member value v: its gain, or the
// user parameter (the texts read it when the run decodes them). The scope
// puts the user parameter back as it found it.
class FamilyValueScope {
public:
  FamilyValueScope(SYSDATA& copy, int over, double v);
  ~FamilyValueScope();
  FamilyValueScope(const FamilyValueScope&) = delete;
  FamilyValueScope& operator=(const FamilyValueScope&) = delete;

private:
  int over_;
  double saved_;
};

// Records "Family member k (p = V): MESSAGE" in place of the pending message
// of a member's failed run (k counted from 1).
void ReportMemberFailure(const FamilyPlan& plan, int member, double value);
