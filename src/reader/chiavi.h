// The records' keywords as the warnings name them: for a skipped line, the
// record that it was likely meant to be, looked for among the records of
// the table (reader/tabella_record.h) in the table's order.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "reader/tabella_record.h"

namespace tratta {

/// The record of `record` whose keyword words all stand in `campo`,
/// letter case aside; none when there is none.
const DefinizioneRecord* chiave_contenuta(std::string_view campo,
                                          std::span<const DefinizioneRecord> record);

/// The record of `record` with the keyword closest to `campo`: the one
/// whose words need the fewest letters changed, added or dropped to stand
/// in the field's first characters (letter case aside), when that is few
/// for the keyword's length. Ties go to the first in the table.
const DefinizioneRecord* chiave_vicina(std::string_view campo,
                                       std::span<const DefinizioneRecord> record);

/// How many letters of `parola` must be changed, added or dropped before
/// it stands somewhere in `testo` (letter case aside).
int distanza_in(std::string_view parola, std::string_view testo);

/// The word of `parole` closest to `scritta`, by the measure of the
/// keywords: the fewest letters changed, added or dropped, either way
/// round (letter case aside), when that is about one letter in four of the
/// word at most. Ties go to the first; none when no word is that close.
std::optional<std::string_view> parola_vicina(std::string_view scritta,
                                              std::span<const std::string_view> parole);

}  // namespace tratta
