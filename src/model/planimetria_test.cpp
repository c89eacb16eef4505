#include "model/planimetria.h"

#include <gtest/gtest.h>

#include "model/coding.h"
#include "model/route_model.h"
#include "model/scenario_files.h"
#include "testing/scratch_dir.h"

namespace tratta {

namespace {

double x_di(int32_t m) { return m + 0.25; }
double y_di(int32_t m) { return -1.5 * m; }

/// The line file of a plan of `metri` metres, built element by element:
/// seeds when seeded, x_di / y_di for metres 2 to `prossimo` - 1, the rest
/// empty.
std::string file_atteso(int32_t metri, bool seminata, int32_t prossimo) {
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
      } else if (m < prossimo) {
        put_u16(b, 5);
        put_f64(b, asse == 0 ? x_di(m) : y_di(m));
      } else {
        put_u16(b, 0);
      }
    }
  }
  return b;
}

void calcola_fino_a(Planimetria& p, int32_t prossimo) {
  while (p.prossimo() < prossimo) p.aggiungi(x_di(p.prossimo()), y_di(p.prossimo()));
}

}  // namespace

// The plan is held in the layout of the line file of a complete plan; every
// other state (stopped short, run on into the last two metres, unseeded,
// tiny) must still give the file element by element, and read back the same.
TEST(Planimetria, EveryStateGivesItsFileAndReadsBack) {
  for (int32_t metri : {2, 3, 4, 5, 10, 57}) {
    for (int32_t prossimo = 2; prossimo <= metri + 1; ++prossimo) {
      Planimetria p;
      p.dimensiona(metri);
      p.semina();
      calcola_fino_a(p, prossimo);
      const std::string atteso = file_atteso(metri, true, prossimo);
      std::string altrove;
      EXPECT_EQ(p.file_linea(altrove), atteso) << metri << " metres, up to " << prossimo;
      // A complete plan is its own file: nothing is composed elsewhere.
      const bool completa = metri >= 3 && prossimo == metri - 1;
      EXPECT_EQ(p.completa(), completa) << metri << ", " << prossimo;
      EXPECT_EQ(altrove.empty(), completa) << metri << ", " << prossimo;
      for (int32_t m = 0; m <= metri; ++m) {
        const bool calcolato = m >= 2 && m < prossimo;
        EXPECT_EQ(p.punto(m, 0), calcolato ? x_di(m) : 0.0) << m;
        EXPECT_EQ(p.punto(m, 1), calcolato ? y_di(m) : m == 1 ? 1.0 : 0.0) << m;
      }
    }
  }
}

TEST(Planimetria, UnseededPlanIsAllEmpty) {
  Planimetria p;
  p.dimensiona(20);
  EXPECT_EQ(codifica_file_linea(p), file_atteso(20, false, 2));
  EXPECT_FALSE(p.completa());
  EXPECT_EQ(p.punto(1, 1), 0.0);
}

// A second length record dimensions the plan again and discards it.
TEST(Planimetria, DimensionedAgainStartsEmpty) {
  Planimetria p;
  p.dimensiona(30);
  p.semina();
  calcola_fino_a(p, 29);
  p.dimensiona(30);
  EXPECT_EQ(codifica_file_linea(p), file_atteso(30, false, 2));
  EXPECT_EQ(p.punto(10, 0), 0.0);
  p.semina();
  calcola_fino_a(p, 12);
  EXPECT_EQ(codifica_file_linea(p), file_atteso(30, true, 12));
  calcola_fino_a(p, 29);
  EXPECT_TRUE(p.completa());
  EXPECT_EQ(codifica_file_linea(p), file_atteso(30, true, 29));
}

// The line file written with the scenario files is the same whether it comes
// straight from a complete plan or element by element.
TEST(Planimetria, WrittenLineFileOfCompleteAndUnusualPlans) {
  testing::ScratchDir dir;
  for (int32_t prossimo : {999, 700, 1001}) {
    RouteModel m;
    m.nomi = {"P", "1"};
    ASSERT_TRUE(m.dimensiona(1000 - 7000, 1));
    m.planimetria.semina();
    calcola_fino_a(m.planimetria, prossimo);
    scrivi_file_scenario(m, 1, dir.path());
    EXPECT_EQ(testing::read_bytes(dir / "P_linea.dat"), file_atteso(1000, true, prossimo))
        << prossimo;
  }
}

}  // namespace tratta

namespace tratta {

// A stretch computed at once gives, bit for bit, the points of the same
// recurrence computed one at a time, across the route's last two metres too.
TEST(Planimetria, StretchesEqualPointByPointSteps) {
  struct Tratto {
    int32_t fino;
    double kappa;
  };
  for (int32_t metri : {2, 3, 4, 40}) {
    const std::vector<Tratto> tratti = {
        {metri / 4, 0.0}, {metri / 2, -0.003}, {metri / 2, 0.001}, {metri - 2, 0.0002}, {metri, 0.0}};
    Planimetria a, b;
    for (Planimetria* p : {&a, &b}) {
      p->dimensiona(metri);
      p->semina();
    }
    for (const Tratto& t : tratti) {
      a.estendi(t.fino, t.kappa);
      while (b.prossimo() <= t.fino) {
        const int32_t k = b.prossimo();
        const double d0 = b.punto(k - 1, 0) - b.punto(k - 2, 0);
        const double d1 = b.punto(k - 1, 1) - b.punto(k - 2, 1);
        const double x = b.punto(k - 1, 0) + d0 + t.kappa * d1;
        const double y = b.punto(k - 1, 1) + d1 - t.kappa * d0;
        b.aggiungi(x, y);
      }
      ASSERT_EQ(a.prossimo(), b.prossimo());
      EXPECT_EQ(codifica_file_linea(a), codifica_file_linea(b)) << metri << " up to " << t.fino;
    }
    for (int32_t m = 0; m <= metri; ++m) {
      EXPECT_EQ(a.punto(m, 0), b.punto(m, 0)) << m;
      EXPECT_EQ(a.punto(m, 1), b.punto(m, 1)) << m;
    }
  }
}

}  // namespace tratta
