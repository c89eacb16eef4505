#include "reader/memorizza_dati.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "model/catalogo_codici.h"
#include "testing/descriptions.h"

namespace tratta {

namespace {

using testing::linea;
using testing::treno;

/// Reads the two descriptions, collecting the warnings, and once more
/// without collecting them: what is read must be the same.
struct LetturaAvvertita {
  testing::Lettura lettura;
  std::vector<Avvertenza> avvertenze;

  LetturaAvvertita(const std::string& l, const std::string& t, int32_t j = 1) {
    lettura.leggi(l, t, j);
    const RouteModel senza = lettura.m;
    const Diagnosi diagnosi_senza = lettura.diagnosi;
    lettura.leggi(l, t, j, &avvertenze);
    EXPECT_EQ(lettura.m.segmenti, senza.segmenti);
    EXPECT_EQ(lettura.m.voci, senza.voci);
    EXPECT_EQ(lettura.diagnosi.codice_errore, diagnosi_senza.codice_errore);
  }

  std::string elenco() const {
    std::string out;
    for (const Avvertenza& a : avvertenze)
      out += a.file.filename().string() + ":" + std::to_string(a.riga) + ": " + a.messaggio + "\n";
    return out;
  }
};

const std::string kSegnale = "segnale, 5000, 2,4,0,0,0, 2,1,0,0,0\r\n";
/// A train description with one record and nothing to warn about.
const std::string kTreno = treno("sabbia, 10\r\n");

struct CasoAvvertenza {
  const char* nome;
  std::string linea, treno;
  /// The description and line the warning names, its key words, and how
  /// many warnings the reading gives in all.
  bool nel_treno;
  int riga;
  std::vector<std::string> parole;
  size_t quante = 1;
  int32_t j = 1;
};

// Line numbers: the line description's body starts on line 8 (header
// lines come before it, from line 7), the train description's on line 3.
const CasoAvvertenza kCasi[] = {
    {"TypoInTheTrain", linea(""), treno("segnal, 5000, 2,4,0,0,0, 2,1,0,0,0\r\nsabbia, 10\r\n"), true, 3,
     {"line skipped", "'segnal'", "did you mean \"segnale\""}},
    {"TypoInTheLine", linea("pendeza, 500, 1\r\n"), kTreno, false, 8,
     {"line skipped", "'pendeza'", "did you mean \"pendenza\""}},
    {"TypoInTheHeader", linea("", 10000, "sfondo uni, 1\r\n"), kTreno, false, 7,
     {"'sfondo uni'", "did you mean \"sfondo uno\""}},
    {"UpperCaseInTheHeader", linea("", 10000, "Progressiva chilometrica uno, 0, 0, 0\r\n"),
     kTreno, false, 7, {"'Progressiva chilometrica uno'", "lower case only"}},
    {"UpperCaseNamesTwoMileageChanges", linea("", 10000, "Progressiva uno due, 0, 0, 0\r\n"),
     kTreno, false, 7, {"\"progressiva chilometrica uno\" is read in lower case only"}},
    {"AsCloseToSeveralKeywords", linea("", 10000, "sfondo zero, 1\r\n"), kTreno, false, 7,
     {"did you mean \"sfondo uno\""}},
    {"NoKeywordNear", linea(""), treno("grande nebbia, 7\r\nsabbia, 10\r\n"), true, 3,
     {"'grande nebbia'", "no record the reader takes"}},
    {"TrainRecordInTheLine", linea(kSegnale), kTreno, false, 8,
     {"'segnale'", "a record of a train description"}},
    {"LineRecordInTheTrain", linea(""), treno("montagna, 500, 900, 2\r\nsabbia, 10\r\n"), true, 3,
     {"'montagna'", "a record of a line description"}},
    {"NoGeneraleInTheTrain", linea(""), "Treno\r\n[genrale]\r\nsabbia, 10\r\n", true, 2,
     {"no \"[generale]\" heading", "nothing of the train is read", "'[genrale]'"}},
    {"NoGeneraleAtAll", linea(""), "sabbia, 10\r\nvetture, 3\r\n", true, 1,
     {"no \"[generale]\" heading"}},
    {"NoGeneraleInTheLine", "Linea\r\n[generalle]\r\nlunghezza percorso, 10000\r\n", kTreno,
     false, 2, {"'[generalle]'", "is not the \"[generale]\" heading"}},
    {"NoRecordInTheTrain", linea(""), treno("[stazioni]\r\n- nessuna\r\n\r\n"), true, 2,
     {"no record read"}},
    {"LineGivenAsTrain", linea(""), linea("pendenza, 500, 1\r\n"), true, 5,
     {"no record read", "line 6 holds a record of a line description",
      "\"lunghezza percorso\"", "other way round"},
     3},
    {"TrainGivenAsLine", treno("sabbia, 10\r\n"), kTreno, false, 2,
     {"no record read", "line 3 holds a record of a train description", "other way round"},
     2},
    {"QuoteNeverClosed", linea("cartello_indicatore, 1000, \"(GALLERIA)\r\npendenza, 500, 1\r\n"),
     kTreno, false, 8, {"quoted text opened here is never closed"}},
    {"QuoteClosedLinesLater",
     linea("cartello_indicatore, 1000, \"(GALLERIA)\r\npendenza\", 500, 1\r\n"), kTreno,
     false, 8, {"quoted text opened here closes only on line 9"}},
    {"NulInAKeyword", linea(""), treno(std::string("sab\0bia, 10\r\nsabbia, 10\r\n", 25)), true, 3,
     {"control byte (0x00)", "did you mean \"sabbia\""}},
    {"ControlByteInAText", linea("cartello_indicatore, 1000, (GAL\x01LERIA)\r\n"), kTreno,
     false, 8, {"control byte 0x01", "'(GAL\x01LERIA)'"}},
    {"ControlByteInAKeyword", linea("pendenza\x1b, 500, 1\r\n"), kTreno, false, 8,
     {"control byte 0x1b", "the record is read"}},
    {"ThirdCommentReadAsARecord", linea(""),
     treno("- a\r\n- b\r\n- segnale soppresso, 5000, 2,4,0,0,0, 2,1,0,0,0\r\n"), true, 5,
     {"comment line '- segnale soppresso' read as a record", "too many comment lines"}},
    {"GradientsOutOfOrder", linea("pendenza, 1000, 1\r\npendenza, 500, 2\r\n"), kTreno, false,
     9, {"gradient at 500 m comes after the one at 1000 m", "runs it from 1050 m",
         "covers 1 segment"}},
    {"SpeedsOutOfOrder", linea(""), treno("velocita, 1000, 100\r\nvelocita, 0, 50\r\n"), true, 4,
     {"speed at 0 m comes after the one at 1000 m", "runs it from 1000 m", "covers 0 segment"}},
    {"CurveStartsBeforeThePlan", linea("curvad2, 500, 300\r\ncurvas3, 700, 200\r\n"), kTreno,
     false, 9, {"curve from 700 m", "current point at 800 m", "over 100 m instead of 200"}},
    {"CurveWhollyBeforeThePlan", linea("curvad2, 500, 300\r\ncurvas3, 600, 100\r\n"), kTreno,
     false, 9, {"curve from 600 m", "leaves it out"}},
    {"SignalOffTheGrid", linea(""), treno("segnale, 5020, 2,4,0,0,0, 2,1,0,0,0\r\n"), true, 3,
     {"signal at 5020 m is not a multiple of 50", "as at 5000 m"}},
    {"SignOffTheGrid", linea("cartello_indicatore, 1030, (PONTE)\r\n"), kTreno, false, 8,
     {"indication sign at 1030 m", "as at 1050 m"}},
    {"IndicatorOffTheGrid", linea("indicatori_vmax, 2010, 100,105,110,0,100,105,110,0\r\n"),
     kTreno, false, 8, {"speed indicator at 2010 m", "as at 2000 m"}},
    {"SlowdownOffTheGrid", linea(""), treno("rallentamento, 3010, 30, 500, 0, 0, 0\r\n"), true, 3,
     {"slowdown at 3010 m", "as at 3000 m"},
     2},
    // A description saved as UTF-8: the field with the first character
    // beyond ASCII, whole, as written and as stored; a long one cut some
    // characters either side of it, never inside a character.
    {"Utf8InAName", linea(""),
     treno("stazione, 4500, 2, 600, 0,1,0, 1,1,0, 4,1,1, 0, 0,0,0, STAZ. CITT\xC3\x80\r\n"), true, 3,
     {"reads as UTF-8 text", "'STAZ. CITT\xC3\x80' is stored as 'STAZ. CITT\xC3\x83\xE2\x82\xAC'"}},
    {"Utf8InALongText",
     linea("cartello_indicatore, 1000, (" + std::string(25, 'x') + "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC"
           "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC)\r\n"),
     kTreno, false, 8,
     {"'..." + std::string(20, 'x') +
      "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC...' is stored as"}},
    // A keyword that its numbers follow without a comma.
    {"KeywordFollowedByAColon", linea(""), treno("sabbia: 200\r\nvetture, 3\r\n"), true, 3,
     {"the keyword \"sabbia\" is followed by ':' and not by a comma", "'200' is read as part of"}},
    {"KeywordFollowedByABlank", linea("pendenza 500, 3\r\npendenza, 900, 1\r\n"), kTreno,
     false, 8, {"the keyword \"pendenza\" is followed by a blank and not by a comma", "'500'"}},
    {"RecordsAfterStatus15",
     linea("pendenza, 500, 1\r\nmontagna, 20000, 20500, 2\r\n- nota\r\n\r\npendenza, 900, 2\r\n"
           "pendenza, 950, 3\r\n"),
     kTreno, false, 12, {"record not read", "ended at line 9", "code 15", "the 2 line(s)"}},
    {"RecordsAfterStatus15AtALineEnd",
     linea("montagna, 20000\r\n20500, 2\r\npendenza, 900, 2\r\n"), kTreno, false, 9,
     {"record not read", "ended at line 8", "the 2 line(s)"}},
};

// The case by its name in the test's listing.
void PrintTo(const CasoAvvertenza& c, std::ostream* os) { *os << c.nome; }

class Avvertenze : public ::testing::TestWithParam<CasoAvvertenza> {};

TEST_P(Avvertenze, NameTheLineAndSayWhat) {
  const CasoAvvertenza& c = GetParam();
  LetturaAvvertita l(c.linea, c.treno, c.j);
  const auto atteso = c.nel_treno ? l.lettura.percorso_treno() : l.lettura.percorso_linea();
  EXPECT_EQ(l.avvertenze.size(), c.quante) << l.elenco();
  bool trovata = false;
  for (const Avvertenza& a : l.avvertenze) {
    if (a.file != atteso || a.riga != c.riga) continue;
    bool tutte = true;
    for (const std::string& p : c.parole) tutte = tutte && a.messaggio.find(p) != std::string::npos;
    trovata = trovata || tutte;
  }
  EXPECT_TRUE(trovata) << "expected on line " << c.riga << " of the "
                       << (c.nel_treno ? "train" : "line") << " description:\n"
                       << l.elenco();
}

INSTANTIATE_TEST_SUITE_P(Lettura, Avvertenze, ::testing::ValuesIn(kCasi),
                         [](const auto& info) { return std::string(info.param.nome); });

TEST(Avvertenze, NoneForWhatTheReaderTakesAsMeant) {
  // Comments, sections, blank lines, equal positions, a curve that starts
  // where the one before ends, every keyword in the manners the built-in
  // text writes them, and curves passed over without the plan.
  const std::string l = linea(
      "- commento\r\n[pendenze]\r\n\r\n   \r\npendenza, 500, 1\r\nPENDENZA, 500, 2\r\n"
      "curvad2, 500, 300\r\ncurvas3, 800, 100\r\nmontagna, 1000, 1200, 12\r\n"
      "indicatori_vmax, 2000, 100,105,110,0,100,105,110,0\r\n"
      "cartello indicatore, 3000, (PONTE) (X)\r\ncartello_indicatore, 3500, \"(A, B)\"\r\n",
      10000,
      "progressiva chilometrica uno, 0, 0, 0\r\nsfondo uno, 1\r\nsfondo due, 0\r\n"
      "sfondo tre, 0\r\nripetizione segnali 9 codici, 0, 0\r\n");
  const std::string t = treno(
      "numero vetture, 3\r\npercentuale massa frenata, 100\r\nsabbia, 10\r\n"
      "orologio,  7   6   30 \r\naderenza, 0, 80\r\nvelocita' limite , 0 , 30\r\n"
      "velocita, 1000, 95\r\n- a\r\n- b\r\n- c\r\n" +
      kSegnale + "rallentamento, 6000, 30, 500, 0, 0, 0\r\nabbattimento codice, 7000, 270\r\n" +
      "stazione, 1000, 26, 200, 0,0,0,0,0,0,0,0,0,0, 0,0,0, NOME\r\n");
  for (int32_t j : {1, 0}) {
    LetturaAvvertita r(l, t, j);
    EXPECT_EQ(r.lettura.codice(), 0) << j;
    EXPECT_TRUE(r.avvertenze.empty()) << j << "\n" << r.elenco();
  }
}

TEST(Avvertenze, ANoisyFileGivesAShortReport) {
  std::string rumore;
  for (int i = 0; i < 150; ++i) rumore += "x" + std::to_string(i) + "\r\n";
  LetturaAvvertita l(linea(""), treno(rumore));
  // A hundred lines named, the warning about the description as a whole
  // (no record read, on the heading's line 2), and the count of the rest.
  ASSERT_EQ(l.avvertenze.size(), 102u) << l.elenco();
  EXPECT_EQ(l.avvertenze[0].riga, 2);
  EXPECT_NE(l.avvertenze[0].messaggio.find("no record read"), std::string::npos);
  EXPECT_EQ(l.avvertenze[100].riga, 102);
  EXPECT_EQ(l.avvertenze.back().messaggio, "50 more warning(s) about this description not shown");
}

// A record that finds its segment taken names, as the diagnostic's cause,
// the event there and the record that put it there, in either description.
TEST(SegmentoOccupato, TheCauseNamesTheRecordThatTookTheSegment) {
  struct Caso {
    int32_t codice;
    std::string linea, treno;
    const char* causa;
  } casi[] = {
      {kCodiceAbbattimentoOccupato, linea("cartello indicatore, 1000, (X)\r\n"),
       treno("abbattimento codice, 1050, 270\r\n"),
       "the segment of 1050 m is taken by the indication sign written at line 8 of the line "
       "description (1000 m)"},
      // A station mark takes its segment unchecked.
      {kCodiceSegnaleOccupato, linea(""),
       treno("stazione, 4500, 2, 600, 0,0,0,0,0,0,0,0,0,0, 0,0,0, NOME\r\n"
             "segnale, 4700, 2,4,0,0,0, 2,1,0,0,0\r\n"),
       "the segment of 4750 m is taken by the mark of the station written at line 3 (4500 m)"},
      // The four segments before a slowdown's warning: the one that is taken.
      {kCodicePreavvisoOccupato, linea(""),
       treno(kSegnale + "rallentamento, 6300, 60, 500, 0, 1, 0\r\n"),
       "the segment of 5050 m is taken by the signal written at line 3 (5000 m)"},
  };
  for (const Caso& c : casi) {
    testing::Lettura l;
    l.leggi(c.linea, c.treno);
    EXPECT_EQ(l.codice(), c.codice) << c.causa;
    EXPECT_EQ(l.diagnosi.causa, c.causa);
  }
}

TEST(LetturaFallita, TheDetailSaysWhatTheDescriptionHolds) {
  const std::string nul = std::string("\0", 1);
  struct Caso {
    const char* nome;
    std::string linea, treno;
    bool nel_treno;
    int riga;
    std::string dettaglio;
  } casi[] = {
      {"empty line description", "", kTreno, false, 0, "the line description is empty"},
      {"empty train description", linea(""), "", true, 0, "the train description is empty"},
      {"NUL in the field that fails", linea("pendenza, 500, 3" + nul + nul + "\r\n"), kTreno,
       false, 8,
       "the line description holds bytes that are not text: a NUL at byte 108 (not a whole "
       "number: '3" + nul + nul + "')"},
      {"NUL on a line before", linea(""), treno("- nota" + nul + "\r\nsabbia, x\r\n"), true, 4,
       "the train description holds bytes that are not text: a NUL at byte 35 (not a whole "
       "number: 'x')"},
      // What does not explain the failure is not named.
      {"NUL on a line after", linea(""), treno("sabbia, x\r\n- nota" + nul + "\r\n"), true, 3,
       "not a whole number: 'x'"},
      {"a record cut short at the end",
       "[generale]\r\nlunghezza percorso, 10000\r\n[dati]\r\npendenza, 500", kTreno, false, 4,
       "input past end of file"},
  };
  for (const Caso& c : casi) {
    testing::Lettura l;
    l.leggi(c.linea, c.treno);
    EXPECT_EQ(l.codice(), 25) << c.nome;
    EXPECT_EQ(l.posizione(), 0) << c.nome;
    EXPECT_EQ(l.diagnosi.file, c.nel_treno ? l.percorso_treno() : l.percorso_linea()) << c.nome;
    EXPECT_EQ(l.diagnosi.riga, c.riga) << c.nome;
    EXPECT_EQ(l.diagnosi.dettaglio, c.dettaglio) << c.nome;
  }
}

}  // namespace

}  // namespace tratta
