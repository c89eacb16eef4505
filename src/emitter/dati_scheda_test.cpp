#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>
#include <vector>

#include "emitter/document_writer.h"
#include "emitter/documents.h"
#include "testing/document_text.h"

namespace tratta {

namespace {

// Lines and columns are counted from 1, as on the printed card.
constexpr int kPrimaRigaCorpo = 17;
constexpr int kRigheCorpo = 40;
constexpr int kUltimaRigaCorpo = kPrimaRigaCorpo + kRigheCorpo - 1;
const std::vector<int> kColonneTabella = {2, 8, 14, 25, 31, 60, 77, 83};

enum Cella { kLim, kMarc, kKm, kRs, kLocalita, kOrario, kRec };

std::string documento() { return componi_documento(righe_scheda()); }

using testing::colonne;

// The card split at its CR LF line ends; a tail without CR LF comes last.
std::vector<std::string> righe() { return testing::dividi(documento()); }

const std::string& riga(int n) {
  static const std::vector<std::string> tutte = righe();
  return tutte.at(n - 1);
}

// The seven cells of a table line, between its bars.
std::vector<std::string> celle(const std::string& s) { return testing::celle(s, kColonneTabella); }

std::string senza_blank_finali(std::string s) {
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

std::string nome(int riga_corpo) {
  return senza_blank_finali(celle(riga(riga_corpo))[kLocalita].substr(1));
}

bool vuota(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

int minuti(const std::string& cella_orario) {
  const size_t punto = cella_orario.find('.');
  return std::stoi(cella_orario.substr(0, punto)) * 60 + std::stoi(cella_orario.substr(punto + 1));
}

}  // namespace

TEST(SchedaTreno, FiftyNineLinesEndedByCrLf) {
  const std::string b = documento();
  ASSERT_GE(b.size(), 2u);
  EXPECT_EQ(b.substr(b.size() - 2), "\r\n");
  const std::vector<std::string> tutte = righe();
  EXPECT_EQ(tutte.size(), 59u);
  for (const std::string& r : tutte) EXPECT_EQ(r.find_first_of("\r\n"), std::string::npos) << r;
}

TEST(SchedaTreno, OnlyTheDegreeSignOfTheOrdinalsLeavesAscii) {
  const std::string b = documento();
  int gradi = 0;
  for (size_t i = 0; i < b.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(b[i]);
    if (c == '\r' || c == '\n' || (c >= 0x20 && c < 0x7F)) continue;
    ASSERT_EQ(c, 0xB0) << "byte " << i;
    // The degree sign only ever writes an ordinal: "1° ".
    ASSERT_TRUE(i > 0 && i + 1 < b.size());
    EXPECT_EQ(b[i - 1], '1');
    EXPECT_EQ(b[i + 1], ' ');
    ++gradi;
  }
  EXPECT_GT(gradi, 0);
  EXPECT_EQ(b.find('"'), std::string::npos);
}

TEST(SchedaTreno, EmptyAndBlankLinesAroundTheBlocks) {
  const struct {
    int riga;
    const char* testo;
  } casi[] = {{1, ""}, {2, " "}, {12, ""}, {58, ""}, {59, ""}};
  for (const auto& c : casi) EXPECT_EQ(riga(c.riga), c.testo) << "line " << c.riga;
}

TEST(SchedaTreno, BoxesStandInTheirColumns) {
  const struct {
    int riga;
    size_t lunghezza;
    std::vector<int> barre;
    std::vector<int> underscore_da_a;  // pairs of first and last column
  } casi[] = {
      {3, 83, {}, {3, 21, 70, 83}},
      {4, 84, {2, 22, 69, 84}, {}},
      {5, 84, {2, 22, 69, 84}, {}},
      {6, 84, {2, 22, 69, 84}, {3, 21}},
      {7, 84, {69, 84}, {70, 83}},
      {8, 57, {}, {3, 21, 38, 56}},
      {9, 64, {2, 22, 37, 57}, {}},
      {10, 57, {2, 22, 37, 57}, {}},
      {11, 59, {2, 22, 37, 57}, {3, 21, 38, 56}},
  };
  for (const auto& c : casi) {
    const std::string& r = riga(c.riga);
    EXPECT_EQ(r.size(), c.lunghezza) << "line " << c.riga;
    EXPECT_EQ(colonne(r, '|'), c.barre) << "line " << c.riga;
    std::vector<int> attese;
    for (size_t i = 0; i < c.underscore_da_a.size(); i += 2)
      for (int col = c.underscore_da_a[i]; col <= c.underscore_da_a[i + 1]; ++col)
        attese.push_back(col);
    EXPECT_EQ(colonne(r, '_'), attese) << "line " << c.riga;
  }
}

TEST(SchedaTreno, TitleNamesTheEndStationsOfTheTimetable) {
  const struct {
    int riga;
    const char* etichetta;
    int riga_corpo;
  } casi[] = {{5, "da: ", kPrimaRigaCorpo}, {6, " a: ", kUltimaRigaCorpo}};
  for (const auto& c : casi) {
    const std::string& r = riga(c.riga);
    // The colons of "da:" and "a:" stand one above the other, in column 41.
    EXPECT_EQ(r.substr(38, 4), c.etichetta) << "line " << c.riga;
    EXPECT_EQ(senza_blank_finali(r.substr(42, 68 - 42)), nome(c.riga_corpo)) << "line " << c.riga;
  }
}

TEST(SchedaTreno, TableLinesShareTheEightBarColumns) {
  EXPECT_EQ(riga(13), "  " + std::string(80, '_'));
  for (int n = 14; n <= kUltimaRigaCorpo + 1; ++n) {
    const std::string& r = riga(n);
    EXPECT_EQ(colonne(r, '|'), kColonneTabella) << "line " << n;
    // Only the bridge row carries two blanks past its last bar.
    const bool ponte = n >= kPrimaRigaCorpo && n <= kUltimaRigaCorpo &&
                       nome(n).starts_with("Ponte fiume ");
    EXPECT_EQ(r.size(), ponte ? 85u : 83u) << "line " << n;
    if (ponte) {
      EXPECT_EQ(r.substr(83), "  ");
    }
  }
}

TEST(SchedaTreno, RulesUnderTheHeadingAndUnderTheLastRow) {
  for (int n : {16, kUltimaRigaCorpo + 1})
    for (const std::string& c : celle(riga(n)))
      EXPECT_EQ(c, std::string(c.size(), '_')) << "line " << n;
}

TEST(SchedaTreno, EveryBodyCellHasItsForm) {
  const std::regex velocita(R"( {5}| {1,2}[1-9]\d{1,2} )");
  const std::regex km(R"( *\d{1,3}\.\d{3}[ /])");
  const std::regex rec(R"( {5}| \d\.\d )");
  const std::regex orario_centrato(R"( {6}\d\.\d\d {6}| {8}- {7})");
  for (int n = kPrimaRigaCorpo; n <= kUltimaRigaCorpo; ++n) {
    const std::vector<std::string> c = celle(riga(n));
    SCOPED_TRACE("line " + std::to_string(n));
    EXPECT_TRUE(std::regex_match(c[kLim], velocita)) << c[kLim];
    EXPECT_TRUE(std::regex_match(c[kMarc], velocita)) << c[kMarc];
    EXPECT_EQ(c[kRs], "     ");
    EXPECT_TRUE(std::regex_match(c[kRec], rec)) << c[kRec];
    EXPECT_EQ(c[kLocalita][0], ' ');
    if (n == kPrimaRigaCorpo) {
      // The origin: kilometre "0" in the units place, departure right-aligned.
      EXPECT_EQ(c[kKm], "    0     ");
      EXPECT_TRUE(std::regex_match(c[kOrario], std::regex(R"( {11}\d\.\d\d )"))) << c[kOrario];
    } else if (n == kUltimaRigaCorpo) {
      // The destination: arrival left-aligned.
      EXPECT_TRUE(std::regex_match(c[kKm], km)) << c[kKm];
      EXPECT_TRUE(std::regex_match(c[kOrario], std::regex(R"( \d\.\d\d {11})"))) << c[kOrario];
    } else if (c[kKm].ends_with("/")) {
      // The kilometre change: the new kilometre alone on the next row.
      const std::vector<std::string> dopo = celle(riga(n + 1));
      EXPECT_TRUE(std::regex_match(c[kKm], km)) << c[kKm];
      EXPECT_TRUE(std::regex_match(dopo[kKm], km)) << dopo[kKm];
      EXPECT_FALSE(dopo[kKm].ends_with("/"));
      for (Cella altra : {kLim, kMarc, kRs, kLocalita, kOrario, kRec})
        EXPECT_TRUE(vuota(dopo[altra])) << "cell " << altra << " of line " << n + 1;
      ++n;
    } else {
      EXPECT_TRUE(std::regex_match(c[kKm], km)) << c[kKm];
      EXPECT_FALSE(c[kKm].ends_with("/"));
      EXPECT_TRUE(std::regex_match(c[kOrario], orario_centrato)) << c[kOrario];
      EXPECT_NE(c[kLocalita][1], ' ') << "a service point without a name";
    }
  }
}

TEST(SchedaTreno, OneKilometreChangeFromTheOldToTheNewMileage) {
  int cambi = 0;
  for (int n = kPrimaRigaCorpo; n <= kUltimaRigaCorpo; ++n) {
    const std::string km = celle(riga(n))[kKm];
    if (!km.ends_with("/")) continue;
    ++cambi;
    // The new numbering runs on from its own start, ahead of the old one.
    EXPECT_LT(std::stod(km), std::stod(celle(riga(n + 1))[kKm])) << "line " << n;
  }
  EXPECT_EQ(cambi, 1);
}

TEST(SchedaTreno, TimesRiseFromDepartureToArrival) {
  // The points without a time of their own show "-": they are not stops or
  // junctions, and their names say so.
  const std::vector<std::string> senza_orario = {"Deviatoio ", "Cippo Km ", "Ponte fiume ",
                                                 "Cavalcavia "};
  std::vector<int> orari;
  for (int n = kPrimaRigaCorpo; n <= kUltimaRigaCorpo; ++n) {
    const std::vector<std::string> c = celle(riga(n));
    if (vuota(c[kLocalita])) continue;  // second row of the kilometre change
    const std::string luogo = nome(n);
    bool senza = false;
    for (const std::string& p : senza_orario) senza = senza || luogo.starts_with(p);
    EXPECT_EQ(c[kOrario].find('-') != std::string::npos, senza) << luogo;
    if (!senza) orari.push_back(minuti(c[kOrario]));
  }
  ASSERT_FALSE(orari.empty());
  for (size_t i = 1; i < orari.size(); ++i) EXPECT_LT(orari[i - 1], orari[i]) << "time " << i;
  // The train description's timetable: away at 7.07, in at 8.56.
  EXPECT_EQ(orari.front(), 7 * 60 + 7);
  EXPECT_EQ(orari.back(), 8 * 60 + 56);
}

TEST(SchedaTreno, KilometrePostsStandAtTheirOwnKilometre) {
  int cippi = 0;
  for (int n = kPrimaRigaCorpo; n <= kUltimaRigaCorpo; ++n) {
    const std::string luogo = nome(n);
    if (!luogo.starts_with("Cippo Km ")) continue;
    ++cippi;
    const std::string km = celle(riga(n))[kKm];
    EXPECT_EQ(luogo.substr(9), senza_blank_finali(km.substr(km.find_first_not_of(' '))))
        << "line " << n;
  }
  EXPECT_EQ(cippi, 2);
}

TEST(SchedaTreno, ScheduledSpeedNeverAboveTheLimitInForce) {
  int limite = 0;
  for (int n = kPrimaRigaCorpo; n <= kUltimaRigaCorpo; ++n) {
    const std::vector<std::string> c = celle(riga(n));
    if (!vuota(c[kLim])) limite = std::stoi(c[kLim]);
    if (!vuota(c[kMarc])) {
      EXPECT_LE(std::stoi(c[kMarc]), limite) << "line " << n;
    }
  }
}

TEST(SchedaTreno, RecoveryMarginsByValue) {
  std::map<std::string, int> conteggio;
  for (int n = kPrimaRigaCorpo; n <= kUltimaRigaCorpo; ++n) ++conteggio[celle(riga(n))[kRec]];
  const std::map<std::string, int> atteso = {
      {"     ", 21}, {" 0.5 ", 16}, {" 1.0 ", 2}, {" 2.0 ", 1}};
  EXPECT_EQ(conteggio, atteso);
  EXPECT_EQ(celle(riga(kUltimaRigaCorpo))[kRec], " 2.0 ");
}

}  // namespace tratta
