#include <gtest/gtest.h>

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
  EXPECT_EQ(t.m.codice_errore, 0);
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
  // Both descriptions are consumed.
  EXPECT_FALSE(std::filesystem::exists(t.percorso_linea()));
  EXPECT_FALSE(std::filesystem::exists(t.percorso_treno()));
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
    EXPECT_EQ(t.m.codice_errore, c.atteso.codice) << c.nome;
    EXPECT_EQ(t.m.posizione_errore, c.atteso.posizione) << c.nome;
    EXPECT_EQ(t.m.voci[84].posizione, c.treno_letto ? 12 : 0) << c.nome;
    EXPECT_FALSE(std::filesystem::exists(t.percorso_linea())) << c.nome;
    // The train description stays when the reading stopped in the line,
    // except after a run-time failure, which deletes both.
    EXPECT_EQ(std::filesystem::exists(t.percorso_treno()),
              !c.treno_letto && c.atteso.codice != 25)
        << c.nome;
  }
}

TEST(LineDescription, MissingFile) {
  testing::Lettura t;
  testing::write_bytes(t.percorso_treno(), treno(""));
  t.leggi_file();
  EXPECT_EQ(t.m.codice_errore, 101);
  EXPECT_TRUE(std::filesystem::exists(t.percorso_treno()));
  EXPECT_EQ(t.m.voci[85].nome, "P");
}

TEST(LineDescription, BoundCheckLeavesTheBodyAndGoesOn) {
  for (auto [posizione, codice] : {std::pair{266900, 0}, std::pair{266901, 15}}) {
    testing::Lettura t;
    t.leggi(linea("pendenza, 100, 9\r\npendenza, " + std::to_string(posizione) + ", 5\r\n",
                  260000),
            treno("velocita, 0, 100\r\n"));
    EXPECT_EQ(t.m.codice_errore, codice) << posizione;
    EXPECT_EQ(t.m.posizione_errore, codice ? posizione : 0);
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
  EXPECT_EQ(t.m.codice_errore, 0);
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
  auto piano = [](const std::string& corpo, int32_t j = 1) {
    testing::Lettura t;
    t.leggi(linea(corpo, 1000), treno(""), j);
    return std::move(t.m);
  };
  {
    RouteModel m = piano("");
    EXPECT_EQ(m.codice_errore, 0);
    EXPECT_EQ(m.planimetria.prossimo(), 7999);  // up to metri_totali - 2
    EXPECT_EQ(m.planimetria.punto(7998, 0), 0.0);
    EXPECT_EQ(m.planimetria.punto(7998, 1), 7998.0);
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
    RouteModel m = piano(std::string(c.riga) + "\r\n");
    EXPECT_EQ(m.codice_errore, 0) << c.riga;
    EXPECT_NEAR(m.planimetria.punto(200, 0), c.x_atteso, std::abs(c.x_atteso) * 0.02) << c.riga;
    EXPECT_EQ(m.planimetria.punto(100, 0), 0.0) << c.riga;
  }
  // Without the plan, curve records are skipped and their numbers read as
  // plain fields: no status for a curve without a digit either.
  RouteModel m = piano("curva, 500, 100\r\ncurvad2, 100, 100\r\n", 0);
  EXPECT_EQ(m.codice_errore, 0);
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
    EXPECT_EQ(t.m.codice_errore, 0) << c.nome;
    EXPECT_EQ(t.seg(50).pendenza_seg, c.pendenza) << c.nome;
  }
}

TEST(LineDescription, MontagnaStretches) {
  testing::Lettura t;
  t.leggi(linea("montagna,   22550,  25650,  11\r\n"
                "montagna,   25700,  26000,  2\r\n"
                "montagna,   26151,  26500,  12\r\n",
                30000));
  EXPECT_EQ(t.m.codice_errore, 0);
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
  EXPECT_EQ(t.m.codice_errore, 0);
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
    EXPECT_EQ(t.m.codice_errore, 25);
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

}  // namespace tratta
