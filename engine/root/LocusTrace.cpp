// The tracer: follows the zero set of the angle deficit with a fixed step,
// a Newton corrector on each step's direction, a search for break points
// where the direction reverses, and branch ends at the rectangle's edges
// and at open-loop zeros.

#include "engine/base/Error.h"
#include "engine/model/NumberFormat.h"
#include "engine/model/Toolkit.h"
#include "engine/model/ValueRanges.h"
#include "engine/root/LocusAngle.h"
#include "engine/root/RootEngine.h"

#include <cmath>
#include <utility>

namespace {

constexpr const char* kCurvatureMessage = "Locus curvature too great, try changing scales or number of points";
constexpr int kMaxIterations = 21;
// A branch ends once the store holds more than this many points, leaving
// room for the next branch's start, break point and first point.
constexpr int kBranchStoreLimit = 1992;

struct Step {
  double dx = 0.0;
  double dy = 0.0;
  double theta = 0.0;  // the locus direction at the point reached
};

// The four edges in the order they are scanned.
enum class Edge { Left, Right, Bottom, Top };

class Tracer {
public:
  Tracer(const Loop& roots, ROOTSTAT& rec) : roots_(roots), rec_(rec), r_(rec.result) {}

  bool Run();

private:
  bool Store(int tag, double x, double y);
  bool Correct(double x, double y, double radius, double theta, Step& out) const;
  bool BreakPoint(double& x, double& y, double reversed, Step& out);
  bool TraceBranch(int b);
  bool BranchEnds(double x, double y);
  bool FindStarts();
  bool AddStart(double x, double y, double direction, bool atPole, int pole);
  void GroupCoincidentStarts(int n);
  bool ScanEdge(Edge e);

  const Loop& roots_;
  ROOTSTAT& rec_;
  LocusResult& r_;
  LocusLoop L_;
  double h_ = 0.0;
  double tol_ = 0.0;
  int startPole_[kMaxBranches + 1] = {};  // pole index of each start at a pole
};

bool Tracer::Store(int tag, double x, double y)
{
  if (r_.storedPoints >= kLocusStoreSize)
    return false;
  r_.points[static_cast<std::size_t>(r_.storedPoints++)] =
      LocusPoint{static_cast<float>(tag), StoreFloat(x), StoreFloat(y)};
  return true;
}

// A step of length radius from (x, y) that lands on the locus, found by
// Newton's method on its direction starting from theta.
bool Tracer::Correct(double x, double y, double radius, double theta, Step& out) const
{
  double th = theta;
  for (int it = 1;; ++it) {
    const double dx = radius * std::cos(th), dy = radius * std::sin(th);
    const AngleValue a = DeficitAndGradient(L_, x + dx, y + dy);
    const double D = a.gy * dx - a.gx * dy;  // d phi / d theta along the circle
    const double dth = std::fabs(D) < kTinyFloat ? 0.0 : -a.phi / D;
    th = WrapAngle(th + dth);
    if (std::fabs(dth) <= r_.angleTolerance) {
      out = Step{dx, std::fabs(dy) < tol_ ? 0.0 : dy, TangentDirection(a.gx, a.gy)};
      return true;
    }
    if (it >= kMaxIterations) {
      out = Step{0.0, 0.0, theta};
      SetError(kCurvatureMessage);
      return false;
    }
  }
}

// Entered at (x, y) with the reversed direction: moves (x, y) to the break
// point (a zero of d ln G / ds, found by Newton's method), stores it and
// returns in out the first step away from it.
bool Tracer::BreakPoint(double& x, double& y, double reversed, Step& out)
{
  double radius = h_;
  double last = reversed;
  for (int i = 0; i < 3; ++i) {
    radius /= 2;
    Step c;
    if (!Correct(x, y, radius, reversed, c))
      return false;
    if (std::fabs(WrapAngle(c.theta - reversed)) < kPi / 2) {
      x += c.dx;
      y += c.dy;
    }
    last = c.theta;
  }
  for (int it = 1;; ++it) {
    const AngleValue g = DeficitAndGradient(L_, x, y);
    double cxx = 0.0, cxy = 0.0;
    Curvature(L_, x, y, cxx, cxy);
    const double D = cxx * cxx + cxy * cxy;
    if (D < kTinyFloat || it > kMaxIterations) {
      SetError(kCurvatureMessage);
      return false;
    }
    const double ddx = -(g.gx * cxx + g.gy * cxy) / D;
    const double ddy = (g.gy * cxx - g.gx * cxy) / D;
    x += ddx;
    y += ddy;
    if (std::fabs(ddx) <= tol_ && std::fabs(ddy) <= tol_)
      break;
  }
  if (std::fabs(y) < tol_)
    y = 0.0;
  Store(kTagBreakPoint, x, y);
  return Correct(x, y, h_, last - kPi / 2, out);
}

// The branch ends outside the rectangle, or near a zero (stored with its own
// coordinates).
bool Tracer::BranchEnds(double x, double y)
{
  if (!(x <= rec_.xMax && x >= rec_.xMin && y <= rec_.yMax && y >= rec_.yMin))
    return true;  // outside, or not a number any more
  const double reach = 1.1 * h_;
  for (int i = 0; i < L_.nz; ++i) {
    if (SumSq(x - L_.zeros[i].re, y - L_.zeros[i].im) < reach * reach) {
      Store(kTagZeroEnd, L_.zeros[i].re, L_.zeros[i].im);
      return true;
    }
  }
  return false;
}

bool Tracer::TraceBranch(int b)
{
  r_.currentBranch = b;
  const BranchStart& st = r_.starts[static_cast<std::size_t>(b)];
  double x = st.x, y = st.y, theta = st.direction;
  if (!Store(st.atPole ? kTagPoleStart : b + 1, x, y))
    return true;
  for (;;) {
    Step s;
    if (!Correct(x, y, h_, theta, s))
      return false;
    if (std::fabs(WrapAngle(s.theta - theta)) > kPi / 2 && !BreakPoint(x, y, s.theta, s))
      return false;
    x += s.dx;
    y += s.dy;
    theta = s.theta;
    if (std::fabs(y) < tol_)
      y = 0.0;
    if (!Store(b + 1, x, y) || r_.storedPoints > kBranchStoreLimit || BranchEnds(x, y))
      return true;
  }
}

bool Tracer::AddStart(double x, double y, double direction, bool atPole, int pole)
{
  if (r_.branchCount >= kMaxBranches) {
    SetError("Too many loci");
    return false;
  }
  startPole_[r_.branchCount] = pole;
  r_.starts[static_cast<std::size_t>(r_.branchCount++)] = BranchStart{x, y, direction, atPole};
  return true;
}

// Starts at the same place form a group of m: the branches leave it in
// the m directions (phi + 2 pi k) / m, phi taken without the group's own
// angle terms (their angles between near-coincident poles mean nothing).
void Tracer::GroupCoincidentStarts(int n)
{
  for (int i = 0; i < n;) {
    int m = 1;
    for (int j = i + 1; j < n; ++j) {
      if (std::fabs(r_.starts[j].x - r_.starts[i].x) < tol_ && std::fabs(r_.starts[j].y - r_.starts[i].y) < tol_) {
        std::swap(r_.starts[static_cast<std::size_t>(i + m)], r_.starts[static_cast<std::size_t>(j)]);
        std::swap(startPole_[i + m], startPole_[j]);
        ++m;
      }
    }
    unsigned group = 0;
    for (int k = 0; k < m; ++k)
      group |= 1u << startPole_[i + k];
    const double phi = Deficit(L_, r_.starts[i].x, r_.starts[i].y, group);
    for (int k = 0; k < m; ++k)
      r_.starts[static_cast<std::size_t>(i + k)].direction = WrapAngle((phi + 2 * kPi * k) / m);
    i += m;
  }
}

// Walks one edge in steps of h looking for sign changes of phi; a change
// where |phi| is small is a locus crossing (the others are the 2 pi jumps of
// the wrapped angle), and a crossing whose branch points into the rectangle
// is a start.
bool Tracer::ScanEdge(Edge e)
{
  const bool vertical = e == Edge::Left || e == Edge::Right;
  const double fixed = e == Edge::Left     ? rec_.xMin
                       : e == Edge::Right  ? rec_.xMax
                       : e == Edge::Bottom ? rec_.yMin
                                           : rec_.yMax;
  const double lo = vertical ? rec_.yMin : rec_.xMin;
  const double hi = vertical ? rec_.yMax : rec_.xMax;
  const auto phiAt = [&](double t) { return vertical ? Deficit(L_, fixed, t) : Deficit(L_, t, fixed); };
  // phi = 0 counts as positive: on a locus that runs along the edge the
  // sign would otherwise flip at every step.
  const auto side = [](double phi) { return phi >= 0 ? 1 : -1; };

  int s0 = side(phiAt(lo));
  double t = lo;
  while (t < hi) {
    const double next = std::fmin(t + h_, hi);
    if (!(next > t))
      break;  // the step is below the resolution of the coordinates
    double last = phiAt(next);
    if (side(last) == s0) {
      t = next;
      continue;
    }
    double p = next, d = next - t;
    for (int i = 0; i < 8; ++i) {
      d /= 2;
      last = phiAt(p - d);
      if (side(last) != s0)
        p -= d;
    }
    s0 = -s0;
    t = p;
    if (std::fabs(last) > kPi / 2)
      continue;
    const double x = vertical ? fixed : p;
    double y = vertical ? p : fixed;
    if (std::fabs(y) < tol_)
      y = 0.0;  // on the real axis, as the traced points near it are
    const AngleValue a = DeficitAndGradient(L_, x, y);
    const double theta = TangentDirection(a.gx, a.gy);
    const bool enters = e == Edge::Left     ? WrapAngle(theta + kPi / 2) > 0
                        : e == Edge::Right  ? WrapAngle(theta - kPi / 2) > 0
                        : e == Edge::Bottom ? theta > 0
                                            : WrapAngle(theta + kPi) > 0;
    if (enters && !AddStart(x, y, theta, false, 0))
      return false;
  }
  return true;
}

bool Tracer::FindStarts()
{
  for (int i = 0; i < L_.np; ++i) {
    const Complex& p = L_.poles[i];
    if (p.re >= rec_.xMin && p.re <= rec_.xMax && p.im >= rec_.yMin && p.im <= rec_.yMax &&
        !AddStart(p.re, p.im, 0.0, true, i))
      return false;
  }
  GroupCoincidentStarts(r_.branchCount);
  for (Edge e : {Edge::Left, Edge::Right, Edge::Bottom, Edge::Top})
    if (!ScanEdge(e))
      return false;
  if (r_.branchCount == 0) {
    SetError("No loci on screen");
    return false;
  }
  return true;
}

// Removes every pole that lies within the tolerance of a zero, together with
// that zero.
void CancelPoleZeroPairs(Loop& s, double tol)
{
  RootSet& P = s.denRoots;
  RootSet& Z = s.numRoots;
  for (int i = 0; i < P.n;) {
    bool removed = false;
    for (int j = 0; j < Z.n && !removed; ++j) {
      if (std::fabs(P.r[i].re - Z.r[j].re) < tol && std::fabs(P.r[i].im - Z.r[j].im) < tol) {
        P.r[i] = P.r[--P.n];
        Z.r[j] = Z.r[--Z.n];
        removed = true;
      }
    }
    if (!removed)
      ++i;
  }
}

bool Tracer::Run()
{
  if (!PrepareRootLoop(roots_, rec_))
    return false;
  if (!InRange(rec_.points, ranges::kRootPoints.high, ranges::kRootPoints.low)) {
    SetRangeError(ranges::kRootPoints);
    return false;
  }
  if (!CheckLocusRectangle(rec_.xMin, rec_.xMax, rec_.yMin, rec_.yMax, rec_.points))
    return false;
  h_ = (rec_.xMax - rec_.xMin) / (rec_.points + 1e-6);
  tol_ = 0.1 * h_;
  r_.step = h_;
  r_.tolerance = tol_;
  r_.angleTolerance = 0.004363;  // a quarter of a degree
  r_.zPlane = rec_.zPlane;
  CancelPoleZeroPairs(rec_.decoded, tol_);
  L_ = LocusLoopOf(rec_.decoded);
  if (!FindStarts())
    return false;
  for (int b = 0; b < r_.branchCount; ++b)
    if (!TraceBranch(b))
      return false;
  return true;
}

}  // namespace

bool CheckLocusRectangle(double xMin, double xMax, double yMin, double yMax, int points)
{
  const ValueRange* const axis[4] = {&ranges::kXAxisMin, &ranges::kXAxisMax, &ranges::kYAxisMin, &ranges::kYAxisMax};
  const double bound[4] = {xMin, xMax, yMin, yMax};
  for (int i = 0; i < 4; ++i)
    if (!InRange(bound[i], axis[i]->high, axis[i]->low)) {
      SetRangeError(*axis[i]);
      return false;
    }
  if (!MaxExceedsMin(xMin, xMax) || !MaxExceedsMin(yMin, yMax)) {
    SetError(kMaxMustExceedMin);
    return false;
  }
  // The left and right edges are scanned in steps of the x range over N.
  if ((yMax - yMin) / (xMax - xMin) * (points + 1e-6) > kMaxEdgeSteps) {
    SetError(kLocusTallMessage);
    return false;
  }
  return true;
}

bool TraceLocus(const Loop& roots, ROOTSTAT& rec)
{
  LocusResult& r = rec.result;
  r.content = StoreContent::Empty;
  r.count = 0;
  r.storedPoints = 0;
  r.branchCount = 0;
  r.currentBranch = 0;
  if (!Tracer(roots, rec).Run())
    return false;
  r.count = r.storedPoints;
  r.content = StoreContent::Locus;
  return true;
}
