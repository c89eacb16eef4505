// Placement routines: one description record each, turned into marks on
// the segment row. A conflict comes back as a diagnostic with
// the record's position, and the reader stops; an index outside the row
// throws ErroreLettura.
#pragma once

#include <cstdint>
#include <optional>

#include "model/diagnosi.h"
#include "model/route_model.h"

namespace tratta {

/// The segment `i` of the row, or ErroreLettura when there is none.
Segmento& segmento(RouteModel& modello, int64_t i);

/// A montagna stretch from `inizio` to `fine` (metres) of class `tipo`
/// (above 10: class minus 10, with a marker every fourth segment). A
/// stretch that starts within 150 m of the previous one's end is class 3.
void memo_montagna(RouteModel& modello, int32_t inizio, int32_t fine, int32_t tipo);

/// A maximum-speed indicator on segment round(posizione / 50 + 1); code 21
/// when that segment is not free. The segment's `tipo` is set before its
/// values are computed, one after another.
std::optional<Diagnosi> memo_indicatori_v_max(RouteModel& modello, int32_t posizione,
                                              int32_t vas, int32_t vbs, int32_t vcs,
                                              int32_t strisces, int32_t vad, int32_t vbd,
                                              int32_t vcd, int32_t strisced);

/// A signal on segment round(posizione / 50 + 1) with its approach marks
/// 100, 200, 300 and 400 m before it; code 16 when the segment is not free.
std::optional<Diagnosi> memo_segnale(RouteModel& modello, int32_t posizione, int32_t sx,
                                     int32_t s1, int32_t s2, int32_t s3, int32_t rapp,
                                     int32_t dx, int32_t d1, int32_t d2, int32_t d3,
                                     int32_t tempo);

/// A slowdown from `x` for `l` metres: start and end marks, a warning
/// 1200 m before the start when `x` > 1500, and with `f_ta` the four
/// segments before the warning. Codes 17 to 20 for taken segments.
std::optional<Diagnosi> memo_rallentamento(RouteModel& modello, int32_t x, int32_t v, int32_t l,
                                           int32_t f_tt, int32_t f_ta, int32_t d_v);

}  // namespace tratta
