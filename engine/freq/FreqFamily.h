#pragma once
// A family of frequency responses: the window's sweep repeated for each
// member value of a parameter, each on a copy of the loop document, each
// into its own store, with its pen and, on demand, its stability margins.

#include "engine/domain/Family.h"
#include "engine/freq/FreqEngine.h"
#include "engine/freq/Margins.h"

#include <array>
#include <cstdint>

struct FreqFamily {
  FamilyPlan plan;
  FamilyMembers members;  // count 0: nothing stored
  std::array<std::uint32_t, kMaxFamilyMembers> pen{};
  std::array<FreqResult, kMaxFamilyMembers> results{};
  bool haveMargins = false;  // the run computed the margins of every member
  std::array<StabilityMargins, kMaxFamilyMembers> margins{};
};

// The copies one family run works on, allocated once by its owner.
struct FreqFamilyScratch {
  SYSDATA doc;
  FREQSTAT rec;
  FreqLoop loop;
};

// Sweeps rec on doc for each member of plan (the document's own value
// marks the current member), and with margins also computes each member's
// stability margins: member i is exactly what ComputeResponse and
// ComputeMargins leave for a copy of doc with the value set and a copy of
// rec. doc and rec are not written. False with the message pending and fam
// empty on bad plan or when a member fails ("Family member k (p = V): ...").
// A family runs over the design, so it takes the document: each member's
// texts are decoded (DecodeFreqLoop) and computed by the engines above.
[[nodiscard]] bool RunFreqFamily(const SYSDATA& doc, const FREQSTAT& rec, const FamilyPlan& plan, bool margins,
                                 FreqFamily& fam, FreqFamilyScratch& work);

class DisplayList;

// Width in pixels of the curve of the document's own value.
inline constexpr int kCurrentResponseWidth = 3;

// Adds the members' responses to list as DrawResponse draws a response (in
// rec's view and unit, gaps where a point does not exist), each in its pen,
// then rec's own response (the document's value) in currentPen,
// kCurrentResponseWidth wide.
void DrawFreqFamily(DisplayList& list, const FreqFamily& fam, const FREQSTAT& rec, std::uint32_t currentPen);

// The member whose curve passes nearest the point (x, y) of the view the
// family was swept in, distances measured in pixels: xPerPixel and
// yPerPixel are the chart's units per pixel. Gaps (points without a
// coordinate) are not crossed. -1 for an empty family.
[[nodiscard]] int NearestFreqMember(const FreqFamily& fam, double x, double y, double xPerPixel, double yPerPixel);
