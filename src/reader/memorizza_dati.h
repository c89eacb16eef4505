// The description reader: the line description, then the train
// description, read into the route model.
#pragma once

#include <cstdint>
#include <vector>

#include "model/diagnosi.h"
#include "model/route_model.h"
#include "reader/avvertenza.h"
#include "reader/description_source.h"

namespace tratta {

/// Reads the line description and the train description of `sorgente`
/// into `modello`,
/// which the caller has cleared; with `con_planimetria` non-zero it also
/// builds the plan from the curve records. A problem in the data stops the
/// reading early, the model left as far as it was filled; any run-time
/// failure is trapped as code 25. Returns the last diagnostic, code 0 when
/// there was none. With `avvertenze` it also collects the warnings of the
/// reading there, in the order of the descriptions' lines; they change
/// nothing that is read. Never throws.
Diagnosi memorizza_dati(RouteModel& modello, int32_t con_planimetria,
                        DescriptionSource& sorgente,
                        std::vector<Avvertenza>* avvertenze = nullptr);

}  // namespace tratta
