#include "model/diagnosi.h"

#include <gtest/gtest.h>

namespace tratta {

// Only the last diagnostic survives, but one without a position keeps the
// position recorded before it (a status 15 followed by code 2 or 25).
TEST(Diagnosi, TheLastOneSurvivesWithTheLastPosition) {
  struct Case {
    const char* nome;
    Diagnosi prima, dopo;
    int32_t codice;
    std::optional<int32_t> posizione;
    const char* file;
  } cases[] = {
      {"first", {}, {15, 16901, "t.txt", 4}, 15, 16901, "t.txt"},
      {"no position keeps the one before", {15, 16901, "t.txt", 4},
       {.codice_errore = 2, .file = "l.txt"}, 2, 16901, "l.txt"},
      {"a position replaces the one before", {15, 16901, "t.txt", 4}, {13, 5000}, 13, 5000, ""},
      {"no position ever", {}, {.codice_errore = 25, .dettaglio = "x"}, 25, std::nullopt, ""},
  };
  for (const Case& c : cases) {
    Diagnosi d = c.prima;
    registra(d, c.dopo);
    EXPECT_EQ(d.codice_errore, c.codice) << c.nome;
    EXPECT_EQ(d.posizione_errore, c.posizione) << c.nome;
    EXPECT_EQ(d.file, c.file) << c.nome;
    EXPECT_EQ(d.riga, c.dopo.riga) << c.nome;
    EXPECT_EQ(d.dettaglio, c.dopo.dettaglio) << c.nome;
  }
}

}  // namespace tratta
