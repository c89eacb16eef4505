#include "model/planimetria.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "model/coding.h"
#include "model/route_model.h"
#include "model/scenario_files.h"
#include "testing/scratch_dir.h"

namespace tratta {

namespace {

/// A stretch of the plan: metres up to `fino` turn by `kappa`.
struct TrattoPiano {
  int32_t fino;
  double kappa;
};

/// The points of a seeded plan, computed one at a time by the recurrence
/// over `tratti`: x[m], y[m] for every metre computed (index 0 and 1 the
/// seeds).
struct Punti {
  std::vector<double> x{0.0, 0.0}, y{0.0, 1.0};
};

Punti punti_attesi(const std::vector<TrattoPiano>& tratti) {
  Punti p;
  for (const TrattoPiano& t : tratti) {
    while (static_cast<int32_t>(p.x.size()) <= t.fino) {
      const size_t k = p.x.size();
      const double d0 = p.x[k - 1] - p.x[k - 2];
      const double d1 = p.y[k - 1] - p.y[k - 2];
      p.x.push_back(p.x[k - 1] + d0 + t.kappa * d1);
      p.y.push_back(p.y[k - 1] + d1 - t.kappa * d0);
    }
  }
  return p;
}

/// The line file of a plan of `metri` metres, built element by element:
/// seeds when seeded, the points of `punti` from metre 2 on, the rest
/// empty.
std::string file_atteso(int32_t metri, bool seminata, const Punti& punti = {}) {
  std::string b;
  for (int asse = 0; asse < 2; ++asse) {
    for (int32_t m = 0; m <= metri; ++m) {
      if (m < 2) {
        if (seminata) {
          put_u16(b, 2);
          put_u16(b, asse == 1 && m == 1 ? 1 : 0);
        } else {
          put_u16(b, 0);
        }
      } else if (m < static_cast<int32_t>(punti.x.size())) {
        put_u16(b, 5);
        put_f64(b, (asse == 0 ? punti.x : punti.y)[static_cast<size_t>(m)]);
      } else {
        put_u16(b, 0);
      }
    }
  }
  return b;
}

/// A straight plan computed up to metre `prossimo` - 1.
Punti diritto_fino_a(Planimetria& p, int32_t prossimo) {
  p.estendi(prossimo - 1, 0.0);
  return punti_attesi({{prossimo - 1, 0.0}});
}

}  // namespace

// Every state of the plan (stopped short, run on into the last two metres,
// unseeded, tiny) gives its file element by element, of the size foretold.
TEST(Planimetria, EveryStateGivesItsFile) {
  for (int32_t metri : {0, 1, 2, 3, 4, 5, 10, 57}) {
    for (int32_t prossimo = 2; prossimo <= metri + 1; ++prossimo) {
      Planimetria p;
      p.dimensiona(metri);
      p.semina();
      const std::string atteso = file_atteso(metri, true, diritto_fino_a(p, prossimo));
      EXPECT_EQ(p.prossimo(), prossimo);
      EXPECT_EQ(p.file_linea(), atteso) << metri << " metres, up to " << prossimo;
      EXPECT_EQ(p.byte_file_linea(), atteso.size()) << metri << ", " << prossimo;
    }
  }
}

TEST(Planimetria, UnseededPlanIsAllEmpty) {
  Planimetria p;
  p.dimensiona(20);
  EXPECT_EQ(codifica_file_linea(p), file_atteso(20, false));
  EXPECT_EQ(Planimetria().file_linea(), "");
}

// A second length record dimensions the plan again and discards it.
TEST(Planimetria, DimensionedAgainStartsEmpty) {
  Planimetria p;
  p.dimensiona(30);
  p.semina();
  p.estendi(20, 0.003);
  p.dimensiona(30);
  EXPECT_EQ(codifica_file_linea(p), file_atteso(30, false));
  p.semina();
  EXPECT_EQ(codifica_file_linea(p), file_atteso(30, true, diritto_fino_a(p, 12)));
  p.dimensiona(30);
  p.semina();
  EXPECT_EQ(codifica_file_linea(p), file_atteso(30, true, diritto_fino_a(p, 29)));
}

// The line file written with the scenario files, in pieces at their
// offsets, is the file element by element: for a plan longer than the
// buffer it is computed in, complete, stopped short, run on to the end.
TEST(Planimetria, WrittenLineFileOfCompleteAndUnusualPlans) {
  testing::ScratchDir dir;
  for (int32_t prossimo : {200000 - 1, 20000, 200001, 2}) {
    RouteModel m;
    m.nomi = {"P", "1"};
    ASSERT_TRUE(m.dimensiona(200000 - 7000, 1));
    m.planimetria.semina();
    const std::vector<TrattoPiano> tratti = {{7000, 0.0}, {9000, 0.002}, {prossimo - 1, -0.0001}};
    for (const TrattoPiano& t : tratti) m.planimetria.estendi(std::min(t.fino, prossimo - 1), t.kappa);
    std::vector<TrattoPiano> fatti;
    for (const TrattoPiano& t : tratti) fatti.push_back({std::min(t.fino, prossimo - 1), t.kappa});
    ASSERT_TRUE(scrivi_file_scenario(m, 1, dir.lock()).ok());
    EXPECT_EQ(testing::read_bytes(dir / "P_linea.dat"),
              file_atteso(200000, true, punti_attesi(fatti)))
        << prossimo;
  }
}

// A write that fails part way through a long plan stops the computing of
// the points and the failure reaches the caller, at whichever write.
TEST(Planimetria, FailedWriteStopsTheComputing) {
  Planimetria p;
  p.dimensiona(300000);
  p.semina();
  p.estendi(300000 - 2, 0.0001);
  struct Guasto {};
  for (int fallisce : {1, 3, 7, 20}) {
    int scritture = 0;
    EXPECT_THROW(p.scrivi_file_linea([&](uint64_t, std::string_view) {
      if (++scritture == fallisce) throw Guasto{};
    }),
                 Guasto)
        << fallisce;
    EXPECT_EQ(scritture, fallisce);
  }
}

// The plan reaches the file in pieces that cover it once, without gap or
// overlap; inside each axis every piece but the first and the last is of
// one size, whole pages, and starts on a multiple of it: the page cache
// takes such writes as large pages, where writes that start inside a page
// cost half as much again.
TEST(Planimetria, PiecesCoverTheFileOnceOnTheirBoundaries) {
  Planimetria p;
  p.dimensiona(700000);
  p.semina();
  p.estendi(1000, 0.0);
  p.estendi(600000, 0.0002);
  std::vector<std::pair<uint64_t, uint64_t>> pezzi;  // offset, size
  p.scrivi_file_linea([&](uint64_t offset, std::string_view byte) {
    pezzi.emplace_back(offset, byte.size());
  });
  std::sort(pezzi.begin(), pezzi.end());
  const uint64_t byte_asse = p.byte_file_linea() / 2;
  uint64_t fino = 0;
  for (const auto& [offset, byte] : pezzi) {
    EXPECT_EQ(offset, fino);
    fino = offset + byte;
  }
  EXPECT_EQ(fino, 2 * byte_asse);
  std::vector<std::pair<uint64_t, uint64_t>> interni;  // neither first nor last of an axis
  for (size_t i = 0; i < pezzi.size(); ++i) {
    const auto& [offset, byte] = pezzi[i];
    if (offset == 0 || offset == byte_asse || offset + byte == byte_asse ||
        offset + byte == 2 * byte_asse)
      continue;
    interni.push_back(pezzi[i]);
  }
  ASSERT_GT(interni.size(), 20u);
  const uint64_t misura = interni.front().second;
  EXPECT_EQ(misura % 4096, 0u);
  for (const auto& [offset, byte] : interni) {
    EXPECT_EQ(byte, misura) << offset;
    EXPECT_EQ(offset % misura, 0u) << offset;
  }
}

// Stretches give, bit for bit, the points of the recurrence computed one at
// a time, across the route's last two metres too; a stretch that ends
// before the next metre adds nothing.
TEST(Planimetria, StretchesEqualPointByPointSteps) {
  for (int32_t metri : {2, 3, 4, 40}) {
    const std::vector<TrattoPiano> tratti = {{metri / 4, 0.0},     {metri / 2, -0.003},
                                        {metri / 2, 0.001},   {metri / 4, 0.002},
                                        {metri - 2, 0.0002},  {metri - 1, 0.0002},
                                        {metri, 0.0}};
    Planimetria a;
    a.dimensiona(metri);
    a.semina();
    std::vector<TrattoPiano> fatti;
    for (const TrattoPiano& t : tratti) {
      a.estendi(t.fino, t.kappa);
      fatti.push_back(t);
      const Punti attesi = punti_attesi(fatti);
      ASSERT_EQ(a.prossimo(), static_cast<int32_t>(attesi.x.size()));
      EXPECT_EQ(codifica_file_linea(a), file_atteso(metri, true, attesi))
          << metri << " up to " << t.fino;
    }
  }
}

}  // namespace tratta
