#include "engine/model/TfFormat.h"

#include "engine/model/NumberFormat.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace {

// Appends to a bounded text; remembers when it did not fit. put takes text,
// characters and whole numbers only; doubles go through number, so that the
// locale never decides the decimal point.
class TextWriter {
public:
  TextWriter(char* out, int size) : out_(out), size_(size)
  {
    if (size_ > 0)
      out_[0] = '\0';
  }
  void put(const char* format, ...) __attribute__((format(printf, 2, 3)))
  {
    if (!ok_)
      return;
    va_list ap;
    va_start(ap, format);
    const int room = size_ - len_;
    const int n = std::vsnprintf(out_ + len_, static_cast<std::size_t>(room > 0 ? room : 0), format, ap);
    va_end(ap);
    if (n < 0 || n >= room)
      ok_ = false;
    else
      len_ += n;
  }
  // One number in the "C" locale: format holds one double conversion.
  void number(const char* format, double x)
  {
    if (!ok_)
      return;
    const int room = size_ - len_;
    const int n = FormatInCLocale(out_ + len_, static_cast<std::size_t>(room > 0 ? room : 0), format, x);
    if (n < 0 || n >= room)
      ok_ = false;
    else
      len_ += n;
  }
  bool empty() const { return len_ == 0; }
  // True when everything fitted; otherwise the text is emptied.
  bool finish()
  {
    if (!ok_ && size_ > 0)
      out_[0] = '\0';
    return ok_;
  }

private:
  char* out_;
  int size_;
  int len_ = 0;
  bool ok_ = true;
};

}  // namespace

bool PolyToText(const double* c, int n, char v, char* out, int size)
{
  TextWriter w(out, size);
  // Coefficients below 1e-6 are rounding noise beside coefficients of size
  // 1; a polynomial whose coefficients are all small (a zero-order hold
  // with a short period) keeps them, scaled to its largest.
  double largest = 0;
  for (int i = 0; i < n; ++i)
    largest = std::fmax(largest, std::fabs(c[i]));
  const double threshold = 1e-6 * std::fmin(1.0, largest);
  for (int i = 0; i < n; ++i) {
    const double x = c[i];
    if (!(std::fabs(x) >= threshold) || x == 0)
      continue;
    if (x < 0)
      w.put("-");
    else if (!w.empty())
      w.put("+");
    if (!(std::fabs(x) == 1 && i > 0))
      w.number("%-g", std::fabs(x));
    if (i > 0)
      w.put("%c", v);
    if (i > 1)
      w.put("^%-.1d", i);
  }
  if (w.empty())
    w.put("0");
  return w.finish();
}

bool RootsToText(double gain, char v, const RootSet& roots, bool timeConstant, char* out, int size)
{
  TextWriter w(out, size);
  const int count = roots.n < 0 ? 0 : (roots.n > kMaxRoots ? kMaxRoots : roots.n);
  auto atOrigin = [](const Complex& r) { return std::fabs(r.re) < 1e-10 && std::fabs(r.im) < 1e-10; };
  if (std::fabs(std::fabs(gain) - 1) > 1e-10 || count == 0)
    w.number("%-g", gain);
  else if (gain < 0)
    w.put("-");
  int origin = 0;
  for (int i = 0; i < count; ++i)
    origin += atOrigin(roots.r[i]);
  if (origin == 1)
    w.put("%c", v);
  else if (origin >= 2)
    w.put("%c^%d", v, origin);
  for (int i = 0; i < count; ++i) {
    const Complex& r = roots.r[i];
    if (atOrigin(r))
      continue;
    if (std::fabs(r.im) < 0.001 * std::fabs(r.re)) {
      if (!timeConstant) {
        w.put("(%c", v);
        w.number("%+g)", -r.re);
      } else if (std::fabs(std::fabs(r.re) - 1) < 1e-6) {
        w.put("(1%c%c)", r.re > 0 ? '-' : '+', v);
      } else {
        w.number("(1%+g", -1 / r.re);
        w.put("%c)", v);
      }
      continue;
    }
    const double m = r.re * r.re + r.im * r.im;
    if (timeConstant) {
      w.put("(1");
      if (std::fabs(r.re) > 1e-10) {
        const double B = 2 * r.re / m;
        if (std::fabs(std::fabs(B) - 1) <= 1e-6) {
          w.put("%c%c", r.re > 0 ? '-' : '+', v);
        } else {
          w.number("%+g", -B);
          w.put("%c", v);
        }
      }
      if (std::fabs(m - 1) <= 1e-6) {
        w.put("+%c^2)", v);
      } else {
        w.number("%+g", 1 / m);
        w.put("%c^2)", v);
      }
    } else {
      w.put("(%c^2", v);
      if (std::fabs(r.re) > 1e-6) {
        if (std::fabs(std::fabs(2 * r.re) - 1) <= 1e-6) {
          w.put("%c%c", r.re > 0 ? '-' : '+', v);
        } else {
          w.number("%+g", -2 * r.re);
          w.put("%c", v);
        }
      }
      w.number("%+g)", m);
    }
    ++i;  // the conjugate
  }
  return w.finish();
}
