// The diagnostic of a record whose segment is not free, naming what took
// the segment: the event on it and the record that put it there.
#pragma once

#include <cstdint>

#include "model/diagnosi.h"
#include "model/route_model.h"

namespace tratta {

/// Code `codice` at `posizione` for the record being placed, whose segment
/// `k` is taken; its cause says by what ("the segment of 9200 m is taken
/// by the signal written at line 71 (9150 m)").
Diagnosi segmento_occupato(const RouteModel& modello, int32_t codice, int32_t posizione,
                           int64_t k);

}  // namespace tratta
