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
  for (auto tabella : {record_linea(), record_di(Parte::kIntestazioneLinea),
                       record_di(Parte::kCorpoLinea), record_di(Parte::kTreno)}) {
    for (const DefinizioneRecord& c : tabella) {
      EXPECT_EQ(chiave_contenuta(c.nome, tabella), &c) << c.nome;
      EXPECT_EQ(chiave_vicina(c.nome, tabella), &c) << c.nome;
    }
  }
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
    const DefinizioneRecord* k = chiave_vicina(c.campo, record_di(Parte::kTreno));
    if (c.vicina) {
      ASSERT_NE(k, nullptr) << c.campo;
      EXPECT_EQ(k->nome, c.vicina) << c.campo;
    } else {
      EXPECT_EQ(k, nullptr) << c.campo << " -> " << k->nome;
    }
  }
}

}  // namespace tratta
