// Small line and train descriptions for the reader's tests.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/diagnosi.h"
#include "model/route_model.h"
#include "reader/description_source.h"
#include "reader/memorizza_dati.h"

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

/// Two descriptions in memory, either of which may be missing, and what
/// the reader said it was done with.
class SorgenteProva final : public DescriptionSource {
 public:
  std::optional<std::string> linea, treno;
  bool letta_linea = false, letta_treno = false;

  const std::filesystem::path& nome(Descrizione d) const override {
    return d == Descrizione::kLinea ? nome_linea_ : nome_treno_;
  }
  TestoDescrizione apri(Descrizione d) override {
    const std::optional<std::string>& t = d == Descrizione::kLinea ? linea : treno;
    TestoDescrizione out;
    out.presente = t.has_value();
    if (t) out.testo = *t;
    return out;
  }
  std::string letta(Descrizione d) override {
    (d == Descrizione::kLinea ? letta_linea : letta_treno) = true;
    return {};
  }

 private:
  std::filesystem::path nome_linea_ = "P_linea.txt", nome_treno_ = "P_1-.txt";
};

/// Reads two descriptions held in memory.
struct Lettura {
  SorgenteProva sorgente;
  RouteModel m;
  Diagnosi diagnosi;

  const std::filesystem::path& percorso_linea() const { return sorgente.nome(Descrizione::kLinea); }
  const std::filesystem::path& percorso_treno() const { return sorgente.nome(Descrizione::kTreno); }

  Lettura& leggi(const std::string& testo_linea, const std::string& testo_treno = treno(""),
                 int32_t j = 1, std::vector<Avvertenza>* avvertenze = nullptr) {
    sorgente = SorgenteProva();
    sorgente.linea = testo_linea;
    sorgente.treno = testo_treno;
    return leggi_sorgente(j, avvertenze);
  }

  /// Reads whatever the source holds.
  Lettura& leggi_sorgente(int32_t j = 1, std::vector<Avvertenza>* avvertenze = nullptr) {
    m = RouteModel();
    m.nomi = {"P", "1"};
    diagnosi = memorizza_dati(m, j, sorgente, avvertenze);
    return *this;
  }

  int32_t codice() const { return diagnosi.codice_errore; }
  /// The position of the diagnostic; 0 when none was named.
  int32_t posizione() const { return diagnosi.posizione_errore.value_or(0); }

  Segmento& seg(int32_t i) { return m.segmenti.at(static_cast<size_t>(i)); }
};

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
