#include "reader/progressive_ordina.h"

#include <gtest/gtest.h>

namespace tratta {

namespace {

struct Riga {
  int32_t posizione, progressiva, flag;
  bool operator==(const Riga&) const = default;
};

/// Orders the rows given as "tre", "due", "uno"; returns slots 81, 82, 83.
std::array<Riga, 3> ordina(Riga tre, Riga due, Riga uno) {
  RouteModel m;
  int slot = kVoceProgressivaTre;
  for (const Riga& r : {tre, due, uno}) {
    m.voci[slot].inizio = r.posizione;
    m.voci[slot].fine = r.progressiva;
    m.voci[slot].posizione = r.flag;
    ++slot;
  }
  progressive_ordina(m);
  std::array<Riga, 3> out;
  for (int i = 0; i < 3; ++i) {
    const Voce& v = m.voci[kVoceProgressivaTre + i];
    out[i] = {v.inizio, v.fine, v.posizione};
  }
  return out;
}

}  // namespace

TEST(MileageOrdering, Cases) {
  const Riga zero{0, 0, 0};
  struct Case {
    const char* nome;
    Riga tre, due, uno;
    std::array<Riga, 3> atteso;
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

}  // namespace tratta
