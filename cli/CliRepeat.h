#pragma once
// Timing of --repeat: the computation alone, no parsing and no output.

#include "engine/model/NumberFormat.h"

#include <algorithm>
#include <chrono>
#include <ostream>
#include <vector>

template <typename Fn>
void RepeatTimed(CliContext& ctx, Fn&& fn)
{
  if (ctx.repeat <= 0)
    return;
  std::vector<double> us;
  us.reserve(static_cast<std::size_t>(ctx.repeat));
  for (long i = 0; i < ctx.repeat; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    fn();
    const auto t1 = std::chrono::steady_clock::now();
    us.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
  }
  std::sort(us.begin(), us.end());
  ctx.err << "repeat " << ctx.repeat << ": median " << FormatInCLocale("%.3f", us[us.size() / 2]) << " us, min "
          << FormatInCLocale("%.3f", us.front()) << " us\n";
}
