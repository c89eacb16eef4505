#include "authoring/plan_thinning.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tratta {

namespace {

/// Distance of `p` from the line through `kept`.
double distanza(const PuntoPiano& p, const std::vector<PuntoPiano>& kept) {
  double migliore = INFINITY;
  for (size_t i = 0; i + 1 < kept.size(); ++i) {
    const PuntoPiano& a = kept[i];
    const PuntoPiano& b = kept[i + 1];
    const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
    const double t =
        l2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / l2, 0.0, 1.0) : 0.0;
    migliore = std::min(migliore, std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y));
  }
  return migliore;
}

/// A track that runs straight, turns through a curve and runs straight
/// again, one point per metre, the way the plan is computed.
std::vector<PuntoPiano> binario(double kappa, int64_t curva_da, int64_t curva_a, int64_t metri) {
  std::vector<PuntoPiano> out = {{0, 0, 0}, {1, 0, 1}};
  for (int64_t m = 2; m <= metri; ++m) {
    const PuntoPiano& p1 = out[static_cast<size_t>(m - 1)];
    const PuntoPiano& p2 = out[static_cast<size_t>(m - 2)];
    const double d0 = p1.x - p2.x, d1 = p1.y - p2.y;
    const double k = m > curva_da && m <= curva_a ? kappa : 0.0;
    out.push_back({m, p1.x + d0 + k * d1, p1.y + d1 - k * d0});
  }
  return out;
}

}  // namespace

TEST(PlanThinning, KeepsEveryCurveWithinTheTolerance) {
  const struct {
    const char* caso;
    std::vector<PuntoPiano> linea;
    double tolleranza;
    size_t al_piu;  // points kept at most
  } casi[] = {
      {"a straight", binario(0, 0, 0, 20000), 0.5, 2},
      {"a curve of radius 1000 m", binario(0.001, 5000, 5600, 10000), 0.5, 40},
      {"a curve of radius 1000 m, coarse", binario(0.001, 5000, 5600, 10000), 50, 6},
      // Out and back: the two ends meet, the far end must stay.
      {"a hairpin", binario(0.003, 3000, 4048, 6000), 1.0, 60},
  };
  for (const auto& k : casi) {
    SCOPED_TRACE(k.caso);
    const auto tenuti = dirada(k.linea, k.tolleranza);
    ASSERT_GE(tenuti.size(), 2u);
    EXPECT_LE(tenuti.size(), k.al_piu);
    EXPECT_EQ(tenuti.front().metro, k.linea.front().metro);
    EXPECT_EQ(tenuti.back().metro, k.linea.back().metro);
    double peggiore = 0;
    for (const PuntoPiano& p : k.linea) peggiore = std::max(peggiore, distanza(p, tenuti));
    EXPECT_LE(peggiore, k.tolleranza);
    for (size_t i = 1; i < tenuti.size(); ++i) EXPECT_LT(tenuti[i - 1].metro, tenuti[i].metro);
  }
}

TEST(PlanThinning, EmptyAndDamagedMetresBreakTheLine) {
  FileLinea l;
  const double valori[] = {0, 1, 2, NAN, 4, 5, 6, INFINITY, 8};
  for (double v : valori) {
    const TagPiano tag = std::isnan(v) ? TagPiano::kVuoto : TagPiano::kDoppio;
    l.assi[0].push_back({tag, tag == TagPiano::kVuoto ? 0.0 : v});
    l.assi[1].push_back({TagPiano::kDoppio, v});
  }
  const auto linee = linee_piano(l);
  ASSERT_EQ(linee.size(), 3u);
  EXPECT_EQ(linee[0].size(), 3u);
  EXPECT_EQ(linee[1].front().metro, 4);
  EXPECT_EQ(linee[1].size(), 3u);
  EXPECT_EQ(linee[2].front().metro, 8);
  EXPECT_EQ(linee[2].front().y, 8.0);
}

}  // namespace tratta
