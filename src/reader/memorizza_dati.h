// The description reader: the line description, then the train
// description, read into the route model.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "model/diagnosi.h"
#include "model/route_model.h"
#include "reader/avvertenza.h"

namespace tratta {

/// The two descriptions to read.
struct Descrizioni {
  std::filesystem::path linea;
  std::filesystem::path treno;
  /// Delete each description once read (the one-shot run consumes them).
  bool consuma = true;
};

/// Reads the line description and the train description into `modello`,
/// which the caller has cleared; with `con_planimetria` non-zero it also
/// builds the plan from the curve records. A problem in the data stops the
/// reading early, the model left as far as it was filled; any run-time
/// failure is trapped as code 25. Returns the last diagnostic, code 0 when
/// there was none. With `avvertenze` it also collects the warnings of the
/// reading there, in the order of the descriptions' lines; they change
/// nothing that is read. Never throws.
Diagnosi memorizza_dati(RouteModel& modello, int32_t con_planimetria,
                        const Descrizioni& descrizioni,
                        std::vector<Avvertenza>* avvertenze = nullptr);

}  // namespace tratta
