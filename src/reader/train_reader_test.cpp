#include <gtest/gtest.h>

#include <functional>

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
  EXPECT_EQ(t.codice(), 0);
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
  ASSERT_EQ(t.codice(), 0);
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
    EXPECT_EQ(t.codice(), c.codice) << c.nome;
    EXPECT_EQ(t.posizione(), c.posizione) << c.nome;
    EXPECT_EQ(t.seg(336).vel_limite, c.fine_eseguita ? 10 : 0) << c.nome;
    EXPECT_TRUE(t.sorgente.letta_treno) << c.nome;
  }
}

TEST(TrainDescription, MileageCheckReplacesStatus15) {
  testing::Lettura t;
  t.leggi(linea("", 10000, "progressiva chilometrica uno, 5000, 1025, 0\r\n"),
          treno("velocita, 16901, 60\r\n"));
  EXPECT_EQ(t.codice(), 2);
  EXPECT_EQ(t.posizione(), 16901);
}

TEST(TrainDescription, CodeAbatements) {
  testing::Lettura t;
  t.leggi(linea("montagna, 10000, 11000, 11\r\n", 20000),
          treno("abbattimento codice, 10600,270\r\nabbattimento codice, 12000,0\r\n"
                "abbattimento codice, 10150,180\r\n"));
  EXPECT_EQ(t.codice(), 0);
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
    EXPECT_EQ(t.codice(), codice) << cartelli << " " << stazioni;
    EXPECT_EQ(t.m.voci[stazioni].posizione, 1000 + 1000 * (stazioni - 1));
  }
}

TEST(TrainDescription, WithoutGenerale) {
  testing::Lettura t;
  t.leggi(linea("", 10000), "velocita, 0, 100\r\naderenza, 0, 80\r\n \r\n");
  EXPECT_EQ(t.codice(), 0);
  // Only the end steps ran, with the running values 0.
  EXPECT_EQ(t.seg(0).vel_limite, 0);
  EXPECT_EQ(t.seg(0).aderenza_seg, 0);
  EXPECT_TRUE(t.sorgente.letta_treno);

  testing::Lettura u;
  u.leggi(linea("", 10000), "");
  EXPECT_EQ(u.codice(), 25);
}

// ------------------------------------------------- a failure at each step
//
// Each record reads, converts and stores its fields one after another, so
// a failure at any step leaves exactly what was stored before it.

namespace {

/// Segment and event expected on it.
using Eventi = std::vector<std::pair<int32_t, Segmento>>;

/// A train body, the status it ends with and the events then standing.
struct CasoEventi {
  std::string nome, corpo;
  int32_t codice;
  Eventi attesi;
};

/// The record with each of its fields in turn made unreadable: the record
/// then marks nothing, and `vuoti` stay as they are.
std::vector<CasoEventi> campi_illeggibili(const std::string& chiave,
                                          const std::vector<std::string>& campi,
                                          const Eventi& vuoti) {
  std::vector<CasoEventi> out;
  for (size_t i = 0; i < campi.size(); ++i)
    out.push_back({"field " + std::to_string(i) + " unreadable",
                   testing::riga_record(chiave, testing::con_campo(campi, i, "x")), 25, vuoti});
  return out;
}

void verifica(const std::vector<CasoEventi>& cases) {
  for (const CasoEventi& c : cases) {
    testing::Lettura t;
    t.leggi(linea("", 10000), treno(c.corpo));
    EXPECT_EQ(t.codice(), c.codice) << c.nome;
    for (const auto& [i, seg] : c.attesi)
      EXPECT_EQ(testing::solo_evento(t.seg(i)), seg) << c.nome << ", segment " << i;
  }
}

}  // namespace

TEST(TrainDescription, GeneralValueRecordsAtEachStep) {
  const testing::CasoVoce cases[] = {
      {"percentuale massa frenata, x", 25, kVoceGeneraliPercorso, Voce{.fine = 10000}},
      {"numero vetture, x", 25, kVoceGeneraliPercorso, Voce{.fine = 10000}},
      {"sabbia, 32768", 25, kVoceGeneraliTreno, Voce{.nome = "1"}},
      {"orologio, x, 6, 30", 25, kVoceGeneraliTreno, Voce{.nome = "1"}},
      {"orologio, 7, 32768, 30", 25, kVoceGeneraliTreno, Voce{.nome = "1", .d1_b = 7}},
      {"orologio, 7, 6, x", 25, kVoceGeneraliTreno, Voce{.nome = "1", .d1_b = 7, .d2_b = 6}},
      {"orologio, 7 6 30", 0, kVoceGeneraliTreno,
       Voce{.nome = "1", .d1_b = 7, .d2_b = 6, .d3_b = 30}},
  };
  for (const testing::CasoVoce& c : cases) {
    testing::Lettura t;
    t.leggi(linea("", 10000), treno(c.riga + "\r\n"));
    EXPECT_EQ(t.codice(), c.codice) << c.riga;
    EXPECT_EQ(t.m.voci[c.slot], c.attesa) << c.riga;
  }
}

TEST(TrainDescription, SpeedAndAdhesionRecordsAtEachStep) {
  // Before the record under test: 50 km/h and adhesion 80 up to 500 m,
  // then 60 km/h and 90 running.
  const std::string prima =
      "velocita, 0, 50\r\nvelocita, 500, 60\r\naderenza, 0, 80\r\naderenza, 500, 90\r\n";
  struct Case {
    const char* nome;
    std::string riga;
    int32_t codice;
    uint8_t vel10, vel20, ader10, ader20;  // segments 10 and 20
  } cases[] = {
      {"speed: unreadable position", "velocita, x, 70", 25, 0, 0, 0, 0},
      {"speed: position past the row, the end steps fill on", "velocita, 17000, 70", 15, 12, 12,
       90, 90},
      {"speed: unreadable speed, no fill", "velocita, 1000, x", 25, 0, 0, 0, 0},
      {"speed: the fill fails at its first segment",
       "velocita, 1000, 1280\r\nvelocita, 1500, 70", 25, 12, 0, 0, 0},
      {"speed: no failure", "velocita, 1000, 70", 0, 12, 14, 90, 90},
      {"adhesion: unreadable position", "aderenza, x, 300", 25, 0, 0, 0, 0},
      {"adhesion: position past the row", "aderenza, 17000, 300", 15, 12, 12, 90, 90},
      {"adhesion: unreadable value, no fill", "aderenza, 1000, x", 25, 0, 0, 0, 0},
      {"adhesion: no failure", "aderenza, 1000, 300", 0, 12, 12, 90, 44},
  };
  for (const Case& c : cases) {
    testing::Lettura t;
    t.leggi(linea("", 10000), treno(prima + c.riga + "\r\n"));
    EXPECT_EQ(t.codice(), c.codice) << c.nome;
    EXPECT_EQ(t.seg(9).vel_limite, 10) << c.nome;
    EXPECT_EQ(t.seg(9).aderenza_seg, 80) << c.nome;
    EXPECT_EQ(t.seg(10).vel_limite, c.vel10) << c.nome;
    EXPECT_EQ(t.seg(20).vel_limite, c.vel20) << c.nome;
    EXPECT_EQ(t.seg(10).aderenza_seg, c.ader10) << c.nome;
    EXPECT_EQ(t.seg(20).aderenza_seg, c.ader20) << c.nome;
  }
}

TEST(TrainDescription, SignalRecordAtEachStep) {
  const std::vector<std::string> campi = {"5000", "2", "4", "1", "0", "0",
                                          "2",    "2", "1", "0", "0"};
  const Segmento abbattimento{.tipo = kAbbattimento, .valore1 = 270};
  const Eventi vuoti = {{101, Segmento{}}, {99, Segmento{}}};
  std::vector<CasoEventi> cases = campi_illeggibili("segnale", campi, vuoti);
  const std::string riga = testing::riga_record("segnale", campi);
  cases.insert(cases.end(), {
      {"position past the row",
       testing::riga_record("segnale", testing::con_campo(campi, 0, "17000")), 15, vuoti},
      {"segment taken", "abbattimento codice, 5050, 270\r\n" + riga, 16,
       {{101, abbattimento}, {99, Segmento{}}}},
      {"no failure", riga, 0,
       {{101, Segmento{.tipo = kSegnale, .valore1 = 42, .valore2 = 11, .valore4 = 8}},
        {99, Segmento{.avviso = 81}},
        {93, Segmento{.avviso = 84}}}},
  });
  verifica(cases);
}

TEST(TrainDescription, SlowdownRecordAtEachStep) {
  // x, v, l, f_tt, f_ta, d_v: warning on 97, start on 121, end on 131,
  // pre-warnings on 96 down to 93.
  const std::vector<std::string> campi = {"6000", "60", "500", "7", "1", "5"};
  const Segmento abbattimento{.tipo = kAbbattimento, .valore1 = 270};
  auto con = [](Eventi e, int32_t i, const Segmento& s) {
    for (auto& [k, seg] : e)
      if (k == i) seg = s;
    return e;
  };
  const Eventi vuoti = {{93, {}}, {94, {}}, {95, {}}, {96, {}}, {97, {}}, {121, {}}, {131, {}}};
  Eventi segni = vuoti;
  segni = con(segni, 131,
              Segmento{.tipo = kFineRallentamento, .valore1 = 60, .valore2 = 5, .valore3 = 7});
  segni = con(segni, 121,
              Segmento{.tipo = kInizioRallentamento, .valore1 = 60, .valore2 = 5, .valore3 = 7});
  segni = con(segni, 97, Segmento{.tipo = kAvvisoRallentamento, .valore1 = 60, .valore2 = 5});
  Eventi tutti = segni;
  for (int16_t j = 1; j <= 4; ++j)
    tutti = con(tutti, 97 - j, Segmento{.tipo = kPreavviso, .valore1 = j, .valore2 = j});

  std::vector<CasoEventi> cases = campi_illeggibili("rallentamento", campi, vuoti);
  const std::string riga = testing::riga_record("rallentamento", campi);
  auto dopo_abbattimento = [&](int32_t posizione) {
    return "abbattimento codice, " + std::to_string(posizione) + ", 270\r\n" + riga;
  };
  cases.insert(cases.end(), {
      {"position past the row",
       testing::riga_record("rallentamento", testing::con_campo(campi, 0, "17000")), 15, vuoti},
      {"warning segment taken", dopo_abbattimento(4850), 17, con(vuoti, 97, abbattimento)},
      {"start segment taken", dopo_abbattimento(6050), 18, con(vuoti, 121, abbattimento)},
      {"end segment taken", dopo_abbattimento(6550), 19, con(vuoti, 131, abbattimento)},
      {"x + l overflows: nothing marked",
       testing::riga_record("rallentamento", testing::con_campo(campi, 2, "2147483647")), 25,
       vuoti},
      {"pre-warning segment taken: end, start and warning stay", dopo_abbattimento(4750), 20,
       con(segni, 95, abbattimento)},
      {"no failure", riga, 0, tutti},
  });
  verifica(cases);
}

TEST(TrainDescription, AbatementRecordAtEachStep) {
  const Segmento segnale{.tipo = kSegnale, .valore1 = 41, .valore4 = 8};
  verifica({
      {"unreadable position", "abbattimento codice, x, 270\r\n", 25, {{100, Segmento{}}}},
      {"position past the row", "abbattimento codice, 17000, 270\r\n", 15, {{100, Segmento{}}}},
      {"unreadable value", "abbattimento codice, 5000, x\r\n", 25, {{100, Segmento{}}}},
      {"segment taken", "segnale, 4950, 2,4,0,0,0, 2,1,0,0,0\r\nabbattimento codice, 5000, 270\r\n",
       7, {{100, segnale}}},
      {"with a value", "abbattimento codice, 5000, 270\r\n", 0,
       {{100, Segmento{.tipo = kAbbattimento, .valore1 = 270}}}},
      {"without a value", "abbattimento codice, 5000, 0\r\n", 0,
       {{100, Segmento{.tipo = kAbbattimentoSenzaValore}}}},
  });
}

namespace {

/// A station row, column by column: position, kind, length, tps, tab, mar,
/// d2, d3, rap, d1, d2, d3, ac, hours, minutes, seconds, name.
const std::vector<std::string> kRigaStazione = {"4500", "2", "600", "1", "1", "1", "4", "1", "2",
                                            "3",    "4", "5",   "1", "7", "7", "0", "NOME"};

/// The slot once the first `n` columns of kRigaStazione are stored (the
/// length and the time are read, not stored).
Voce colonne_lette(size_t n) {
  Voce v;
  const std::function<void()> passi[] = {
      [&] { v.posizione = 4500; }, [&] { v.tipo = 2; }, [] {},
      [&] { v.tps = 1; },          [&] { v.tab = 1; },  [&] { v.mar = 1; },
      [&] { v.d2_a = 4; },         [&] { v.d3_a = 1; }, [&] { v.rap = 2; },
      [&] { v.d1_b = 3; },         [&] { v.d2_b = 4; }, [&] { v.d3_b = 5; },
      [&] { v.ac = 1; },           [] {},               [] {},
      [] {},                       [&] { v.nome = "NOME"; }};
  for (size_t i = 0; i < n; ++i) passi[i]();
  return v;
}

Voce cambiata(Voce v, const std::function<void(Voce&)>& f) {
  f(v);
  return v;
}

}  // namespace

TEST(TrainDescription, StationRecordAtEachStep) {
  auto riga = [](const std::vector<std::string>& campi) {
    return testing::riga_record("stazione", campi);
  };
  auto riga_con = [&](size_t i, const std::string& valore) {
    return riga(testing::con_campo(kRigaStazione, i, valore));
  };
  const Voce con_orario =
      cambiata(colonne_lette(17), [](Voce& v) { v.orario = 7 * 3600 + 7 * 60; });
  const Voce completa = cambiata(con_orario, [](Voce& v) {
    v.inizio = 4200;
    v.fine = 4850;  // 50 more with mar
  });

  struct Case {
    std::string nome, corpo;
    int32_t codice;
    int slot;
    Voce attesa;
    uint8_t marca;  // tipo of segment 96, where the station mark goes
  };
  std::vector<Case> cases;
  // Every column unreadable in turn, then every one too wide for its field.
  for (size_t i = 0; i + 1 < kRigaStazione.size(); ++i)
    cases.push_back({"column " + std::to_string(i + 1) + " unreadable", riga_con(i, "x"), 25, 1,
                     colonne_lette(i), 0});
  for (size_t i : {1, 3, 4, 5, 8, 12})
    cases.push_back({"column " + std::to_string(i + 1) + " above 255", riga_con(i, "256"), 25, 1,
                     colonne_lette(i), 0});
  for (size_t i : {6, 7, 9, 10, 11})
    cases.push_back({"column " + std::to_string(i + 1) + " above 32767", riga_con(i, "32768"), 25,
                     1, colonne_lette(i), 0});
  const std::string vicina = "stazione, 4000, 2, 400, 0,0,0,0,0,0,0,0,0,0, 0,0,0, PRIMA\r\n";
  cases.insert(cases.end(), {
      {"position past the row", riga_con(0, "16250"), 15, 1, Voce{.posizione = 16250}, 0},
      {"position not on 50", riga_con(0, "4525"), 8, 1, Voce{.posizione = 4525}, 0},
      {"length not on 100", riga_con(2, "650"), 9, 1, colonne_lette(2), 0},
      {"name too long for its slot", riga_con(16, std::string(65536, 'N')), 25, 1,
       colonne_lette(16), 0},
      {"the time overflows: the name stays", riga_con(13, "1000000"), 25, 1, colonne_lette(17),
       0},
      {"kind 5: the end is stored before the start overflows",
       riga(testing::con_campo(testing::con_campo(kRigaStazione, 1, "5"), 2, "-2147483600")), 25, 1,
       cambiata(con_orario, [](Voce& v) {
         v.tipo = 5;
         v.fine = 4650;
       }),
       0},
      {"kind 8: the start overflows first",
       riga(testing::con_campo(testing::con_campo(kRigaStazione, 1, "8"), 2, "-2147483600")), 25, 1,
       cambiata(con_orario, [](Voce& v) { v.tipo = 8; }), 0},
      {"ends at 100 m: extent stored, no mark",
       riga({"0", "2", "200", "1", "1", "0", "4", "1", "2", "3", "4", "5", "1", "7", "7", "0",
             "NOME"}),
       24, 1,
       cambiata(con_orario, [](Voce& v) {
         v.posizione = 0;
         v.inizio = -100;
         v.fine = 100;
         v.mar = 0;
         v.tab = 0;
       }),
       0},
      {"too close to the previous station: marks stay", vicina + riga(kRigaStazione), 22, 2,
       completa, kStazione},
      {"no failure", riga(kRigaStazione), 0, 1,
       cambiata(completa, [](Voce& v) {
         v.mar = 0;  // the first station
         v.tab = 0;
       }),
       kStazione},
  });
  for (const Case& c : cases) {
    testing::Lettura t;
    t.leggi(linea("", 10000), treno(c.corpo));
    EXPECT_EQ(t.codice(), c.codice) << c.nome;
    EXPECT_EQ(t.m.voci[c.slot], c.attesa) << c.nome;
    EXPECT_EQ(t.seg(96).tipo, c.marca) << c.nome;
  }
}

}  // namespace tratta
