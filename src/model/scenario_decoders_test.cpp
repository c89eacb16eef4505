#include "model/scenario_decoders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "model/coding.h"
#include "model/scenario_files.h"

namespace tratta {

namespace {

/// A model whose fields hold the extremes of their widths.
RouteModel modello_estremo() {
  RouteModel m;
  m.segmenti.assign(4, Segmento());
  m.segmenti[0] = {255, -32768, 32767, -1, 1, 255, 254, 253, 252, 251, 250};
  m.segmenti[3] = {14, 80, 0, 0, 0, 0, 84, 3, 19, 89, 80};
  Voce& v = m.voci[1];
  v = {255,    INT32_MIN, INT32_MAX, -1,    7, std::string("CITT\xC0 \"A\"\\\x00\x81", 12),
       -32768, 32767,     1,         2,     3, 4,
       5,      6,         7,         -25620};
  m.voci[80].nome = std::string(300, 'x');
  m.voci[86].nome = "30";
  return m;
}

/// The bytes of a line file, element by element.
std::string elementi(std::initializer_list<std::pair<TagPiano, double>> e) {
  std::string b;
  for (const auto& [tag, v] : e) {
    put_u16(b, static_cast<uint16_t>(tag));
    if (tag == TagPiano::kIntero16) put_i16(b, static_cast<int16_t>(v));
    if (tag == TagPiano::kDoppio) put_f64(b, v);
  }
  return b;
}

}  // namespace

TEST(ScenarioDecoders, RouteAndTrainFilesReadBackWhatWasWritten) {
  const RouteModel m = modello_estremo();
  const std::string percorso = codifica_file_percorso(m);
  const std::string treno = codifica_file_treno(m);

  const auto segmenti = decodifica_file_percorso(percorso, "R.dat");
  const auto voci = decodifica_file_treno(treno, "R.sim");
  ASSERT_TRUE(segmenti.ok()) << segmenti.errore->testo();
  ASSERT_TRUE(voci.ok()) << voci.errore->testo();
  ASSERT_EQ(segmenti.valore.size(), 4u);
  EXPECT_EQ(segmenti.valore[0].valore1, -32768);
  EXPECT_EQ(segmenti.valore[0].aderenza_seg, 250);
  EXPECT_EQ(voci.valore[1].nome, m.voci[1].nome);
  EXPECT_EQ(voci.valore[1].inizio, INT32_MIN);
  EXPECT_EQ(voci.valore[1].orario, -25620);

  RouteModel di_nuovo;
  di_nuovo.segmenti = segmenti.valore;
  di_nuovo.voci = voci.valore;
  EXPECT_EQ(codifica_file_percorso(di_nuovo), percorso);
  EXPECT_EQ(codifica_file_treno(di_nuovo), treno);
}

TEST(ScenarioDecoders, LineFileReadsBackElementByElement) {
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
}

// Damaged or foreign files: the error names the file and the byte where
// the bytes stop making sense, and nothing is read beyond the end.
TEST(ScenarioDecoders, DamagedFilesSayWhereAndWhy) {
  RouteModel m;
  ASSERT_TRUE(m.dimensiona(260000, 0));
  m.voci[85].nome = "Tratta_Valle3";
  m.voci[86].nome = "30";
  const std::string percorso = codifica_file_percorso(m);
  const std::string treno = codifica_file_treno(m);
  std::string nome_lungo = treno;
  nome_lungo[3 * 34 + 15] = '\xFF';  // slot 3's name would be 65280 bytes long
  Planimetria p;
  p.dimensiona(10);
  p.semina();
  p.estendi(8, 0.0);
  const std::string linea = codifica_file_linea(p);
  std::string tag_ignoto = linea;
  tag_ignoto[18] = 7;  // the third element of axis 0

  enum File { kPercorso, kTreno, kLinea };
  const struct {
    const char* caso;
    File file;
    std::string byte;
    uint64_t offset;
    const char* cosa;
  } casi[] = {
      {"empty route file", kPercorso, "", 0, "the file is empty"},
      {"route file one byte long", kPercorso, percorso + "x", 80115, "whole number of 15-byte"},
      {"route file short of a record", kPercorso, percorso.substr(0, 14), 0,
       "14 bytes leave 14 over"},
      {"train file cut in slot 0", kTreno, treno.substr(0, 10), 0, "slot 0 runs past the end"},
      {"train file cut in slot 86's name", kTreno, treno.substr(0, 2890 + 34 + 13 + 17), 2937,
       "slot 86 runs past the end"},
      {"train file with a name past the end", kTreno, nome_lungo, 102, "slot 3 runs past the end"},
      {"train file with a byte after slot 86", kTreno, treno + "x", 2973,
       "1 byte left over after slot 86"},
      {"train file of another kind", kTreno, std::string(5000, '\0'), 2958, "2042 bytes left over"},
      {"empty line file", kLinea, "", 0, "the file is empty"},
      {"unknown tag", kLinea, tag_ignoto, 18, "unknown element tag 7"},
      {"axes of different lengths", kLinea, linea.substr(0, linea.size() - 2), linea.size() - 2,
       "the two axes of the plan differ in length"},
      {"value cut short", kLinea,
       elementi({{TagPiano::kIntero16, 0}, {TagPiano::kDoppio, 1}}).substr(0, 8), 4,
       "ends inside the value of an element with tag 5"},
      {"tag cut short", kLinea, std::string(1, '\0'), 0, "ends inside an element's tag"},
  };
  for (const auto& k : casi) {
    SCOPED_TRACE(k.caso);
    std::optional<ErroreDecodifica> e;
    switch (k.file) {
      case kPercorso:
        e = decodifica_file_percorso(k.byte, "dir/R.dat").errore;
        break;
      case kTreno:
        e = decodifica_file_treno(k.byte, "dir/R.sim").errore;
        break;
      case kLinea:
        e = decodifica_file_linea(k.byte, "dir/L.dat").errore;
        break;
    }
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->offset, k.offset);
    EXPECT_NE(e->cosa.find(k.cosa), std::string::npos) << e->cosa;
    EXPECT_EQ(e->testo().rfind(e->file + ": byte " + std::to_string(k.offset) + ": ", 0), 0u)
        << e->testo();
  }
}

}  // namespace tratta
