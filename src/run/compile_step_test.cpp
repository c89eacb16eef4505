// The compile step on small damaged descriptions: what the written files
// carry depends on the order in which a record stores its fields.
#include "run/compile_step.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <string>

#include "model/file_names.h"
#include "testing/descriptions.h"

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
    testing::write_bytes(dir / "linea.txt", testo_linea);
    testing::write_bytes(dir / "treno.txt", testo_treno);
    m.nomi = {"P", "1"};
    esito = memorizza_percorso(m, 1, {dir / "linea.txt", dir / "treno.txt", false}, dir.path());
  }

  std::string file(const std::string& nome) const { return testing::read_bytes(dir / nome); }
};

/// The little-endian number of `n` bytes at `offset`.
uint64_t le(const std::string& b, size_t offset, size_t n) {
  uint64_t v = 0;
  for (size_t i = n; i-- > 0;) v = (v << 8) | static_cast<unsigned char>(b.at(offset + i));
  return v;
}

constexpr size_t kRecordPercorso = 15;

}  // namespace

TEST(CompileStep, IndicatorWithAValueTooWideKeepsItsTipo) {
  const Compilazione c(linea("indicatori_vmax, 1000, 1700, 105, 110, 0, 100, 105, 110, 0\r\n"),
                       treno(""));
  EXPECT_EQ(c.m.codice_errore, 25);
  const std::string percorso = c.file(nome_file_percorso(c.m.nomi));
  const size_t r = 21 * kRecordPercorso;
  EXPECT_EQ(le(percorso, r, 1), kIndicatoreVmax);
  for (size_t v = 0; v < 4; ++v) EXPECT_EQ(le(percorso, r + 1 + 2 * v, 2), 0u) << "valore" << v + 1;
}

TEST(CompileStep, StationWhoseTimeOverflowsKeepsItsName) {
  const Compilazione c(
      linea(""), treno("stazione, 4500, 2, 600, 0,0,0,0,0,0,0,0,0,0, 1000000, 0, 0, ALBA\r\n"));
  EXPECT_EQ(c.m.codice_errore, 25);
  // Slot 0 is 34 bytes; slot 1 holds the station as far as it was read.
  const std::string sim = c.file(nome_file_treno(c.m.nomi));
  const size_t r = 34;
  EXPECT_EQ(le(sim, r + 9, 4), 4500u);
  ASSERT_EQ(le(sim, r + 14, 2), 4u);
  EXPECT_EQ(sim.substr(r + 16, 4), "ALBA");
  EXPECT_EQ(le(sim, r + 16 + 4 + 14, 4), 0u);  // orario
}

TEST(CompileStep, CurveWhoseEndOverflowsKeepsTheStraightBeforeIt) {
  const Compilazione c(linea("curvad2, 500, 2147483647\r\n", 1000), treno(""));
  EXPECT_EQ(c.m.codice_errore, 25);
  // Each axis: two seeds of 4 bytes, metres 2 to 500 computed (10 bytes),
  // metres 501 to 8000 empty (2 bytes).
  const std::string piano = c.file(nome_file_linea(c.m.nomi));
  const size_t asse = 8 + 499 * 10 + 7500 * 2;
  ASSERT_EQ(piano.size(), 2 * asse);
  const size_t metro_500 = asse + 8 + 498 * 10;  // axis 1
  EXPECT_EQ(le(piano, metro_500, 2), 5u);
  EXPECT_EQ(std::bit_cast<double>(le(piano, metro_500 + 2, 8)), 500.0);
  EXPECT_EQ(le(piano, metro_500 + 10, 2), 0u);
}

TEST(CompileStep, SecondLengthWithoutARowLeavesNoRouteToWrite) {
  const Compilazione c(linea("pendenza, 500, 3\r\n", 1000, "lunghezza percorso, -9000\r\n"),
                       treno(""));
  EXPECT_EQ(c.m.codice_errore, 25);
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
    EXPECT_EQ(c.m.codice_errore, 25) << riga;
    EXPECT_EQ(c.esito.luogo.riga, 8) << riga;
    EXPECT_NE(c.esito.luogo.dettaglio.find("a tab stands there"), std::string::npos)
        << riga << ": " << c.esito.luogo.dettaglio;
  }
  // In a keyword field a tab is an ordinary character.
  const Compilazione c(linea("\tpendenza\t, 500, 3\r\n", 1000), treno(""));
  EXPECT_EQ(c.m.codice_errore, 0);
  EXPECT_EQ(c.m.segmenti.at(10).pendenza_seg, 103);
}

}  // namespace tratta
