// Small line and train descriptions for the reader's tests.
#pragma once

#include <ostream>
#include <string>
#include <vector>

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

/// A record row: the keyword and its fields, separated by ", ".
inline std::string riga_record(const std::string& chiave, const std::vector<std::string>& campi) {
  std::string riga = chiave;
  for (const std::string& c : campi) riga += ", " + c;
  return riga + "\r\n";
}

/// `campi` with field `i` (from 0, after the keyword) replaced by `valore`.
inline std::vector<std::string> con_campo(std::vector<std::string> campi, size_t i,
                                          const std::string& valore) {
  campi.at(i) = valore;
  return campi;
}

/// A record row, the status its reading ends with and the slot it then
/// leaves.
struct CasoVoce {
  std::string riga;
  int32_t codice;
  int slot;
  Voce attesa;
};

/// The point event of segment `s`: its running values (speed, gradient,
/// adhesion), which the end steps fill, cleared.
inline Segmento solo_evento(Segmento s) {
  s.vel_limite = 0;
  s.pendenza_seg = 0;
  s.aderenza_seg = 0;
  return s;
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

namespace tratta {

// Readable failures for whole segments and slots.
inline void PrintTo(const Segmento& s, std::ostream* os) {
  *os << "{tipo " << +s.tipo << ", valori " << s.valore1 << " " << s.valore2 << " " << s.valore3
      << " " << s.valore4 << ", tempo " << +s.tempo_segnale << ", avviso " << +s.avviso
      << ", classe " << +s.classe_montagna << ", vel " << +s.vel_limite << ", pend "
      << +s.pendenza_seg << ", ader " << +s.aderenza_seg << "}";
}

inline void PrintTo(const Voce& v, std::ostream* os) {
  *os << "{tipo " << +v.tipo << ", inizio " << v.inizio << ", fine " << v.fine << ", posizione "
      << v.posizione << ", tps " << +v.tps << ", nome '" << v.nome.substr(0, 40) << "' ("
      << v.nome.size() << " bytes), d2_a " << v.d2_a << ", d3_a " << v.d3_a << ", d1_b " << v.d1_b
      << ", d2_b " << v.d2_b << ", d3_b " << v.d3_b << ", rap " << +v.rap << ", ac " << +v.ac
      << ", mar " << +v.mar << ", tab " << +v.tab << ", orario " << v.orario << "}";
}

}  // namespace tratta
