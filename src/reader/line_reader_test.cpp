#include <gtest/gtest.h>

#include "model/file_linea.h"
#include "testing/descriptions.h"

namespace tratta {

using testing::linea;
using testing::treno;

namespace {

struct Esito {
  int32_t codice;
  int32_t posizione;
};

}  // namespace

TEST(LineDescription, HeaderValuesAndDimensioning) {
  testing::Lettura t;
  t.leggi(linea("", 260000,
                "progressiva chilometrica uno,    257050,    53050,    1\r\n"
                "Progressiva chilometrica due,    1000,    2000,    0\r\n"
                "sfondo uno,    1\r\nsfondo due,    243450\r\nsfondo tre,    7\r\n"
                "ripetizione segnali 9 codici,    6800,    260100\r\n"));
  EXPECT_EQ(t.codice(), 0);
  EXPECT_EQ(t.m.metri_totali, 267000);
  EXPECT_EQ(t.m.ultimo_segmento, 5340);
  EXPECT_EQ(t.m.voci[84].fine, 260000);
  // The capitalised "Progressiva" row is no mileage record.
  EXPECT_EQ(t.m.voci[81].inizio, 257050);
  EXPECT_EQ(t.m.voci[81].fine, 53150);
  EXPECT_EQ(t.m.voci[82].inizio, 0);
  EXPECT_EQ(t.m.voci[85].inizio, 1);
  EXPECT_EQ(t.m.voci[85].posizione, 243450);
  EXPECT_EQ(t.m.voci[85].fine, 7);
  EXPECT_EQ(t.m.voci[85].nome, "P");
  EXPECT_EQ(t.m.voci[86].nome, "1");
  EXPECT_EQ(t.m.voci[86].inizio, 6800);
  EXPECT_EQ(t.m.voci[86].fine, 260100);
  EXPECT_EQ(t.m.voci[86].posizione, 9);
  // The reading is done with both descriptions.
  EXPECT_TRUE(t.sorgente.letta_linea);
  EXPECT_TRUE(t.sorgente.letta_treno);
}

TEST(LineDescription, StatusesThatStopTheReading) {
  struct Case {
    const char* nome;
    std::string testo;
    Esito atteso;
    bool treno_letto;
  } cases[] = {
      {"no [generale]", "titolo\r\nlunghezza percorso, 1000\r\n", {102, 0}, false},
      {"[generale] as the last field", "titolo\r\n[generale]", {102, 0}, false},
      {"length above 1,000,000", linea("", 1000001), {1, 0}, false},
      {"length of 1,000,000", linea("", 1000000), {0, 0}, true},
      {"repetition start not on 50", linea("", 10000, "ripetizione segnali 9, 6810, 9000\r\n"),
       {3, 0}, false},
      {"repetition end not on 50", linea("", 10000, "ripetizione segnali 4, 6800, 9001\r\n"),
       {4, 0}, false},
      {"repetition without 4 or 9", linea("", 10000, "ripetizione segnali, 6800, 9000\r\n"),
       {5, 0}, false},
      {"curve without a class digit", linea("curva, 500, 100\r\n"), {103, 0}, false},
      {"curve running past the route's last metre", linea("curvad2, 500, 20000\r\n"), {25, 0},
       false},
      {"sign on an indicator",
       linea("indicatori_vmax, 1000, 1,1,1,0,1,1,1,0\r\ncartello indicatore, 1000, (X)\r\n"),
       {6, 1000}, false},
      {"indicator on a sign",
       linea("cartello indicatore, 1000, (X)\r\nindicatori_vmax, 1000, 1,1,1,0,1,1,1,0\r\n"),
       {21, 1000}, false},
      {"number that is no number", linea("pendenza, 500, abc\r\n"), {25, 0}, false},
      {"value too wide for 16 bits", linea("indicatori_vmax, 1000, 1700,1,1,0,1,1,1,0\r\n"),
       {25, 0}, false},
      {"header without a length", "[generale]\r\nsfondo uno, 1\r\n[dati]\r\npendenza, 0, 0\r\n\r\n",
       {25, 0}, false},
      {"negative length without room for a row", linea("", -9000), {25, 0}, false},
      {"empty file", "", {25, 0}, false},
  };
  for (const Case& c : cases) {
    testing::Lettura t;
    t.leggi(c.testo, treno("vetture, 12\r\n"));
    EXPECT_EQ(t.codice(), c.atteso.codice) << c.nome;
    EXPECT_EQ(t.posizione(), c.atteso.posizione) << c.nome;
    EXPECT_EQ(t.m.voci[84].posizione, c.treno_letto ? 12 : 0) << c.nome;
    EXPECT_TRUE(t.sorgente.letta_linea) << c.nome;
    // The train description is left alone when the reading stopped in the
    // line, except after a run-time failure, which gives up both.
    EXPECT_EQ(t.sorgente.letta_treno, c.treno_letto || c.atteso.codice == 25) << c.nome;
  }
}

TEST(LineDescription, MissingFile) {
  testing::Lettura t;
  t.sorgente.treno = treno("");
  t.leggi_sorgente();
  EXPECT_EQ(t.codice(), 101);
  EXPECT_FALSE(t.sorgente.letta_linea);
  EXPECT_FALSE(t.sorgente.letta_treno);
  EXPECT_EQ(t.m.voci[85].nome, "P");
}

TEST(LineDescription, BoundCheckLeavesTheBodyAndGoesOn) {
  for (auto [posizione, codice] : {std::pair{266900, 0}, std::pair{266901, 15}}) {
    testing::Lettura t;
    t.leggi(linea("pendenza, 100, 9\r\npendenza, " + std::to_string(posizione) + ", 5\r\n",
                  260000),
            treno("velocita, 0, 100\r\n"));
    EXPECT_EQ(t.codice(), codice) << posizione;
    EXPECT_EQ(t.posizione(), codice ? posizione : 0);
    // The end steps and the train run in both cases.
    EXPECT_EQ(t.seg(100).vel_limite, 20) << posizione;
    EXPECT_EQ(t.seg(5337).pendenza_seg, 109) << posizione;
    // The end fill writes at least one segment, even past the last filled
    // one: after the row at 266900 it lands on segment 5338.
    EXPECT_EQ(t.seg(5338).pendenza_seg, codice ? 0 : 105) << posizione;
    EXPECT_EQ(t.m.planimetria.prossimo(), 267000 - 1);
  }
}

TEST(LineDescription, Gradients) {
  testing::Lettura t;
  t.leggi(linea("PENDENZA,  950,   -11\r\n"
                "pendenza  , 1500   , 4\r\n"
                "pendenza, 1500, 0\r\n"
                "pendenza, 1510, -3\r\n"
                "Pendenze ripetute\r\n",
                2000));
  EXPECT_EQ(t.codice(), 0);
  EXPECT_EQ(t.m.ultimo_segmento, 180);
  for (int32_t i = 0; i < 19; ++i) EXPECT_EQ(t.seg(i).pendenza_seg, 100) << i;
  for (int32_t i = 19; i < 30; ++i) EXPECT_EQ(t.seg(i).pendenza_seg, 89) << i;
  // Two rows at the same position: the first still writes one segment,
  // and so does the row at 1510 (same segment 30).
  EXPECT_EQ(t.seg(30).pendenza_seg, 104);
  EXPECT_EQ(t.seg(31).pendenza_seg, 100);
  EXPECT_EQ(t.seg(32).pendenza_seg, 97);
  EXPECT_EQ(t.seg(177).pendenza_seg, 97);
  EXPECT_EQ(t.seg(178).pendenza_seg, 0);
}

TEST(LineDescription, CurvesBuildThePlan) {
  // The model read, and the code its reading ended with.
  auto piano = [](const std::string& corpo, int32_t j = 1) {
    testing::Lettura t;
    t.leggi(linea(corpo, 1000), treno(""), j);
    return std::pair{std::move(t.m), t.codice()};
  };
  // Coordinate `asse` of metre `metro`, read back through the line file.
  auto punto = [](const RouteModel& m, int32_t metro, int asse) {
    const auto d = decodifica_file_linea(m.planimetria.file_linea(), "linea");
    return d.ok() ? d.valore.assi[static_cast<size_t>(asse)].at(static_cast<size_t>(metro)).valore
                  : -1.0;
  };
  {
    const auto [m, codice] = piano("");
    EXPECT_EQ(codice, 0);
    EXPECT_EQ(m.planimetria.prossimo(), 7999);  // up to metri_totali - 2
    EXPECT_EQ(punto(m, 7998, 0), 0.0);
    EXPECT_EQ(punto(m, 7998, 1), 7998.0);
  }
  struct Case {
    const char* riga;
    double x_atteso;  // lateral offset after the curve, about kappa * l^2 / 2
  } cases[] = {
      {"curvad2,   100,  100", 0.0002 * 100 * 101 / 2},
      {"curvas3,  100,  100", -0.0004 * 100 * 101 / 2},
      {"curvaS4, 100, 100", -0.001 * 100 * 101 / 2},
      {"curvad41, 100, 100", 0.0001 * 100 * 101 / 2},
      {"CURVAD6, 100, 100", 0.003 * 100 * 101 / 2},
  };
  for (const Case& c : cases) {
    const auto [m, codice] = piano(std::string(c.riga) + "\r\n");
    EXPECT_EQ(codice, 0) << c.riga;
    EXPECT_NEAR(punto(m, 200, 0), c.x_atteso, std::abs(c.x_atteso) * 0.02) << c.riga;
    EXPECT_EQ(punto(m, 100, 0), 0.0) << c.riga;
  }
  // Without the plan, curve records are skipped and their numbers read as
  // plain fields: no status for a curve without a digit either.
  const auto [m, codice] = piano("curva, 500, 100\r\ncurvad2, 100, 100\r\n", 0);
  EXPECT_EQ(codice, 0);
  EXPECT_FALSE(m.planimetria.dimensionata());
}

TEST(LineDescription, CommentFields) {
  struct Case {
    const char* nome;
    std::string corpo;
    uint8_t pendenza;
  } cases[] = {
      {"two comment lines are skipped", "- uno\r\n- due\r\npendenza, 500, 7\r\n", 107},
      {"the third comment line is tested", "- uno\r\n- due\r\n- pendenza, 500, 7\r\n", 107},
      {"the second comment line is skipped", "- uno\r\n- pendenza, 500, 7\r\n", 100},
      {"a comment-looking record", "pendenza-bis, 500, 7\r\n", 100},
  };
  for (const Case& c : cases) {
    testing::Lettura t;
    t.leggi(linea(c.corpo, 1000));
    EXPECT_EQ(t.codice(), 0) << c.nome;
    EXPECT_EQ(t.seg(50).pendenza_seg, c.pendenza) << c.nome;
  }
}

TEST(LineDescription, MontagnaStretches) {
  testing::Lettura t;
  t.leggi(linea("montagna,   22550,  25650,  11\r\n"
                "montagna,   25700,  26000,  2\r\n"
                "montagna,   26151,  26500,  12\r\n",
                30000));
  EXPECT_EQ(t.codice(), 0);
  EXPECT_EQ(t.m.numero_montagne, 3);
  EXPECT_EQ(t.seg(450).classe_montagna, 0);
  for (int32_t k = 451; k <= 512; ++k) {
    EXPECT_EQ(t.seg(k).classe_montagna, 1) << k;
    EXPECT_EQ(t.seg(k).tipo, (k - 451) % 4 == 3 ? kMarcaMontagna : kNessuno) << k;
  }
  // 50 m after the previous stretch: class 3 whatever its own.
  EXPECT_EQ(t.seg(514).classe_montagna, 3);
  EXPECT_EQ(t.seg(519).classe_montagna, 3);
  EXPECT_EQ(t.seg(519).tipo, kNessuno);
  // 151 m after: its own class, with markers.
  EXPECT_EQ(t.seg(523).classe_montagna, 2);
  EXPECT_EQ(t.seg(526).tipo, kMarcaMontagna);
}

TEST(LineDescription, IndicatorsAndSigns) {
  testing::Lettura t;
  t.leggi(linea("montagna, 2000, 3000, 11\r\n"
                "indicatori_vmax,  5850,  100,  105,  110,  0,  100,  105,  110,  0\r\n"
                "indicatori_vmax,1000, 125, 135, 145, 2, 125, 135, 145, 1\r\n"
                "cartello_indicatore,  2100,   (GALLERIA)( Monte )(  m 900 )\r\n"
                "cartello indicatore,  3000,   (CAVALCAVIA) ( Rio )         \r\n"
                "cartello indicatore, 4000, \"(A, B)\"\r\n",
                10000));
  EXPECT_EQ(t.codice(), 0);
  const Segmento& ind = t.seg(118);
  EXPECT_EQ(ind.tipo, kIndicatoreVmax);
  EXPECT_EQ(ind.valore1, 2020);
  EXPECT_EQ(ind.valore2, 2121);
  EXPECT_EQ(ind.valore3, 2222);
  EXPECT_EQ(ind.valore4, 0);
  EXPECT_EQ(t.seg(21).valore1, 2525);
  EXPECT_EQ(t.seg(21).valore4, 21);
  // The first sign replaces the montagna marker on segment 43.
  EXPECT_EQ(t.seg(43).tipo, kCartello);
  EXPECT_EQ(t.seg(43).valore1, 80);
  EXPECT_EQ(t.seg(43).classe_montagna, 1);
  EXPECT_EQ(t.m.voci[80].nome, "(GALLERIA)( Monte )(  m 900 )");
  EXPECT_EQ(t.seg(61).valore1, 79);
  // Trailing blanks of an unquoted sign text are kept.
  EXPECT_EQ(t.m.voci[79].nome, "(CAVALCAVIA) ( Rio )         ");
  EXPECT_EQ(t.m.voci[78].nome, "(A, B)");
}

TEST(LineDescription, TableCapacities) {
  std::string cartelli, montagne;
  for (int i = 0; i < 81; ++i) {
    cartelli += "cartello indicatore, " + std::to_string(1000 + 100 * i) + ", (S)\r\n";
    montagne += "montagna, " + std::to_string(1000 + 200 * i) + ", " +
                std::to_string(1100 + 200 * i) + ", 1\r\n";
  }
  for (const std::string& corpo : {cartelli, montagne}) {
    testing::Lettura t;
    t.leggi(linea(corpo, 30000));
    EXPECT_EQ(t.codice(), 25);
    EXPECT_LE(t.m.numero_montagne, 80);
  }
  testing::Lettura t;
  t.leggi(linea(cartelli, 30000));
  EXPECT_EQ(t.m.voci[1].nome, "(S)");
  EXPECT_EQ(t.m.voci[0].nome, "");
  // The 81st sign's segment is never looked at.
  EXPECT_EQ(t.seg(181).tipo, kNessuno);
  EXPECT_EQ(t.seg(179).tipo, kCartello);
}

// ------------------------------------------------- a failure at each step
//
// Each record reads, converts and stores its fields one after another, so
// a failure at any step leaves exactly what was stored before it.

TEST(LineDescription, LengthRecordAtEachStep) {
  auto intestazione = [](const std::string& righe) {
    return "titolo\r\n[generale]\r\n" + righe + "[dati]\r\n[fine]\r\n \r\n";
  };
  struct Case {
    const char* nome;
    std::string righe;
    int32_t codice, lunghezza, metri, ultimo;
    size_t segmenti;
    bool piano;
  } cases[] = {
      {"unreadable length", "lunghezza percorso, x\r\n", 25, 0, 0, 0, 0, false},
      {"length above 1,000,000", "lunghezza percorso, 1000001\r\n", 1, 1000001, 0, 0, 0, false},
      {"no room for a row", "lunghezza percorso, -9000\r\n", 25, -9000, -2000, -40, 0, false},
      {"a row of one segment, no room for the plan", "lunghezza percorso, -7010\r\n", 25, -7010,
       -10, 0, 1, false},
      {"a second length dimensions again",
       "lunghezza percorso, 1000\r\nlunghezza percorso, 2000\r\n", 0, 2000, 9000, 180, 181, true},
      {"a second length without a row discards the first route",
       "lunghezza percorso, 1000\r\nlunghezza percorso, -9000\r\n", 25, -9000, -2000, -40, 0,
       false},
      {"a second length above 1,000,000 keeps the first route",
       "lunghezza percorso, 1000\r\nlunghezza percorso, 1000001\r\n", 1, 1000001, 8000, 160, 161,
       true},
  };
  for (const Case& c : cases) {
    testing::Lettura t;
    t.leggi(intestazione(c.righe), treno(""));
    EXPECT_EQ(t.codice(), c.codice) << c.nome;
    EXPECT_EQ(t.m.voci[kVoceGeneraliPercorso].fine, c.lunghezza) << c.nome;
    EXPECT_EQ(t.m.metri_totali, c.metri) << c.nome;
    EXPECT_EQ(t.m.ultimo_segmento, c.ultimo) << c.nome;
    EXPECT_EQ(t.m.segmenti.size(), c.segmenti) << c.nome;
    EXPECT_EQ(t.m.planimetria.dimensionata(), c.piano) << c.nome;
    if (c.piano) {
      EXPECT_EQ(t.m.planimetria.metri_totali(), c.metri) << c.nome;
    }
  }
}

TEST(LineDescription, GeneralValueRecordsAtEachStep) {
  const testing::CasoVoce cases[] = {
      {"progressiva chilometrica uno, x, 200, 1", 25, kVoceProgressivaUno, Voce{}},
      {"progressiva chilometrica uno, 5000, x, 1", 25, kVoceProgressivaUno, Voce{.inizio = 5000}},
      {"progressiva chilometrica uno, 5000, 200, x", 25, kVoceProgressivaUno,
       Voce{.inizio = 5000, .fine = 200}},
      {"sfondo due, x", 25, kVoceGeneraliLinea, Voce{.nome = "P"}},
      {"ripetizione segnali 9, x, 9000", 25, kVoceGeneraliTreno, Voce{.nome = "1"}},
      {"ripetizione segnali 9, 6800, x", 25, kVoceGeneraliTreno,
       Voce{.inizio = 6800, .nome = "1"}},
      {"ripetizione segnali 9, 6810, 9000", 3, kVoceGeneraliTreno,
       Voce{.inizio = 6810, .fine = 9000, .nome = "1"}},
      {"ripetizione segnali 9, 6800, 9001", 4, kVoceGeneraliTreno,
       Voce{.inizio = 6800, .fine = 9001, .nome = "1"}},
      {"ripetizione segnali, 6800, 9000", 5, kVoceGeneraliTreno,
       Voce{.inizio = 6800, .fine = 9000, .nome = "1"}},
      {"ripetizione segnali 4, 6800, 0", 0, kVoceGeneraliTreno,
       Voce{.inizio = 6800, .nome = "1"}},
      {"ripetizione segnali 9, 6800, 9000", 0, kVoceGeneraliTreno,
       Voce{.inizio = 6800, .fine = 9000, .posizione = 9, .nome = "1"}},
  };
  for (const testing::CasoVoce& c : cases) {
    testing::Lettura t;
    t.leggi(linea("", 10000, c.riga + "\r\n"));
    EXPECT_EQ(t.codice(), c.codice) << c.riga;
    EXPECT_EQ(t.m.voci[c.slot], c.attesa) << c.riga;
  }
}

TEST(LineDescription, GradientRecordAtEachStep) {
  const std::string prima = "pendenza, 500, 3\r\n";
  struct Case {
    const char* nome;
    std::string corpo;
    int32_t codice;
    std::vector<std::pair<int32_t, uint8_t>> pendenze;  // segment, pendenza_seg
  } cases[] = {
      {"unreadable position", prima + "pendenza, x, 5\r\n", 25, {{9, 100}, {10, 0}}},
      {"position past the row: the end steps fill on", prima + "pendenza, 9000, 5\r\n", 15,
       {{9, 100}, {10, 103}, {157, 103}, {158, 0}}},
      {"unreadable gradient: no fill", prima + "pendenza, 1000, x\r\n", 25, {{9, 100}, {10, 0}}},
      {"the fill overflows at its first segment",
       prima + "pendenza, 1000, 2147483647\r\npendenza, 1500, 0\r\n", 25,
       {{9, 100}, {10, 103}, {19, 103}, {20, 0}}},
      {"no failure", prima + "pendenza, 1000, 5\r\n", 0, {{9, 100}, {10, 103}, {20, 105}}},
  };
  for (const Case& c : cases) {
    testing::Lettura t;
    t.leggi(linea(c.corpo, 1000));
    EXPECT_EQ(t.codice(), c.codice) << c.nome;
    for (auto [i, pendenza] : c.pendenze)
      EXPECT_EQ(t.seg(i).pendenza_seg, pendenza) << c.nome << " " << i;
  }
}

TEST(LineDescription, CurveRecordAtEachStep) {
  struct Case {
    const char* nome;
    std::string corpo;
    int32_t lunghezza, codice, prossimo;  // prossimo: first metre of the plan not computed
  } cases[] = {
      {"unreadable start", "curvad2, x, 100\r\n", 1000, 25, 2},
      {"start past the row: the end steps extend the plan", "curvad2, 9000, 100\r\n", 1000, 15,
       7999},
      {"unreadable length", "curvad2, 500, x\r\n", 1000, 25, 2},
      {"no class digit", "curva, 500, 100\r\n", 1000, 103, 2},
      {"start + length overflows after the straight", "curvad2, 500, 2147483647\r\n", 1000, 25,
       501},
      {"the curve runs past the route's last metre", "curvad2, 500, 20000\r\n", 1000, 25, 8001},
      {"the plan passes 1,000,000", "curvad2, 999000, 5000\r\n", 1000000, 103, 1000001},
      {"no failure", "curvad2, 500, 100\r\n", 1000, 0, 7999},
  };
  for (const Case& c : cases) {
    testing::Lettura t;
    t.leggi(linea(c.corpo, c.lunghezza));
    EXPECT_EQ(t.codice(), c.codice) << c.nome;
    EXPECT_EQ(t.m.planimetria.prossimo(), c.prossimo) << c.nome;
  }
}

TEST(LineDescription, MontagnaRecordAtEachStep) {
  struct Case {
    const char* nome;
    std::string corpo;
    int32_t codice, numero;
    std::vector<std::pair<int32_t, uint8_t>> classi;  // segment, classe_montagna
  } cases[] = {
      {"unreadable start", "montagna, x, 2000, 2\r\n", 25, 0, {{20, 0}}},
      {"start past the row", "montagna, 17000, 17500, 2\r\n", 15, 0, {{20, 0}}},
      {"unreadable end", "montagna, 1000, x, 2\r\n", 25, 0, {{20, 0}}},
      {"unreadable class", "montagna, 1000, 2000, x\r\n", 25, 0, {{20, 0}}},
      {"the gap to the previous stretch overflows: stored, no class",
       "montagna, 1000, -2147483000, 2\r\nmontagna, 2000, 3000, 2\r\n", 25, 2, {{40, 0}}},
      {"the stretch runs past the row: classes up to its last segment",
       "montagna, 16000, 99999, 2\r\n", 25, 1, {{319, 0}, {320, 2}, {340, 2}}},
      {"no failure", "montagna, 1000, 2000, 2\r\n", 0, 1, {{19, 0}, {20, 2}, {39, 2}, {40, 0}}},
  };
  for (const Case& c : cases) {
    testing::Lettura t;
    t.leggi(linea(c.corpo, 10000));
    EXPECT_EQ(t.codice(), c.codice) << c.nome;
    EXPECT_EQ(t.m.numero_montagne, c.numero) << c.nome;
    for (auto [i, classe] : c.classi)
      EXPECT_EQ(t.seg(i).classe_montagna, classe) << c.nome << " " << i;
  }
  // The stretch stored before the gap was computed.
  testing::Lettura t;
  t.leggi(linea("montagna, 1000, -2147483000, 2\r\nmontagna, 2000, 3000, 2\r\n", 10000));
  EXPECT_EQ(t.m.montagne_inizio[2], 2000);
  EXPECT_EQ(t.m.montagne_fine[2], 3000);
}

TEST(LineDescription, IndicatorRecordAtEachStep) {
  // position, vas, vbs, vcs, strisces, vad, vbd, vcd, strisced
  const std::vector<std::string> campi = {"1000", "100", "105", "110", "2",
                                          "100",  "105", "110", "1"};
  auto riga = [](const std::vector<std::string>& c) {
    return testing::riga_record("indicatori_vmax", c);
  };
  struct Case {
    std::string nome;
    std::string corpo;
    int32_t codice;
    Segmento atteso;
  };
  std::vector<Case> cases;
  for (size_t i = 0; i < campi.size(); ++i)
    cases.push_back({"field " + std::to_string(i) + " unreadable",
                     riga(testing::con_campo(campi, i, "x")), 25, Segmento{}});
  const Segmento cartello{.tipo = kCartello, .valore1 = 80};
  cases.insert(cases.end(), {
      {"position past the row", riga(testing::con_campo(campi, 0, "17000")), 15, Segmento{}},
      {"segment taken", "cartello indicatore, 1000, (X)\r\n" + riga(campi), 21, cartello},
      {"20 x vas overflows", riga(testing::con_campo(campi, 1, "200000000")), 25,
       Segmento{.tipo = kIndicatoreVmax}},
      {"valore1 too wide", riga(testing::con_campo(campi, 1, "1700")), 25,
       Segmento{.tipo = kIndicatoreVmax}},
      {"valore2 too wide", riga(testing::con_campo(campi, 2, "1700")), 25,
       Segmento{.tipo = kIndicatoreVmax, .valore1 = 2020}},
      {"valore3 too wide", riga(testing::con_campo(campi, 3, "1700")), 25,
       Segmento{.tipo = kIndicatoreVmax, .valore1 = 2020, .valore2 = 2121}},
      {"no failure", riga(campi), 0,
       Segmento{.tipo = kIndicatoreVmax, .valore1 = 2020, .valore2 = 2121, .valore3 = 2222,
                .valore4 = 21}},
  });
  for (const Case& c : cases) {
    testing::Lettura t;
    t.leggi(linea(c.corpo, 10000));
    EXPECT_EQ(t.codice(), c.codice) << c.nome;
    EXPECT_EQ(testing::solo_evento(t.seg(21)), c.atteso) << c.nome;
  }
}

TEST(LineDescription, SignRecordAtEachStep) {
  const std::string lungo(65536, 'A');
  const Segmento indicatore{
      .tipo = kIndicatoreVmax, .valore1 = 20, .valore2 = 20, .valore3 = 20};
  const Segmento cartello{.tipo = kCartello, .valore1 = 80};
  struct Case {
    const char* nome;
    std::string corpo;
    int32_t codice;
    Segmento atteso;
    std::string testo;  // voci(80).nome
  } cases[] = {
      {"unreadable position", "cartello indicatore, x, (A)\r\n", 25, Segmento{}, ""},
      {"position past the row", "cartello indicatore, 17000, (A)\r\n", 15, Segmento{}, ""},
      {"segment taken",
       "indicatori_vmax, 1000, 1,1,1,0,1,1,1,0\r\ncartello indicatore, 1000, (A)\r\n", 6,
       indicatore, ""},
      {"text too long for its slot: the segment is marked",
       "cartello indicatore, 1000, " + lungo + "\r\n", 25, cartello, ""},
      {"the longest text", "cartello indicatore, 1000, " + lungo.substr(1) + "\r\n", 0, cartello,
       lungo.substr(1)},
      {"no failure", "cartello indicatore, 1000, (A)\r\n", 0, cartello, "(A)"},
  };
  for (const Case& c : cases) {
    testing::Lettura t;
    t.leggi(linea(c.corpo, 10000));
    EXPECT_EQ(t.codice(), c.codice) << c.nome;
    EXPECT_EQ(testing::solo_evento(t.seg(21)), c.atteso) << c.nome;
    EXPECT_EQ(t.m.voci[kPrimaVoceCartelli].nome, c.testo) << c.nome;
  }
}

}  // namespace tratta
