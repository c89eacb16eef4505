// Ordering of the three mileage change points of the line header, and the
// check of the ordered rows once the whole reading is done.
#pragma once

#include <optional>

#include "model/diagnosi.h"
#include "model/route_model.h"

namespace tratta {

/// Puts the rows of slots 81 ("tre"), 82 ("due") and 83 ("uno") in
/// descending order of position (or, when the positions add up to 0, by
/// mileage), then adds 100 to the mileage of every row whose flag is 1.
/// Throws ErroreLettura when the sum of the positions overflows.
void progressive_ordina(RouteModel& modello);

/// Code 2 when a position or a mileage of the ordered rows is not a
/// multiple of 50.
std::optional<Diagnosi> verifica_progressive(const RouteModel& modello);

}  // namespace tratta
