// The first harmonic of a nonlinearity's output by adaptive Gauss-Kronrod
// quadrature.

#include "engine/freq/HarmonicQuadrature.h"

#include "engine/expr/Expr.h"
#include "engine/base/Error.h"
#include "engine/model/Toolkit.h"

#include <algorithm>
#include <cmath>

namespace {

// Kronrod nodes on [-1, 1] (the Gauss nodes are those of odd index) and the
// weights of both rules.
constexpr double kNode[8] = {0.991455371120812639206854697526329, 0.949107912342758524526189684047851,
                             0.864864423359769072789712788640926, 0.741531185599394439863864773280788,
                             0.586087235467691130294144845693013, 0.405845151377397166906606412076961,
                             0.207784955007898467600689403773245, 0.0};
constexpr double kKronrod[8] = {0.022935322010529224963732008058970, 0.063092092629978553290700663189204,
                                0.104790010322250183839876322541518, 0.140653259715525918745189590510238,
                                0.169004726639267902826583426598550, 0.190350578064785409913256402421014,
                                0.204432940075298892414161999234649, 0.209482141084727828012999174891714};
constexpr double kGauss[4] = {0.129484966168869693270611432679082, 0.279705391489276667901467771423780,
                              0.381830050505118944950369775488975, 0.417959183673469387755102040816327};

constexpr int kPieces = 8;          // equal pieces of the half period to start from
constexpr int kScan = 128;          // samples of the half period scanned for steps
constexpr int kMaxDepth = 48;       // halvings of a piece
constexpr int kStack = kMaxDepth + 2;
constexpr int kMaxIntervals = 6000;
constexpr double kTolerance = 1e-11;  // of the output's peak, per radian and as a width of the period

// The integrals of f(A cos theta) cos theta and f(A cos theta) sin theta.
struct Harmonic {
  double c = 0.0, s = 0.0;
};

struct Interval {
  double a = 0.0, b = 0.0;
  int depth = 0;
  bool smooth = false;  // a search for a jump in it or its parent found none
};

constexpr int kJumpDepth = 3;       // halvings after which a stubborn interval is searched for a jump
constexpr double kJumpSize = 1e-4;  // of the output's peak: a step, not a steep slope
constexpr double kStepRatio = 8.0;  // a scanned change this many times the one beside it may be a step

// f(A cos theta), hyst excited as the sampled transform excites it: risen
// from -A to +A, then down to -A for the rising half.
double Output(const Nonlinearity& nl, double amplitude, double cosTheta, bool rising)
{
  CompiledExpr& e = *nl.expr;
  if (nl.hyst) {
    StartHystAfterRise(e, amplitude);
    if (rising) {
      e.vars[0].value = -amplitude;
      (void)eval(e);
    }
  }
  e.vars[0].value = amplitude * cosTheta;
  return eval(e);
}

// Both rules on [a, b]: the Kronrod sums and their largest difference from
// the Gauss sums.
Harmonic Rules(const Nonlinearity& nl, double amplitude, const Interval& iv, double& error)
{
  const double half = 0.5 * (iv.b - iv.a), mid = 0.5 * (iv.a + iv.b);
  Harmonic k, g;
  for (int i = 0; i < 8; ++i) {
    for (int side = 0; side < (i == 7 ? 1 : 2); ++side) {
      const double t = side == 0 ? mid + half * kNode[i] : mid - half * kNode[i];
      const double ct = std::cos(t), st = std::sin(t);
      const double y = Output(nl, amplitude, ct, t > kPi);
      k.c += kKronrod[i] * y * ct;
      k.s += kKronrod[i] * y * st;
      if (i & 1) {
        g.c += kGauss[i / 2] * y * ct;
        g.s += kGauss[i / 2] * y * st;
      }
    }
  }
  error = half * std::max(std::fabs(k.c - g.c), std::fabs(k.s - g.s));
  return {half * k.c, half * k.s};
}

// Where the output jumps in iv, by bisection towards the larger change,
// to within minWidth; false when the change left there is no step (a kink
// or a steep slope), the point then meaningless.
bool FindJump(const Nonlinearity& nl, double amplitude, const Interval& iv, double minWidth, double peak,
              double& at)
{
  double lo = iv.a, hi = iv.b;
  const bool rising = iv.a >= kPi;
  double ylo = Output(nl, amplitude, std::cos(lo), rising), yhi = Output(nl, amplitude, std::cos(hi), rising);
  while (hi - lo > minWidth) {
    const double mid = 0.5 * (lo + hi);
    const double ym = Output(nl, amplitude, std::cos(mid), rising);
    if (std::fabs(ym - ylo) > std::fabs(yhi - ym)) {
      hi = mid;
      yhi = ym;
    } else {
      lo = mid;
      ylo = ym;
    }
  }
  at = 0.5 * (lo + hi);
  return std::fabs(yhi - ylo) > kJumpSize * peak && at > iv.a && at < iv.b;
}

}  // namespace

bool IntegratedDescribingFunction(const Nonlinearity& nl, double amplitude, Complex& n)
{
  n = Complex{};
  if (!nl.expr || !(amplitude > 0))
    return false;
  // Without memory f(A cos theta) is even about theta = pi: the half period
  // holds the whole harmonic, and the sine part is 0.
  const double end = nl.hyst ? kTwoPi : kPi;
  const int samples = nl.hyst ? 2 * kScan : kScan;
  double y[2 * kScan + 1];
  double peak = 0.0;
  for (int i = 0; i <= samples; ++i) {
    const double t = end * i / samples;
    y[i] = Output(nl, amplitude, std::cos(t), t > kPi);
    peak = std::max(peak, std::fabs(y[i]));
  }
  const double tolerance = kTolerance * peak;
  const double minWidth = kTolerance * kTwoPi;

  // The pieces: kPieces to a half period, split further at the steps of
  // the output that the scan shows (a change between two samples far
  // larger than beside it), so that no rule straddles a step it might
  // miss.
  double edge[2 * kScan + 2 * kPieces + 2];
  int edges = 0;
  const int perPiece = kScan / kPieces;
  for (int i = 0; i < samples; ++i) {
    const double t0 = end * i / samples, t1 = end * (i + 1) / samples;
    if (i % perPiece == 0)
      edge[edges++] = t0;
    const double d = std::fabs(y[i + 1] - y[i]);
    const double before = i > 0 ? std::fabs(y[i] - y[i - 1]) : 0.0;
    const double after = i + 1 < samples ? std::fabs(y[i + 2] - y[i + 1]) : 0.0;
    double at = 0.0;
    if (d > kJumpSize * peak && d > kStepRatio * std::min(before, after) &&
        FindJump(nl, amplitude, {t0, t1, 0, false}, minWidth, peak, at))
      edge[edges++] = at;
  }
  edge[edges++] = end;

  Harmonic sum;
  bool converged = std::isfinite(peak);
  int intervals = 0;
  Interval stack[kStack];
  for (int p = 0; p + 1 < edges && converged; ++p) {
    int top = 0;
    stack[top++] = {edge[p], edge[p + 1], 0, false};
    while (top > 0) {
      const Interval iv = stack[--top];
      double error = 0.0;
      const Harmonic h = Rules(nl, amplitude, iv, error);
      ++intervals;
      const double width = iv.b - iv.a;
      const bool fine = error <= tolerance * width || width <= minWidth;
      const bool room = top + 2 <= kStack && iv.depth < kMaxDepth && intervals < kMaxIntervals;
      if (fine || !room || !std::isfinite(error)) {
        converged = converged && fine && std::isfinite(error);
        sum.c += h.c;
        sum.s += h.s;
        continue;
      }
      // A step the scan did not show (two close together) keeps the rules
      // apart at any width: found, it is split at once.
      double split = 0.5 * (iv.a + iv.b);
      bool smooth = iv.smooth;
      if (!smooth && iv.depth >= kJumpDepth)
        smooth = !FindJump(nl, amplitude, iv, minWidth, peak, split);
      if (smooth)
        split = 0.5 * (iv.a + iv.b);
      stack[top++] = {split, iv.b, iv.depth + 1, smooth};
      stack[top++] = {iv.a, split, iv.depth + 1, smooth};
    }
  }
  const double scale = (nl.hyst ? 1.0 : 2.0) / (kPi * amplitude);
  n = {scale * sum.c, nl.hyst ? -scale * sum.s : 0.0};
  return converged && !ErrorPending();
}
