// libFuzzer target for the transfer-function parser: pre-evaluation,
// polynomial and factored decoding, and the formatters on what decodes.
// Any input must decode or fail with a message, never read or write out of
// bounds, and never leave a polynomial or root set beyond its capacity.

#include "engine/base/Error.h"
#include "engine/expr/ConstantTable.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"
#include "engine/model/TfFormat.h"
#include "engine/model/TfParser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Check(bool ok)
{
  if (!ok)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  static ModelScope model;
  SYSDATA& s = Sys();
  if (size == 0)
    return 0;
  // the first byte picks strict checking and the parameters' sizes
  const std::uint8_t mode = data[0];
  s.strictCheck = (mode & 1) != 0;
  const double values[4] = {1.0, -1.0, 1.234e-300, -9.87e300};
  for (int i = 0; i < 4; ++i)
    SetParameter(i, values[(mode >> (2 * i)) & 3]);
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  ClearError();
  WorkText work;
  if (PreEval(text.c_str(), work))
    Check(std::strlen(work) <= static_cast<std::size_t>(kWorkLimit));
  else
    Check(ErrorPending());

  ClearError();
  s.currentVariable = ' ';
  Polynomial p;
  if (PolyDecode(s, text.c_str(), p)) {
    Check(p.n >= 1 && p.n <= kMaxCoeffs);
    char out[kTextSize];
    (void)PolyToText(p.c, p.n, s.currentVariable == 'z' ? 'z' : 's', out, kTextSize);
    Check(std::strlen(out) < kTextSize);
  } else {
    Check(ErrorPending() && ErrorMessage()[0] != '\0');
  }

  ClearError();
  s.currentVariable = ' ';
  RootSet roots;
  double gain = 1.0;
  if (RootDecode(s, text.c_str(), roots, gain)) {
    Check(roots.n >= 0 && roots.n <= kMaxRoots - 1);
    char out[kTextSize];
    for (bool tc : {false, true}) {
      (void)RootsToText(gain, 's', roots, tc, out, kTextSize);
      Check(std::strlen(out) < kTextSize);
    }
  } else {
    Check(ErrorPending() && roots.n >= 0 && roots.n <= kMaxRoots - 1);
  }
  for (int i = 0; i < 4; ++i)
    SetParameter(i, 1.0);
  return 0;
}
