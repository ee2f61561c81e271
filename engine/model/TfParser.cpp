#include "engine/model/TfParser.h"

#include "engine/base/Error.h"
#include "engine/expr/ConstantTable.h"
#include "engine/expr/Expr.h"
#include "engine/model/NumberFormat.h"
#include "engine/model/Roots.h"
#include "engine/model/Toolkit.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <exception>

namespace {

bool Fail(const char* msg)
{
  SetError(msg);
  return false;
}

int exactScopes = 0;

// Appends x at the end of out (length L), formatted as the text would read:
// a sign already written in front is taken into the number, and before the
// variable a value of 1 leaves just its sign.
bool InsertValue(WorkText& out, int& L, double x, char follower)
{
  const bool exact = exactScopes > 0;
  const char* format = exact ? "%.17g" : "%12.4g";
  if (L > 0 && out[L - 1] == '-') {
    --L;
    x = -x;
    format = exact ? "%+.17g" : "%+12.4g";
  } else if (L > 0 && out[L - 1] == '+') {
    --L;
    format = exact ? "%+.17g" : "%+12.4g";
  }
  char num[48];
  if (FormatInCLocale(num, sizeof num, format, x) < 0)
    return Fail("Problem with preeval()");
  RemoveChar(num, ' ');
  if (follower == 's' || follower == 'z') {
    char* body = num + (num[0] == '+' || num[0] == '-');
    if (std::strcmp(body, "1") == 0)
      *body = '\0';
  }
  const int len = static_cast<int>(std::strlen(num));
  if (L + len >= kWorkSize)
    return Fail("Expression too long");
  std::memcpy(out + L, num, static_cast<std::size_t>(len));
  L += len;
  out[L] = '\0';
  return true;
}

bool PreEvalImpl(const char* src, WorkText& out)
{
  out[0] = '\0';
  const std::size_t srcLen = std::strlen(src);
  if (srcLen >= kTextSize)
    return Fail("Expression too long");
  int L = 0;
  for (std::size_t i = 0; i <= srcLen; ++i) {
    if (L > kWorkLimit)
      return Fail("Expression too long");
    const char ch = src[i];
    if (ch == ']')
      return Fail("Missing '['");
    if (ch == '[') {
      const char* close = std::strchr(src + i + 1, ']');
      if (!close)
        return Fail("Missing ']'");
      char expr[kTextSize];
      const std::size_t n = static_cast<std::size_t>(close - (src + i + 1));
      std::memcpy(expr, src + i + 1, n);
      expr[n] = '\0';
      CompiledExpr e;
      double v = 0.0;
      if (parse(expr, e))
        v = eval(e);
      else if (!ErrorPending())
        SetError("Term expected");  // nothing between the brackets
      if (ErrorPending())
        return false;
      if (!InsertValue(out, L, v, close[1]))
        return false;
      i = static_cast<std::size_t>(close - src);
      continue;
    }
    if (ch >= 'a' && ch <= 'd') {
      if (!InsertValue(out, L, Parameter(ch - 'a'), src[i + 1]))
        return false;
      continue;
    }
    out[L] = ch;
    if (ch != '\0')
      out[++L] = '\0';  // a copy cut short by an error stays terminated
  }
  return true;
}

// Reads one term (sign, coefficient, variable part) into poly.
bool ReadCoefficient(SYSDATA& s, const char* begin, const char* end, Polynomial& poly)
{
  while (begin < end && *begin == ' ')
    ++begin;
  double sign = 1.0;
  if (begin < end && (*begin == '+' || *begin == '-')) {
    sign = *begin == '-' ? -1.0 : 1.0;
    ++begin;
  }
  while (end > begin && end[-1] == ' ')
    --end;
  while (begin < end && *begin == ' ')
    ++begin;
  if (begin == end)
    return Fail("Term expected");
  const char* numEnd = begin;
  while (numEnd < end && std::strchr(" 0.123456789Ee+-", *numEnd) && *numEnd != '\0')
    ++numEnd;
  int power = 0;
  const std::ptrdiff_t rest = end - numEnd;
  if (rest > 0) {
    const char v = *numEnd;
    if (v != 's' && v != 'z')
      return Fail("Invalid variable");
    if (s.currentVariable == ' ')
      s.currentVariable = v;
    else if (s.currentVariable != v && s.strictCheck)
      return Fail("s & z mixed in transfer function");
    if (rest == 1)
      power = 1;
    else if (rest == 3 && numEnd[1] == '^' && numEnd[2] >= '0' && numEnd[2] <= '9')
      power = numEnd[2] - '0';
    else
      return Fail("Invalid term");
  }
  double value = sign;
  // A well-formed number, as nearly every coefficient is, reads directly;
  // anything else ("1 2", "1e", "1e999") goes through the expression reader
  // for its message or its value.
  double literal = 0.0;
  const auto [read, ec] = std::from_chars(begin, numEnd, literal);
  if (numEnd > begin && ec == std::errc() && read == numEnd) {
    value *= literal;
  } else if (numEnd > begin) {
    char text[kWorkSize];
    const std::size_t n = static_cast<std::size_t>(numEnd - begin);
    std::memcpy(text, begin, n);
    text[n] = '\0';
    CompiledExpr e;
    if (!parse(text, e))
      return ErrorPending() ? false : Fail("Term expected");
    value *= eval(e);
    if (ErrorPending())
      return false;
  }
  if (power >= kMaxCoeffs)
    return Fail("Order too high");
  if (value != 0) {
    poly.c[power] += value;
    if (poly.n < power + 1)
      poly.n = power + 1;
  }
  return true;
}

// Scans the polynomial in [begin, end) term by term into poly (zeroed, count
// 0 at first: a count of 0 afterwards means the zero polynomial).
bool ScanTerms(SYSDATA& s, const char* begin, const char* end, bool singleTerm, Polynomial& poly)
{
  poly = Polynomial{};
  poly.c[0] = 0;
  poly.n = 0;
  if (begin == end)
    return Fail("Polynomial expected");
  const char* start = begin;
  while (start < end) {
    const char* stop = start + 1;
    while (stop < end && !((*stop == '+' || *stop == '-') && stop[-1] != 'e' && stop[-1] != 'E'))
      ++stop;
    if (singleTerm && start != begin)
      return Fail("Missing brackets");
    try {
      if (!ReadCoefficient(s, start, stop, poly))
        return false;
    } catch (const std::exception&) {
      return Fail("Problem with coef()");
    }
    start = stop;
  }
  return true;
}

// The walk over the factors of a text shared by both decodings: each
// factor is handed to take(begin, end, singleTerm).
template <typename Take>
bool WalkFactors(const char* text, Take&& take)
{
  WorkText work;
  if (!PreEval(text, work))
    return false;
  const int N = static_cast<int>(std::strlen(work));
  int depth = 0;
  int p = 0;
  while (p < N && !ErrorPending()) {
    int OP = FindChar(work, '(', p);
    const int CL = FindChar(work, ')', p);
    if (CL == OP + 1)
      return Fail("Term expected");
    if (CL < OP) {
      if (--depth < 0)
        return Fail("No corresponding '('");
      OP = CL;
    }
    if (OP < CL && ++depth > 1)
      return Fail("Nested brackets");
    if (p < OP) {
      const bool single = (OP < CL || CL == N) && (p > 0 || OP < N);
      if (!take(work + p, work + OP, single))
        return false;
    }
    p = OP + 1;
  }
  if (depth != 0 && !ErrorPending())
    return Fail("Missing ')'");
  return !ErrorPending();
}

}  // namespace

bool PreEval(const char* src, WorkText& out)
{
  try {
    return PreEvalImpl(src ? src : "", out);
  } catch (const std::exception&) {
    out[0] = '\0';
    return Fail("Problem with preeval()");
  }
}

ExactPreEval::ExactPreEval()
{
  ++exactScopes;
}

ExactPreEval::~ExactPreEval()
{
  --exactScopes;
}

namespace {

// Term scanning of one factor, with its own message for an unexpected failure.
bool ScanFactor(SYSDATA& s, const char* b, const char* e, bool single, Polynomial& factor)
{
  try {
    return ScanTerms(s, b, e, single, factor);
  } catch (const std::exception&) {
    return Fail("Problem with term()");
  }
}

}  // namespace

bool PolyDecode(SYSDATA& s, const char* text, Polynomial& dest)
{
  try {
    return WalkFactors(text, [&](const char* b, const char* e, bool single) {
      Polynomial factor;
      if (!ScanFactor(s, b, e, single, factor))
        return false;
      if (factor.n == 0) {
        // a zero factor makes the whole product the zero polynomial
        dest = Polynomial{};
        dest.c[0] = 0;
        return true;
      }
      return PolyProduct(dest, factor);
    });
  } catch (const std::exception&) {
    return Fail("Problem with polydecode()");
  }
}

bool RootDecode(SYSDATA& s, const char* text, RootSet& dest, double& gain)
{
  try {
    return WalkFactors(text, [&](const char* b, const char* e, bool single) {
      Polynomial factor;
      if (!ScanFactor(s, b, e, single, factor))
        return false;
      if (factor.n == 0) {
        gain = 0;
        return true;
      }
      return FindRoots(factor.c, factor.n, gain, dest);
    });
  } catch (const std::exception&) {
    return Fail("Problem with rootdecode()");
  }
}

bool DecodeElementFactored(SYSDATA& s, int j)
{
  if (!RootDecode(s, s.num[j], s.numRoots, s.rootGain))
    return false;
  double denGain = 1.0;
  if (!RootDecode(s, s.den[j], s.denRoots, denGain))
    return false;
  if (!(std::fabs(denGain) > 1e-20))
    return Fail("Coefficient too small");
  s.rootGain /= denGain;
  s.factoredDecodeDone = true;
  return true;
}
