#include "reader/placement.h"

#include <gtest/gtest.h>

#include "reader/field_reader.h"

namespace tratta {

namespace {

/// A route of free segments 0 to `ultimo`.
RouteModel percorso(int32_t ultimo = 1000) {
  RouteModel m;
  m.segmenti.assign(static_cast<size_t>(ultimo) + 1, Segmento());
  m.ultimo_segmento = ultimo;
  return m;
}

/// The code of a placement's diagnostic; 0 when there was none.
int32_t codice(const std::optional<Diagnosi>& d) { return d ? d->codice_errore : 0; }

}  // namespace

TEST(Placement, Signal) {
  RouteModel m = percorso();
  const std::optional<Diagnosi> d = memo_segnale(m, 30100, 1, 4, 1, 0, 0, 1, 3, 1, 0, 0);
  const Segmento& s = m.segmenti[603];
  EXPECT_EQ(s.tipo, kSegnale);
  EXPECT_EQ(s.valore1, 43);
  EXPECT_EQ(s.valore2, 11);
  EXPECT_EQ(s.valore3, 0);
  EXPECT_EQ(s.valore4, 4);
  EXPECT_EQ(s.tempo_segnale, 0);
  EXPECT_EQ(m.segmenti[601].avviso, 41);
  EXPECT_EQ(m.segmenti[599].avviso, 42);
  EXPECT_EQ(m.segmenti[597].avviso, 43);
  EXPECT_EQ(m.segmenti[595].avviso, 44);
  EXPECT_EQ(m.segmenti[602].avviso, 0);
  EXPECT_EQ(codice(d), 0);
}

TEST(Placement, SignalTime) {
  struct Case {
    int32_t sx, tempo;
    uint8_t atteso;
  } cases[] = {{2, 50, 101}, {2, 1, 101}, {2, 100, 101}, {2, 0, 0},
               {2, 101, 101}, {2, 300, 44}, {1, 50, 0}, {0, 200, 0}};
  for (const Case& c : cases) {
    RouteModel m = percorso();
    memo_segnale(m, 5000, c.sx, 4, 0, 0, 0, 2, 1, 0, 0, c.tempo);
    EXPECT_EQ(m.segmenti[101].tempo_segnale, c.atteso) << c.sx << " " << c.tempo;
  }
}

TEST(Placement, SignalOnTakenOrMarkedSegments) {
  RouteModel m = percorso();
  m.segmenti[101].tipo = kMarcaMontagna;
  EXPECT_EQ(codice(memo_segnale(m, 5000, 2, 4, 0, 0, 0, 2, 1, 0, 0, 0)), 0);
  EXPECT_EQ(m.segmenti[101].tipo, kSegnale);

  m.segmenti[201].tipo = kStazione;
  const std::optional<Diagnosi> d = memo_segnale(m, 10000, 2, 4, 0, 0, 0, 2, 1, 0, 0, 0);
  ASSERT_TRUE(d.has_value());
  EXPECT_EQ(d->codice_errore, 16);
  EXPECT_EQ(d->posizione_errore, 10000);
  EXPECT_EQ(m.segmenti[199].avviso, 0);  // nothing written

  // Near the start of the route the marks before segment 0 are skipped.
  RouteModel n = percorso();
  EXPECT_EQ(codice(memo_segnale(n, 200, 2, 4, 0, 0, 0, 2, 1, 0, 0, 0)), 0);
  EXPECT_EQ(n.segmenti[5].tipo, kSegnale);
  EXPECT_EQ(n.segmenti[3].avviso, 81);
  EXPECT_EQ(n.segmenti[1].avviso, 82);
  EXPECT_EQ(n.segmenti[0].avviso, 0);
}

TEST(Placement, Slowdowns) {
  {
    RouteModel m = percorso();
    memo_rallentamento(m, 1500, 60, 1000, 7, 1, 0);
    EXPECT_EQ(m.segmenti[31].tipo, kInizioRallentamento);
    EXPECT_EQ(m.segmenti[51].tipo, kFineRallentamento);
    EXPECT_EQ(m.segmenti[31].valore1, 60);
    EXPECT_EQ(m.segmenti[51].valore3, 7);
    for (int32_t k = 0; k <= 30; ++k) EXPECT_EQ(m.segmenti[k].tipo, 0) << k;
  }
  {
    RouteModel m = percorso();
    memo_rallentamento(m, 1550, 60, 1000, 7, 1, 3);
    EXPECT_EQ(m.segmenti[32].tipo, kInizioRallentamento);
    EXPECT_EQ(m.segmenti[32].valore2, 3);
    EXPECT_EQ(m.segmenti[8].tipo, kAvvisoRallentamento);
    EXPECT_EQ(m.segmenti[8].valore1, 60);
    for (int32_t j = 0; j < 4; ++j) {
      EXPECT_EQ(m.segmenti[7 - j].tipo, kPreavviso);
      EXPECT_EQ(m.segmenti[7 - j].valore1, j + 1);
      EXPECT_EQ(m.segmenti[7 - j].valore2, j + 1);
    }
  }
  {
    // Start and end on the same segment: the start mark wins.
    RouteModel m = percorso();
    memo_rallentamento(m, 5000, 60, 10, 0, 0, 0);
    EXPECT_EQ(m.segmenti[101].tipo, kInizioRallentamento);
  }
}

TEST(Placement, SlowdownConflicts) {
  struct Case {
    const char* nome;
    int32_t occupato;
    int32_t codice;
    uint8_t avviso_dopo;
  } cases[] = {
      {"warning", 52, 17, 0},
      {"start", 76, 18, 0},
      {"end", 96, 19, 0},
      {"pre-warning", 50, 20, kAvvisoRallentamento},
  };
  for (const Case& c : cases) {
    RouteModel m = percorso();
    m.segmenti[c.occupato].tipo = kCartello;
    const std::optional<Diagnosi> d = memo_rallentamento(m, 3750, 60, 1000, 0, 1, 0);
    ASSERT_TRUE(d.has_value()) << c.nome;
    EXPECT_EQ(d->codice_errore, c.codice) << c.nome;
    EXPECT_EQ(d->posizione_errore, 3750) << c.nome;
    // Only a pre-warning conflict leaves the marks written before it.
    EXPECT_EQ(m.segmenti[52].tipo, c.occupato == 52 ? uint8_t{kCartello} : c.avviso_dopo) << c.nome;
  }
}

TEST(Placement, IndicatorValuesAndWidths) {
  RouteModel m = percorso();
  memo_indicatori_v_max(m, 5850, 100, 105, 110, 0, 100, 105, 110, 0);
  EXPECT_EQ(m.segmenti[118].valore1, 2020);
  EXPECT_EQ(m.segmenti[118].valore2, 2121);
  EXPECT_EQ(m.segmenti[118].valore3, 2222);
  // 1638 * 20 + 8 does not fit 16 bits: a run-time failure.
  EXPECT_THROW(memo_indicatori_v_max(m, 1000, 1638, 0, 0, 0, 40, 0, 0, 0), ErroreLettura);
  // The stripe code wraps at 16 bits.
  memo_indicatori_v_max(m, 2000, 0, 0, 0, 6554, 0, 0, 0, 0);
  EXPECT_EQ(m.segmenti[41].valore4, static_cast<int16_t>(65540 - 65536));
  // Outside the row.
  EXPECT_THROW(memo_indicatori_v_max(m, -100, 0, 0, 0, 0, 0, 0, 0, 0), ErroreLettura);
}

}  // namespace tratta
