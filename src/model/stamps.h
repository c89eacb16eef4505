// The two fixed stamps and the route codes that the compile step puts into
// the model before the files are written.
#pragma once

#include "model/route_model.h"

namespace tratta {

inline constexpr int16_t kMarcaLinea = 610;
inline constexpr int16_t kMarcaSegmento = 5121;

/// Sets slot 85's mark and segment 1's mark, then the two route codes, each
/// only when its fields are still 0. Returns 0 when all four were set,
/// 1250 when a mark field was taken, 1251 when a code field was taken.
/// The model must have a segment 1.
int apponi_timbri(RouteModel& modello);

}  // namespace tratta
