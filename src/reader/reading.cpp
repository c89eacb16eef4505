#include "reader/reading.h"

#include <algorithm>
#include <utility>

#include "reader/checked.h"
#include "run/platform.h"

namespace tratta {

namespace {

char minuscola(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

/// Longest text that a slot of the train file can carry.
constexpr size_t kMassimoNome = 0xFFFF;

}  // namespace

bool contiene(std::string_view campo, std::string_view chiave) {
  return campo.find(chiave) != std::string_view::npos;
}

bool contiene_ci(std::string_view campo, std::string_view chiave) {
  auto it = std::search(campo.begin(), campo.end(), chiave.begin(), chiave.end(),
                        [](char a, char b) { return minuscola(a) == minuscola(b); });
  return it != campo.end() || chiave.empty();
}

bool Lettura::apri(const std::filesystem::path& p) {
  percorso = p;
  riga_record = 0;
  if (!platform::read_file(p, testo_file)) return false;
  in.emplace(testo_file);
  return true;
}

void Lettura::chiudi_e_cancella() {
  in.reset();
  if (descrizioni.consuma) platform::delete_file(percorso);
}

bool Lettura::leggi_riga() {
  riga = in->leggi_testo();
  riga_record = in->riga_ultimo_campo();
  return !in->fine();
}

bool Lettura::prossimo_record() {
  if (in->fine()) return false;
  if (!leggi_riga()) return false;
  for (int commenti = 0; commenti < 2 && contiene(riga, "-"); ++commenti) {
    if (!leggi_riga()) return false;
  }
  return true;
}

void Lettura::metti_nome(Voce& v, std::string testo) {
  if (testo.size() > kMassimoNome) throw ErroreLettura("text longer than 65535 bytes");
  v.nome = std::move(testo);
}

bool Lettura::oltre_percorso(int32_t p, int32_t margine) {
  if (m.ultimo_segmento < somma32(p, margine) / 50.0) {
    registra(15, p);
    return true;
  }
  return false;
}

void Lettura::registra(int32_t codice) {
  m.codice_errore = codice;
  luogo = {percorso, riga_record, {}};
}

void Lettura::registra(int32_t codice, int32_t posizione) {
  registra(codice);
  m.posizione_errore = posizione;
}

void Lettura::fallita(std::string_view dettaglio) {
  in.reset();
  if (descrizioni.consuma) {
    for (const auto& p : {descrizioni.linea, descrizioni.treno}) {
      try {
        platform::delete_file(p);
      } catch (const platform::FileError&) {
        // The status already says that the reading failed.
      }
    }
  }
  m.codice_errore = 25;
  luogo = {percorso, riga_record, std::string(dettaglio)};
}

}  // namespace tratta
