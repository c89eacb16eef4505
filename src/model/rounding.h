// Rounding of fractional values into the model's integer fields.
#pragma once

#include <cmath>

namespace tratta {

/// Nearest integer, halves to the even neighbour: 2.5 -> 2, 3.5 -> 4,
/// -2.5 -> -2. Every conversion of a fractional value into an integer
/// field of the route goes through here, so all builds agree.
inline double round_half_even(double x) {
  double lower = std::floor(x);
  double diff = x - lower;
  if (diff > 0.5) return lower + 1.0;
  if (diff < 0.5) return lower;
  return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

}  // namespace tratta
