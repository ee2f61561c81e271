#pragma once
// The kinds of loop and the four domains a loop is computed in.

#include <cstdint>

enum class SystemKind : std::uint8_t { Continuous = 0, SampledData = 1, Discrete = 2, Invalid = 3 };
enum class ActiveDomain : std::uint8_t { Time = 0, Frequency = 1, Root = 2, Nonlinear = 3 };
