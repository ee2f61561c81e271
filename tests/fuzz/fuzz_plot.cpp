// Fuzzes the chart's text arithmetic: the status-bar read-out built from a
// template and a number format, tick labels, and the tick layout of linear
// and logarithmic axes over arbitrary ranges.
//
// Input: 32 bytes of four doubles (the values and ranges), one byte of
// output capacity, three bytes of layout switches, four spare bytes, then
// the template text, a newline, and the number format.

#include "engine/chart/Readout.h"
#include "engine/chart/Ticks.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace {
// Labels six pixels a character wide.
class FixedWidth : public LabelMeasure {
public:
  double extent(const char* label) const override { return 6.0 * std::strlen(label); }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < 40)
    return 0;
  double v[4];
  std::memcpy(v, data, sizeof v);
  const std::uint8_t capacity = data[32];
  const std::string rest(reinterpret_cast<const char*>(data + 40), size - 40);
  const std::size_t cut = rest.find('\n');
  const std::string tmpl = rest.substr(0, cut);
  const std::string format = cut == std::string::npos ? "%0.4g" : rest.substr(cut + 1);

  ReadoutArg args[3] = {{v[0], nullptr}, {0, "units"}, {v[1], nullptr}};
  char out[300];
  FormatReadout(tmpl.c_str(), format.c_str(), args, 3, out, 1 + capacity);
  char label[kTickLabelSize];
  FormatTickLabel(v[0], v[1], v[2], label, sizeof label);

  static TickSet ticks;
  const FixedWidth measure;
  LinearTicks({v[0], v[1]}, (data[33] + 1) * 8.0, measure, 8.0, data[34] & 1, ticks);
  LogTicks({v[2], v[3]}, (data[35] + 1) * 8.0, measure, 8.0, data[34] & 2, ticks);
  return 0;
}
