#include "model/file_percorso.h"

#include <gtest/gtest.h>

#include "model/coding.h"
#include "testing/errore_decodifica_atteso.h"

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

TEST(RouteFile, ReadsBackWhatWasWritten) {
  // Fields at the extremes of their widths.
  RouteModel m;
  m.segmenti.assign(4, Segmento());
  m.segmenti[0] = {255, -32768, 32767, -1, 1, 255, 254, 253, 252, 251, 250};
  m.segmenti[3] = {14, 80, 0, 0, 0, 0, 84, 3, 19, 89, 80};
  const std::string percorso = codifica_file_percorso(m);

  const auto segmenti = decodifica_file_percorso(percorso, "R.dat");
  ASSERT_TRUE(segmenti.ok()) << segmenti.errore->testo();
  ASSERT_EQ(segmenti.valore.size(), 4u);
  EXPECT_EQ(segmenti.valore[0].valore1, -32768);
  EXPECT_EQ(segmenti.valore[0].aderenza_seg, 250);
  EXPECT_EQ(segmenti.valore, m.segmenti);

  RouteModel di_nuovo;
  di_nuovo.segmenti = segmenti.valore;
  EXPECT_EQ(codifica_file_percorso(di_nuovo), percorso);
}

// A damaged or foreign file: the error names the file and the byte where
// the bytes stop making sense.
TEST(RouteFile, DamagedFilesSayWhereAndWhy) {
  RouteModel m;
  ASSERT_TRUE(m.dimensiona(260000, 0));
  const std::string percorso = codifica_file_percorso(m);
  const struct {
    const char* caso;
    std::string byte;
    uint64_t offset;
    const char* cosa;
  } casi[] = {
      {"empty route file", "", 0, "the file is empty"},
      {"route file one byte long", percorso + "x", 80115, "whole number of 15-byte"},
      {"route file short of a record", percorso.substr(0, 14), 0, "14 bytes leave 14 over"},
  };
  for (const auto& k : casi) {
    SCOPED_TRACE(k.caso);
    testing::controlla_errore(decodifica_file_percorso(k.byte, "dir/R.dat").errore, "dir/R.dat", k.offset, k.cosa);
  }
}

}  // namespace tratta
