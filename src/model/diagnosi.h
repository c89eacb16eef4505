// A diagnostic of the scenario data, as a value: what the placement
// routines, the reader's records and the finishing pass give back when a
// description asks for something the route cannot hold.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

namespace tratta {

/// A diagnostic code with what goes with it. The codes are the compile
/// step's diagnostic codes (1 to 25, 101 to 103); 0 means none.
struct Diagnosi {
  int32_t codice_errore = 0;
  /// Metres along the route; only the codes that name a position carry one.
  std::optional<int32_t> posizione_errore{};
  /// The description whose record gave the code and the line of the
  /// record's keyword field (0 when no record was being read). Empty for the
  /// finishing pass, whose codes name a position and no record.
  std::filesystem::path file{};
  int riga = 0;
  /// For code 25: what failed.
  std::string dettaglio{};
  /// What caused it, when the reader knows more than the code says: the
  /// record that took a segment, a keyword that no comma follows.
  std::string causa{};
};

/// Records `nuova` over `ultima`: only the last diagnostic survives, but one
/// that names no position leaves the position recorded before it.
inline void registra(Diagnosi& ultima, Diagnosi nuova) {
  if (!nuova.posizione_errore) nuova.posizione_errore = ultima.posizione_errore;
  ultima = std::move(nuova);
}

}  // namespace tratta
