#include "model/valori_segnale.h"

#include <gtest/gtest.h>

namespace tratta {

namespace {

std::array<int16_t, 4> valori(const Segmento& s) {
  return {s.valore1, s.valore2, s.valore3, s.valore4};
}

}  // namespace

TEST(ValoriSegnale, SignalColumnsThereAndBack) {
  const struct {
    const char* caso;
    ColonneSegnale colonne;
    std::array<int16_t, 4> valori;
    bool stesse;                          // the columns read back as they were
    std::optional<ColonneSegnale> altre;  // else these, or nothing: shown as values
  } casi[] = {
      {"train description's signal", {{4, 1, 0}, {3, 1, 0}, 1, 1, 0}, {43, 11, 0, 4}, true, {}},
      {"all zero", {}, {0, 0, 0, 0}, true, {}},
      {"highest digits", {{9, 9, 9}, {9, 9, 9}, 2, 2, 7}, {99, 99, 99, 78}, true, {}},
      {"highest rapp", {{0, 0, 0}, {0, 0, 0}, 2, 1, 3276}, {0, 0, 0, 32767}, true, {}},
      {"dx 3 reads as sx 1", {{1, 1, 1}, {0, 0, 0}, 0, 3, 2}, {10, 10, 10, 23}, false,
       ColonneSegnale{{1, 1, 1}, {0, 0, 0}, 1, 0, 2}},
      {"aspect of two digits", {{12, 0, 0}, {0, 0, 0}, 0, 0, 0}, {120, 0, 0, 0}, false, {}},
      {"negative aspect", {{0, 0, 0}, {0, -1, 0}, 0, 0, 0}, {0, -1, 0, 0}, false, {}},
      {"side 9", {{0, 0, 0}, {0, 0, 0}, 3, 0, 0}, {0, 0, 0, 9}, false, {}},
      {"rapp wraps at 16 bits", {{0, 0, 0}, {0, 0, 0}, 0, 0, 3277}, {0, 0, 0, -32766}, false, {}},
      {"aspect wraps at 16 bits", {{6554, 0, 0}, {0, 0, 0}, 0, 0, 0}, {4, 0, 0, 0}, false,
       ColonneSegnale{{0, 0, 0}, {4, 0, 0}, 0, 0, 0}},
  };
  for (const auto& k : casi) {
    SCOPED_TRACE(k.caso);
    Segmento s;
    s.tipo = kSegnale;
    s.tempo_segnale = 101;
    s.avviso = 7;
    s.classe_montagna = 2;
    codifica_segnale(k.colonne, s);
    EXPECT_EQ(valori(s), k.valori);
    // Only the four values carry the columns.
    EXPECT_EQ(s.tipo, kSegnale);
    EXPECT_EQ(s.tempo_segnale, 101);
    EXPECT_EQ(s.avviso, 7);
    EXPECT_EQ(s.classe_montagna, 2);
    EXPECT_EQ(decodifica_segnale(s), k.stesse ? std::optional(k.colonne) : k.altre);
  }
}

// Whatever values read as columns are written back from them unchanged.
TEST(ValoriSegnale, SignalValuesThatSplitComeBackWhole) {
  size_t lette = 0;
  for (int32_t v4 = -1; v4 <= 32767; ++v4) {
    for (int32_t a : {-1, 0, v4 % 101, 99, 100}) {
      const auto aspetto = static_cast<int16_t>(a);
      Segmento s;
      s.valore1 = aspetto;
      s.valore2 = static_cast<int16_t>(99 - v4 % 100);
      s.valore3 = static_cast<int16_t>(v4 % 37);
      s.valore4 = static_cast<int16_t>(v4);
      const std::optional<ColonneSegnale> c = decodifica_segnale(s);
      const bool in_cifre = v4 >= 0 && v4 % 10 <= 8 && aspetto >= 0 && aspetto <= 99;
      ASSERT_EQ(c.has_value(), in_cifre) << v4 << " " << aspetto;
      if (!c) continue;
      ++lette;
      Segmento di_nuovo;
      codifica_segnale(*c, di_nuovo);
      ASSERT_EQ(valori(di_nuovo), valori(s)) << v4 << " " << aspetto;
    }
  }
  EXPECT_GT(lette, 80000u);
}

TEST(ValoriSegnale, IndicatorSpeedsThereAndBack) {
  const struct {
    const char* caso;
    Coppia velocita;
    ValoreVelocita valore;
    std::optional<Coppia> lette;
  } casi[] = {
      {"100|100", {100, 100}, {2020}, Coppia{100, 100}},
      {"105|110", {105, 110}, {2122}, Coppia{105, 110}},
      {"0|0", {0, 0}, {0}, Coppia{0, 0}},
      {"highest right speed", {0, 495}, {99}, Coppia{0, 495}},
      {"right speed of 500 spills left", {0, 500}, {100}, Coppia{5, 0}},
      {"right speed off the 5 km/h steps", {0, 12}, {2}, Coppia{0, 10}},
      {"right speed rounded up", {10, 14}, {203}, Coppia{10, 15}},
      {"highest value", {1635, 35}, {32707}, Coppia{1635, 35}},
      {"negative speed", {-5, 0}, {-100}, std::nullopt},
      {"lowest value", {-1638, -40}, {-32768}, std::nullopt},
      {"above 16 bits", {1638, 40}, {0, FuoriScala::kValore}, std::nullopt},
      {"below 16 bits", {-1639, 0}, {0, FuoriScala::kValore}, std::nullopt},
      {"left speed times 20 above 32 bits", {107374183, 0}, {0, FuoriScala::kSinistra},
       std::nullopt},
      {"left speed times 20 below 32 bits", {-107374183, 0}, {0, FuoriScala::kSinistra},
       std::nullopt},
      {"left speed times 20 just in 32 bits", {107374182, 0}, {0, FuoriScala::kValore},
       std::nullopt},
  };
  for (const auto& k : casi) {
    SCOPED_TRACE(k.caso);
    const ValoreVelocita v = codifica_velocita(k.velocita);
    EXPECT_EQ(v.fuori, k.valore.fuori);
    EXPECT_EQ(v.valore, k.valore.valore);
    if (v.fuori == FuoriScala::kNo) {
      EXPECT_EQ(decodifica_velocita(v.valore), k.lette);
    }
  }
  // Every value that reads as speeds is written back from them.
  for (int32_t v = -32768; v <= 32767; ++v) {
    const std::optional<Coppia> c = decodifica_velocita(static_cast<int16_t>(v));
    ASSERT_EQ(c.has_value(), v >= 0) << v;
    if (c) {
      ASSERT_EQ(codifica_velocita(*c).valore, v);
    }
  }
}

TEST(ValoriSegnale, IndicatorStripesThereAndBack) {
  const struct {
    const char* caso;
    Coppia strisce;
    int16_t valore;
    std::optional<Coppia> lette;
  } casi[] = {
      {"1|2", {1, 2}, 12, Coppia{1, 2}},
      {"none", {0, 0}, 0, Coppia{0, 0}},
      {"9|9", {9, 9}, 99, Coppia{9, 9}},
      {"ten on the left", {10, 0}, 100, std::nullopt},
      {"ten on the right", {0, 10}, 10, Coppia{1, 0}},
      {"negative", {0, -1}, -1, std::nullopt},
      {"wraps at 16 bits", {6554, 0}, 4, Coppia{0, 4}},
  };
  for (const auto& k : casi) {
    SCOPED_TRACE(k.caso);
    EXPECT_EQ(codifica_strisce(k.strisce), k.valore);
    EXPECT_EQ(decodifica_strisce(k.valore), k.lette);
  }
}

}  // namespace tratta
