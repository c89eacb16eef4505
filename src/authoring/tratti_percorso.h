// The running values of a compiled route (speed limit, gradient, adhesion,
// montagna class) as stretches: runs of segments that hold the same value.
// Twenty thousand segments of a long route come down to a few hundred
// stretches, which is what the listing prints and the page draws.
#pragma once

#include <cstdint>
#include <vector>

#include "model/route_model.h"

namespace tratta {

struct Tratto {
  int64_t da = 0;         ///< first metre: first segment x 50
  int64_t a = 0;          ///< end: (last segment + 1) x 50
  uint8_t valore = 0;     ///< the field's value throughout
  int32_t marcatori = 0;  ///< montagna markers (tipo 11) inside it
};

struct TrattiPercorso {
  std::vector<Tratto> velocita;  ///< `vel_limite`, units of 5 km/h
  std::vector<Tratto> pendenza;  ///< `pendenza_seg`, per mille + 100
  std::vector<Tratto> aderenza;  ///< `aderenza_seg`
  /// `classe_montagna`, only where it is not 0.
  std::vector<Tratto> montagna;
};

TrattiPercorso tratti_percorso(const std::vector<Segmento>& segmenti);

}  // namespace tratta
