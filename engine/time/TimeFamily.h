#pragma once
// A family of time responses: the window's run repeated for each member
// value of a parameter, each on a copy of the loop document, each into its
// own store, with its pen and, on demand, its step characteristics.

#include "engine/domain/Family.h"
#include "engine/time/TimeCharacteristics.h"
#include "engine/time/TimeEngine.h"

#include <array>
#include <cstdint>

struct TimeFamily {
  FamilyPlan plan;
  FamilyMembers members;  // count 0: nothing stored
  std::array<std::uint32_t, kMaxFamilyMembers> pen{};
  std::array<TransResult, kMaxFamilyMembers> results{};
  // Measured by every run; haveCharacteristics[i] false where member i's
  // output has none (a phase plane, a non-finite output).
  std::array<ResponseCharacteristics, kMaxFamilyMembers> characteristics{};
  std::array<bool, kMaxFamilyMembers> haveCharacteristics{};
};

// The copies one family run works on, allocated once by its owner.
struct TimeFamilyScratch {
  SYSDATA doc;
  TRANSTAT st;
  Loop loop;
};

// Runs st on doc for each member of plan (the document's own value marks
// the current member): member i is exactly what TimeEngine leaves for the
// loop of a copy of doc with the value set and a copy of st. A family runs
// over the design, so it takes the document: each member's texts are
// decoded (DecodeTimeLoop) and run through TimeEngine. doc and st are not
// written. False with the message pending and fam empty on bad plan or
// when a member's run fails ("Family member k (p = V): ...").
[[nodiscard]] bool RunTimeFamily(const SYSDATA& doc, const TRANSTAT& st, const FamilyPlan& plan, TimeFamily& fam,
                                 TimeFamilyScratch& work);

class DisplayList;

// Width in pixels of the curve of the document's own value.
inline constexpr int kCurrentCurveWidth = 3;

// Adds the outputs of the members to list, each in its pen (the path of
// (X, Y) for a phase plane), then the output of current (the run at the
// document's value) in currentPen, kCurrentCurveWidth wide.
void DrawTimeFamily(DisplayList& list, const TimeFamily& fam, const TransResult& current, std::uint32_t currentPen);

// The member whose curve passes nearest the point (t, y), distances
// measured in pixels: tPerPixel and yPerPixel are the chart's units per
// pixel. The curve is taken between its stored points (segments). -1 for
// an empty family.
[[nodiscard]] int NearestTimeMember(const TimeFamily& fam, double t, double y, double tPerPixel, double yPerPixel);
