#include <gtest/gtest.h>

#include "testing/descriptions.h"

namespace tratta {

using testing::linea;
using testing::treno;

namespace {

/// A station row: position, kind, length, then tps tab mar d2 d3 rap d1 d2
/// d3 ac and the time, then the name.
std::string stazione(int32_t pos, int tipo, int32_t lung, const std::string& campi = "0,0,0,0,0,0,0,0,0,0",
                     const std::string& orario = "0,0,0", const std::string& nome = "STAZIONE") {
  return "stazione, " + std::to_string(pos) + ", " + std::to_string(tipo) + ", " +
         std::to_string(lung) + ", " + campi + ", " + orario + ", " + nome + "\r\n";
}

}  // namespace

TEST(TrainDescription, GeneralValuesSpeedsAndAdhesion) {
  testing::Lettura t;
  t.leggi(linea("", 10000),
          treno("numero vetture,    12\r\n"
                "percentuale massa frenata,    130\r\n"
                "sabbia,    200\r\n"
                "orologio,    7               6             30 \r\n"
                "aderenza,   0,    80\r\n"
                "aderenza,   1000,    300\r\n"
                "velocita' limite ,     0    ,   30\r\n"
                "velocita,    1000,    95\r\n"
                "velocita,    1500,   110\r\n"
                "velocita,    2000,   200\r\n"
                "velocita,    2500,   102\r\n"));
  EXPECT_EQ(t.m.codice_errore, 0);
  EXPECT_EQ(t.m.voci[84].posizione, 12);
  EXPECT_EQ(t.m.voci[84].inizio, 130);
  EXPECT_EQ(t.m.voci[86].d2_a, 200);
  EXPECT_EQ(t.m.voci[86].d1_b, 7);
  EXPECT_EQ(t.m.voci[86].d2_b, 6);
  EXPECT_EQ(t.m.voci[86].d3_b, 30);
  struct Atteso {
    int32_t segmento;
    uint8_t vel, ader;
  } attesi[] = {{0, 6, 80}, {19, 6, 80}, {20, 19, 44}, {30, 22, 44},
                {40, 40, 44}, {50, 20, 44}, {337, 20, 44}, {338, 0, 0}};
  for (const Atteso& a : attesi) {
    EXPECT_EQ(t.seg(a.segmento).vel_limite, a.vel) << a.segmento;
    EXPECT_EQ(t.seg(a.segmento).aderenza_seg, a.ader) << a.segmento;
  }
}

TEST(TrainDescription, StationExtentsAndMarks) {
  testing::Lettura t;
  t.leggi(linea("", 20000),
          treno(stazione(0, 8, 500, "1,0,0,4,1,0,2,1,1,1", "7,7,0", "ORIGINE") +
                stazione(4500, 2, 600, "0,1,0,1,1,0,4,1,1,0") +
                stazione(6100, 26, 200) +
                stazione(8000, 2, 600, "0,1,1,1,1,0,4,1,1,0") +
                stazione(12000, 6, 600, "1,1,1,0,0,0,0,0,0,0", "8,56,0", " Rio d`Oro")));
  ASSERT_EQ(t.m.codice_errore, 0);
  const auto& v = t.m.voci;
  struct Atteso {
    int slot;
    int32_t inizio, fine;
    uint8_t mar, tab;
  } attesi[] = {{1, -500, 500, 0, 0},   {2, 4200, 4800, 0, 1}, {3, 6000, 6200, 0, 0},
                {4, 7700, 8350, 1, 1},  {5, 11400, 12150, 0, 1}};
  for (const Atteso& a : attesi) {
    EXPECT_EQ(v[a.slot].inizio, a.inizio) << a.slot;
    EXPECT_EQ(v[a.slot].fine, a.fine) << a.slot;
    EXPECT_EQ(v[a.slot].mar, a.mar) << a.slot;
    EXPECT_EQ(v[a.slot].tab, a.tab) << a.slot;
  }
  EXPECT_EQ(v[1].orario, 7 * 3600 + 7 * 60);
  EXPECT_EQ(v[1].nome, "ORIGINE");
  EXPECT_EQ(v[5].nome, "Rio d`Oro");
  EXPECT_EQ(v[5].orario, 8 * 3600 + 56 * 60);
  EXPECT_EQ(v[1].tps, 1);
  EXPECT_EQ(v[1].d2_a, 4);
  EXPECT_EQ(v[1].ac, 1);

  // Kind 8 at 0: mark on segment 9, approach marks 81..84 on 8, 7, 6, 5.
  EXPECT_EQ(t.seg(9).tipo, kStazione);
  EXPECT_EQ(t.seg(9).valore1, 1);
  for (int j = 1; j <= 4; ++j) EXPECT_EQ(t.seg(9 - j).avviso, 80 + j);
  // Kind 2 at 4500 ends at 4800: mark on 95.
  EXPECT_EQ(t.seg(95).tipo, kStazione);
  EXPECT_EQ(t.seg(95).valore1, 2);
  // Kind 26: no marks.
  EXPECT_EQ(t.seg(123).tipo, 0);
  EXPECT_EQ(t.seg(122).avviso, 0);
  // Kind 6 ends at 12150: a mark but no approach marks.
  EXPECT_EQ(t.seg(242).tipo, kStazione);
  EXPECT_EQ(t.seg(241).avviso, 0);
}

TEST(TrainDescription, StatusesThatStopTheReading) {
  const std::string segnale = "segnale, 5000, 2,4,0,0,0, 2,1,0,0,0\r\n";
  struct Case {
    const char* nome;
    std::string linea_corpo;
    std::string corpo;
    int32_t codice, posizione;
    bool fine_eseguita;  // speeds filled to the end
  } cases[] = {
      {"station not on 50", "", stazione(1025, 2, 600), 8, 1025, false},
      {"station length not on 100", "", stazione(1000, 2, 650), 9, 1000, false},
      {"station ending at 100 m", "", stazione(0, 2, 200), 24, 0, false},
      {"station too close", "", stazione(1000, 2, 400) + stazione(1500, 26, 200), 22, 1500,
       false},
      {"station 350 m after the previous", "",
       "velocita, 0, 50\r\n" + stazione(1000, 2, 400) + stazione(1650, 26, 200), 0, 0, true},
      {"abatement on a signal", "", segnale + "abbattimento codice, 5050,270\r\n", 7, 5050, false},
      {"signal on a signal", "", segnale + segnale, 16, 5000, false},
      {"slowdown warning taken", "", segnale + "rallentamento, 6200, 60, 500, 0, 0, 0\r\n", 17,
       6200, false},
      {"slowdown start taken", "", segnale + "rallentamento, 5000, 60, 500, 0, 0, 0\r\n", 18, 5000,
       false},
      {"slowdown end taken", "", segnale + "rallentamento, 4500, 60, 500, 0, 0, 0\r\n", 19, 4500,
       false},
      {"slowdown pre-warning taken", "", segnale + "rallentamento, 6250, 60, 500, 0, 1, 0\r\n", 20,
       6250, false},
      {"record past the row: end steps still run", "", "velocita, 0, 50\r\nvelocita, 16901, 60\r\n",
       15, 16901, true},
      {"station past the row", "", "velocita, 0, 50\r\n" + stazione(16250, 2, 400), 15, 16250,
       true},
      {"speed above 1277 km/h", "", "velocita, 0, 1278\r\nvelocita, 100, 50\r\n", 25, 0, false},
      {"status 15 of the line stops at the first signal", "pendenza, 16901, 0\r\n",
       "velocita, 0, 50\r\n" + segnale + "velocita, 6000, 60\r\n", 15, 5000, false},
      {"station kind too wide", "", stazione(1000, 256, 600), 25, 0, false},
  };
  for (const Case& c : cases) {
    testing::Lettura t;
    t.leggi(linea(c.linea_corpo, 10000), treno(c.corpo));
    EXPECT_EQ(t.m.codice_errore, c.codice) << c.nome;
    EXPECT_EQ(t.m.posizione_errore, c.posizione) << c.nome;
    EXPECT_EQ(t.seg(336).vel_limite, c.fine_eseguita ? 10 : 0) << c.nome;
    EXPECT_FALSE(std::filesystem::exists(t.percorso_treno())) << c.nome;
  }
}

TEST(TrainDescription, MileageCheckReplacesStatus15) {
  testing::Lettura t;
  t.leggi(linea("", 10000, "progressiva chilometrica uno, 5000, 1025, 0\r\n"),
          treno("velocita, 16901, 60\r\n"));
  EXPECT_EQ(t.m.codice_errore, 2);
  EXPECT_EQ(t.m.posizione_errore, 16901);
}

TEST(TrainDescription, CodeAbatements) {
  testing::Lettura t;
  t.leggi(linea("montagna, 10000, 11000, 11\r\n", 20000),
          treno("abbattimento codice, 10600,270\r\nabbattimento codice, 12000,0\r\n"
                "abbattimento codice, 10150,180\r\n"));
  EXPECT_EQ(t.m.codice_errore, 0);
  EXPECT_EQ(t.seg(212).tipo, kAbbattimento);
  EXPECT_EQ(t.seg(212).valore1, 270);
  EXPECT_EQ(t.seg(240).tipo, kAbbattimentoSenzaValore);
  // On a montagna marker: accepted, the marker is replaced.
  EXPECT_EQ(t.seg(203).tipo, kAbbattimento);
}

TEST(TrainDescription, SlotsSharedWithSignTexts) {
  for (auto [cartelli, stazioni, codice] :
       {std::tuple{30, 48, 0}, std::tuple{30, 49, 10}, std::tuple{0, 78, 0},
        std::tuple{0, 79, 10}}) {
    std::string segni, righe;
    for (int i = 0; i < cartelli; ++i)
      segni += "cartello indicatore, " + std::to_string(1000 + 100 * i) + ", (S)\r\n";
    for (int i = 0; i < stazioni; ++i) righe += stazione(1000 + 1000 * i, 26, 200);
    testing::Lettura t;
    t.leggi(linea(segni, 100000), treno(righe + "velocita, 0, 50\r\n"));
    EXPECT_EQ(t.m.codice_errore, codice) << cartelli << " " << stazioni;
    EXPECT_EQ(t.m.voci[stazioni].posizione, 1000 + 1000 * (stazioni - 1));
  }
}

TEST(TrainDescription, WithoutGenerale) {
  testing::Lettura t;
  t.leggi(linea("", 10000), "velocita, 0, 100\r\naderenza, 0, 80\r\n \r\n");
  EXPECT_EQ(t.m.codice_errore, 0);
  // Only the end steps ran, with the running values 0.
  EXPECT_EQ(t.seg(0).vel_limite, 0);
  EXPECT_EQ(t.seg(0).aderenza_seg, 0);
  EXPECT_FALSE(std::filesystem::exists(t.percorso_treno()));

  testing::Lettura u;
  u.leggi(linea("", 10000), "");
  EXPECT_EQ(u.m.codice_errore, 25);
}

}  // namespace tratta
