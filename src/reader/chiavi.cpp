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

/// The bound on the letters that may be wrong in a word of `lettere`
/// letters: about one in four.
int lettere_sbagliate(int lettere) { return std::max(1, lettere / 4); }

}  // namespace

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

std::optional<std::string_view> parola_vicina(std::string_view scritta,
                                              std::span<const std::string_view> parole) {
  std::optional<std::string_view> vicina;
  int minima = 0;
  for (std::string_view p : parole) {
    const int d = std::max(distanza_in(p, scritta), distanza_in(scritta, p));
    if (d > lettere_sbagliate(static_cast<int>(p.size()))) continue;
    if (!vicina || d < minima) {
      vicina = p;
      minima = d;
    }
  }
  return vicina;
}

const DefinizioneRecord* chiave_contenuta(std::string_view campo,
                                          std::span<const DefinizioneRecord> record) {
  campo = campo.substr(0, kInizioCampo);
  for (const DefinizioneRecord& c : record) {
    bool tutte = true;
    for (std::string_view p : c.parole)
      if (!p.empty() && !contiene_ci(campo, p)) tutte = false;
    if (tutte) return &c;
  }
  return nullptr;
}

const DefinizioneRecord* chiave_vicina(std::string_view campo,
                                       std::span<const DefinizioneRecord> record) {
  const std::string_view inizio = campo.substr(0, kInizioCampo);
  const DefinizioneRecord* vicina = nullptr;
  int minima = 0;
  for (const DefinizioneRecord& c : record) {
    int distanza = 0, lettere = 0;
    for (std::string_view p : c.parole) {
      distanza += distanza_in(p, inizio);
      lettere += static_cast<int>(p.size());
    }
    if (distanza > lettere_sbagliate(lettere)) continue;
    if (!vicina || distanza < minima) {
      vicina = &c;
      minima = distanza;
    }
  }
  return vicina;
}

}  // namespace tratta
