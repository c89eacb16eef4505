// The catalogue of the diagnostic codes that a compile can leave: one row
// per code with its number, whether it names a position along the route,
// and its sentence for authors. The named constants that the reader, the
// placement routines and the finishing pass raise, the sentences and the
// position test of the messages, all come from this one table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

namespace tratta {

// CODICE(Name, number, names a position, sentence, how to mend it): in
// ascending number.
// 14 and 23 are no codes.
#define TRATTA_CODICI(CODICE)                                                                      \
  CODICE(Nessuno, 0, false,                                                                        \
         "no problem found",                                                                       \
         "")                                                                                       \
  CODICE(PercorsoTroppoLungo, 1, false,                                                            \
         "route length above 1,000,000 m",                                                         \
         "Give a route length of at most 1,000,000 m.")                                            \
  CODICE(ProgressivaNonMultipla, 2, false,                                                         \
         "a mileage change position or mileage is not a multiple of 50",                           \
         "Write each mileage change's position and mileage as multiples of 50 m.")                 \
  CODICE(InizioRipetizioneNonMultiplo, 3, false,                                                   \
         "signal repetition start is not a multiple of 50",                                        \
         "Move the repetition's start to a multiple of 50 m.")                                     \
  CODICE(FineRipetizioneNonMultipla, 4, false,                                                     \
         "signal repetition end is not a multiple of 50",                                          \
         "Move the repetition's end to a multiple of 50 m.")                                       \
  CODICE(RipetizioneSenzaCodici, 5, false,                                                         \
         "signal repetition record names neither 4 nor 9 codes",                                   \
         "Name the codes in the keyword: \"ripetizione segnali 9 codici\" or 4.")                  \
  CODICE(CartelloOccupato, 6, true,                                                                \
         "indication sign on a segment that is not free",                                          \
         "Move the sign by 50 m, or the record that took its segment.")                            \
  CODICE(AbbattimentoOccupato, 7, true,                                                            \
         "code abatement on a segment that is not free",                                           \
         "Move the abatement 50 m off the mark that took its segment (a signal's or a "            \
         "sign's).")                                                                               \
  CODICE(StazioneNonMultipla, 8, true,                                                             \
         "station position is not a multiple of 50",                                               \
         "Move the station to a multiple of 50 m.")                                                \
  CODICE(LunghezzaStazioneNonMultipla, 9, true,                                                    \
         "station length is not a multiple of 100",                                                \
         "Give the station a length that is a multiple of 100 m.")                                 \
  CODICE(TroppeStazioni, 10, false,                                                                \
         "too many stations: the station slots have reached the sign-text slots",                  \
         "Use fewer stations or fewer indication signs: they share the train file's "              \
         "slots.")                                                                                 \
  CODICE(AbbattimentoPrimaDelSegnale, 11, true,                                                    \
         "no free segment for the code abatement before a signal that lies up to 20 "              \
         "segments before a slowdown warning",                                                     \
         "Free a segment just before the signal (move a mark by 50 m), or move the "               \
         "slowdown.")                                                                              \
  CODICE(AbbattimentoPrimaDelRallentamento, 12, true,                                              \
         "no free segment for a code abatement before a slowdown start",                           \
         "Free the segments just before the slowdown's start, or move the slowdown.")              \
  CODICE(AbbattimentoNelRallentamento, 13, true,                                                   \
         "no free segment for a code abatement inside a slowdown or before the first "             \
         "signal after its end",                                                                   \
         "Free a segment inside the slowdown, or before the first signal after its end.")          \
  CODICE(OltrePercorso, 15, true,                                                                  \
         "record lies beyond the end of the route",                                                \
         "Lengthen the route, or move the record before its end (a station needs 800 m "           \
         "past it).")                                                                              \
  CODICE(SegnaleOccupato, 16, true,                                                                \
         "signal on a segment that is not free",                                                   \
         "Move the signal by 50 m, or the record that took its segment.")                          \
  CODICE(AvvisoRallentamentoOccupato, 17, true,                                                    \
         "slowdown warning on a segment that is not free",                                         \
         "Move the slowdown so that its warning, 1200 m before it, falls on a free "               \
         "segment.")                                                                               \
  CODICE(InizioRallentamentoOccupato, 18, true,                                                    \
         "slowdown start on a segment that is not free",                                           \
         "Move the slowdown's start 50 m off the taken segment.")                                  \
  CODICE(FineRallentamentoOccupato, 19, true,                                                      \
         "slowdown end on a segment that is not free",                                             \
         "Change the slowdown's length so that its end falls on a free segment.")                  \
  CODICE(PreavvisoOccupato, 20, true,                                                              \
         "one of the four segments before a slowdown warning is not free",                         \
         "Move the slowdown, or set f_ta to 0, so that the segments before its warning "           \
         "are free.")                                                                              \
  CODICE(IndicatoreOccupato, 21, true,                                                             \
         "maximum-speed indicator on a segment that is not free",                                  \
         "Move the indicator by 50 m, or the record that took its segment.")                       \
  CODICE(StazioniVicine, 22, true,                                                                 \
         "station starts less than 350 m after the previous station's end",                        \
         "Leave at least 350 m between a station's end and the next station's start.")             \
  CODICE(StazioneAllInizio, 24, false,                                                             \
         "station ends at or before 100 m",                                                        \
         "Move the station further along: it must end after 100 m.")                               \
  CODICE(LetturaFallita, 25, false,                                                                \
         "the description could not be read",                                                      \
         "The detail says what failed (a field that is no number, a value too wide, an "           \
         "end too early): mend that record.")                                                      \
  CODICE(LineaMancante, 101, false,                                                                \
         "line description file missing",                                                          \
         "Give the path of an existing line description.")                                         \
  CODICE(SenzaGenerale, 102, false,                                                                \
         "line description without a \"[generale]\" field",                                        \
         "Put the \"[generale]\" heading before the line description's header records.")           \
  CODICE(CurvaNonTracciabile, 103, false,                                                          \
         "curve record without a class digit, or the plan runs past 1,000,000 m",                  \
         "Give the curve a class digit, 1 to 6, in its keyword, or shorten the plan.")

/// One code of the catalogue.
struct Codice {
  int32_t numero;
  /// The name of its constant, without "kCodice".
  std::string_view nome;
  /// True when the code comes with a position in `posizione_errore`.
  bool con_posizione;
  /// What is wrong, in one sentence for authors.
  std::string_view frase;
  /// How an author mends it.
  std::string_view rimedio;
};

// kCodiceNessuno = 0, kCodicePercorsoTroppoLungo = 1, ...
#define TRATTA_COSTANTE_CODICE(nome, numero, con_posizione, frase, rimedio) \
  inline constexpr int32_t kCodice##nome = numero;
TRATTA_CODICI(TRATTA_COSTANTE_CODICE)
#undef TRATTA_COSTANTE_CODICE

inline constexpr Codice kCatalogoCodici[] = {
#define TRATTA_RIGA_CODICE(nome, numero, con_posizione, frase, rimedio) \
  {numero, #nome, con_posizione, frase, rimedio},
    TRATTA_CODICI(TRATTA_RIGA_CODICE)
#undef TRATTA_RIGA_CODICE
};

/// The catalogue's row for `numero`; nullptr when no code has that number.
constexpr const Codice* trova_codice(int32_t numero) {
  for (const Codice& c : kCatalogoCodici)
    if (c.numero == numero) return &c;
  return nullptr;
}

/// The catalogue in ascending number, each number once.
constexpr bool catalogo_in_ordine() {
  for (size_t i = 1; i < std::size(kCatalogoCodici); ++i)
    if (kCatalogoCodici[i - 1].numero >= kCatalogoCodici[i].numero) return false;
  return true;
}
static_assert(catalogo_in_ordine());

/// The stamping's fatal errors, shown as " Errore n. 1250" (or 1251) with
/// no file written: a mark field, or a route code field, already taken.
inline constexpr int32_t kErroreMarcaPresa = 1250;
inline constexpr int32_t kErroreCodiceGaraPreso = 1251;

/// The fatal errors, as the codes: what is wrong and how to mend it.
inline constexpr Codice kErroriFatali[] = {
    {kErroreMarcaPresa, "MarcaPresa", false, "a mark field of segment 1 is already taken",
     "Move further along the record whose mark lands on segment 1 (from 50 m to 100 m)."},
    {kErroreCodiceGaraPreso, "CodiceGaraPreso", false,
     "the route code field of segment 1 is already taken",
     "Move further along the record whose mark lands on segment 1."},
};

/// The row of the fatal error `numero`; nullptr when there is none.
constexpr const Codice* trova_errore_fatale(int32_t numero) {
  for (const Codice& c : kErroriFatali)
    if (c.numero == numero) return &c;
  return nullptr;
}

}  // namespace tratta
