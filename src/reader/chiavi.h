// The keywords of the descriptions' records, as the author writes them,
// for telling the author what a skipped line was likely meant to be. The
// reader's own keyword tests stand in the two halves; these tables only
// name the records.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace tratta {

/// A record's keyword as written in the descriptions and the words that
/// the reader looks for in it (all of them must stand in the field).
struct Chiave {
  std::string_view nome;
  std::string_view parole[2];
  /// The reader looks for the words in lower case only.
  bool esatta = false;
};

/// The records of the line description (header and body), of its header,
/// of its body and of the train description.
std::span<const Chiave> chiavi_linea();
std::span<const Chiave> chiavi_intestazione_linea();
std::span<const Chiave> chiavi_corpo_linea();
std::span<const Chiave> chiavi_treno();

/// The keyword of `chiavi` whose words all stand in `campo`, letter case
/// aside; none when there is none.
const Chiave* chiave_contenuta(std::string_view campo, std::span<const Chiave> chiavi);

/// The keyword of `chiavi` closest to `campo`: the one whose words need
/// the fewest letters changed, added or dropped to stand in the field's
/// first characters (letter case aside), when that is few for the
/// keyword's length. Ties go to the first in the table.
const Chiave* chiave_vicina(std::string_view campo, std::span<const Chiave> chiavi);

/// How many letters of `parola` must be changed, added or dropped before
/// it stands somewhere in `testo` (letter case aside).
int distanza_in(std::string_view parola, std::string_view testo);

}  // namespace tratta
