#include "authoring/view_plan_labels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace tratta {

namespace {

/// A line file with one point per metre, `metri` metres from (0, 0)
/// heading `rotta` radians from the east and turning by `curva` radians a
/// metre.
FileLinea tracciato(int metri, double rotta, double curva) {
  FileLinea f;
  double x = 0, y = 0;
  for (int m = 0; m < metri; ++m) {
    f.assi[0].push_back({TagPiano::kDoppio, x});
    f.assi[1].push_back({TagPiano::kDoppio, y});
    x += std::cos(rotta), y += std::sin(rotta), rotta += curva;
  }
  return f;
}

struct Box {
  double x0, y0, x1, y1;
};

/// The page's box of a label, in pixels, a little smaller than a browser
/// draws it: the label must be clear of things even so.
Box riquadro(const VistaPiano& v, const TestoPiano& t) {
  const double corpo = t.dimensione / v.u;
  const double w = static_cast<double>(t.testo.size()) * corpo * 0.6;
  const double x = (t.x - v.vx) / v.u, base = (t.y - v.vy) / v.u;
  return {t.a_destra ? x : x - w, base - corpo * 0.7, t.a_destra ? x + w : x, base + corpo * 0.1};
}

bool tocca(const Box& a, const Box& b) {
  return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1;
}

}  // namespace

// Names and kilometres on the plan never cover one another, a dot or the
// track, and stay in the plan's box; where there is no such room a label
// is left out, and where there is, it is written.
TEST(ViewPlanLabels, NoLabelCoversAnotherADotOrTheTrack) {
  const struct {
    const char* caso;
    FileLinea linea;
    std::vector<int32_t> stazioni;  // metres
    size_t nomi_almeno;             // names written at least
    size_t km_almeno;               // kilometres written at least
  } casi[] = {
      // Beside the dot, a name would lie on the track: it goes above or below.
      {"a straight track east", tracciato(30000, 0, 0), {15000}, 1, 12},
      {"a straight track north", tracciato(30000, std::numbers::pi / 2, 0), {15000}, 1, 10},
      // Two stations 300 m apart on a long line: their names and dots a
      // few pixels apart.
      {"two stations close by", tracciato(30000, 0.2, 0), {15000, 15300}, 2, 10},
      // Ten stations in a tight bend: some names cannot be written.
      {"a crowd in a bend", tracciato(40000, 0, 0.0004),
       {20000, 20100, 20200, 20300, 20400, 20500, 20600, 20700, 20800, 20900}, 2, 5},
      // At the ends of the box.
      {"stations at both ends", tracciato(30000, 0, 0), {0, 29999}, 2, 12},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.caso);
    std::array<Voce, kNumeroVoci> voci{};
    for (size_t i = 0; i < c.stazioni.size(); ++i) {
      Voce& v = voci[i + 1];
      v.tipo = 1, v.posizione = c.stazioni[i], v.nome = "STAZIONE " + std::to_string(i + 1);
    }
    const auto g = geometria_piano(c.linea);
    ASSERT_TRUE(g);
    const VistaPiano& v = g->vista;
    const EtichettePiano e = etichette_piano(c.linea, *g, {}, voci);
    ASSERT_EQ(e.luoghi.size(), c.stazioni.size());

    std::vector<Box> scritti, punti;
    for (const LuogoPiano& l : e.luoghi) {
      const double x = v.px(l.punto.x), y = v.py(l.punto.y);
      punti.push_back({x - kRaggioStazione, y - kRaggioStazione, x + kRaggioStazione,
                       y + kRaggioStazione});
      if (l.nome_scritto) scritti.push_back(riquadro(v, *l.nome_scritto));
    }
    const size_t nomi = scritti.size();
    for (const SegnoKm& k : e.km) {
      const double x = v.px(k.punto.x), y = v.py(k.punto.y);
      punti.push_back({x - kRaggioKm, y - kRaggioKm, x + kRaggioKm, y + kRaggioKm});
      if (k.etichetta) scritti.push_back(riquadro(v, *k.etichetta));
    }
    EXPECT_GE(nomi, c.nomi_almeno);
    EXPECT_GE(scritti.size() - nomi, c.km_almeno);

    for (size_t i = 0; i < scritti.size(); ++i) {
      const Box& b = scritti[i];
      EXPECT_TRUE(b.x0 >= 0 && b.y0 >= 0 && b.x1 <= kLarghezzaPiano && b.y1 <= v.altezza)
          << "label " << i << " outside the box";
      for (size_t j = 0; j < i; ++j)
        EXPECT_FALSE(tocca(b, scritti[j])) << "labels " << i << ", " << j;
      for (const Box& p : punti) EXPECT_FALSE(tocca(b, p)) << "label " << i << " on a dot";
      // Every metre of the track, the half-width of its stroke around it.
      for (size_t m = 0; m < c.linea.assi[0].size(); m += 5) {
        const double x = v.px(c.linea.assi[0][m].valore), y = v.py(c.linea.assi[1][m].valore);
        ASSERT_FALSE(tocca(b, {x - 1.5, y - 1.5, x + 1.5, y + 1.5}))
            << "label " << i << " on the track at metre " << m;
      }
    }
  }
}

}  // namespace tratta
