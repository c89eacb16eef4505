#include "model/codice_gara.h"

#include <gtest/gtest.h>

namespace tratta {

TEST(RouteCodes, WorkedExamples) {
  struct Case {
    const char* treno;
    const char* scenario;
    const char* chiave;
    int16_t og;
    int32_t st;
  } cases[] = {
      {"", "", "aabbccddeeffgghhiillmmnno", 2583, 34355},
      {"1", "ab", "1abaabbccddeeffgghhiillmm", 2496, 33703},
      {"30", "ABC", "30abcaabbccddeeffgghhiill", 2427, 33218},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(chiave_gara(c.treno, c.scenario), c.chiave);
    EXPECT_EQ(codice_gara_og(c.treno, c.scenario), c.og) << c.scenario;
    EXPECT_EQ(codice_gara_st(c.treno, c.scenario), c.st) << c.scenario;
  }
}

TEST(RouteCodes, CaseInsensitiveAndCutAfter25Characters) {
  EXPECT_EQ(codice_gara_st("30", "Tratta_Valle3"), codice_gara_st("30", "TRATTA_VALLE3"));
  EXPECT_EQ(codice_gara_og("30", "Tratta_Valle3"), codice_gara_og("30", "tratta_valle3"));
  // With a two-character train number, 23 characters of the name count.
  const std::string lungo(23, 'z');
  EXPECT_EQ(chiave_gara("30", lungo + "DIFFERENT"), "30" + lungo);
  EXPECT_EQ(codice_gara_st("30", lungo + "x"), codice_gara_st("30", lungo + "y"));
  EXPECT_EQ(chiave_gara("30", "Tratta_Valle3"), "30tratta_valle3aabbccddee");
}

TEST(RouteCodes, ModelReadsSlots86And85) {
  RouteModel m;
  m.voci[kVoceGeneraliTreno].nome = "1";
  m.voci[kVoceGeneraliLinea].nome = "ab";
  EXPECT_EQ(codice_gara_og(m), 2496);
  EXPECT_EQ(codice_gara_st(m), 33703);
}

}  // namespace tratta
