// Small line and train descriptions for the reader's tests.
#pragma once

#include <string>

#include <gtest/gtest.h>

#include "emitter/documents.h"
#include "model/route_model.h"
#include "reader/description_reader.h"
#include "testing/scratch_dir.h"

namespace tratta::testing {

/// A line description: a preamble, a header with the route length, then
/// `corpo` under a section heading, then the closing lines.
inline std::string linea(const std::string& corpo, int lunghezza = 10000,
                         const std::string& intestazione = "") {
  return "Percorso di prova\r\n\r\ninizio dati\r\n     \r\n[generale]\r\n"
         "lunghezza percorso,    " +
         std::to_string(lunghezza) + "\r\n" + intestazione + "[dati]\r\n" + corpo +
         "[fine]\r\n                \r\n";
}

/// A train description: "[generale]", then `corpo`, then the closing lines.
inline std::string treno(const std::string& corpo) {
  return "Treno di prova\r\n[generale]\r\n" + corpo + "[fine]\r\n     \r\n";
}

/// Writes the two descriptions into a scratch folder and reads them.
struct Lettura {
  ScratchDir dir;
  RouteModel m;
  LuogoDiagnosi luogo;

  std::filesystem::path percorso_linea() const { return dir / "P_linea.txt"; }
  std::filesystem::path percorso_treno() const { return dir / "P_1-.txt"; }

  Lettura& leggi(const std::string& testo_linea, const std::string& testo_treno = treno(""),
                 int32_t j = 1) {
    write_bytes(percorso_linea(), testo_linea);
    write_bytes(percorso_treno(), testo_treno);
    return leggi_file(j);
  }

  /// Reads whatever files stand in the folder.
  Lettura& leggi_file(int32_t j = 1) {
    m = RouteModel();
    m.nomi = {"P", "1"};
    m.con_planimetria = j;
    luogo = memorizza_dati(m, {percorso_linea(), percorso_treno(), true});
    return *this;
  }

  Segmento& seg(int32_t i) { return m.segmenti.at(static_cast<size_t>(i)); }
};

/// Writes the two built-in descriptions into a scratch folder and reads
/// them back, with the plan; the reading must end with code 0 and consume
/// both files.
inline RouteModel leggi_descrizioni_predefinite() {
  ScratchDir dir;
  const NomiScenario nomi = nomi_predefiniti();
  dati_linea(dir.path(), nomi);
  dati_treno(dir.path(), nomi);
  const Descrizioni descrizioni{dir / nome_descrizione_linea(nomi),
                                dir / nome_descrizione_treno(nomi)};
  RouteModel m;
  m.nomi = nomi;
  m.con_planimetria = 1;
  const LuogoDiagnosi luogo = memorizza_dati(m, descrizioni);
  EXPECT_EQ(m.codice_errore, 0) << "line " << luogo.riga << " of " << luogo.file << ": "
                                << luogo.dettaglio << " at " << m.posizione_errore;
  EXPECT_FALSE(std::filesystem::exists(descrizioni.linea));
  EXPECT_FALSE(std::filesystem::exists(descrizioni.treno));
  return m;
}

}  // namespace tratta::testing
