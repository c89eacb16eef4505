// The compile step on small damaged descriptions: what the written files
// carry depends on the order in which a record stores its fields.
#include "compile/memorizza_percorso.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "compile/file_descriptions.h"
#include "model/catalogo_codici.h"
#include "model/file_names.h"
#include "model/scenario_files.h"
#include "testing/descriptions.h"
#include "testing/descrizioni_predefinite.h"
#include "testing/scratch_dir.h"

namespace tratta {

using testing::linea;
using testing::treno;

namespace {

/// The two descriptions compiled, with the plan, into a scratch folder.
struct Compilazione {
  testing::ScratchDir dir;
  RouteModel m;
  EsitoCompilazione esito;

  Compilazione(const std::string& testo_linea, const std::string& testo_treno) {
    m.nomi = {"P", "1"};
    MemoryDescriptions descrizioni("linea.txt", testo_linea, "treno.txt", testo_treno);
    EXPECT_TRUE(memorizza_percorso(m, 1, descrizioni, dir.lock(), esito).ok());
  }

  std::string file(const std::string& nome) const { return testing::read_bytes(dir / nome); }
  int32_t codice() const { return esito.diagnosi.codice_errore; }

  // The files written, read back.
  std::vector<Segmento> segmenti() const {
    auto d = decodifica_file_percorso(file(nome_file_percorso(m.nomi)), "route file");
    EXPECT_TRUE(d.ok()) << d.errore->testo();
    return d.valore;
  }
  std::array<Voce, kNumeroVoci> voci() const {
    auto d = decodifica_file_treno(file(nome_file_treno(m.nomi)), "train file");
    EXPECT_TRUE(d.ok()) << d.errore->testo();
    return d.valore;
  }
  FileLinea piano() const {
    auto d = decodifica_file_linea(file(nome_file_linea(m.nomi)), "line file");
    EXPECT_TRUE(d.ok()) << d.errore->testo();
    return d.valore;
  }
};

}  // namespace

TEST(CompileStep, IndicatorWithAValueTooWideKeepsItsTipo) {
  const Compilazione c(linea("indicatori_vmax, 1000, 1700, 105, 110, 0, 100, 105, 110, 0\r\n"),
                       treno(""));
  EXPECT_EQ(c.codice(), 25);
  const std::vector<Segmento> segmenti = c.segmenti();
  ASSERT_GT(segmenti.size(), 21u);
  const Segmento& s = segmenti[21];
  EXPECT_EQ(s.tipo, kIndicatoreVmax);
  EXPECT_EQ(s.valore1, 0);
  EXPECT_EQ(s.valore2, 0);
  EXPECT_EQ(s.valore3, 0);
  EXPECT_EQ(s.valore4, 0);
}

TEST(CompileStep, StationWhoseTimeOverflowsKeepsItsName) {
  const Compilazione c(
      linea(""), treno("stazione, 4500, 2, 600, 0,0,0,0,0,0,0,0,0,0, 1000000, 0, 0, ALBA\r\n"));
  EXPECT_EQ(c.codice(), 25);
  // Slot 1 holds the station as far as it was read.
  const Voce stazione = c.voci()[1];
  EXPECT_EQ(stazione.posizione, 4500);
  EXPECT_EQ(stazione.nome, "ALBA");
  EXPECT_EQ(stazione.orario, 0);
}

TEST(CompileStep, CurveWhoseEndOverflowsKeepsTheStraightBeforeIt) {
  const Compilazione c(linea("curvad2, 500, 2147483647\r\n", 1000), treno(""));
  EXPECT_EQ(c.codice(), 25);
  // Each axis: the two seeds, metres 2 to 500 computed, metres 501 to 8000
  // empty.
  const FileLinea piano = c.piano();
  ASSERT_EQ(piano.metri_totali(), 8000);
  EXPECT_EQ(piano.conta(TagPiano::kIntero16), 2u * 2);
  EXPECT_EQ(piano.conta(TagPiano::kDoppio), 2u * 499);
  EXPECT_EQ(piano.conta(TagPiano::kVuoto), 2u * 7500);
  EXPECT_EQ(piano.assi[1][500].tag, TagPiano::kDoppio);
  EXPECT_EQ(piano.assi[1][500].valore, 500.0);
  EXPECT_EQ(piano.assi[1][501].tag, TagPiano::kVuoto);
}

TEST(CompileStep, SecondLengthWithoutARowLeavesNoRouteToWrite) {
  const Compilazione c(linea("pendenza, 500, 3\r\n", 1000, "lunghezza percorso, -9000\r\n"),
                       treno(""));
  EXPECT_EQ(c.codice(), 25);
  EXPECT_EQ(c.m.voci[kVoceGeneraliPercorso].fine, -9000);
  EXPECT_TRUE(c.m.segmenti.empty());
  EXPECT_TRUE(c.esito.senza_segmenti);
  EXPECT_TRUE(c.esito.file_scritti.empty());
  for (const std::string& nome : {nome_file_linea(c.m.nomi), nome_file_treno(c.m.nomi),
                                  nome_file_percorso(c.m.nomi)})
    EXPECT_FALSE(std::filesystem::exists(c.dir / nome)) << nome;
}

TEST(CompileStep, TabBesideANumberIsNamedInTheDiagnostic) {
  for (const char* riga : {"pendenza, 500,\t3", "pendenza,\t500, 3", "pendenza, 5\t00, 3",
                           "pendenza, 500, 3\t", "pendenza, 500, 3 \t"}) {
    const Compilazione c(linea(std::string(riga) + "\r\n", 1000), treno(""));
    EXPECT_EQ(c.codice(), 25) << riga;
    EXPECT_EQ(c.esito.diagnosi.riga, 8) << riga;
    EXPECT_NE(c.esito.diagnosi.dettaglio.find("a tab stands there"), std::string::npos)
        << riga << ": " << c.esito.diagnosi.dettaglio;
  }
  // In a keyword field a tab is an ordinary character.
  const Compilazione c(linea("\tpendenza\t, 500, 3\r\n", 1000), treno(""));
  EXPECT_EQ(c.codice(), 0);
  EXPECT_EQ(c.m.segmenti.at(10).pendenza_seg, 103);
}

TEST(CompileStep, BuiltInDescriptionsInMemoryGiveTheFilesWithoutAWarning) {
  for (int32_t j : {1, 0}) {
    MemoryDescriptions descrizioni = testing::descrizioni_predefinite();
    RouteModel in_memoria;
    in_memoria.nomi = nomi_predefiniti();
    EsitoCompilazione esito;
    memorizza_percorso(in_memoria, j, descrizioni, esito);
    EXPECT_EQ(esito.diagnosi.codice_errore, 0) << j;
    EXPECT_TRUE(esito.scrivibile()) << j;
    EXPECT_TRUE(esito.file_scritti.empty()) << j;
    for (const Avvertenza& a : esito.avvertenze)
      ADD_FAILURE() << a.file.filename().string() << ":" << a.riga << ": " << a.messaggio;

    // The same descriptions as files give the same model.
    testing::ScratchDir dir;
    testing::write_bytes(dir / "l.txt", std::string(descrizioni.apri(Descrizione::kLinea).testo));
    testing::write_bytes(dir / "t.txt", std::string(descrizioni.apri(Descrizione::kTreno).testo));
    FileDescriptions file(dir / "l.txt", dir / "t.txt", false);
    RouteModel da_file;
    da_file.nomi = nomi_predefiniti();
    ASSERT_TRUE(memorizza_percorso(da_file, j, file, dir.lock(), esito).ok());
    EXPECT_EQ(da_file.segmenti, in_memoria.segmenti);
    EXPECT_EQ(da_file.voci, in_memoria.voci);
    EXPECT_EQ(esito.file_scritti.size(), j == 1 ? 3u : 2u);
    EXPECT_TRUE(std::filesystem::exists(dir / "l.txt"));
  }
}

TEST(FileDescriptions, ReadOnceAndDeletedOnlyWhenConsumed) {
  testing::ScratchDir dir;
  for (bool consuma : {false, true}) {
    testing::write_bytes(dir / "l.txt", "linea");
    FileDescriptions file(dir / "l.txt", dir / "assente.txt", consuma);
    EXPECT_FALSE(file.leggi_entrambe());
    // Changed on disk after the reading: the bytes read stay.
    testing::write_bytes(dir / "l.txt", "altro");
    EXPECT_EQ(file.apri(Descrizione::kLinea).testo, "linea");
    EXPECT_FALSE(file.apri(Descrizione::kTreno).presente);
    EXPECT_EQ(file.letta(Descrizione::kLinea), "");
    EXPECT_EQ(file.letta(Descrizione::kTreno), "");
    EXPECT_EQ(std::filesystem::exists(dir / "l.txt"), !consuma);
  }
  // A folder where a description should be cannot be read: the system's
  // reason, naming it.
  std::filesystem::create_directory(dir / "cartella");
  FileDescriptions cartella(dir / "cartella", dir / "t.txt", false);
  const std::optional<GuastoDescrizioni> guasto = cartella.leggi_entrambe();
  ASSERT_TRUE(guasto);
  EXPECT_FALSE(guasto->troppo_grande);
  EXPECT_NE(guasto->testo.find("cartella"), std::string::npos) << guasto->testo;
}

TEST(FileDescriptions, ADescriptionLargerThanTheBoundIsNotRead) {
  testing::ScratchDir dir;
  // The line description of exactly the bound is read, the train
  // description one byte longer is not.
  const std::string l = linea("");
  std::string t = treno("sabbia, 10\r\n");
  t.resize(l.size() + 1, ' ');
  const auto percorso_treno = dir / "t.txt";
  const std::string atteso = "the train description '" + percorso_treno.string() +
                             "' is larger than " + std::to_string(l.size()) + " bytes";
  for (bool prima : {true, false}) {
    testing::write_bytes(dir / "l.txt", l);
    testing::write_bytes(percorso_treno, t);
    FileDescriptions file(dir / "l.txt", percorso_treno, true, l.size());
    if (prima) {
      // Read before the reader, as compile does.
      const std::optional<GuastoDescrizioni> guasto = file.leggi_entrambe();
      ASSERT_TRUE(guasto);
      EXPECT_TRUE(guasto->troppo_grande);
      EXPECT_EQ(guasto->testo, atteso);
      continue;
    }
    // Read by the reader, as the one-shot run does: the reading fails
    // there, and both descriptions go as on any failure.
    RouteModel m;
    m.nomi = {"P", "1"};
    EsitoCompilazione esito;
    EXPECT_TRUE(memorizza_percorso(m, 1, file, dir.lock(), esito).ok());
    EXPECT_EQ(esito.diagnosi.codice_errore, kCodiceLetturaFallita);
    EXPECT_EQ(esito.diagnosi.file, percorso_treno);
    EXPECT_EQ(esito.diagnosi.dettaglio, atteso);
    EXPECT_FALSE(std::filesystem::exists(percorso_treno));
  }
}

}  // namespace tratta
