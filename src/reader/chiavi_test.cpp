#include "reader/chiavi.h"

#include <gtest/gtest.h>

#include <string>

namespace tratta {

TEST(Chiavi, DistanceOfAWordFromAnyPlaceInAText) {
  struct Caso {
    const char* parola;
    const char* testo;
    int distanza;
  } casi[] = {
      {"segnale", "segnale, 100", 0},  {"segnale", "segnal", 1},
      {"segnale", "SEGNALE", 0},       {"pendenza", "la pendeza", 1},
      {"curva", "curvx2", 1},          {"curva", "", 5},
      {"[generale]", "[genrale]", 1},  {"stazione", "zz stazoine zz", 2},
  };
  for (const Caso& c : casi)
    EXPECT_EQ(distanza_in(c.parola, c.testo), c.distanza) << c.parola << " in " << c.testo;
}

TEST(Chiavi, EachKeywordHoldsItsOwnWordsAndIsFoundByThem) {
  for (auto tabella : {chiavi_linea(), chiavi_intestazione_linea(), chiavi_corpo_linea(),
                       chiavi_treno()}) {
    for (const Chiave& c : tabella) {
      EXPECT_EQ(chiave_contenuta(c.nome, tabella), &c) << c.nome;
      EXPECT_EQ(chiave_vicina(c.nome, tabella), &c) << c.nome;
    }
  }
  EXPECT_EQ(chiavi_intestazione_linea().size() + chiavi_corpo_linea().size(),
            chiavi_linea().size());
}

TEST(Chiavi, TheClosestKeywordOnlyWhenItIsClose) {
  struct Caso {
    const char* campo;
    const char* vicina;  // nullptr: none
  } casi[] = {
      {"segnal", "segnale"},
      {"abbatimento codice", "abbattimento codice"},
      {"massa frenta", "percentuale massa frenata"},
      {"orologgio", "orologio"},
      {"nebbia", nullptr},
      {"a", nullptr},
      // Only the field's first characters are compared.
      {"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx stazione", nullptr},
  };
  for (const Caso& c : casi) {
    const Chiave* k = chiave_vicina(c.campo, chiavi_treno());
    if (c.vicina) {
      ASSERT_NE(k, nullptr) << c.campo;
      EXPECT_EQ(k->nome, c.vicina) << c.campo;
    } else {
      EXPECT_EQ(k, nullptr) << c.campo << " -> " << k->nome;
    }
  }
}

}  // namespace tratta
