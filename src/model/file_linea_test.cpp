#include "model/file_linea.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/planimetria.h"
#include "testing/errore_decodifica_atteso.h"

namespace tratta {

namespace {

/// The bytes of a line file, element by element, with the element encoders.
std::string elementi(std::initializer_list<std::pair<TagPiano, double>> e) {
  std::string b;
  for (const auto& [tag, v] : e) {
    char buf[byte_elemento(TagPiano::kDoppio)];
    switch (tag) {
      case TagPiano::kVuoto:
        codifica_vuoto(buf);
        break;
      case TagPiano::kIntero16:
        codifica_intero16(buf, static_cast<int16_t>(v));
        break;
      case TagPiano::kDoppio:
        codifica_doppio(buf, v);
        break;
    }
    b.append(buf, byte_elemento(tag));
  }
  return b;
}

}  // namespace

TEST(LineFile, ElementsAreTheirTagAndValue) {
  EXPECT_EQ(elementi({{TagPiano::kVuoto, 0}}), std::string("\0\0", 2));
  EXPECT_EQ(elementi({{TagPiano::kIntero16, -2}}), std::string("\2\0\xFE\xFF", 4));
  EXPECT_EQ(elementi({{TagPiano::kDoppio, 1.0}}), std::string("\5\0\0\0\0\0\0\0\xF0\x3F", 10));
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

TEST(LineFile, ReadsBackElementByElement) {
  Planimetria p;
  p.dimensiona(9);
  p.semina();
  p.estendi(7, 0.0);  // straight on: (0, m) at metre m
  const std::string b = codifica_file_linea(p);
  const auto d = decodifica_file_linea(b, "L.dat");
  ASSERT_TRUE(d.ok()) << d.errore->testo();
  const FileLinea& l = d.valore;
  EXPECT_EQ(l.metri_totali(), 9);
  EXPECT_EQ(l.conta(TagPiano::kIntero16), 4u);
  EXPECT_EQ(l.conta(TagPiano::kDoppio), 12u);
  EXPECT_EQ(l.conta(TagPiano::kVuoto), 4u);
  EXPECT_EQ(l.assi[1][1].tag, TagPiano::kIntero16);
  EXPECT_EQ(l.assi[1][1].valore, 1.0);
  for (int32_t m = 2; m <= 7; ++m) {
    EXPECT_EQ(l.assi[0][static_cast<size_t>(m)].valore, 0.0);
    EXPECT_EQ(l.assi[1][static_cast<size_t>(m)].valore, m);
  }
  EXPECT_EQ(l.assi[0][9].tag, TagPiano::kVuoto);

  // Any mix of tags is a line file, however the plan came to be.
  const auto misto = decodifica_file_linea(elementi({{TagPiano::kDoppio, NAN},
                                                     {TagPiano::kVuoto, 0},
                                                     {TagPiano::kIntero16, -7},
                                                     {TagPiano::kDoppio, 1e300}}),
                                           "L.dat");
  ASSERT_TRUE(misto.ok());
  EXPECT_EQ(misto.valore.metri_totali(), 1);
  EXPECT_TRUE(std::isnan(misto.valore.assi[0][0].valore));
  EXPECT_EQ(misto.valore.assi[1][0].valore, -7);
  EXPECT_EQ(misto.valore.assi[1][1].valore, 1e300);
}

// A damaged or foreign file: the error names the file and the byte where
// the bytes stop making sense, and nothing is read beyond the end.
TEST(LineFile, DamagedFilesSayWhereAndWhy) {
  Planimetria p;
  p.dimensiona(10);
  p.semina();
  p.estendi(8, 0.0);
  const std::string linea = codifica_file_linea(p);
  std::string tag_ignoto = linea;
  tag_ignoto[18] = 7;  // the third element of axis 0

  const struct {
    const char* caso;
    std::string byte;
    uint64_t offset;
    const char* cosa;
  } casi[] = {
      {"empty line file", "", 0, "the file is empty"},
      {"unknown tag", tag_ignoto, 18, "unknown element tag 7"},
      {"axes of different lengths", linea.substr(0, linea.size() - 2), linea.size() - 2,
       "the two axes of the plan differ in length"},
      {"value cut short", elementi({{TagPiano::kIntero16, 0}, {TagPiano::kDoppio, 1}}).substr(0, 8),
       4, "ends inside the value of an element with tag 5"},
      {"integer cut short", elementi({{TagPiano::kIntero16, 0}}).substr(0, 3), 0,
       "ends inside the value of an element with tag 2"},
      {"tag cut short", std::string(1, '\0'), 0, "ends inside an element's tag"},
  };
  for (const auto& k : casi) {
    SCOPED_TRACE(k.caso);
    testing::controlla_errore(decodifica_file_linea(k.byte, "dir/L.dat").errore, "dir/L.dat", k.offset, k.cosa);
  }
}

}  // namespace tratta
