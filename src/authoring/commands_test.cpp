#include "authoring/commands.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "authoring/display_text.h"
#include "authoring/version.h"
#include "emitter/documents.h"
#include "model/catalogo_codici.h"
#include "model/file_names.h"
#include "platform/platform.h"
#include "testing/descriptions.h"
#include "testing/faulty_disk.h"
#include "testing/program_copy.h"
#include "testing/program_process.h"
#include "testing/scratch_dir.h"
#include "testing/subcommand.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#endif

namespace tratta {

using testing::linea;
using testing::treno;

namespace {

using testing::esegui;
using testing::Esecuzione;

/// A folder with a line and a train description to compile.
struct Cartella {
  testing::ScratchDir dir;
  std::string linea_path() const { return (dir / "linea.txt").string(); }
  std::string treno_path() const { return (dir / "treno.txt").string(); }

  Esecuzione compila(const std::string& l, const std::string& t,
                     std::vector<std::string> extra = {}) {
    testing::write_bytes(linea_path(), l);
    testing::write_bytes(treno_path(), t);
    std::vector<std::string> a = {"compile", linea_path(), treno_path(), "--out",
                                  dir.path().string()};
    a.insert(a.end(), extra.begin(), extra.end());
    return esegui(a);
  }

  bool esiste(const std::string& nome) const { return std::filesystem::exists(dir / nome); }
};

std::string stazione(int32_t pos, int tipo, int32_t lung) {
  return "stazione, " + std::to_string(pos) + ", " + std::to_string(tipo) + ", " +
         std::to_string(lung) + ", 0,0,0,0,0,0,0,0,0,0, 0,0,0, NOME\r\n";
}

/// `err` without the lines of warnings.
std::string senza_avvertenze(const std::string& err) {
  std::istringstream in(err);
  std::string riga, out;
  while (std::getline(in, riga))
    if (riga.find(": warning: ") == std::string::npos) out += riga + "\n";
  return out;
}

const std::string kRigaSegnale = "segnale, 5000, 2,4,0,0,0, 2,1,0,0,0\r\n";

}  // namespace

TEST(Compile, EmittedDescriptionsGiveTheOneShotFiles) {
  testing::ScratchDir dir;
  ASSERT_EQ(esegui({"emit", dir.path().string()}).stato, kUscitaOk);
  const NomiScenario nomi = nomi_predefiniti();
  const auto linea_path = dir / nome_descrizione_linea(nomi);
  const auto treno_path = dir / nome_descrizione_treno(nomi);
  const std::string linea_prima = testing::read_bytes(linea_path);
  const std::string treno_prima = testing::read_bytes(treno_path);
  EXPECT_EQ(linea_prima, componi_documento(righe_linea()));

  testing::ScratchDir out;
  Esecuzione e = esegui({"compile", linea_path.string(), treno_path.string(), "--out",
                         out.path().string(), "--json"});
  EXPECT_EQ(e.stato, kUscitaOk) << e.err;
  EXPECT_EQ(e.out,
            "{\"codice_errore\": 0, \"posizione_errore\": 0, \"file\": null, \"line\": null, "
            "\"message\": \"no problem found\", \"mend\": null, \"fatal\": null, \"files\": "
            "[\"Tratta_Valle3_linea.dat\", \"Tratta_Valle3_30.sim\", \"Tratta_Valle3_30.dat\"], "
            "\"kept\": [], \"kept_because\": null, \"warnings\": [], \"exit_status\": 0, "
            "\"error\": null}\n");
  // The descriptions are only read.
  EXPECT_EQ(testing::read_bytes(linea_path), linea_prima);
  EXPECT_EQ(testing::read_bytes(treno_path), treno_prima);

#ifndef _WIN32
  // The same bytes as the one-shot run of the program.
  testing::CartellaProgramma programma;
  ASSERT_EQ(programma.esegui(), 0);
  for (const char* nome : {"Tratta_Valle3_linea.dat", "Tratta_Valle3_30.sim", "Tratta_Valle3_30.dat"})
    EXPECT_EQ(testing::read_bytes(out / nome), programma.leggi(nome)) << nome;
#endif
}

TEST(Compile, EveryDiagnosticNamesItsRecord) {
  std::string trenta_cartelli, stazioni;
  for (int i = 0; i < 30; ++i)
    trenta_cartelli += "cartello indicatore, " + std::to_string(1000 + 100 * i) + ", (S)\r\n";
  for (int i = 0; i < 49; ++i) stazioni += stazione(1000 + 1000 * i, 26, 200);
  const std::string avviso_rall = "rallentamento, 6650, 60, 500, 0, 0, 0\r\n";

  struct Case {
    int codice;
    std::string linea, treno;
    int32_t posizione;
    const char* file;  // "linea", "treno" or "" for the finishing pass
    int riga;
    const char* causa = nullptr;  // what the message names as the cause
  } cases[] = {
      {1, linea("", 1000001), treno(""), 0, "linea", 6},
      {2, linea("", 10000, "progressiva chilometrica uno, 5000, 1025, 0\r\n"), treno(""), 0,
       "linea", 0},
      {3, linea("", 10000, "ripetizione segnali 9, 6810, 9000\r\n"), treno(""), 0, "linea", 7},
      {4, linea("", 10000, "ripetizione segnali 9, 6800, 9001\r\n"), treno(""), 0, "linea", 7},
      {5, linea("", 10000, "ripetizione segnali, 6800, 9000\r\n"), treno(""), 0, "linea", 7},
      {6, linea("indicatori_vmax, 1000, 1,1,1,0,1,1,1,0\r\ncartello indicatore, 1000, (X)\r\n"),
       treno(""), 1000, "linea", 9,
       "the segment of 1050 m is taken by the speed indicator written at line 8 (1000 m)"},
      {7, linea(""), treno(kRigaSegnale + "abbattimento codice, 5050,270\r\n"), 5050, "treno", 4,
       "the segment of 5050 m is taken by the signal written at line 3 (5000 m)"},
      // What took the segment stands in the other description.
      {7, linea("cartello indicatore, 1000, (X)\r\n"), treno("abbattimento codice, 1050,270\r\n"),
       1050, "treno", 3,
       "the segment of 1050 m is taken by the indication sign written at line 8 of the line "
       "description (1000 m)"},
      // A colon typed for the comma after the keyword: the fields are read
      // one place off, and the message says so.
      {8, linea(""), treno("Stazione:   4500, 2, 600, 0,0,0,0,0,0,0,0,0,0, 0,0,0, NOME\r\n"), 2,
       "treno", 3,
       "the keyword \"stazione\" is followed by ':' and not by a comma: '4500' is read as part "
       "of the keyword, and the record's fields one place off"},
      {8, linea(""), treno(stazione(1025, 2, 600)), 1025, "treno", 3},
      {9, linea(""), treno(stazione(1000, 2, 650)), 1000, "treno", 3},
      {10, linea(trenta_cartelli, 100000), treno(stazioni), 0, "treno", 51},
      {11, linea(""),
       treno(avviso_rall + "segnale, 5000, 2,4,0,0,0, 2,1,0,0,0\r\n"
                           "segnale, 4950, 2,4,0,0,0, 2,1,0,0,0\r\n"
                           "segnale, 4900, 2,4,0,0,0, 2,1,0,0,0\r\n"),
       5050, "", 0},
      {12, linea(""),
       treno(avviso_rall + "segnale, 6400, 2,4,0,0,0, 2,1,0,0,0\r\n"
                           "segnale, 6350, 2,4,0,0,0, 2,1,0,0,0\r\n"
                           "segnale, 6300, 2,4,0,0,0, 2,1,0,0,0\r\n"),
       6700, "", 0},
      {13, linea(""),
       treno(avviso_rall + "segnale, 7000, 2,4,0,0,0, 2,1,0,0,0\r\n"
                           "segnale, 7050, 2,4,0,0,0, 2,1,0,0,0\r\n"
                           "segnale, 7100, 2,4,0,0,0, 2,1,0,0,0\r\n"),
       7100, "", 0},
      {15, linea("pendenza, 16901, 3\r\n"), treno(""), 16901, "linea", 8},
      {16, linea(""), treno(kRigaSegnale + kRigaSegnale), 5000, "treno", 4,
       "the segment of 5050 m is taken by the signal written at line 3 (5000 m)"},
      {17, linea(""), treno(kRigaSegnale + "rallentamento, 6200, 60, 500, 0, 0, 0\r\n"), 6200,
       "treno", 4, "the segment of 5050 m is taken by the signal written at line 3 (5000 m)"},
      {18, linea(""), treno(kRigaSegnale + "rallentamento, 5000, 60, 500, 0, 0, 0\r\n"), 5000,
       "treno", 4, "the segment of 5050 m is taken by the signal written at line 3 (5000 m)"},
      {19, linea(""), treno(kRigaSegnale + "rallentamento, 4500, 60, 500, 0, 0, 0\r\n"), 4500,
       "treno", 4, "the segment of 5050 m is taken by the signal written at line 3 (5000 m)"},
      {20, linea(""), treno(kRigaSegnale + "rallentamento, 6250, 60, 500, 0, 1, 0\r\n"), 6250,
       "treno", 4, "the segment of 5050 m is taken by the signal written at line 3 (5000 m)"},
      // A signal placed over the start mark of a slowdown written before it.
      {16, linea(""), treno("rallentamento, 5000, 60, 500, 0, 0, 0\r\n" + kRigaSegnale), 5000,
       "treno", 4,
       "the segment of 5050 m is taken by the start mark of the slowdown written at line 3 "
       "(5000 m)"},
      {21, linea("cartello indicatore, 1000, (X)\r\nindicatori_vmax, 1000, 1,1,1,0,1,1,1,0\r\n"),
       treno(""), 1000, "linea", 9,
       "the segment of 1050 m is taken by the indication sign written at line 8 (1000 m)"},
      {22, linea(""), treno(stazione(1000, 2, 400) + stazione(1500, 26, 200)), 1500, "treno", 4},
      {24, linea(""), treno(stazione(0, 2, 200)), 0, "treno", 3},
      {25, linea("pendenza, 500, abc\r\n"), treno(""), 0, "linea", 8},
      {25, linea(""), treno("velocita, 0, 1278\r\nvelocita, 100, 50\r\n"), 0, "treno", 4},
      {102, "nothing to see\r\n here\r\n", treno(""), 0, "linea", 2},
      {103, linea("curva, 500, 100\r\n"), treno(""), 0, "linea", 8},
      {103, linea("curvad2, 999000, 5000\r\n", 1000000), treno(""), 0, "linea", 8},
  };
  // Every code of the catalogue has its case here; a missing line
  // description (101) is bad use for compile.
  std::set<int> provati = {kCodiceNessuno, kCodiceLineaMancante};
  for (const Case& c : cases) provati.insert(c.codice);
  for (const Codice& c : kCatalogoCodici) EXPECT_TRUE(provati.count(c.numero)) << c.numero;
  for (const Case& c : cases) {
    Cartella d;
    Esecuzione e = d.compila(c.linea, c.treno, {"--json"});
    const std::string nome = "code " + std::to_string(c.codice);
    EXPECT_EQ(e.stato, kUscitaDiagnosi) << nome << "\n" << e.err;
    EXPECT_NE(e.out.find("\"codice_errore\": " + std::to_string(c.codice) + ","),
              std::string::npos)
        << nome << "\n" << e.out;
    EXPECT_NE(e.out.find("\"posizione_errore\": " + std::to_string(c.posizione) + ","),
              std::string::npos)
        << nome << "\n" << e.out;
    std::string prefisso;
    if (*c.file) {
      prefisso = std::string(*c.file == 'l' ? d.linea_path() : d.treno_path());
      if (c.riga) prefisso += ":" + std::to_string(c.riga);
      prefisso += ": ";
    }
    // After the reading's warnings, the diagnostic, then what became of
    // the files: none written, the folder held none (a route without
    // segments says so in its message).
    const std::string righe = senza_avvertenze(e.err);
    const std::string diagnosi = righe.substr(0, righe.find('\n') + 1);
    EXPECT_EQ(diagnosi.rfind(prefisso + "code " + std::to_string(c.codice) + ": ", 0), 0u)
        << nome << "\n" << e.err;
    const bool senza_segmenti = diagnosi.find("no segment to stamp") != std::string::npos;
    EXPECT_EQ(righe.substr(diagnosi.size()),
              senza_segmenti ? ""
                             : "tratta_valle3: no file written: the compile stopped at a "
                               "diagnostic; --partial writes the files as far as the "
                               "descriptions were read\n")
        << nome << "\n" << e.err;
    // The codes that name a place on the route say it after what is wrong,
    // then the cause when the reader knows it, and every one ends with how
    // to mend it, as the catalogue has it.
    const Codice& codice = *trova_codice(c.codice);
    const std::string dove = " (at " + std::to_string(c.posizione) + " m)";
    const std::string testo = std::string(codice.frase) +
                              (codice.con_posizione ? dove : std::string()) +
                              (c.causa ? ": " + std::string(c.causa) : std::string());
    EXPECT_NE(diagnosi.find(": " + testo), std::string::npos) << nome << "\n" << diagnosi;
    EXPECT_TRUE(diagnosi.ends_with(". " + std::string(codice.rimedio) + "\n"))
        << nome << "\n" << diagnosi;
    EXPECT_NE(e.out.find("\"mend\": " + json_stringa(codice.rimedio) + ", "), std::string::npos)
        << nome << "\n" << e.out;
    // In the JSON the message names the cause, the mend has a key of its own.
    if (c.causa) {
      EXPECT_NE(e.out.find("\"message\": " +
                           json_stringa(std::string(codice.frase) + ": " + c.causa) +
                           ", \"mend\": "),
                std::string::npos)
          << nome << "\n" << e.out;
    }
  }
}

TEST(Compile, TakenStampsStopWithoutWritingFiles) {
  struct Case {
    int numero;
    std::string linea, treno;
  } cases[] = {
      {1250, linea("cartello indicatore, 0, (X)\r\n"), treno("sabbia, 10\r\n")},
      {1251, linea(""), treno("segnale, 0, 0,0,1,0,0, 0,0,1,0,0\r\n")},
  };
  for (const Case& c : cases) {
    Cartella d;
    testing::write_bytes(d.dir / "Tratta_Valle3_30.dat", "older route");
    Esecuzione e = d.compila(c.linea, c.treno);
    EXPECT_EQ(e.stato, kUscitaErroreFatale);
    // The message of the one-shot run, then what is wrong and how to mend
    // it, and the file of before that stays.
    const Codice* fatale = trova_errore_fatale(c.numero);
    ASSERT_NE(fatale, nullptr);
    EXPECT_EQ(e.err, " Errore n. " + std::to_string(c.numero) + "\ntratta_valle3: " +
                         std::string(fatale->frase) + ". " + std::string(fatale->rimedio) +
                         "\ntratta_valle3: kept from before: 'Tratta_Valle3_30.dat' (a stamp "
                         "field was already taken)\n");
    EXPECT_FALSE(d.esiste("Tratta_Valle3_30.sim"));
    EXPECT_FALSE(d.esiste("Tratta_Valle3_linea.dat"));
    EXPECT_EQ(testing::read_bytes(d.dir / "Tratta_Valle3_30.dat"), "older route");
  }
}

TEST(Compile, WarningsChangeNoFileAndFailOnlyUnderStrict) {
  const NomiScenario nomi = nomi_predefiniti();
  testing::ScratchDir emessi;
  ASSERT_EQ(esegui({"emit", emessi.path().string()}).stato, kUscitaOk);
  const std::string linea_predefinita = testing::read_bytes(emessi / nome_descrizione_linea(nomi));
  const std::string treno_predefinito = testing::read_bytes(emessi / nome_descrizione_treno(nomi));
  const std::string treno_minimo = treno("sabbia, 10\r\n");
  // The same content with and without what draws the warnings, where the
  // reader reads the same either way.
  struct Caso {
    const char* nome;
    std::string linea, treno, linea_avvertita, treno_avvertito;
    size_t avvertenze;
  } casi[] = {
      {"a typo in the line", linea("pendenza, 500, 1\r\n"), treno_minimo,
       linea("pendenza, 500, 1\r\npendeza, 900, 2\r\n"), treno_minimo, 1},
      {"a NUL in the train", linea(""), treno_minimo, linea(""),
       treno(std::string("sabbia, 10\r\nsab\0bia, 20\r\n", 26)), 1},
      // 300 outside the adhesion's range keeps its low 8 bits, 44.
      {"a value outside its range", linea(""), treno("aderenza, 0, 44\r\n"), linea(""),
       treno("aderenza, 0, 300\r\n"), 1},
      {"the built-in descriptions", linea_predefinita, treno_predefinito,
       linea_predefinita + "curvx2, 500, 300\r\n",
       treno_predefinito + kRigaSegnale.substr(0, 6) + kRigaSegnale.substr(7) + "\"nota\r\n", 3},
  };
  for (const Caso& c : casi) {
    for (const char* piano : {"", "--no-plan"}) {
      auto opzioni = [&](std::vector<std::string> o) {
        if (*piano) o.push_back(piano);
        return o;
      };
      const std::string nome = std::string(c.nome) + " " + piano;
      Cartella pulita, avvertita, rigorosa;
      Esecuzione e = pulita.compila(c.linea, c.treno, opzioni({"--strict", "--json"}));
      EXPECT_EQ(e.stato, kUscitaOk) << nome << "\n" << e.err;
      EXPECT_EQ(e.err, "") << nome;
      EXPECT_NE(e.out.find("\"warnings\": [], "), std::string::npos) << nome;

      Esecuzione a = avvertita.compila(c.linea_avvertita, c.treno_avvertito, opzioni({}));
      EXPECT_EQ(a.stato, kUscitaOk) << nome;
      EXPECT_EQ(std::count(a.err.begin(), a.err.end(), '\n'), c.avvertenze)
          << nome << "\n" << a.err;
      Esecuzione r = rigorosa.compila(c.linea_avvertita, c.treno_avvertito,
                                      opzioni({"--strict", "--json"}));
      EXPECT_EQ(r.stato, kUscitaAvvertenze) << nome;
      // The same warnings, in the folders of each.
      auto senza_cartella = [](std::string err, const Cartella& c) {
        const std::string p = c.dir.path().string();
        for (size_t i; (i = err.find(p)) != std::string::npos;) err.erase(i, p.size());
        return err;
      };
      EXPECT_EQ(senza_cartella(r.err, rigorosa), senza_cartella(a.err, avvertita)) << nome;
      EXPECT_NE(r.out.find("\"exit_status\": 5, "), std::string::npos) << nome;

      for (const std::string& f : {nome_file_linea(nomi), nome_file_treno(nomi),
                                   nome_file_percorso(nomi)}) {
        EXPECT_EQ(pulita.esiste(f), avvertita.esiste(f)) << nome << f;
        if (!pulita.esiste(f)) continue;
        const std::string attesi = testing::read_bytes(pulita.dir / f);
        EXPECT_EQ(testing::read_bytes(avvertita.dir / f), attesi) << nome << f;
        EXPECT_EQ(testing::read_bytes(rigorosa.dir / f), attesi) << nome << f;
      }
    }
  }
}

TEST(Compile, WarningsOnStderrAndInJson) {
  Cartella d;
  Esecuzione e = d.compila(linea("pendeza, 500, 1\r\n"), treno("sabbia, 10\r\n"), {"--json"});
  EXPECT_EQ(e.stato, kUscitaOk);
  EXPECT_EQ(e.err, d.linea_path() +
                       ":8: warning: line skipped: 'pendeza' is no record the reader takes (did "
                       "you mean \"pendenza\"?)\n");
  EXPECT_NE(e.out.find("\"warnings\": [{\"file\": " + json_stringa(d.linea_path()) +
                       ", \"line\": 8, \"message\": \"line skipped: 'pendeza' is no record the "
                       "reader takes (did you mean \\\"pendenza\\\"?)\"}], \"exit_status\": 0, "),
            std::string::npos)
      << e.out;
  // --help names the option and its status.
  const std::string aiuto = esegui({"--help"}).out;
  EXPECT_NE(aiuto.find("--strict"), std::string::npos);
  EXPECT_NE(aiuto.find("  5  compile --strict"), std::string::npos);
}

TEST(Compile, NamesOptionsAndNoPlan) {
  Cartella d;
  Esecuzione e = d.compila(linea(""), treno(""),
                           {"--scenario", "Prova", "--train-number", "7", "--no-plan"});
  EXPECT_EQ(e.stato, kUscitaOk) << e.err;
  EXPECT_TRUE(d.esiste("Prova_7.sim"));
  EXPECT_TRUE(d.esiste("Prova_7.dat"));
  EXPECT_FALSE(d.esiste("Prova_linea.dat"));
  const std::string sim = testing::read_bytes(d.dir / "Prova_7.sim");
  EXPECT_NE(sim.find("Prova"), std::string::npos);
  EXPECT_EQ(e.err.find("kept from before"), std::string::npos) << e.err;

  // Over an older set the line file of before stays, and the report says
  // so: it may be the plan of another route.
  testing::write_bytes(d.dir / "Prova_linea.dat", "older plan");
  e = d.compila(linea(""), treno(""),
                {"--scenario", "Prova", "--train-number", "7", "--no-plan", "--json"});
  EXPECT_EQ(e.stato, kUscitaOk) << e.err;
  EXPECT_EQ(testing::read_bytes(d.dir / "Prova_linea.dat"), "older plan");
  EXPECT_NE(e.out.find("\"files\": [\"Prova_7.sim\", \"Prova_7.dat\"], \"kept\": "
                       "[\"Prova_linea.dat\"]"),
            std::string::npos)
      << e.out;
  EXPECT_NE(e.err.find("tratta_valle3: kept from before: 'Prova_linea.dat' (without a plan no "
                       "line file is written)\n"),
            std::string::npos)
      << e.err;
}

// A description saved as UTF-8 compiles as its bytes say, with a warning
// that shows what the simulator's file will hold; --encoding utf-8 converts
// it, and a character that Windows-1252 lacks is a diagnostic at its line.
TEST(Compile, DescriptionsSavedAsUtf8) {
  const std::string citta = "STAZ. CITT\xC3\x80";  // "À" in UTF-8
  auto treno_con = [&](const std::string& nome) {
    return treno("stazione, 4500, 2, 600, 0,1,0, 1,1,0, 4,1,1, 0, 0,0,0, " + nome + "\r\n");
  };
  Cartella d;
  Esecuzione e = d.compila(linea(""), treno_con(citta));
  EXPECT_EQ(e.stato, kUscitaOk) << e.err;
  // The field that differs, whole, as written and as stored.
  EXPECT_NE(e.err.find("treno.txt:3: warning: this description reads as UTF-8 text, but "
                       "descriptions are Windows-1252: 'STAZ. CITT\xC3\x80' is stored as 'STAZ. "
                       "CITT\xC3\x83\xE2\x82\xAC' (save it as Windows-1252, or give compile "
                       "--encoding utf-8)\n"),
            std::string::npos)
      << e.err;
  EXPECT_NE(testing::read_bytes(d.dir / "Tratta_Valle3_30.sim").find(citta), std::string::npos);

  e = d.compila(linea(""), treno_con(citta), {"--encoding", "UTF-8"});
  EXPECT_EQ(e.stato, kUscitaOk) << e.err;
  EXPECT_EQ(e.err.find("UTF-8"), std::string::npos) << e.err;
  const std::string sim = testing::read_bytes(d.dir / "Tratta_Valle3_30.sim");
  EXPECT_NE(sim.find("STAZ. CITT\xC0"), std::string::npos);
  EXPECT_EQ(sim.find(citta), std::string::npos);

  e = d.compila(linea(""), treno_con("STAZ. \xCE\xA9MEGA"), {"--encoding", "utf-8"});
  EXPECT_EQ(e.stato, kUscitaDiagnosi) << e.err;
  EXPECT_NE(e.err.find("treno.txt:3: code 25: the description could not be read: '\xCE\xA9' has "
                       "no Windows-1252 form (--encoding utf-8)."),
            std::string::npos)
      << e.err;
  // A description saved as Windows-1252 and given --encoding utf-8: its
  // "À" is one byte that is no UTF-8.
  e = d.compila(linea(""), treno_con("STAZ. CITT\xC0"), {"--encoding", "utf-8"});
  EXPECT_EQ(e.stato, kUscitaDiagnosi) << e.err;
  EXPECT_NE(e.err.find("treno.txt:3: code 25: the description could not be read: the byte 0xc0 "
                       "is not UTF-8 (--encoding utf-8): if the description is saved as "
                       "Windows-1252, leave --encoding out."),
            std::string::npos)
      << e.err;
  e = d.compila(linea(""), treno(""), {"--encoding", "latin-9"});
  EXPECT_EQ(e.stato, kUscitaUsoErrato);
  EXPECT_NE(e.err.find("--encoding takes utf-8 or windows-1252, not 'latin-9'"), std::string::npos);
}

// Help where users look for it: each subcommand's own with --help or -h,
// and a mistyped subcommand named with the closest one.
TEST(Commands, SubcommandHelpAndMistypedNames) {
  for (const char* comando : {"emit", "compile", "watch", "inspect", "view", "lsp"}) {
    for (const char* chiede : {"--help", "-h"}) {
      const Esecuzione e = esegui({comando, chiede});
      EXPECT_EQ(e.stato, kUscitaOk) << comando << " " << chiede << ": " << e.err;
      EXPECT_EQ(e.out.rfind("usage:\n  tratta_valle3 " + std::string(comando), 0), 0u) << e.out;
      EXPECT_NE(e.out.find("exit status:"), std::string::npos) << comando;
      EXPECT_EQ(e.out.find("tratta_valle3 emit") != std::string::npos, std::string(comando) == "emit")
          << comando << ": only its own usage";
    }
  }
  for (const char* comando : {"compile", "watch"})
    EXPECT_NE(esegui({comando, "--help"}).out.find("--max-input SIZE"), std::string::npos);
  const struct {
    const char* scritto;
    const char* vicino;  // nullptr: none is close
  } casi[] = {{"complie", "compile"}, {"inspekt", "inspect"}, {"veiw", "view"},
              {"emti", "emit"},       {"wacth", "watch"},      {"xyz", nullptr},        {"compilatore", nullptr}};
  for (const auto& c : casi) {
    const Esecuzione e = esegui({c.scritto});
    EXPECT_EQ(e.stato, kUscitaUsoErrato) << c.scritto;
    const std::string atteso = std::string("unknown command '") + c.scritto + "'" +
                               (c.vicino ? std::string(" (did you mean ") + c.vicino + "?)" : "") +
                               "\n(see tratta_valle3 --help)\n";
    EXPECT_NE(e.err.find(atteso), std::string::npos) << e.err;
  }
  // A mistyped option is named with the closest of the subcommand's, by
  // the measure of the keywords; bad use points to the subcommand's help
  // (the watch's, for now, to the program's).
  const struct {
    std::vector<std::string> argomenti;
    const char* vicina;  // nullptr: none is close
    const char* aiuto;   // the help it points to
  } opzioni[] = {
      {{"compile", "l.txt", "t.txt", "--outt", "x"}, "--out", "compile --help"},
      {{"compile", "l.txt", "t.txt", "-out", "x"}, "--out", "compile --help"},
      {{"compile", "l.txt", "t.txt", "--Partial"}, "--partial", "compile --help"},
      {{"compile", "l.txt", "t.txt", "--stirct"}, "--strict", "compile --help"},
      {{"compile", "l.txt", "t.txt", "--fast"}, nullptr, "compile --help"},
      {{"watch", "l.txt", "t.txt", "--serv", "0"}, "--serve", "watch --help"},
      {{"emit", "--forse"}, "--force", "emit --help"},
      {{"inspect", "d", "--point"}, "--points", "inspect --help"},
      {{"view", "d", "--pointz"}, nullptr, "view --help"},
  };
  for (const auto& c : opzioni) {
    const Esecuzione e = esegui(c.argomenti);
    EXPECT_EQ(e.stato, kUscitaUsoErrato) << c.argomenti[0];
    const std::string& scritta = *std::find_if(c.argomenti.begin(), c.argomenti.end(),
                                               [](const std::string& a) { return a[0] == '-'; });
    const std::string atteso = "tratta_valle3: unknown option '" + scritta + "'" +
                               (c.vicina ? std::string(" (did you mean ") + c.vicina + "?)" : "") +
                               "\n(see tratta_valle3 " + c.aiuto + ")\n";
    EXPECT_EQ(e.err, atteso);
  }
  // The options that a suggestion may name are the ones each help names
  // (and --help, which every subcommand takes).
  for (const char* comando : {"emit", "compile", "watch", "inspect", "view", "lsp"}) {
    const std::string aiuto = esegui({comando, "--help"}).out;
    ASSERT_FALSE(opzioni_di(comando).empty()) << comando;
    for (std::string_view o : opzioni_di(comando))
      EXPECT_TRUE(o == "--help" || aiuto.find(o) != std::string::npos) << comando << " " << o;
  }
}

// A compile that stops at a diagnostic leaves the last good set byte for
// byte, and says which files it kept and why; --partial writes the files
// as far as the descriptions were read.
TEST(Compile, AFailedCompileKeepsTheLastGoodSetAndPartialWritesAsFarAsRead) {
  testing::ScratchDir d, fresca;
  ASSERT_EQ(esegui({"emit", d.path().string()}).stato, kUscitaOk);
  const NomiScenario nomi = nomi_predefiniti();
  const std::string l = (d / nome_descrizione_linea(nomi)).string();
  const std::string t = (d / nome_descrizione_treno(nomi)).string();
  const std::vector<std::string> uscite = {nome_file_linea(nomi), nome_file_treno(nomi),
                                           nome_file_percorso(nomi)};
  ASSERT_EQ(esegui({"compile", l, t, "--out", d.path().string()}).stato, kUscitaOk);
  std::map<std::string, std::string> buoni;
  for (const std::string& f : uscite) buoni[f] = testing::read_bytes(d / f);

  // An abatement moved onto the segment of a signal.
  std::string rotto = testing::read_bytes(t);
  rotto.replace(rotto.find("abbattimento codice, 7250,270"), 29, "abbattimento codice, 7300,270");
  testing::write_bytes(t, rotto);
  Esecuzione e = esegui({"compile", l, t, "--out", d.path().string(), "--json"});
  EXPECT_EQ(e.stato, kUscitaDiagnosi) << e.err;
  for (const std::string& f : uscite) EXPECT_EQ(testing::read_bytes(d / f), buoni[f]) << f;
  EXPECT_NE(e.out.find("\"files\": [], \"kept\": [\"Tratta_Valle3_linea.dat\", "
                       "\"Tratta_Valle3_30.sim\", \"Tratta_Valle3_30.dat\"], \"kept_because\": "
                       "\"the compile stopped at a diagnostic; --partial writes the files as far "
                       "as the descriptions were read\""),
            std::string::npos)
      << e.out;
  EXPECT_TRUE(e.err.ends_with(
      "tratta_valle3: kept from before: 'Tratta_Valle3_linea.dat', 'Tratta_Valle3_30.sim', "
      "'Tratta_Valle3_30.dat' (the compile stopped at a diagnostic; --partial writes the files "
      "as far as the descriptions were read)\n"))
      << e.err;

  // --partial: the files as far as the descriptions were read, the same
  // over the good set as in a fresh folder.
  e = esegui({"compile", l, t, "--out", d.path().string(), "--json", "--partial"});
  EXPECT_EQ(e.stato, kUscitaDiagnosi) << e.err;
  EXPECT_NE(e.out.find("\"files\": [\"Tratta_Valle3_linea.dat\", \"Tratta_Valle3_30.sim\", "
                       "\"Tratta_Valle3_30.dat\"], \"kept\": [], \"kept_because\": null"),
            std::string::npos)
      << e.out;
  ASSERT_EQ(esegui({"compile", l, t, "--out", fresca.path().string(), "--partial"}).stato,
            kUscitaDiagnosi);
  for (const std::string& f : uscite)
    EXPECT_EQ(testing::read_bytes(d / f), testing::read_bytes(fresca / f)) << f;
  EXPECT_NE(testing::read_bytes(d / nome_file_percorso(nomi)), buoni[nome_file_percorso(nomi)]);
}

// A compile that writes nothing (the descriptions given the other way
// round) leaves no trace of the folder it would have made.
TEST(Compile, ARunThatWritesNothingMakesNoFolder) {
  Cartella d;
  const std::filesystem::path uscita = d.dir / "nuova" / "sotto";
  Esecuzione e = d.compila(treno("sabbia, 3\r\n"), linea(""), {"--out", uscita.string()});
  EXPECT_EQ(e.stato, kUscitaDiagnosi) << e.err;
  EXPECT_NE(e.err.find("no file written"), std::string::npos) << e.err;
  EXPECT_FALSE(std::filesystem::exists(d.dir / "nuova"));
}

TEST(Compile, BadUse) {
  Cartella d;
  testing::write_bytes(d.linea_path(), linea(""));
  testing::write_bytes(d.treno_path(), treno(""));
  const std::string l = d.linea_path(), t = d.treno_path(), o = d.dir.path().string();
  const std::vector<std::vector<std::string>> casi = {
      {"compile", l},
      {"compile", l, (d.dir / "assente.txt").string(), "--out", o},
      {"compile", l, t, "--out", o, "--fast"},
      {"compile", l, t, "--out", l},
      {"compile", l, t, "--out", ""},
      {"compile", l, t, "--out"},
      {"compile", l, t, "--out", o, "--scenario", ""},
      {"compile", l, t, "--out", o, "--scenario", "../fuori"},
      {"compile", l, t, "--out", o, "--scenario", "a/b"},
      {"compile", l, t, "--out", o, "--scenario", "a\\b"},
      {"compile", l, t, "--out", o, "--scenario", "a:b"},
      {"compile", l, t, "--out", o, "--train-number", "3\n0"},
      {"compile", l, t, "--out", o, "--train-number", "30."},
      {"compile", l, o, "--out", o},
      {"compile", "-", "-", "--out", o},
      {"compile", l, t, "--out", o, "--max-input", "12X"},
      {"compile", l, t, "--out", o, "--max-input", "0"},
      {"compile", l, t, "--out", o, "--max-input"},
      {"emit", o, o},
      {"emit", l},
      {"emit", o, "--forse"},
      {"bogus"},
  };
  for (const auto& a : casi) {
    Esecuzione e = esegui(a);
    std::string riga;
    for (const auto& x : a) riga += x + " ";
    EXPECT_EQ(e.stato, kUscitaUsoErrato) << riga;
    EXPECT_NE(e.err.find("tratta_valle3: "), std::string::npos) << riga;
  }
  EXPECT_FALSE(d.esiste("Tratta_Valle3_30.sim"));
  EXPECT_EQ(esegui({"--help"}).stato, kUscitaOk);
  // The one version of the build, as MAJOR.MINOR.PATCH.
  EXPECT_EQ(esegui({"--version"}).out, "tratta_valle3 " TRATTA_VERSION "\n");
  EXPECT_TRUE(std::regex_match(esegui({"--version"}).out,
                               std::regex("tratta_valle3 [0-9]+\\.[0-9]+\\.[0-9]+\n")));
}

TEST(Compile, JsonAndMessagesStayReadableWhateverTheBytes) {
  testing::ScratchDir dir;
  const auto linea_path = dir.path() / platform::path_from_utf8("linea citt\xC3\xA0.txt");
  testing::write_bytes(linea_path, linea("pendenza, 500, \xE8\"\\x\x01\r\n"));
  testing::write_bytes(dir / "t.txt", treno(""));
  Esecuzione e = esegui({"compile", platform::path_to_utf8(linea_path),
                         (dir / "t.txt").string(), "--out", dir.path().string(), "--json"});
  EXPECT_EQ(e.stato, kUscitaDiagnosi);
  // UTF-8 of the path passes through; the description's own bytes are
  // shown escaped (\xNN on stderr, \u00NN in JSON), and the JSON escapes
  // quote and backslash in turn.
  EXPECT_NE(e.out.find("linea citt\xC3\xA0.txt\""), std::string::npos) << e.out;
  EXPECT_NE(e.out.find("'\\u00e8\\\"\\\\x\\u0001'"), std::string::npos) << e.out;
  EXPECT_NE(e.err.find(":8: code 25: "), std::string::npos) << e.err;
  EXPECT_NE(e.err.find("'\\xe8\"\\x\\x01'"), std::string::npos) << e.err;
}

TEST(Compile, NoiseEndsWithADiagnostic) {
  std::string rumore(3 << 20, '\0');
  uint32_t x = 12345;
  for (char& c : rumore) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>(x >> 24);
  }
  const std::string inputs[] = {
      rumore,
      "",
      std::string(2 << 20, 'a'),
      "[generale], lunghezza percorso, 10000, [x], pendenza, 500, 3, " + std::string(100000, ','),
      std::string("[generale]\0\0lunghezza percorso\0, 1000\r\n[x]\r\n\0\0\0", 48),
      linea(std::string(1 << 20, '-') + "\r\n"),
  };
  for (const std::string& input : inputs) {
    for (bool come_linea : {true, false}) {
      Cartella d;
      Esecuzione e = d.compila(come_linea ? input : linea(""), come_linea ? treno("") : input,
                               {"--json"});
      EXPECT_TRUE(e.stato == kUscitaOk || e.stato == kUscitaDiagnosi) << e.err;
      EXPECT_EQ(e.out.back(), '\n');
      EXPECT_LT(e.err.size(), 2000u);
    }
  }
}

TEST(Compile, ADescriptionOfExactlyTheBoundIsReadAndOneByteMoreIsRefused) {
  struct Caso {
    bool nel_treno;  // the train description has the size, else the line's
    std::uintmax_t byte;
    std::vector<std::string> opzioni;
    const char* misura;  // the bound in the message; none when it is read
  } casi[] = {
      {false, 4096, {"--max-input", "4K"}, nullptr},
      {false, 4097, {"--max-input", "4K"}, "4 KiB"},
      {true, 4095, {"--max-input", "4095"}, nullptr},
      {true, 4096, {"--max-input", "4095"}, "4095 bytes"},
      // The usual bound; a file larger than it is not read at all.
      {false, (std::uintmax_t{64} << 20) + 1, {}, "64 MiB"},
  };
  for (const Caso& c : casi) {
    const std::string nome = std::to_string(c.byte) + " bytes, " +
                             (c.opzioni.empty() ? "no option" : c.opzioni[1]);
    Cartella d;
    testing::write_bytes(d.linea_path(), linea(""));
    testing::write_bytes(d.treno_path(), treno("sabbia, 10\r\n"));
    testing::write_bytes(d.dir / "Tratta_Valle3_30.dat", "older route");
    const std::string grande = c.nel_treno ? d.treno_path() : d.linea_path();
    if (c.byte < (1 << 20)) {
      // Blanks at the end, on a line of their own, make it that long.
      std::string testo = testing::read_bytes(grande);
      testo.resize(c.byte, ' ');
      testing::write_bytes(grande, testo);
    } else {
      std::filesystem::resize_file(grande, c.byte);
    }
    std::vector<std::string> a = {"compile", d.linea_path(), d.treno_path(), "--out",
                                  d.dir.path().string(), "--json"};
    a.insert(a.end(), c.opzioni.begin(), c.opzioni.end());
    Esecuzione e = esegui(a);
    if (!c.misura) {
      EXPECT_EQ(e.stato, kUscitaOk) << nome << "\n" << e.err;
      EXPECT_EQ(e.err, "") << nome;
      continue;
    }
    const std::string errore = std::string(c.nel_treno ? "the train" : "the line") +
                               " description '" + grande + "' is larger than " + c.misura +
                               " (give --max-input to raise the bound); no file written";
    EXPECT_EQ(e.stato, kUscitaTroppoGrande) << nome;
    EXPECT_EQ(e.out,
              "{\"codice_errore\": null, \"posizione_errore\": null, \"file\": null, \"line\": "
              "null, \"message\": " +
                  json_stringa(errore) +
                  ", \"mend\": null, \"fatal\": null, \"files\": [], \"kept\": [], "
                  "\"kept_because\": null, \"warnings\": [], \"exit_status\": 6, \"error\": " +
                  json_stringa(errore) + "}\n")
        << nome;
    EXPECT_EQ(e.err, "tratta_valle3: " + errore + "\n") << nome;
    EXPECT_FALSE(d.esiste("Tratta_Valle3_30.sim")) << nome;
    EXPECT_EQ(testing::read_bytes(d.dir / "Tratta_Valle3_30.dat"), "older route") << nome;
  }
  // --help names the option and its status.
  const std::string aiuto = esegui({"--help"}).out;
  EXPECT_NE(aiuto.find("--max-input SIZE"), std::string::npos);
  EXPECT_NE(aiuto.find("  6  compile: a description is larger"), std::string::npos);
}

#ifndef _WIN32

TEST(Compile, AKilledRunLeavesNoTemporaryAfterTheNextRun) {
  struct Case {
    int segnale;
    testing::DiskStep passo;
    int n;
    bool set_nuovo;  // the new set is whole after the signal
  } cases[] = {
      // Caught: the run removes its temporaries and ends; older set whole.
      {SIGTERM, testing::DiskStep::kWrite, 2, false},
      {SIGINT, testing::DiskStep::kWrite, 3, false},
      {SIGHUP, testing::DiskStep::kWrite, 1, false},
      // During the renames the signal waits for them: new set whole.
      {SIGTERM, testing::DiskStep::kRename, 2, true},
      // Not caught: whatever was left goes with the next run.
      {SIGKILL, testing::DiskStep::kWrite, 3, false},
      {SIGKILL, testing::DiskStep::kRename, 2, false},
  };
  const NomiScenario nomi_std = nomi_predefiniti();
  const std::string uscite[] = {nome_file_linea(nomi_std), nome_file_treno(nomi_std),
                                nome_file_percorso(nomi_std)};
  for (const Case& c : cases) {
    const std::string caso = std::string(strsignal(c.segnale)) + " at step " + std::to_string(c.n);
    testing::ScratchDir d;
    testing::write_bytes(d / "l.txt", testing::linea(""));
    testing::write_bytes(d / "t.txt", testing::treno(""));
    for (const std::string& u : uscite) testing::write_bytes(d / u, "older " + u);
    const std::vector<std::string> comando = {"compile", (d / "l.txt").string(),
                                              (d / "t.txt").string(), "--out", d.path().string()};

    const pid_t figlio = ::fork();
    ASSERT_GE(figlio, 0);
    if (figlio == 0) {
      platform::install_interrupt_cleanup();
      testing::FaultyDisk disco([&c, k = 0](testing::DiskStep p) mutable
                                -> std::optional<platform::FileError> {
        if (p == c.passo && ++k == c.n) ::raise(c.segnale);
        return std::nullopt;
      });
      std::ostringstream out, err;
      ::_exit(esegui_comando(comando, out, err, disco) == kUscitaOk ? 0 : 1);
    }
    int stato = 0;
    ASSERT_EQ(::waitpid(figlio, &stato, 0), figlio);
    ASSERT_TRUE(WIFSIGNALED(stato)) << caso;
    EXPECT_EQ(WTERMSIG(stato), c.segnale) << caso;

    bool avanzi = false;
    for (const std::string& n : testing::names_in(d.path())) avanzi |= n.find(".tratta-") != std::string::npos;
    EXPECT_EQ(avanzi, c.segnale == SIGKILL) << caso;
    if (c.segnale != SIGKILL) {
      EXPECT_EQ(testing::names_in(d.path()).size(), 5u) << caso;
      for (const std::string& u : uscite)
        EXPECT_EQ(testing::read_bytes(d / u) == "older " + u, !c.set_nuovo) << caso << " " << u;
    }

    // The next run: its own files, nothing left by the killed one.
    std::ostringstream out, err;
    EXPECT_EQ(esegui_comando(comando, out, err), kUscitaOk) << caso << err.str();
    EXPECT_EQ(testing::names_in(d.path()), (std::set<std::string>{"l.txt", "t.txt", uscite[0], uscite[1],
                                                      uscite[2]}))
        << caso;
  }
}

TEST(Compile, ReadsADescriptionOnceFromAFifoAPipeOrTheStandardInput) {
  const std::string l = linea("pendenza, 500, 3\r\n"), t = treno("sabbia, 10\r\n");
  Cartella riferimento;
  ASSERT_EQ(riferimento.compila(l, t).stato, kUscitaOk);
  const NomiScenario nomi = nomi_predefiniti();
  struct Caso {
    const char* nome;
    bool treno_alimentato;  // the train description comes that way, else the line's
    int fd;                 // fed through a pipe to this descriptor, or
    bool fifo;              // through a FIFO
  } casi[] = {
      {"line through a FIFO", false, 0, true},
      {"train through the standard input", true, 0, false},
      {"line through a pipe as /dev/fd/3", false, 3, false},
  };
  for (const Caso& c : casi) {
    testing::ScratchDir d;
    testing::Avvio a{.alimento = c.treno_alimentato ? t : l, .fd = c.fd};
    std::string alimentato = c.fd == 0 ? "-" : "/dev/fd/" + std::to_string(c.fd);
    if (c.fifo) {
      a.fifo = d / "fifo";
      ASSERT_EQ(::mkfifo(a.fifo.c_str(), 0600), 0);
      alimentato = a.fifo.string();
    }
    const std::string da_file = (d / "descrizione.txt").string();
    testing::write_bytes(da_file, c.treno_alimentato ? l : t);
    a.argomenti = {"compile", c.treno_alimentato ? da_file : alimentato,
                   c.treno_alimentato ? alimentato : da_file, "--out", (d / "out").string()};
    const testing::Processo p = testing::esegui_programma(a, d);
    EXPECT_EQ(p.stato, kUscitaOk) << c.nome << "\n" << p.err;
    for (const std::string& f :
         {nome_file_linea(nomi), nome_file_treno(nomi), nome_file_percorso(nomi)})
      EXPECT_EQ(testing::read_bytes(d / "out" / f), testing::read_bytes(riferimento.dir / f))
          << c.nome << " " << f;
  }
}

TEST(Compile, TheStandardInputIsNamedInMessagesAndIsNoOutput) {
  testing::ScratchDir d;
  const std::string t = (d / "t.txt").string();
  testing::write_bytes(t, treno(""));
  testing::Avvio a{.argomenti = {"compile", "-", t, "--out", d.path().string(), "--json"},
                   .alimento = linea("pendeza, 500, 1\r\npendenza, 500, abc\r\n"),
                   .fd = 0};
  testing::Processo p = testing::esegui_programma(a, d);
  EXPECT_EQ(p.stato, kUscitaDiagnosi);
  EXPECT_EQ(p.err,
            "<stdin>:8: warning: line skipped: 'pendeza' is no record the reader takes (did you "
            "mean \"pendenza\"?)\n"
            "<stdin>:9: code 25: the description could not be read: not a whole number: 'abc'. " +
                std::string(trova_codice(kCodiceLetturaFallita)->rimedio) +
                "\ntratta_valle3: no file written: the compile stopped at a diagnostic; --partial "
                "writes the files as far as the descriptions were read\n");
  EXPECT_NE(p.out.find("\"file\": \"<stdin>\", \"line\": 9, "), std::string::npos) << p.out;
  EXPECT_NE(p.out.find("\"warnings\": [{\"file\": \"<stdin>\", \"line\": 8, "),
            std::string::npos)
      << p.out;

  // The standard input reading a file that the run writes.
  const auto percorso = d / "Tratta_Valle3_30.dat";
  testing::write_bytes(percorso, linea(""));
  a = {.argomenti = {"compile", "-", t, "--out", d.path().string()},
       .ingresso = percorso.string()};
  p = testing::esegui_programma(a, d);
  EXPECT_EQ(p.stato, kUscitaUsoErrato);
  EXPECT_NE(p.err.find("the line description '<stdin>' is the file '" + percorso.string() +
                       "' that this run writes: it would be lost"),
            std::string::npos)
      << p.err;
  EXPECT_EQ(testing::read_bytes(percorso), linea(""));

  // Both descriptions cannot come from it.
  Esecuzione e = esegui({"compile", "-", "-", "--json"});
  EXPECT_EQ(e.stato, kUscitaUsoErrato);
  EXPECT_NE(e.out.find("\"error\": \"only one description can come from the standard input "
                       "('-')\"}"),
            std::string::npos)
      << e.out;
}

TEST(Compile, AnEndlessStreamStopsAtTheBoundWithLittleMemory) {
  testing::ScratchDir d;
  const std::string l = (d / "l.txt").string(), t = (d / "t.txt").string();
  const std::string uscita = (d / "out").string();
  testing::write_bytes(l, linea(""));
  testing::write_bytes(t, treno(""));
  // The memory of a compile of small descriptions.
  const testing::Processo base =
      testing::esegui_programma({.argomenti = {"compile", l, t, "--out", uscita}}, d);
  ASSERT_EQ(base.stato, kUscitaOk) << base.err;
  std::filesystem::remove_all(uscita);
  struct Caso {
    std::vector<std::string> argomenti;
    const char* descrizione;
  } casi[] = {
      {{"compile", "-", t}, "the line description '<stdin>'"},
      {{"compile", l, "/dev/zero"}, "the train description '/dev/zero'"},
  };
  for (Caso& c : casi) {
    c.argomenti.insert(c.argomenti.end(), {"--out", uscita, "--max-input", "1M"});
    const testing::Processo p = testing::esegui_programma(
        {.argomenti = c.argomenti, .ingresso = "/dev/zero"}, d, std::chrono::seconds(10));
    EXPECT_EQ(p.stato, kUscitaTroppoGrande) << c.descrizione;
    EXPECT_EQ(p.err, "tratta_valle3: " + std::string(c.descrizione) +
                         " is larger than 1 MiB (give --max-input to raise the bound); no file "
                         "written\n");
    EXPECT_LT(p.secondi, 5.0) << c.descrizione;
    EXPECT_LT(p.picco_kib, base.picco_kib + 8 * 1024) << c.descrizione;
    EXPECT_FALSE(std::filesystem::exists(uscita)) << c.descrizione;
  }
}

#endif  // _WIN32

}  // namespace tratta
