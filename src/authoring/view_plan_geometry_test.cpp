#include "authoring/view_plan_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace tratta {

namespace {

/// A line file from points, one per metre; a missing coordinate is an
/// empty metre.
FileLinea file_linea(const std::vector<std::optional<std::pair<double, double>>>& punti) {
  FileLinea f;
  for (const auto& p : punti)
    for (int a = 0; a < 2; ++a)
      f.assi[static_cast<size_t>(a)].push_back(
          p ? ElementoPiano{TagPiano::kDoppio, a ? p->second : p->first} : ElementoPiano{});
  return f;
}

/// `metri` metres from (x, y) heading `rotta` radians from the east,
/// turning by `curva` radians a metre.
std::vector<std::optional<std::pair<double, double>>> tracciato(double x, double y, double rotta,
                                                                double curva, int metri) {
  std::vector<std::optional<std::pair<double, double>>> out;
  for (int m = 0; m < metri; ++m) {
    out.push_back(std::pair{x, y});
    x += std::cos(rotta), y += std::sin(rotta), rotta += curva;
  }
  return out;
}

}  // namespace

// The page draws the plan in its box: every point of the plan inside it,
// and the plan filling it across or down, whatever its shape and wherever
// it lies.
TEST(ViewPlanGeometry, ThePlanFillsItsBox) {
  auto due_linee = tracciato(0, 0, 0, 0.002, 3000);
  due_linee.push_back(std::nullopt);
  for (const auto& p : tracciato(-800, 1500, 1, -0.001, 2000)) due_linee.push_back(p);
  const struct {
    const char* caso;
    std::vector<std::optional<std::pair<double, double>>> punti;
  } casi[] = {
      {"one point", {std::pair{12.5, -7.0}}},
      {"20 km east", tracciato(0, 0, 0, 0, 20000)},
      {"20 km north", tracciato(0, 0, std::numbers::pi / 2, 0, 20000)},
      {"a diagonal far from the origin", tracciato(-5e5, 3e5, -2.5, 0, 8000)},
      {"a hairpin", tracciato(0, 0, 0.3, 0.003, 2200)},
      {"two lines apart", due_linee},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.caso);
    const FileLinea f = file_linea(c.punti);
    const auto g = geometria_piano(f);
    ASSERT_TRUE(g);
    const VistaPiano& v = g->vista;
    EXPECT_GE(v.altezza, 260);
    EXPECT_LE(v.altezza, 460);
    double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    for (const auto& p : c.punti) {
      if (!p) continue;
      const double px = v.px(p->first), py = v.py(p->second);
      x0 = std::min(x0, px), x1 = std::max(x1, px), y0 = std::min(y0, py), y1 = std::max(y1, py);
    }
    EXPECT_GE(x0, 0);
    EXPECT_LE(x1, kLarghezzaPiano);
    EXPECT_GE(y0, 0);
    EXPECT_LE(y1, v.altezza);
    // A plan of 100 m or more spans most of the box one way.
    if ((x1 - x0) * v.u >= 100 || (y1 - y0) * v.u >= 100) {
      EXPECT_GE(std::max((x1 - x0) / kLarghezzaPiano, (y1 - y0) / v.altezza), 0.85);
    }

    size_t punti = 0;
    for (const LineaDisegnata& l : g->linee) {
      ASSERT_FALSE(l.punti.empty());
      EXPECT_LE(l.punti.size(), l.punti_linea);
      EXPECT_EQ(l.punti.back().metro - l.punti.front().metro + 1,
                static_cast<int64_t>(l.punti_linea));
      punti += l.punti_linea;
    }
    EXPECT_EQ(punti, c.punti.size() - static_cast<size_t>(std::count(c.punti.begin(),
                                                                      c.punti.end(), std::nullopt)));
  }
  EXPECT_FALSE(geometria_piano(file_linea({std::nullopt, std::nullopt})));
  EXPECT_FALSE(geometria_piano(FileLinea{}));
}

TEST(ViewPlanGeometry, APointOnlyWhereThePlanHasOne) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const FileLinea f =
      file_linea({std::pair{1.0, 2.0}, std::nullopt, std::pair{nan, 0.0}, std::pair{3.0, 4.0}});
  const struct {
    int64_t metro;
    bool punto;
  } casi[] = {{-1, false}, {0, true}, {1, false}, {2, false}, {3, true}, {4, false}};
  for (const auto& c : casi) {
    SCOPED_TRACE(c.metro);
    const auto p = punto_piano(f, c.metro);
    ASSERT_EQ(p.has_value(), c.punto);
    if (p) {
      EXPECT_EQ(p->metro, c.metro);
    }
  }
  EXPECT_EQ(punto_piano(f, 3)->x, 3.0);
  EXPECT_EQ(punto_piano(f, 3)->y, 4.0);
  EXPECT_FALSE(punto_piano(FileLinea{}, 0));
}

}  // namespace tratta
