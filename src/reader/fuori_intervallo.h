// Values outside their field's range: a record's numbers compared with the
// ranges of the table of records, and for each one outside, what the reader
// keeps of it, in words. The reader reads any 32-bit number and keeps it as
// it always has; the warning only tells the author.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "reader/tabella_record.h"

namespace tratta {

/// The warning for field `i` of record `r` when its value lies outside the
/// field's range; nothing when it lies inside, or when the reading fails on
/// it anyway. `valori` holds the record's fields as read, in order (a text
/// field as 0), at least up to field `i`.
std::optional<std::string> avvertenza_intervallo(const DefinizioneRecord& r, size_t i,
                                                 std::span<const int32_t> valori);

}  // namespace tratta
