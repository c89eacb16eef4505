// The built-in line description: its layout, the rows it must hold, and a
// reading back through the description reader without a status.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "emitter/documents.h"
#include "model/route_model.h"
#include "reader/memorizza_dati.h"
#include "testing/descrizioni_predefinite.h"
#include "testing/document_text.h"
#include "testing/scratch_dir.h"

namespace tratta {

namespace {

// ---------------------------------------------------------------- helpers

using testing::campi;
using testing::intero;
using testing::senza_blank;

/// The lines of the document as the writer puts them on disk, without their
/// CR LF.
std::vector<std::string> dividi_righe(const std::string& testo) {
  EXPECT_TRUE(testo.empty() || testo.ends_with("\r\n")) << "bytes after the last CR LF";
  return testing::dividi(testo);
}

const std::vector<std::string>& documento() {
  static const std::vector<std::string> righe = dividi_righe(componi_documento(righe_linea()));
  return righe;
}

/// The kind of a line: a heading, an empty or blank line, a comment, or the
/// record kind named by its keyword field.
std::string tipo_riga(std::string_view riga) {
  if (riga.empty() || senza_blank(riga).empty()) return "vuota";
  if (riga.front() == '[') return "intestazione";
  if (riga.front() == '-') return "commento";
  const std::string chiave = campi(riga).front();
  static const std::set<std::string> generali = {"lunghezza percorso",
                                                 "progressiva chilometrica uno",
                                                 "progressiva chilometrica due",
                                                 "progressiva chilometrica tre",
                                                 "sfondo uno",
                                                 "sfondo due",
                                                 "sfondo tre",
                                                 "ripetizione segnali 9 codici"};
  if (generali.count(chiave)) return "generale";
  if (chiave == "pendenza") return "pendenza";
  if (chiave.size() == 7 && chiave.rfind("curva", 0) == 0 &&
      (chiave[5] == 's' || chiave[5] == 'd') && chiave[6] >= '1' && chiave[6] <= '6')
    return "curva";
  if (chiave == "indicatori_vmax") return "indicatori_vmax";
  if (chiave == "montagna") return "montagna";
  if (chiave == "cartello_indicatore" || chiave == "cartello indicatore") return "cartello";
  return "sconosciuta: " + chiave;
}

struct Riga {
  size_t indice;  ///< line index in the document
  std::vector<std::string> campi;
};

std::vector<Riga> record(std::string_view tipo) {
  std::vector<Riga> out;
  const auto& doc = documento();
  for (size_t i = 0; i < doc.size(); ++i)
    if (tipo_riga(doc[i]) == tipo) out.push_back({i, campi(doc[i])});
  return out;
}

struct Tratto {
  int inizio, fine, codice;
};

std::vector<Tratto> montagne() {
  std::vector<Tratto> out;
  for (const Riga& r : record("montagna"))
    out.push_back({intero(r.campi[1]), intero(r.campi[2]), intero(r.campi[3])});
  return out;
}

/// An indication sign: position, keyword, the panels' inner texts and what
/// stands between and after them.
struct Cartello {
  std::string riga;
  int posizione;
  std::string chiave;
  std::vector<std::string> pannelli;  ///< inner texts, blanks included
  std::vector<std::string> separatori;
  std::string coda;
  size_t blank_prima;  ///< blanks between the position's comma and the text
};

std::vector<Cartello> cartelli() {
  std::vector<Cartello> out;
  for (const Riga& r : record("cartello")) {
    const std::string& riga = documento()[r.indice];
    Cartello c{riga, intero(r.campi[1]), r.campi[0], {}, {}, {}, 0};
    size_t i = riga.find(',', riga.find(',') + 1) + 1;
    size_t testo = riga.find('(', i);
    c.blank_prima = testo - i;
    while (testo != std::string::npos) {
      size_t chiusa = riga.find(')', testo);
      c.pannelli.push_back(riga.substr(testo + 1, chiusa - testo - 1));
      size_t dopo = riga.find('(', chiusa);
      if (dopo == std::string::npos) {
        c.coda = riga.substr(chiusa + 1);
      } else {
        c.separatori.push_back(riga.substr(chiusa + 1, dopo - chiusa - 1));
      }
      testo = dopo;
    }
    out.push_back(c);
  }
  return out;
}

bool galleria(const Cartello& c) { return senza_blank(c.pannelli[0]) == "GALLERIA"; }

// ---------------------------------------------------------- the whole file

TEST(BuiltInLineDescription, WrittenAs469LinesEachEndedByCrLf) {
  const TabellaRighe tabella = righe_linea();
  ASSERT_EQ(tabella.size(), 470u);
  EXPECT_EQ(tabella[469], kFineDelFile);
  const std::string testo = componi_documento(tabella);
  EXPECT_EQ(documento().size(), 469u);
  EXPECT_EQ(std::count(testo.begin(), testo.end(), '\n'), 469);
  EXPECT_EQ(std::count(testo.begin(), testo.end(), '\r'), 469);
  EXPECT_EQ(std::count(documento().begin(), documento().end(), std::string(kFineDelFile)), 0);
}

TEST(BuiltInLineDescription, PlainAsciiWithoutTabsOrDoubleQuotes) {
  for (size_t i = 0; i < documento().size(); ++i) {
    for (char c : documento()[i]) {
      EXPECT_TRUE(c >= 0x20 && c < 0x7F && c != '"') << "line " << i << ": " << documento()[i];
    }
  }
}

TEST(BuiltInLineDescription, PreambleAndEnd) {
  const auto& doc = documento();
  EXPECT_EQ(doc[0].rfind("Percorso ", 0), 0u) << doc[0];
  EXPECT_EQ(doc[0].back(), '3');
  EXPECT_TRUE(doc[2].ends_with(" cambio progressiva Km come segue:")) << doc[2];
  // "Distanza dall'inizio= " six digits "-" six digits, two blanks,
  // "differenza", five digits.
  const std::string& nota = doc[3];
  ASSERT_EQ(nota.size(), 53u);
  EXPECT_EQ(nota.substr(0, 22), "Distanza dall'inizio= ");
  EXPECT_EQ(nota.substr(28, 1), "-");
  EXPECT_EQ(nota.substr(35, 13), "  differenza ");
  const std::string cifre = nota.substr(22, 6) + nota.substr(29, 6) + nota.substr(48);
  EXPECT_EQ(cifre.size(), 17u);
  EXPECT_TRUE(std::all_of(cifre.begin(), cifre.end(), [](char c) { return c >= '0' && c <= '9'; }))
      << nota;
  // Two positions and their difference, for people: not the figures of the
  // kilometre-change record, which alone feeds the route.
  const std::vector<int> figure = testing::cifre_nota(nota);
  EXPECT_EQ(figure[1] - figure[0], figure[2]) << nota;
  for (int f : figure) {
    EXPECT_NE(f, 257050) << nota;
    EXPECT_NE(f, 53050) << nota;
  }
  EXPECT_EQ(doc[4], "");
  EXPECT_EQ(doc[5], "");
  EXPECT_EQ(doc[6], "inizio dati");
  EXPECT_EQ(doc[7], std::string(5, ' '));
  EXPECT_EQ(doc[8], "[generale]" + std::string(24, ' '));
  EXPECT_EQ(doc[467], "[fine]");
  EXPECT_EQ(doc[468], std::string(16, ' '));
}

struct Sezione {
  size_t riga;
  std::string_view intestazione;  ///< without trailing blanks
  std::string_view tipo;
  int record;
  int vuote;
  int commenti;
};

TEST(BuiltInLineDescription, EachKindOfRecordUnderItsOwnHeading) {
  const Sezione sezioni[] = {
      {8, "[generale]", "generale", 8, 0, 0},
      {17, "[pendenze]", "pendenza", 205, 1, 0},
      {224, "[curve]", "curva", 131, 1, 1},
      {358, "[cartelli]", "indicatori_vmax", 16, 0, 0},
      {375, "[montagne]", "montagna", 44, 1, 0},
      {421, "[indicazioni]", "cartello", 43, 2, 0},
      {467, "[fine]", "", 0, 1, 0},  // the last line of blanks
  };
  const auto& doc = documento();
  for (size_t s = 0; s < std::size(sezioni); ++s) {
    const Sezione& sez = sezioni[s];
    SCOPED_TRACE(sez.intestazione);
    EXPECT_EQ(senza_blank(doc[sez.riga]), sez.intestazione);
    const size_t fine = s + 1 < std::size(sezioni) ? sezioni[s + 1].riga : doc.size();
    std::map<std::string, int> conteggio;
    for (size_t i = sez.riga + 1; i < fine; ++i) ++conteggio[tipo_riga(doc[i])];
    if (!sez.tipo.empty()) {
      EXPECT_EQ(conteggio[std::string(sez.tipo)], sez.record);
    }
    EXPECT_EQ(conteggio["vuota"], sez.vuote);
    EXPECT_EQ(conteggio["commento"], sez.commenti);
    int altri = static_cast<int>(fine - sez.riga - 1) - sez.record - sez.vuote - sez.commenti;
    EXPECT_EQ(altri, 0) << "lines of another kind in the section";
  }
  // Nothing before the first heading but the preamble.
  for (size_t i = 0; i < 8; ++i) EXPECT_NE(tipo_riga(doc[i]), "intestazione");
}

TEST(BuiltInLineDescription, GeneralValuesAndSpeedIndicatorsVerbatim) {
  const std::pair<size_t, std::string_view> attese[] = {
      {9, "lunghezza percorso,    260000"},
      {10, "progressiva chilometrica uno,    257050,    53050,    0"},
      {11, "progressiva chilometrica due,    0,    0,    0"},
      {12, "progressiva chilometrica tre,    0,    0,    0"},
      {13, "sfondo uno,    1"},
      {14, "sfondo due,    243450"},
      {15, "sfondo tre,    0"},
      {16, "ripetizione segnali 9 codici,    6800,    260100"},
      {359, "indicatori_vmax,  1050, 85, 90, 95, 0, 85, 90, 95, 0"},
      {360, "indicatori_vmax,  5850,  100,  105,  110,  0,  100,  105,  110,  0"},
      {361, "indicatori_vmax,  16400,  140,  160,  250,  0,  140,  160,  250,  0"},
      {362, "indicatori_vmax, 74450,140,160,250, 0,140,160,250, 0"},
      {363, "indicatori_vmax,  115200,  140,  160,  250,  0,  140,  160,  250,  0"},
      {364, "indicatori_vmax,154650,140,160,250, 0,140,160,250, 0"},
      {365, "indicatori_vmax,  199950,  140,  160,  250,  0,  140,  160,  250,  0"},
      {366, "indicatori_vmax,  235050,  140,  160,  250,  0,  140,  160,  250,  0"},
      {367, "indicatori_vmax,  248350,  125,  135,  145,  2,  125,  135,  145,  2"},
      {368, "indicatori_vmax,  248650,  125,  135,  145,  1,  125,  135,  145,  1"},
      {369, "indicatori_vmax,  248950,  125,  135,  145,  0,  125,  135,  145,  0"},
      {370, "indicatori_vmax,  251450,  100,  105,  110,  0,  100,  105,  110,  0"},
      {371, "indicatori_vmax,  256650,  80,  85,  90,  0,  80,  85,  90,  0"},
      {372, "indicatori_vmax,  258750,  65,  70,  75,  0,  65,  70,  75,  0"},
      {373, "indicatori_vmax,263100, 90, 95,100, 0, 90, 95,100, 0"},
      {374, "indicatori_vmax,265300, 60, 70, 75, 0, 60, 70, 75, 0"},
  };
  for (const auto& [riga, testo] : attese) EXPECT_EQ(documento()[riga], testo) << "line " << riga;
}

// ------------------------------------------------------------- gradients

TEST(BuiltInLineDescription, GradientsRiseWithOneRepeatedPosition) {
  const std::vector<Riga> righe = record("pendenza");
  ASSERT_EQ(righe.size(), 205u);
  std::vector<int> pos, val;
  for (const Riga& r : righe) {
    ASSERT_EQ(r.campi.size(), 3u);
    pos.push_back(intero(r.campi[1]));
    val.push_back(intero(r.campi[2]));
  }
  EXPECT_EQ(pos.front(), 500);
  EXPECT_EQ(pos.back(), 260500);
  int ripetute = 0;
  for (size_t i = 0; i < pos.size(); ++i) {
    EXPECT_EQ(pos[i] % 50, 0) << pos[i];
    EXPECT_TRUE(val[i] >= -12 && val[i] <= 10) << pos[i];
    if (i == 0) continue;
    if (pos[i] == pos[i - 1]) {
      ++ripetute;
      EXPECT_EQ(pos[i], 258800);
      EXPECT_EQ(val[i - 1], 4);
      EXPECT_EQ(val[i], 0);
    } else {
      EXPECT_GT(pos[i], pos[i - 1]) << "row " << i;
    }
  }
  EXPECT_EQ(ripetute, 1);
  EXPECT_EQ(*std::min_element(val.begin(), val.end()), -12);
  EXPECT_EQ(*std::max_element(val.begin(), val.end()), 10);
}

TEST(BuiltInLineDescription, GradientSpacingsAndQuotedRows) {
  const std::vector<Riga> righe = record("pendenza");
  ASSERT_EQ(righe.size(), 205u);
  for (size_t i = 0; i < righe.size(); ++i) {
    const std::string p = righe[i].campi[1], g = righe[i].campi[2];
    const std::string atteso =
        i < 194 ? "pendenza,  " + p + ",   " + g : "pendenza  , " + p + "   , " + g;
    EXPECT_EQ(documento()[righe[i].indice], atteso);
  }
  EXPECT_EQ(righe[193].campi[1], "252950");
  EXPECT_EQ(righe[194].campi[1], "253550");
  const std::string_view citate[] = {
      "pendenza,  500,   0",      "pendenza,  950,   -11",    "pendenza,  1600,   -12",
      "pendenza,  233100,   10",  "pendenza,  252950,   8",   "pendenza  , 253550   , 4",
      "pendenza  , 258800   , 4", "pendenza  , 258800   , 0", "pendenza  , 260500   , 0",
  };
  for (std::string_view c : citate)
    EXPECT_EQ(std::count(documento().begin(), documento().end(), std::string(c)), 1) << c;
  // -11 per mille from 950 m up to the next row, at 1500 m; past the route
  // length, rows at 260200 and 260500 m.
  EXPECT_EQ(righe[1].campi[1], "950");
  EXPECT_EQ(righe[2].campi[1], "1500");
  EXPECT_EQ(righe[203].campi[1], "260200");
  // The section's empty line.
  const auto& doc = documento();
  for (size_t i = 18; i < 224; ++i) {
    if (!doc[i].empty()) continue;
    EXPECT_EQ(doc[i - 1], "pendenza,  190000,   " + campi(doc[i - 1])[2]);
    EXPECT_EQ(campi(doc[i + 1])[1], "193250");
  }
}

// ---------------------------------------------------------------- curves

TEST(BuiltInLineDescription, CurveClassesAndSides) {
  const std::vector<Riga> righe = record("curva");
  ASSERT_EQ(righe.size(), 131u);
  std::map<char, int> classi, lati;
  for (const Riga& r : righe) {
    ++lati[r.campi[0][5]];
    ++classi[r.campi[0][6]];
  }
  const std::pair<char, int> attese[] = {{'1', 1},  {'2', 48}, {'3', 51},
                                         {'4', 16}, {'5', 14}, {'6', 1}};
  for (auto [cifra, n] : attese) EXPECT_EQ(classi[cifra], n) << "class " << cifra;
  EXPECT_EQ(lati['s'], 66);
  EXPECT_EQ(lati['d'], 65);
  EXPECT_EQ(documento()[righe.front().indice], "curvad2,   500,  300");
  EXPECT_EQ(documento()[righe[1].indice], "curvas3,  1350,  200");
  EXPECT_EQ(documento()[righe.back().indice], "curvas6,  259900,  300");
  const auto classe1 =
      std::find_if(righe.begin(), righe.end(), [](const Riga& r) { return r.campi[0][6] == '1'; });
  EXPECT_EQ(documento()[classe1->indice], "curvad1,  113200,  600");
}

TEST(BuiltInLineDescription, CurvesInOrderWithoutOverlap) {
  const std::vector<Riga> righe = record("curva");
  ASSERT_EQ(righe.size(), 131u);
  int contigue = 0, corta = 1 << 30, lunga = 0;
  for (size_t i = 0; i < righe.size(); ++i) {
    const int s = intero(righe[i].campi[1]), l = intero(righe[i].campi[2]);
    EXPECT_EQ(s % 50, 0);
    EXPECT_EQ(l % 50, 0);
    corta = std::min(corta, l);
    lunga = std::max(lunga, l);
    const std::string sep = i == 0 ? ",   " : ",  ";
    EXPECT_EQ(documento()[righe[i].indice],
              righe[i].campi[0] + sep + righe[i].campi[1] + ",  " + righe[i].campi[2]);
    if (i + 1 == righe.size()) continue;
    const int prossima = intero(righe[i + 1].campi[1]);
    EXPECT_LE(s + l, prossima) << "curve at " << s << " overlaps the next";
    if (s + l == prossima) ++contigue;
  }
  EXPECT_EQ(contigue, 10);
  EXPECT_EQ(corta, 50);
  EXPECT_EQ(lunga, 3800);
}

TEST(BuiltInLineDescription, CurveSectionCommentAndEmptyLine) {
  const auto& doc = documento();
  // The station comment stands between the first two curves and is the
  // only line that begins with a hyphen.
  EXPECT_EQ(doc[226].rfind("- ", 0), 0u);
  EXPECT_GT(doc[226].size(), 2u);
  EXPECT_EQ(doc[226].find(','), std::string::npos);
  for (size_t i = 0; i < doc.size(); ++i) {
    if (i != 226) {
      EXPECT_NE(doc[i].rfind('-', 0), 0u) << "line " << i;
    }
  }
  for (size_t i = 225; i < 358; ++i) {
    if (!doc[i].empty()) continue;
    EXPECT_EQ(campi(doc[i - 1])[1], "185150");
    EXPECT_EQ(campi(doc[i + 1])[1], "188150");
  }
}

// -------------------------------------------------------------- montagna

TEST(BuiltInLineDescription, MontagnaStretchesCodesAndOrder) {
  const std::vector<Riga> righe = record("montagna");
  ASSERT_EQ(righe.size(), 44u);
  EXPECT_EQ(documento()[righe.front().indice], "montagna,   22550,  25650,  11");
  EXPECT_EQ(documento()[righe.back().indice], "montagna,   258500,  258750,  2");
  // The example row of the line description's grammar.
  EXPECT_EQ(documento()[righe[1].indice], "montagna,   26000,  26650,  12");
  EXPECT_EQ(documento()[420], "");  // the last line of the section
  const std::vector<Tratto> tratti = montagne();
  std::map<int, int> codici;
  int corto = 1 << 30, lungo = 0;
  for (size_t i = 0; i < tratti.size(); ++i) {
    const Tratto& t = tratti[i];
    const Riga& r = righe[i];
    EXPECT_EQ(documento()[r.indice],
              "montagna,   " + r.campi[1] + ",  " + r.campi[2] + ",  " + r.campi[3]);
    EXPECT_EQ(t.inizio % 50, 0);
    EXPECT_EQ(t.fine % 50, 0);
    ++codici[t.codice];
    corto = std::min(corto, t.fine - t.inizio);
    lungo = std::max(lungo, t.fine - t.inizio);
    if (i > 0) {
      EXPECT_GE(t.inizio - tratti[i - 1].fine, 50) << "stretch at " << t.inizio;
    }
  }
  EXPECT_EQ(codici, (std::map<int, int>{{2, 1}, {11, 14}, {12, 29}}));
  EXPECT_EQ(tratti.back().codice, 2);
  EXPECT_EQ(corto, 100);
  EXPECT_EQ(lungo, 10950);
}

// --------------------------------------------------------- indication signs

TEST(BuiltInLineDescription, SignKindsAndKeywordSpellings) {
  const std::vector<Cartello> cc = cartelli();
  ASSERT_EQ(cc.size(), 43u);
  std::map<std::string, int> tipi;
  for (const Cartello& c : cc) {
    SCOPED_TRACE(c.riga);
    std::string tipo;
    const std::string primo = senza_blank(c.pannelli[0]);
    if (primo == "GALLERIA") {
      tipo = "galleria";
    } else if (c.pannelli.size() == 3 && c.pannelli[1] == "VIADOTTO") {
      tipo = "viadotto";
      EXPECT_TRUE(c.pannelli[0] == " INIZIO " || c.pannelli[0] == "  FINE  ");
    } else if (primo == "BIVIO") {
      tipo = "bivio";
    } else if (c.pannelli[0] == " Ponte  " && c.pannelli.size() == 3 &&
               c.pannelli[1] == "su fiume") {
      tipo = "ponte";
    } else if (c.pannelli[0] == "CAVALCAVIA") {
      tipo = "cavalcavia";
    }
    ++tipi[tipo];
    const bool unito = tipo == "galleria" || tipo == "viadotto";
    EXPECT_EQ(c.chiave, unito ? "cartello_indicatore" : "cartello indicatore");
    for (const std::string& s : c.separatori) EXPECT_EQ(s, unito ? "" : " ");
    // Same inner width in every panel of a row, at least eight.
    if (&c != &cc.back()) {
      for (const std::string& p : c.pannelli) {
        EXPECT_EQ(p.size(), c.pannelli[0].size());
        EXPECT_GE(p.size(), 8u);
      }
      EXPECT_EQ(c.coda, "");
    }
  }
  EXPECT_EQ(tipi,
            (std::map<std::string, int>{
                {"galleria", 35}, {"viadotto", 2}, {"bivio", 4}, {"ponte", 1}, {"cavalcavia", 1}}));
  const Cartello& ultimo = cc.back();
  EXPECT_EQ(ultimo.pannelli[0], "CAVALCAVIA");
  ASSERT_EQ(ultimo.pannelli.size(), 2u);
  EXPECT_EQ(ultimo.pannelli[1].size(), 9u);
  EXPECT_EQ(ultimo.coda, std::string(9, ' '));
}

TEST(BuiltInLineDescription, SignPositionsAndSpacing) {
  const std::vector<Cartello> cc = cartelli();
  ASSERT_EQ(cc.size(), 43u);
  EXPECT_EQ(cc.front().posizione, 22500);
  EXPECT_EQ(cc.back().posizione, 259700);
  int quattro = 0;
  for (size_t i = 0; i < cc.size(); ++i) {
    EXPECT_EQ(cc[i].posizione % 50, 0);
    if (i > 0) {
      EXPECT_GT(cc[i].posizione, cc[i - 1].posizione);
    }
    EXPECT_EQ(cc[i].riga.substr(0, cc[i].chiave.size() + 3), cc[i].chiave + ",  ");
    EXPECT_TRUE(cc[i].blank_prima == 3 || cc[i].blank_prima == 4) << cc[i].riga;
    if (cc[i].blank_prima == 4) ++quattro;
  }
  EXPECT_EQ(quattro, 3);
  // The junction signs: two junctions, a pair of signs each, 300 m and 50 m
  // apart.
  std::map<std::string, std::vector<int>> bivi;
  for (const Cartello& c : cc)
    if (senza_blank(c.pannelli[0]) == "BIVIO")
      bivi[senza_blank(c.pannelli[1])].push_back(c.posizione);
  ASSERT_EQ(bivi.size(), 2u);
  std::multiset<int> distanze;
  for (const auto& [nome, pos] : bivi) {
    ASSERT_EQ(pos.size(), 2u) << nome;
    distanze.insert(pos[1] - pos[0]);
  }
  EXPECT_EQ(distanze, (std::multiset<int>{50, 300}));
}

TEST(BuiltInLineDescription, TunnelSignsStandBeforeMontagnaStretches) {
  const std::vector<Tratto> tratti = montagne();
  std::map<int, int> lunghezza_da_inizio;
  for (const Tratto& t : tratti) lunghezza_da_inizio[t.inizio] = t.fine - t.inizio;
  int con_lunghezza = 0, con_nome_doppio = 0, solo_nome = 0, corta = 1 << 30, lunga = 0;
  std::set<int> firmati;
  for (const Cartello& c : cartelli()) {
    if (!galleria(c)) continue;
    SCOPED_TRACE(c.riga);
    const auto t = lunghezza_da_inizio.find(c.posizione + 50);
    ASSERT_TRUE(t != lunghezza_da_inizio.end()) << "no montagna stretch 50 m after the sign";
    firmati.insert(t->first);
    if (c.pannelli.size() == 2) {
      ++solo_nome;
      continue;
    }
    ASSERT_EQ(c.pannelli.size(), 3u);
    const std::string terzo = senza_blank(c.pannelli[2]);
    if (terzo.rfind("m ", 0) != 0) {
      ++con_nome_doppio;
      continue;
    }
    ++con_lunghezza;
    const int metri = intero(terzo.substr(2));
    corta = std::min(corta, metri);
    lunga = std::max(lunga, metri);
    // The stretch is the tunnel to the nearest 50 m.
    EXPECT_LE(std::abs(metri - t->second), 25) << "stretch of " << t->second << " m";
  }
  EXPECT_EQ(con_lunghezza, 32);
  EXPECT_EQ(con_nome_doppio, 2);
  EXPECT_EQ(solo_nome, 1);
  EXPECT_EQ(corta, 112);
  EXPECT_EQ(lunga, 10954);
  EXPECT_EQ(tratti.size() - firmati.size(), 9u) << "stretches without a sign";
}

// --------------------------------------------------------------- read back

TEST(BuiltInLineDescription, ReadsBackCleanly) {
  const std::optional<RouteModel> letto = testing::leggi_descrizioni_predefinite();
  if (!letto) return;
  const RouteModel& m = *letto;

  EXPECT_EQ(m.ultimo_segmento, 5340);
  EXPECT_EQ(m.voci[kVoceGeneraliPercorso].fine, 260000);
  const Voce& cambio = m.voci[kVoceProgressivaTre];
  EXPECT_EQ(cambio.inizio, 257050);
  EXPECT_EQ(cambio.fine, 53050);
  EXPECT_EQ(cambio.posizione, 0);
  const Voce& ripetizione = m.voci[kVoceGeneraliTreno];
  EXPECT_EQ(ripetizione.inizio, 6800);
  EXPECT_EQ(ripetizione.fine, 260100);
  EXPECT_EQ(ripetizione.posizione, 9);
  EXPECT_EQ(m.numero_montagne, 44);

  // Sign texts from slot 80 down, in the order of the file; nothing else
  // took their segments or those of the speed indicators.
  const std::vector<Cartello> cc = cartelli();
  for (size_t i = 0; i < cc.size(); ++i) {
    const std::string& riga = cc[i].riga;
    const std::string testo = riga.substr(riga.find('(', riga.find(',', riga.find(',') + 1)));
    EXPECT_EQ(m.voci[kPrimaVoceCartelli - i].nome, testo);
  }
  EXPECT_EQ(m.voci[kPrimaVoceCartelli - cc.size()].nome, "");
  std::map<int, int> eventi;
  for (const Segmento& s : m.segmenti) ++eventi[s.tipo];
  EXPECT_EQ(eventi[kCartello], 43);
  EXPECT_EQ(eventi[kIndicatoreVmax], 16);
  const Segmento& indicatore = m.segmenti[118];  // the one at 5850 m
  EXPECT_EQ(indicatore.tipo, kIndicatoreVmax);
  EXPECT_EQ(indicatore.valore1, 2020);
  EXPECT_EQ(indicatore.valore2, 2121);
  EXPECT_EQ(indicatore.valore3, 2222);

  // -11 per mille from 950 m to 1500 m.
  EXPECT_EQ(m.segmenti[18].pendenza_seg, 100);
  for (int s = 19; s <= 29; ++s) EXPECT_EQ(m.segmenti[s].pendenza_seg, 89) << s;
  EXPECT_NE(m.segmenti[30].pendenza_seg, 89);
  EXPECT_EQ(m.segmenti[m.ultimo_segmento - 2].pendenza_seg, 0);
}

}  // namespace

}  // namespace tratta
