#include "model/scenario_files.h"

#include <gtest/gtest.h>

#include "model/coding.h"
#include "testing/scratch_dir.h"

namespace tratta {

TEST(RouteFile, EveryFieldAtItsOffset) {
  RouteModel m;
  m.segmenti.assign(3, Segmento());
  Segmento& s = m.segmenti[1];
  s = {0xAB, -2, 0x1234, -300, 0x7FFF, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6};
  const std::string b = codifica_file_percorso(m);
  ASSERT_EQ(b.size(), 45u);
  const size_t r = 15;
  EXPECT_EQ(static_cast<unsigned char>(b[r + 0]), 0xAB);
  EXPECT_EQ(static_cast<int16_t>(decode_u16(b.data() + r + 1)), -2);
  EXPECT_EQ(decode_u16(b.data() + r + 3), 0x1234);
  EXPECT_EQ(static_cast<int16_t>(decode_u16(b.data() + r + 5)), -300);
  EXPECT_EQ(decode_u16(b.data() + r + 7), 0x7FFF);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(static_cast<unsigned char>(b[r + 9 + i]), 0xC1 + i);
  EXPECT_EQ(b.substr(0, 15), std::string(15, '\0'));
}

TEST(RouteFile, LengthForTheBuiltInRouteLength) {
  RouteModel m;
  ASSERT_TRUE(m.dimensiona(260000, 1));
  EXPECT_EQ(m.metri_totali, 267000);
  EXPECT_EQ(m.ultimo_segmento, 5340);
  EXPECT_EQ(codifica_file_percorso(m).size(), 80115u);
}

TEST(TrainFile, RecordLayoutWithAName) {
  RouteModel m;
  Voce& v = m.voci[0];
  v.tipo = 7;
  v.inizio = -500;
  v.fine = 0x01020304;
  v.posizione = 9;
  v.tps = 3;
  v.nome = "ABCDE";
  v.d2_a = -1;
  v.d3_a = 2;
  v.d1_b = 3;
  v.d2_b = 4;
  v.d3_b = 5;
  v.rap = 6;
  v.ac = 7;
  v.mar = 8;
  v.tab = 9;
  v.orario = 25620;
  const std::string b = codifica_file_treno(m);
  const size_t L = 5;
  ASSERT_EQ(b.size(), 87u * 34 + L);
  EXPECT_EQ(b[0], 7);
  EXPECT_EQ(static_cast<int32_t>(decode_u32(b.data() + 1)), -500);
  EXPECT_EQ(decode_u32(b.data() + 5), 0x01020304u);
  EXPECT_EQ(decode_u32(b.data() + 9), 9u);
  EXPECT_EQ(b[13], 3);
  EXPECT_EQ(decode_u16(b.data() + 14), L);
  EXPECT_EQ(b.substr(16, L), "ABCDE");
  EXPECT_EQ(static_cast<int16_t>(decode_u16(b.data() + 16 + L)), -1);
  EXPECT_EQ(decode_u16(b.data() + 18 + L), 2);
  EXPECT_EQ(decode_u16(b.data() + 20 + L), 3);
  EXPECT_EQ(decode_u16(b.data() + 22 + L), 4);
  EXPECT_EQ(decode_u16(b.data() + 24 + L), 5);
  EXPECT_EQ(b[26 + L], 6);
  EXPECT_EQ(b[27 + L], 7);
  EXPECT_EQ(b[28 + L], 8);
  EXPECT_EQ(b[29 + L], 9);
  EXPECT_EQ(decode_u32(b.data() + 30 + L), 25620u);
  // The next record starts right after: 34 + L bytes.
  EXPECT_EQ(b.substr(34 + L, 34), std::string(34, '\0'));
}

TEST(TrainFile, OnlyTheTwoIdentifierSlotsNamed) {
  RouteModel m;
  m.voci[85].nome = "Tratta_Valle3";
  m.voci[86].nome = "30";
  const std::string b = codifica_file_treno(m);
  ASSERT_EQ(b.size(), 2973u);
  EXPECT_EQ(decode_u16(b.data() + 2890 + 14), 13);
  EXPECT_EQ(b.substr(2890 + 16, 13), "Tratta_Valle3");
  const size_t slot86 = 2890 + 34 + 13;
  EXPECT_EQ(decode_u16(b.data() + slot86 + 14), 2);
  EXPECT_EQ(b.substr(slot86 + 16, 2), "30");
}

TEST(LineFile, TagsAndValuesOfAComputedPlan) {
  Planimetria p;
  p.dimensiona(10);
  p.semina();
  p.estendi(8, 0.0);  // straight on: (0, m) at metre m
  const std::string b = codifica_file_linea(p);
  ASSERT_EQ(b.size(), 20u * 10 - 36);
  const size_t asse = b.size() / 2;
  for (int a = 0; a < 2; ++a) {
    size_t o = a * asse;
    // Seeds: (0, 0) at metre 0 and (0, 1) at metre 1, 16-bit integers.
    EXPECT_EQ(decode_u16(b.data() + o), 2);
    EXPECT_EQ(decode_u16(b.data() + o + 2), 0);
    EXPECT_EQ(decode_u16(b.data() + o + 4), 2);
    EXPECT_EQ(decode_u16(b.data() + o + 6), a == 0 ? 0 : 1);
    o += 8;
    for (int32_t m = 2; m <= 8; ++m, o += 10) {
      EXPECT_EQ(decode_u16(b.data() + o), 5);
      EXPECT_EQ(decode_f64(b.data() + o + 2), a == 0 ? 0.0 : m);
    }
    // The last two metres stay empty.
    EXPECT_EQ(decode_u16(b.data() + o), 0);
    EXPECT_EQ(decode_u16(b.data() + o + 2), 0);
    EXPECT_EQ(o + 4, (a + 1) * asse);
  }
}

TEST(LineFile, FullyComputedBuiltInLength) {
  Planimetria p;
  p.dimensiona(267000);
  p.semina();
  p.estendi(267000 - 2, 0.0);
  EXPECT_EQ(codifica_file_linea(p).size(), 20u * 267000 - 36);
}

TEST(ScenarioFiles, WrittenWholeAndOnlyTheLineFileDependsOnThePlan) {
  testing::ScratchDir dir;
  RouteModel m;
  m.nomi = {"Prova", "7"};
  ASSERT_TRUE(m.dimensiona(1000, 0));
  testing::write_bytes(dir / "Prova_linea.dat", "old plan");
  testing::write_bytes(dir / "Prova_7.dat", std::string(100000, 'x'));
  auto scritti = scrivi_file_scenario(m, 0, dir.path());
  EXPECT_EQ(scritti, (std::vector<std::string>{"Prova_7.sim", "Prova_7.dat"}));
  EXPECT_EQ(testing::read_bytes(dir / "Prova_linea.dat"), "old plan");
  EXPECT_EQ(testing::read_bytes(dir / "Prova_7.dat").size(), 15u * (160 + 1));
  EXPECT_EQ(testing::read_bytes(dir / "Prova_7.sim").size(), 87u * 34);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            3);
}

}  // namespace tratta
