#include "reader/chiavi.h"

#include <algorithm>
#include <vector>

#include "reader/field_source.h"

namespace tratta {

namespace {

/// Only the first characters of a field are compared: a keyword stands at
/// its start, and a field may be as long as the file.
constexpr size_t kInizioCampo = 64;

char minuscola(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

/// The line description's keywords: the header's, then the body's.
constexpr Chiave kLinea[] = {
    {"lunghezza percorso", {"lunghezza", "percorso"}},
    {"progressiva chilometrica uno", {"progressiva", "uno"}, true},
    {"progressiva chilometrica due", {"progressiva", "due"}, true},
    {"progressiva chilometrica tre", {"progressiva", "tre"}, true},
    {"sfondo uno", {"sfondo", "uno"}, true},
    {"sfondo due", {"sfondo", "due"}, true},
    {"sfondo tre", {"sfondo", "tre"}, true},
    {"ripetizione segnali", {"ripetizione", "segnali"}, true},
    {"pendenza", {"pendenza"}},
    {"curva", {"curva"}},
    {"montagna", {"montagna"}},
    {"indicatori_vmax", {"indicatori_v"}},
    {"cartello_indicatore", {"cartello", "indicat"}},
};

constexpr Chiave kTreno[] = {
    {"percentuale massa frenata", {"frenata", "massa"}},
    {"numero vetture", {"vetture"}},
    {"velocita", {"velocit"}},
    {"aderenza", {"aderenza"}},
    {"orologio", {"orologio"}},
    {"sabbia", {"sabbia"}},
    {"segnale", {"segnale"}},
    {"rallentamento", {"rallentamento"}},
    {"abbattimento codice", {"abbattimento"}},
    {"stazione", {"stazione"}},
};

}  // namespace

constexpr size_t kChiaviIntestazione = 8;

std::span<const Chiave> chiavi_linea() { return kLinea; }
std::span<const Chiave> chiavi_intestazione_linea() {
  return chiavi_linea().first(kChiaviIntestazione);
}
std::span<const Chiave> chiavi_corpo_linea() { return chiavi_linea().subspan(kChiaviIntestazione); }
std::span<const Chiave> chiavi_treno() { return kTreno; }

int distanza_in(std::string_view parola, std::string_view testo) {
  // Edit distance with the text's characters before and after the match
  // free: one column per letter of the word, one pass per character.
  std::vector<int> colonna(parola.size() + 1);
  for (size_t i = 0; i <= parola.size(); ++i) colonna[i] = static_cast<int>(i);
  int migliore = colonna.back();
  for (char t : testo) {
    int diagonale = colonna[0];  // the match may start anywhere
    for (size_t i = 1; i <= parola.size(); ++i) {
      const int sopra = colonna[i];
      colonna[i] = std::min({sopra + 1, colonna[i - 1] + 1,
                             diagonale + (minuscola(parola[i - 1]) == minuscola(t) ? 0 : 1)});
      diagonale = sopra;
    }
    migliore = std::min(migliore, colonna.back());
  }
  return migliore;
}

const Chiave* chiave_contenuta(std::string_view campo, std::span<const Chiave> chiavi) {
  campo = campo.substr(0, kInizioCampo);
  for (const Chiave& c : chiavi) {
    bool tutte = true;
    for (std::string_view p : c.parole)
      if (!p.empty() && !contiene_ci(campo, p)) tutte = false;
    if (tutte) return &c;
  }
  return nullptr;
}

const Chiave* chiave_vicina(std::string_view campo, std::span<const Chiave> chiavi) {
  const std::string_view inizio = campo.substr(0, kInizioCampo);
  const Chiave* vicina = nullptr;
  int minima = 0;
  for (const Chiave& c : chiavi) {
    int distanza = 0, lettere = 0;
    for (std::string_view p : c.parole) {
      distanza += distanza_in(p, inizio);
      lettere += static_cast<int>(p.size());
    }
    // About one letter in four may be wrong.
    if (distanza > std::max(1, lettere / 4)) continue;
    if (!vicina || distanza < minima) {
      vicina = &c;
      minima = distanza;
    }
  }
  return vicina;
}

}  // namespace tratta
