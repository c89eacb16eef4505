// The built-in train description: its layout, the rows it must hold, and a
// reading back through the description reader without a status.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
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

/// The written lines, numbered from 1 as in the file: element 0 is unused.
std::vector<std::string> dividi_righe(const std::string& testo) {
  EXPECT_TRUE(testo.empty() || testo.ends_with("\r\n")) << "bytes after the last CR LF";
  std::vector<std::string> righe = testing::dividi(testo);
  righe.insert(righe.begin(), "");
  return righe;
}

const std::vector<std::string>& riga() {
  static const std::vector<std::string> righe = dividi_righe(componi_documento(righe_treno()));
  return righe;
}

bool inizia(std::string_view s, std::string_view prefisso) { return s.rfind(prefisso, 0) == 0; }

/// Right-aligns `n` in `larghezza` characters.
std::string a_destra(int n, size_t larghezza) {
  std::string s = std::to_string(n);
  return std::string(larghezza > s.size() ? larghezza - s.size() : 0, ' ') + s;
}

// Line numbers of the sections.
constexpr size_t kPrimaStazione = 31;
constexpr size_t kPrimoSegnale = 69;
constexpr size_t kUltimoSegnale = 192;
constexpr size_t kPrimoCodice = 194;

using Valori = std::array<int, 10>;  ///< sx s1 s2 s3 rapp dx d1 d2 d3 tempo

struct Segnale {
  size_t riga;
  int posizione;
  Valori v;
};

std::vector<Segnale> segnali() {
  std::vector<Segnale> out;
  for (size_t i = kPrimoSegnale; i <= kUltimoSegnale; ++i) {
    if (!inizia(riga()[i], "segnale,")) continue;
    const std::vector<std::string> c = campi(riga()[i]);
    EXPECT_EQ(c.size(), 12u) << riga()[i];
    Segnale s{i, intero(c[1]), {}};
    for (size_t k = 0; k < 10; ++k) s.v[k] = intero(c[k + 2]);
    out.push_back(s);
  }
  return out;
}

// ---------------------------------------------------------- the whole file

TEST(BuiltInTrainDescription, WrittenAs215LinesEachEndedByCrLf) {
  const TabellaRighe tabella = righe_treno();
  ASSERT_EQ(tabella.size(), 216u);
  EXPECT_EQ(tabella[215], kFineDelFile);
  const std::string testo = componi_documento(tabella);
  EXPECT_EQ(riga().size(), 216u);
  EXPECT_EQ(std::count(testo.begin(), testo.end(), '\n'), 215);
  EXPECT_EQ(std::count(testo.begin(), testo.end(), '\r'), 215);
  EXPECT_EQ(riga().back(), "[fine]");
}

TEST(BuiltInTrainDescription, PlainAsciiWithoutTabsOrDoubleQuotes) {
  int con_backquote = 0;
  for (size_t i = 1; i < riga().size(); ++i) {
    for (char c : riga()[i]) EXPECT_TRUE(c >= 0x20 && c < 0x7F && c != '"') << "line " << i;
    if (riga()[i].find('`') != std::string::npos) ++con_backquote;
  }
  EXPECT_EQ(con_backquote, 2);
}

TEST(BuiltInTrainDescription, HeaderBlock) {
  const auto& r = riga();
  EXPECT_TRUE(inizia(r[1], "Percorso")) << r[1];
  EXPECT_EQ(r[1].back(), '3');
  const std::pair<size_t, size_t> lunghezze[] = {{1, 30}, {2, 79}, {3, 55}, {4, 52}};
  for (auto [n, l] : lunghezze) EXPECT_EQ(r[n].size(), l) << "line " << n << ": " << r[n];
  EXPECT_TRUE(inizia(r[4], "Distanza dall'inizio= "));
  EXPECT_EQ(r[4].substr(28, 1), "-");
  EXPECT_EQ(r[4].substr(35, 12), " differenza ");
  const std::string cifre = r[4].substr(22, 6) + r[4].substr(29, 6) + r[4].substr(47);
  EXPECT_EQ(cifre.size(), 17u);
  EXPECT_TRUE(std::all_of(cifre.begin(), cifre.end(), [](char c) { return c >= '0' && c <= '9'; }));
  // The same figures as the line description's note.
  const std::vector<std::string> linea = testing::dividi(componi_documento(righe_linea()));
  EXPECT_EQ(testing::cifre_nota(r[4]), testing::cifre_nota(linea.at(3)));
  EXPECT_EQ(r[5], "");
  EXPECT_EQ(r[6], "");
  EXPECT_EQ(r[7], "inizio dati");
  EXPECT_EQ(r[8], "     ");
}

TEST(BuiltInTrainDescription, SectionsAndTheRowsInThem) {
  struct Sezione {
    size_t riga;
    std::string_view intestazione;
    std::string_view chiave;  ///< prefix of every row of the section
    int record;
    int commenti;
  };
  const Sezione sezioni[] = {
      {9, "[generale]", "", 4, 0},
      {14, "[aderenze]", "aderenza,", 1, 0},
      {16, "[vel_limite]", "velocita", 10, 0},
      {27, "[stazioni]", "stazione,", 33, 3},
      {64, "[rallentamenti]", "", 0, 0},
      {65, "[segnali]", "segnale,", 105, 22},
      {193, "[codici]", "abbattimento codice, ", 21, 0},
      {215, "[fine]", "", 0, 0},
  };
  const auto& r = riga();
  for (size_t s = 0; s < std::size(sezioni); ++s) {
    const Sezione& sez = sezioni[s];
    SCOPED_TRACE(sez.intestazione);
    EXPECT_EQ(r[sez.riga], sez.intestazione);
    const size_t fine = s + 1 < std::size(sezioni) ? sezioni[s + 1].riga : r.size();
    EXPECT_EQ(static_cast<int>(fine - sez.riga - 1), sez.record + sez.commenti);
    int record = 0, commenti = 0;
    for (size_t i = sez.riga + 1; i < fine; ++i) {
      if (inizia(r[i], "-"))
        ++commenti;
      else if (!sez.chiave.empty() && inizia(r[i], sez.chiave))
        ++record;
    }
    if (!sez.chiave.empty()) {
      EXPECT_EQ(record, sez.record);
    }
    EXPECT_EQ(commenti, sez.commenti);
  }
  // Section headers and no other bracket line.
  int intestazioni = 0;
  for (size_t i = 1; i < r.size(); ++i)
    if (inizia(r[i], "[")) ++intestazioni;
  EXPECT_EQ(intestazioni, static_cast<int>(std::size(sezioni)));
}

TEST(BuiltInTrainDescription, FixedRowsVerbatim) {
  const std::pair<size_t, std::string_view> attese[] = {
      {9, "[generale]"},
      {10, "numero vetture,    12"},
      {11, "percentuale massa frenata,    130"},
      {12, "sabbia,    200"},
      {13, "orologio,    7               6             30 "},
      {15, "aderenza,   0,    80"},
      {17, "velocita' limite ,     0    ,   30"},
      {18, "velocita,    1000,    95"},
      {19, "velocita,    5850,   110"},
      {20, "velocita,   16400,   200"},
      {21, "velocita,  250000,   145"},
      {22, "velocita,  252500,   110"},
      {23, "velocita,  257950,    90"},
      {24, "velocita,  259750,    75"},
      {25, "velocita' limite , 264100   ,  100"},
      {26, "velocita' limite , 266300   ,  75"},
      {28, "-           pos. tipo lung. t  t  m    d d r   d d d   a   o  o  o   nome"},
      {29, "-                           p  a  a    2 3 a   1 2 3   c   r  r  r"},
      {30, "-                           s  b  r        p               o  m  s"},
      {66, "-                1                     destra"},
      {67, "-                a  d1 d2 d3 ra       d1 d2 d3 ac"},
      {68, "-                v"},
  };
  for (const auto& [n, testo] : attese) EXPECT_EQ(riga()[n], testo) << "line " << n;
  EXPECT_EQ(riga()[13].size(), 46u);
}

// --------------------------------------------------------------- stations

struct Stazione {
  int posizione, tipo, lunghezza;
  std::array<int, 10> colonne;  ///< tps tab mar d2 d3 rap d1 d2 d3 ac
  std::array<int, 3> orario;
};

constexpr std::array<int, 10> kZeri{};

const Stazione kStazioni[] = {
    {0, 8, 500, {1, 0, 0, 4, 1, 0, 2, 1, 1, 1}, {7, 7, 0}},
    {4500, 2, 600, {0, 1, 0, 1, 1, 0, 4, 1, 1, 0}, {0, 0, 0}},
    {6100, 26, 200, kZeri, {0, 0, 0}},
    {16250, 26, 500, kZeri, {0, 0, 0}},
    {31950, 25, 400, kZeri, {0, 0, 0}},
    {43950, 12, 900, {0, 0, 1, 1, 1, 0, 4, 1, 1, 0}, {0, 0, 0}},
    {60850, 25, 400, kZeri, {0, 0, 0}},
    {64700, 25, 200, kZeri, {0, 0, 0}},
    {74200, 25, 400, kZeri, {0, 0, 0}},
    {76300, 25, 400, kZeri, {0, 0, 0}},
    {93400, 25, 400, kZeri, {0, 0, 0}},
    {104450, 25, 400, kZeri, {0, 0, 0}},
    {108600, 25, 400, kZeri, {0, 0, 0}},
    {114900, 25, 400, kZeri, {0, 0, 0}},
    {121200, 25, 400, kZeri, {0, 0, 0}},
    {134400, 25, 400, kZeri, {0, 0, 0}},
    {138650, 25, 400, kZeri, {0, 0, 0}},
    {154250, 25, 400, kZeri, {0, 0, 0}},
    {156500, 25, 400, kZeri, {0, 0, 0}},
    {166700, 27, 300, kZeri, {0, 0, 0}},
    {169400, 27, 300, kZeri, {0, 0, 0}},
    {183800, 25, 400, kZeri, {0, 0, 0}},
    {189100, 25, 400, kZeri, {0, 0, 0}},
    {196800, 27, 400, kZeri, {0, 0, 0}},
    {199650, 25, 400, kZeri, {0, 0, 0}},
    {212750, 25, 300, kZeri, {0, 0, 0}},
    {214900, 25, 400, kZeri, {0, 0, 0}},
    {227700, 25, 400, kZeri, {0, 0, 0}},
    {234800, 25, 400, kZeri, {0, 0, 0}},
    {240500, 25, 400, kZeri, {0, 0, 0}},
    {254100, 28, 500, kZeri, {0, 0, 0}},
    {257050, 2, 700, {0, 0, 0, 1, 1, 0, 4, 1, 1, 0}, {0, 0, 0}},
    {261000, 6, 600, {1, 0, 0, 1, 1, 0, 2, 1, 1, 0}, {8, 56, 0}},
};

TEST(BuiltInTrainDescription, StationRows) {
  ASSERT_EQ(std::size(kStazioni), 33u);
  int nomi_minuscoli = 0;
  for (size_t k = 0; k < std::size(kStazioni); ++k) {
    const std::string& testo = riga()[kPrimaStazione + k];
    SCOPED_TRACE(testo);
    const std::vector<std::string> c = campi(testo);
    ASSERT_EQ(c.size(), 18u);
    EXPECT_EQ(c[0], "stazione");
    const Stazione& s = kStazioni[k];
    EXPECT_EQ(intero(c[1]), s.posizione);
    EXPECT_EQ(intero(c[2]), s.tipo);
    EXPECT_EQ(intero(c[3]), s.lunghezza);
    for (size_t j = 0; j < 10; ++j) EXPECT_EQ(intero(c[4 + j]), s.colonne[j]) << "column " << j + 5;
    for (size_t j = 0; j < 3; ++j) EXPECT_EQ(intero(c[14 + j]), s.orario[j]);

    const std::string nome = c[17];
    EXPECT_TRUE(testo.ends_with(", " + nome));
    EXPECT_GE(nome.size(), 11u);
    EXPECT_LE(nome.size(), 23u);
    for (char ch : nome)
      EXPECT_TRUE((ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || ch == ' ' || ch == '.' ||
                  ch == '`');
    if (std::any_of(nome.begin(), nome.end(), [](char ch) { return ch >= 'a' && ch <= 'z'; }))
      ++nomi_minuscoli;

    // Fixed layout, or the narrower one of rows 19 and 22.
    const auto& v = s.colonne;
    std::string atteso;
    if (k == 18 || k == 21) {
      atteso = "stazione, " + std::to_string(s.posizione) + ", " + std::to_string(s.tipo) + ", " +
               std::to_string(s.lunghezza) + ",  ";
      for (size_t j = 0; j < 3; ++j) atteso += std::to_string(v[j]) + (j < 2 ? ", " : ",   ");
      for (size_t j = 3; j < 6; ++j) atteso += std::to_string(v[j]) + (j < 5 ? "," : ",  ");
      for (size_t j = 6; j < 9; ++j) atteso += std::to_string(v[j]) + (j < 8 ? "," : ",  ");
      atteso += std::to_string(v[9]) + ",  ";
      atteso += std::to_string(s.orario[0]) + ", " + std::to_string(s.orario[1]) + ", " +
                std::to_string(s.orario[2]) + ", ";
    } else {
      const size_t larghezze[] = {3, 2, 2, 3, 1, 1, 3, 1, 1, 5};
      atteso = "stazione," + a_destra(s.posizione, 8) + "," + a_destra(s.tipo, 3) + "," +
               a_destra(s.lunghezza, 5) + ",";
      for (size_t j = 0; j < 10; ++j) atteso += a_destra(v[j], larghezze[j]) + ",";
      atteso += a_destra(s.orario[0], 4) + "," + a_destra(s.orario[1], 2) + "," +
                a_destra(s.orario[2], 2) + ", ";
    }
    EXPECT_EQ(testo, atteso + nome);
  }
  EXPECT_EQ(nomi_minuscoli, 2);
  EXPECT_TRUE(inizia(riga()[kPrimaStazione],
                     "stazione,       0,  8,  500,  1, 0, 0,  4,1,0,  2,1,1,    1,   7, 7, 0, "));
  EXPECT_TRUE(inizia(riga()[kPrimaStazione + 18],
                     "stazione, 156500, 25, 400,  0, 0, 0,   0,0,0,  0,0,0,  0,  0, 0, 0, "));
  EXPECT_TRUE(inizia(riga()[kPrimaStazione + 32],
                     "stazione,  261000,  6,  600,  1, 0, 0,  1,1,0,  2,1,1,    0,   8,56, 0, "));
}

// ---------------------------------------------------------------- signals

TEST(BuiltInTrainDescription, SignalCombinations) {
  struct Combinazione {
    Valori v;
    int righe;
    std::vector<int> posizioni;  ///< where a rare combination stands
  };
  const Combinazione attese[] = {
      {{2, 4, 0, 0, 0, 2, 1, 0, 0, 0}, 22, {}},
      {{1, 4, 1, 0, 0, 1, 3, 1, 0, 0}, 20, {}},
      {{1, 4, 0, 0, 0, 1, 1, 0, 0, 0}, 18, {}},
      {{2, 4, 1, 0, 0, 2, 2, 1, 0, 0}, 13, {}},
      {{2, 4, 0, 0, 0, 2, 2, 0, 0, 0}, 9, {}},
      {{2, 4, 1, 1, 0, 2, 2, 1, 1, 0}, 8, {}},
      {{1, 4, 0, 0, 0, 1, 3, 0, 0, 0}, 8, {}},
      {{2, 4, 1, 0, 0, 2, 2, 0, 0, 0}, 2, {}},
      {{2, 4, 1, 0, 0, 0, 0, 0, 0, 0}, 2, {2550, 3500}},
      {{1, 4, 1, 0, 0, 2, 3, 1, 0, 0}, 1, {252250}},
      {{2, 3, 4, 0, 0, 2, 3, 1, 0, 0}, 1, {258950}},
      {{2, 2, 3, 0, 0, 2, 2, 1, 0, 0}, 1, {260100}},
  };
  const std::vector<Segnale> ss = segnali();
  ASSERT_EQ(ss.size(), 105u);
  std::map<Valori, std::vector<int>> trovate;
  for (const Segnale& s : ss) trovate[s.v].push_back(s.posizione);
  EXPECT_EQ(trovate.size(), std::size(attese));
  for (const Combinazione& c : attese) {
    SCOPED_TRACE(::testing::PrintToString(c.v));
    EXPECT_EQ(trovate[c.v].size(), static_cast<size_t>(c.righe));
    if (!c.posizioni.empty()) {
      EXPECT_EQ(trovate[c.v], c.posizioni);
    }
  }
}

TEST(BuiltInTrainDescription, SignalPositionsAndPairs) {
  const std::vector<Segnale> ss = segnali();
  ASSERT_EQ(ss.size(), 105u);
  EXPECT_EQ(ss.front().posizione, 1100);
  EXPECT_EQ(ss.back().posizione, 260100);
  for (size_t i = 0; i < ss.size(); ++i) {
    EXPECT_EQ(ss[i].posizione % 50, 0);
    EXPECT_EQ(ss[i].v[9], 0) << "tempo at " << ss[i].posizione;
    if (i == 0) continue;
    const int passo = ss[i].posizione - ss[i - 1].posizione;
    EXPECT_TRUE(passo >= 800 && passo <= 8000) << ss[i].posizione;
  }
  // Eight main signals, 47 pairs of a distant and its main signal, three
  // main signals.
  for (size_t i = 0; i < 8; ++i) EXPECT_EQ(ss[i].v[0], 2);
  EXPECT_EQ(ss[7].posizione, 12050);
  int a_1500 = 0;
  for (size_t k = 0; k < 47; ++k) {
    const Segnale& avviso = ss[8 + 2 * k];
    const Segnale& principale = ss[9 + 2 * k];
    ASSERT_EQ(avviso.v[0], 1) << avviso.posizione;
    ASSERT_EQ(principale.v[0], 2) << principale.posizione;
    const int distanza = principale.posizione - avviso.posizione;
    EXPECT_TRUE(distanza >= 1300 && distanza <= 1500) << avviso.posizione;
    if (distanza == 1500) ++a_1500;
  }
  EXPECT_EQ(a_1500, 28);
  const int ultimi[] = {258050, 258950, 260100};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(ss[102 + i].posizione, ultimi[i]);
    EXPECT_EQ(ss[102 + i].v[0], 2);
  }
}

TEST(BuiltInTrainDescription, SignalLayouts) {
  int larghe = 0, strette = 0;
  for (const Segnale& s : segnali()) {
    const std::string& testo = riga()[s.riga];
    SCOPED_TRACE(testo);
    const Valori& v = s.v;
    auto n = [&](size_t k) { return std::to_string(v[k]); };
    const std::string larga = "segnale," + a_destra(s.posizione, 8) + ",   " + n(0) + ", " + n(1) +
                              ", " + n(2) + ",  " + n(3) + ", " + n(4) + ",    " + n(5) + ",  " +
                              n(6) + "," + n(7) + "," + n(8) + ", " + n(9);
    std::string stretta =
        "segnale," +
        (s.posizione < 100000 ? a_destra(s.posizione, 7) : "  " + std::to_string(s.posizione)) +
        ",";
    for (size_t k = 0; k < 10; ++k) stretta += (k == 5 ? "     " : " ") + n(k) + (k < 9 ? "," : "");
    if (testo == larga) {
      EXPECT_EQ(testo.size(), 51u);
      ++larghe;
    } else {
      EXPECT_EQ(testo, stretta);
      EXPECT_TRUE(testo.size() == 49 || testo.size() == 50);
      ++strette;
    }
  }
  EXPECT_EQ(larghe, 83);
  EXPECT_EQ(strette, 22);
  const std::string_view citate[] = {
      "segnale,    1100,   2, 4, 1,  0, 0,    2,  2,0,0, 0",
      "segnale,   7250, 2, 4, 0, 0, 0,     2, 1, 0, 0, 0",
      "segnale,  128100, 2, 4, 0, 0, 0,     2, 1, 0, 0, 0",
      "segnale,   30100,   1, 4, 1,  0, 0,    1,  3,1,0, 0",
  };
  for (std::string_view c : citate)
    EXPECT_EQ(std::count(riga().begin(), riga().end(), std::string(c)), 1) << c;
}

TEST(BuiltInTrainDescription, WarningCommentsBeforeDistantSignals) {
  int commenti = 0, soli = 0, coppie = 0, con_blank_finale = 0;
  const auto& r = riga();
  for (size_t i = kPrimoSegnale; i <= kUltimoSegnale; ++i) {
    if (!inizia(r[i], "-")) continue;
    SCOPED_TRACE(r[i]);
    ++commenti;
    EXPECT_TRUE(inizia(r[i], "- avviso ")) << r[i];
    // Place names of 15 to 20 characters: lines of 24 to 29.
    EXPECT_GE(r[i].size(), 24u);
    EXPECT_LE(r[i].size(), 29u);
    EXPECT_EQ(r[i].find(','), std::string::npos);
    if (r[i].back() == ' ') ++con_blank_finale;
    if (inizia(r[i - 1], "-")) continue;  // second of a pair
    size_t dopo = i + 1;
    if (inizia(r[dopo], "-")) {
      ++coppie;
      ++dopo;
    } else {
      ++soli;
    }
    ASSERT_TRUE(inizia(r[dopo], "segnale,"));
    EXPECT_EQ(campi(r[dopo])[2], "1") << "not before a distant signal: " << r[dopo];
  }
  EXPECT_EQ(commenti, 19);
  EXPECT_EQ(soli, 7);
  EXPECT_EQ(coppie, 6);
  EXPECT_EQ(con_blank_finale, 1);
  EXPECT_FALSE(inizia(r[kPrimoSegnale], "-"));
}

// ------------------------------------------------------- code abatements

TEST(BuiltInTrainDescription, CodeAbatementRows) {
  const std::pair<int, int> attese[] = {
      {7250, 270},   {8200, 270},   {9200, 270},   {10600, 270},  {11200, 270},  {12200, 270},
      {13600, 270},  {14400, 270},  {15200, 270},  {16400, 270},  {247950, 180}, {248550, 180},
      {249150, 180}, {249750, 180}, {250350, 180}, {252350, 270}, {253800, 270}, {255050, 270},
      {256400, 270}, {256950, 270}, {257450, 270},
  };
  for (size_t k = 0; k < std::size(attese); ++k) {
    EXPECT_EQ(riga()[kPrimoCodice + k], "abbattimento codice, " + std::to_string(attese[k].first) +
                                            "," + std::to_string(attese[k].second));
  }
}

// --------------------------------------------------------------- read back

TEST(BuiltInTrainDescription, ReadsBackCleanly) {
  const std::optional<RouteModel> letto = testing::leggi_descrizioni_predefinite();
  if (!letto) return;
  const RouteModel& m = *letto;

  EXPECT_EQ(m.voci[kVoceGeneraliPercorso].posizione, 12);
  EXPECT_EQ(m.voci[kVoceGeneraliPercorso].inizio, 130);
  const Voce& treno = m.voci[kVoceGeneraliTreno];
  EXPECT_EQ(treno.d2_a, 200);
  EXPECT_EQ(treno.d1_b, 7);
  EXPECT_EQ(treno.d2_b, 6);
  EXPECT_EQ(treno.d3_b, 30);

  for (size_t k = 0; k < std::size(kStazioni); ++k) {
    const Voce& v = m.voci[k + 1];
    EXPECT_EQ(v.posizione, kStazioni[k].posizione) << "slot " << k + 1;
    EXPECT_EQ(v.tipo, kStazioni[k].tipo) << "slot " << k + 1;
    EXPECT_EQ(v.nome, campi(riga()[kPrimaStazione + k])[17]);
  }
  EXPECT_EQ(m.voci[34].posizione, 0);
  EXPECT_EQ(m.voci[34].nome, "");
  EXPECT_EQ(m.voci[1].orario, 7 * 3600 + 7 * 60);
  EXPECT_EQ(m.voci[33].orario, 8 * 3600 + 56 * 60);

  std::map<int, int> eventi;
  std::map<int, int> valori_abbattimento;
  for (const Segmento& s : m.segmenti) {
    ++eventi[s.tipo];
    if (s.tipo == kAbbattimento) ++valori_abbattimento[s.valore1];
  }
  EXPECT_EQ(eventi[kSegnale], 105);
  EXPECT_EQ(eventi[kAbbattimento], 21);
  EXPECT_EQ(valori_abbattimento, (std::map<int, int>{{180, 5}, {270, 16}}));
  EXPECT_EQ(eventi[kStazione], 5);  // the stations of kinds below 25
  EXPECT_EQ(eventi[kFineRallentamento] + eventi[kInizioRallentamento], 0);

  // Speeds of 95, 110 and 200 km/h from 1000, 5850 and 16400 m; adhesion 80
  // all along.
  EXPECT_EQ(m.segmenti[19].vel_limite, 6);
  EXPECT_EQ(m.segmenti[20].vel_limite, 19);
  EXPECT_EQ(m.segmenti[117].vel_limite, 22);
  EXPECT_EQ(m.segmenti[328].vel_limite, 40);
  EXPECT_EQ(m.segmenti[m.ultimo_segmento - 3].vel_limite, 15);
  EXPECT_EQ(m.segmenti[0].aderenza_seg, 80);
  EXPECT_EQ(m.segmenti[m.ultimo_segmento - 3].aderenza_seg, 80);
}

}  // namespace

}  // namespace tratta
