#include "model/file_treno.h"

#include <gtest/gtest.h>

#include "model/coding.h"
#include "testing/errore_decodifica_atteso.h"

namespace tratta {

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

TEST(TrainFile, ReadsBackWhatWasWritten) {
  // Fields at the extremes of their widths, names with every kind of byte.
  RouteModel m;
  Voce& v = m.voci[1];
  v = {255,    INT32_MIN, INT32_MAX, -1,    7, std::string("CITT\xC0 \"A\"\\\x00\x81", 12),
       -32768, 32767,     1,         2,     3, 4,
       5,      6,         7,         -25620};
  m.voci[80].nome = std::string(300, 'x');
  m.voci[86].nome = "30";
  const std::string treno = codifica_file_treno(m);

  const auto voci = decodifica_file_treno(treno, "R.sim");
  ASSERT_TRUE(voci.ok()) << voci.errore->testo();
  EXPECT_EQ(voci.valore[1].nome, m.voci[1].nome);
  EXPECT_EQ(voci.valore[1].inizio, INT32_MIN);
  EXPECT_EQ(voci.valore[1].orario, -25620);
  EXPECT_EQ(voci.valore, m.voci);

  RouteModel di_nuovo;
  di_nuovo.voci = voci.valore;
  EXPECT_EQ(codifica_file_treno(di_nuovo), treno);
}

// A damaged or foreign file: the error names the file and the byte where
// the bytes stop making sense, and nothing is read beyond the end.
TEST(TrainFile, DamagedFilesSayWhereAndWhy) {
  RouteModel m;
  m.voci[85].nome = "Tratta_Valle3";
  m.voci[86].nome = "30";
  const std::string treno = codifica_file_treno(m);
  std::string nome_lungo = treno;
  nome_lungo[3 * 34 + 15] = '\xFF';  // slot 3's name would be 65280 bytes long

  const struct {
    const char* caso;
    std::string byte;
    uint64_t offset;
    const char* cosa;
  } casi[] = {
      {"train file cut in slot 0", treno.substr(0, 10), 0, "slot 0 runs past the end"},
      {"train file cut in slot 86's name", treno.substr(0, 2890 + 34 + 13 + 17), 2937,
       "slot 86 runs past the end"},
      {"train file with a name past the end", nome_lungo, 102, "slot 3 runs past the end"},
      {"train file with a byte after slot 86", treno + "x", 2973, "1 byte left over after slot 86"},
      {"train file of another kind", std::string(5000, '\0'), 2958, "2042 bytes left over"},
      {"empty train file", "", 0, "(a train file holds 87 records, slots 0 to 86, of 34 bytes"},
  };
  for (const auto& k : casi) {
    SCOPED_TRACE(k.caso);
    testing::controlla_errore(decodifica_file_treno(k.byte, "dir/R.sim").errore, "dir/R.sim", k.offset, k.cosa);
  }
}

}  // namespace tratta
