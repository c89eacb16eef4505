// A value that runs along the segment row from record to record: the
// gradient of the line, the speed and the adhesion of the train.
#pragma once

#include <climits>
#include <cstdint>
#include <optional>

#include "model/route_model.h"
#include "reader/field_source.h"

namespace tratta {

/// Each record's value applies from the record's segment, round(p / 50),
/// up to the segment before the next record's; the segments before the
/// first record get the value that runs from the start, 0.
struct ValoreCorrente {
  /// The byte of a segment that the value goes into, and how the value
  /// becomes that byte (a value that does not fit is a run-time failure
  /// there, before the segment is looked at).
  uint8_t Segmento::*campo;
  uint8_t (*in_byte)(int32_t valore);
  /// What the value is, in the warnings.
  const char* nome;

  /// The next segment to fill.
  int32_t cursore = 0;
  /// The value running now.
  int32_t valore = 0;
  /// The position of the record whose value runs now, and the segment from
  /// which it runs; none before the first record.
  std::optional<int32_t> posizione{};
  int32_t da_segmento = 0;

  /// A record "keyword, position, value": the bound check, then, when the
  /// record lies past segment 0, the segments from the cursor up to the
  /// record's own filled with the value before it, then its value running.
  /// With a `limite`, the fill stops as soon as the cursor stands at or
  /// past it.
  std::optional<Arresto> record(FieldSource& fonte, RouteModel& m, int32_t limite = INT32_MAX);

  /// The end step: the running value up to the segment before `fino`.
  void finisci(RouteModel& m, int32_t fino);

 private:
  /// The segment under the cursor, then the cursor moved on, until it
  /// reaches `fino`: at least once, even when it is there already.
  void riempi(RouteModel& m, int32_t fino, int32_t limite);
  /// The warning for a record at `p` that lies before the one whose value
  /// ran until now.
  void avverti_indietro(FieldSource& fonte, int32_t p) const;
};

}  // namespace tratta
