#include "reader/progressive_ordina.h"

#include <gtest/gtest.h>

namespace tratta {

namespace {

/// A mileage change point: position, mileage, flag.
struct Cambio {
  int32_t posizione, progressiva, flag;
  bool operator==(const Cambio&) const = default;
};

/// Orders the rows given as "tre", "due", "uno"; returns slots 81, 82, 83.
std::array<Cambio, 3> ordina(Cambio tre, Cambio due, Cambio uno) {
  RouteModel m;
  int slot = kVoceProgressivaTre;
  for (const Cambio& r : {tre, due, uno}) {
    m.voci[slot].inizio = r.posizione;
    m.voci[slot].fine = r.progressiva;
    m.voci[slot].posizione = r.flag;
    ++slot;
  }
  progressive_ordina(m);
  std::array<Cambio, 3> out;
  for (int i = 0; i < 3; ++i) {
    const Voce& v = m.voci[kVoceProgressivaTre + i];
    out[i] = {v.inizio, v.fine, v.posizione};
  }
  return out;
}

}  // namespace

TEST(MileageOrdering, Cases) {
  const Cambio zero{0, 0, 0};
  struct Case {
    const char* nome;
    Cambio tre, due, uno;
    std::array<Cambio, 3> atteso;
  } cases[] = {
      {"built-in header", zero, zero, {257050, 53050, 0}, {{{257050, 53050, 0}, zero, zero}}},
      {"descending positions",
       {1000, 1, 0},
       {3000, 3, 0},
       {2000, 2, 0},
       {{{3000, 3, 0}, {2000, 2, 0}, {1000, 1, 0}}}},
      {"tre largest", {5000, 5, 0}, {100, 1, 0}, {200, 2, 0},
       {{{5000, 5, 0}, {200, 2, 0}, {100, 1, 0}}}},
      {"uno largest, tre before due", {300, 3, 0}, {100, 1, 0}, {900, 9, 0},
       {{{900, 9, 0}, {300, 3, 0}, {100, 1, 0}}}},
      {"shared largest clears all", {3000, 1, 0}, {3000, 2, 0}, {1000, 3, 0},
       {{zero, zero, zero}}},
      {"zero sum, only due has mileage", {0, 0, 7}, {0, 500, 0}, zero,
       {{{0, 500, 0}, {0, 0, 7}, zero}}},
      {"zero sum, later test wins", {0, 10, 0}, zero, {0, 20, 0},
       {{{0, 20, 0}, zero, {0, 10, 0}}}},
      {"zero sum, no mileage", {0, 0, 1}, zero, zero, {{zero, zero, zero}}},
      {"positions summing to zero go by mileage", {-100, 5, 0}, {100, 6, 0}, zero,
       {{{100, 6, 0}, {-100, 5, 0}, zero}}},
      {"flag 1 adds 100", zero, zero, {257050, 53050, 1}, {{{257050, 53150, 1}, zero, zero}}},
      {"flag 2 adds nothing", zero, zero, {257050, 53050, 2}, {{{257050, 53050, 2}, zero, zero}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ordina(c.tre, c.due, c.uno), c.atteso) << c.nome;
  }
}

TEST(MileageOrdering, CheckOfTheOrderedRows) {
  // Slot, field (0 position, 1 mileage) and value; code 2 unless on 50.
  struct Case {
    int slot, campo;
    int32_t valore, codice;
  } cases[] = {
      {kVoceProgressivaTre, 0, 257050, 0}, {kVoceProgressivaTre, 0, 257051, 2},
      {kVoceProgressivaDue, 1, 1025, 2},   {kVoceProgressivaUno, 0, -50, 0},
      {kVoceProgressivaUno, 1, 49, 2},     {kVoceGeneraliPercorso, 0, 1, 0},
  };
  for (const Case& c : cases) {
    RouteModel m;
    Voce& v = m.voci[c.slot];
    (c.campo == 0 ? v.inizio : v.fine) = c.valore;
    const std::optional<Diagnosi> d = verifica_progressive(m);
    EXPECT_EQ(d ? d->codice_errore : 0, c.codice) << c.slot << " " << c.valore;
    if (d) {
      EXPECT_FALSE(d->posizione_errore) << "code 2 names no position";
    }
  }
}

}  // namespace tratta
