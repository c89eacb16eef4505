#include "model/finishing_pass.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace tratta {

namespace {

/// A row of `ultimo` + 1 free segments with events put on it, and what the
/// pass over it gave back.
struct Fila {
  RouteModel m;
  std::optional<Diagnosi> diagnosi;
  explicit Fila(int32_t ultimo = 300) {
    m.segmenti.assign(static_cast<size_t>(ultimo) + 1, Segmento());
    m.ultimo_segmento = ultimo;
  }
  Fila& metti(int32_t k, uint8_t tipo, int16_t valore1 = 0) {
    m.segmenti[k].tipo = tipo;
    m.segmenti[k].valore1 = valore1;
    return *this;
  }
  /// A slowdown from `inizio` to `fine` of value `v`.
  Fila& rallentamento(int32_t inizio, int32_t fine, int16_t v) {
    return metti(fine, kFineRallentamento, v).metti(inizio, kInizioRallentamento, v);
  }
  /// Segments holding abatements after the pass, with their values.
  std::map<int32_t, int16_t> abbattimenti() {
    diagnosi = completa_percorso(m);
    std::map<int32_t, int16_t> out;
    for (int32_t k = 0; k <= m.ultimo_segmento; ++k)
      if (m.segmenti[k].tipo == kAbbattimento) out[k] = m.segmenti[k].valore1;
    return out;
  }
  int32_t codice() const { return diagnosi ? diagnosi->codice_errore : 0; }
  int32_t posizione() const { return diagnosi ? diagnosi->posizione_errore.value_or(0) : 0; }
};

using Abb = std::map<int32_t, int16_t>;

}  // namespace

TEST(FinishingPass, SignalsBeforeAWarning) {
  struct Case {
    const char* nome;
    std::function<void(Fila&)> prepara;
    Abb atteso;
    int32_t codice, posizione;
  } cases[] = {
      {"p - 1 free", [](Fila& r) { r.metti(100, kAvvisoRallentamento).metti(90, kSegnale); },
       {{89, 180}}, 0, 0},
      {"p - 1 taken, p - 2 free",
       [](Fila& r) {
         r.metti(100, kAvvisoRallentamento).metti(90, kSegnale).metti(89, kCartello);
       },
       {{88, 180}}, 0, 0},
      {"p - 2 abatement of 200 is capped",
       [](Fila& r) {
         r.metti(100, kAvvisoRallentamento).metti(90, kSegnale).metti(89, kCartello);
         r.metti(88, kAbbattimento, 200);
       },
       {{88, 180}}, 0, 0},
      {"p - 2 abatement of 150 stays",
       [](Fila& r) {
         r.metti(100, kAvvisoRallentamento).metti(90, kSegnale).metti(89, kCartello);
         r.metti(88, kAbbattimento, 150);
       },
       {{88, 150}}, 0, 0},
      {"p - 1 abatement capped before p - 2 is looked at",
       [](Fila& r) {
         r.metti(100, kAvvisoRallentamento).metti(90, kSegnale).metti(89, kAbbattimento, 300);
         r.metti(88, kCartello);
       },
       {{89, 180}}, 0, 0},
      {"no place: code 11 at the signal",
       [](Fila& r) {
         r.metti(100, kAvvisoRallentamento).metti(90, kSegnale).metti(89, kCartello);
         r.metti(88, kIndicatoreVmax);
       },
       {}, 11, 4500},
      {"signal 21 segments before is outside the window",
       [](Fila& r) { r.metti(100, kAvvisoRallentamento).metti(79, kSegnale); }, {}, 0, 0},
      {"signal 20 segments before is inside",
       [](Fila& r) { r.metti(100, kAvvisoRallentamento).metti(80, kSegnale); }, {{79, 180}}, 0,
       0},
      {"signals below segment 3 are ignored; the one at 3 goes round the one at 2",
       [](Fila& r) { r.metti(10, kAvvisoRallentamento).metti(2, kSegnale).metti(3, kSegnale); },
       {{1, 180}}, 0, 0},
      {"montagna marker counts as free and is replaced",
       [](Fila& r) {
         r.metti(100, kAvvisoRallentamento).metti(90, kSegnale).metti(89, kMarcaMontagna);
       },
       {{89, 180}}, 0, 0},
  };
  for (const Case& c : cases) {
    Fila r;
    c.prepara(r);
    EXPECT_EQ(r.abbattimenti(), c.atteso) << c.nome;
    EXPECT_EQ(r.codice(), c.codice) << c.nome;
    EXPECT_EQ(r.posizione(), c.posizione) << c.nome;
  }
}

TEST(FinishingPass, BeforeASlowdownStart) {
  struct Case {
    const char* nome;
    int32_t inizio;
    std::vector<int32_t> occupati;
    Abb atteso;
    int32_t codice;
  } cases[] = {
      {"start at 30", 30, {}, {{25, 180}, {19, 180}, {12, 180}}, 0},
      {"25 taken, 24 free", 30, {25}, {{24, 180}, {19, 180}, {12, 180}}, 0},
      {"25, 24 taken", 30, {25, 24}, {{23, 180}, {19, 180}, {12, 180}}, 0},
      {"25, 24, 23 taken: code 12", 30, {25, 24, 23}, {{19, 180}, {12, 180}}, 12},
      {"start at 10: only the nearest", 10, {}, {{5, 180}}, 0},
      {"start at 7: none", 7, {}, {}, 0},
      {"start at 14: the two nearest", 14, {}, {{9, 180}, {3, 180}}, 0},
      {"start at 21: all three", 21, {}, {{16, 180}, {10, 180}, {3, 180}}, 0},
  };
  for (const Case& c : cases) {
    Fila r;
    // Value 110: no abatements inside the slowdown, to look at the three
    // before its start alone.
    r.rallentamento(c.inizio, c.inizio + 40, 110);
    for (int32_t k : c.occupati) r.metti(k, kCartello);
    EXPECT_EQ(r.abbattimenti(), c.atteso) << c.nome;
    EXPECT_EQ(r.codice(), c.codice) << c.nome;
    if (c.codice != 0) {
      EXPECT_EQ(r.posizione(), c.inizio * 50) << c.nome;
    }
  }
}

TEST(FinishingPass, InsideASlowdownAndAfterItsEnd) {
  const Abb prima{{95, 180}, {89, 180}, {82, 180}};
  auto con = [&](Abb dentro) {
    dentro.insert(prima.begin(), prima.end());
    return dentro;
  };
  struct Case {
    const char* nome;
    int16_t valore;
    std::vector<std::pair<int32_t, uint8_t>> eventi;
    Abb atteso;
    int32_t codice, posizione;
  } cases[] = {
      {"every 8 segments", 60, {}, con({{108, 180}, {116, 180}, {124, 180}}), 0, 0},
      {"108 taken: one early", 60, {{108, kCartello}},
       con({{107, 180}, {115, 180}, {123, 180}}), 0, 0},
      {"108 and 107 taken: one late", 60, {{108, kCartello}, {107, kCartello}},
       con({{109, 180}, {117, 180}, {125, 180}}), 0, 0},
      {"108, 107, 109 taken: code 13, nothing more inside", 60,
       {{108, kCartello}, {107, kCartello}, {109, kCartello}}, prima, 13, 5400},
      {"value 110: none inside", 110, {}, prima, 0, 0},
      {"signal at 135 after the end", 60, {{135, kSegnale}},
       con({{108, 180}, {116, 180}, {124, 180}, {134, 180}}), 0, 0},
      {"signal at 135, 134 taken: 133", 60, {{135, kSegnale}, {134, kCartello}},
       con({{108, 180}, {116, 180}, {124, 180}, {133, 180}}), 0, 0},
      {"signal at 135, 134 and 133 taken: code 13 at the end", 60,
       {{135, kSegnale}, {134, kCartello}, {133, kCartello}},
       con({{108, 180}, {116, 180}, {124, 180}}), 13, 6500},
      {"signal at 143 is too far", 60, {{143, kSegnale}},
       con({{108, 180}, {116, 180}, {124, 180}}), 0, 0},
      {"signal at 142 is the last in reach", 60, {{142, kSegnale}},
       con({{108, 180}, {116, 180}, {124, 180}, {141, 180}}), 0, 0},
      {"value 110: no abatement before the next signal", 110, {{135, kSegnale}}, prima, 0, 0},
  };
  for (const Case& c : cases) {
    Fila r;
    r.rallentamento(100, 130, c.valore);
    for (auto [k, tipo] : c.eventi) r.metti(k, tipo);
    EXPECT_EQ(r.abbattimenti(), c.atteso) << c.nome;
    EXPECT_EQ(r.codice(), c.codice) << c.nome;
    EXPECT_EQ(r.posizione(), c.posizione) << c.nome;
  }
}

TEST(FinishingPass, EdgesOfTheRow) {
  // A warning or a start at segment 0 or in the last two segments is not
  // examined.
  for (int32_t k : {0, 99, 100}) {
    Fila r(100);
    r.metti(k, kAvvisoRallentamento);
    if (k > 0) r.metti(k - 5, kSegnale);
    EXPECT_TRUE(r.abbattimenti().empty()) << k;
    Fila s(100);
    s.metti(k, kInizioRallentamento, 60);
    EXPECT_TRUE(s.abbattimenti().empty()) << k;
  }
  // A slowdown that ends near the end of the row: the walk and the probes
  // stay inside it.
  Fila r(100);
  r.rallentamento(90, 98, 60).metti(100, kSegnale);
  EXPECT_EQ(r.abbattimenti(), (Abb{{72, 180}, {79, 180}, {85, 180}, {97, 180}, {99, 180}}));
  EXPECT_EQ(r.codice(), 0);

  // A start without an end: the walk stops at the last segment; the probe
  // one past it finds no segment there.
  Fila t(100);
  t.metti(92, kInizioRallentamento, 60).metti(100, kCartello).metti(99, kCartello);
  EXPECT_EQ(t.abbattimenti(), (Abb{{74, 180}, {81, 180}, {87, 180}}));
  EXPECT_EQ(t.codice(), 13);
  EXPECT_EQ(t.posizione(), 5000);
}

}  // namespace tratta
