#include "model/rounding.h"

#include <gtest/gtest.h>

namespace tratta {

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  struct Case {
    double in, out;
  } cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {20.4, 20}, {0.5, 0},
               {1.5, 2}, {-0.5, 0}, {19.0, 19}, {102.0 / 5.0, 20}, {5340.0, 5340},
               {267000.0 / 50.0, 5340}, {-0.4, 0}, {0.6, 1}};
  for (const Case& c : cases) EXPECT_EQ(round_half_even(c.in), c.out) << c.in;
}

}  // namespace tratta
