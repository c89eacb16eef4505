// The finishing pass: code abatements that the descriptions do not state.
#pragma once

#include <cstdint>
#include <optional>

#include "model/diagnosi.h"
#include "model/route_model.h"

namespace tratta {

/// The abatement value that the pass inserts, and the cap it puts on an
/// abatement already there.
inline constexpr int16_t kValoreAbbattimento = 180;

/// The smaller of two values; `x` when they are equal.
template <typename T>
constexpr T minimo(T x, T y) {
  return x > y ? y : x;
}

/// Walks segments 1 to `ultimo_segmento` - 2 and adds code abatements
/// (`tipo` 12, value 180): before each signal in the 20 segments before a
/// slowdown warning, at three distances before each slowdown start, every
/// 8 segments inside a slowdown below 110 and before the first signal after
/// its end. A conflict gives code 11, 12 or 13 at its position and the pass
/// goes on; the last conflict comes back, nothing when there was none.
std::optional<Diagnosi> completa_percorso(RouteModel& modello);

}  // namespace tratta
