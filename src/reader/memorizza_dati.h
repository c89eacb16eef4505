// The description reader: the line description, then the train
// description, read into the route model.
#pragma once

#include <filesystem>
#include <string>

#include "model/route_model.h"

namespace tratta {

/// The two descriptions to read.
struct Descrizioni {
  std::filesystem::path linea;
  std::filesystem::path treno;
  /// Delete each description once read (the one-shot run consumes them).
  bool consuma = true;
};

/// Where the reader recorded its last status: the description file, the
/// line of the record being read (0 when no record was), and for status 25
/// what failed.
struct LuogoDiagnosi {
  std::filesystem::path file;
  int riga = 0;
  std::string dettaglio;
};

/// Reads the line description and the train description into `modello`,
/// which the caller has cleared; with `con_planimetria` non-zero it also
/// builds the plan from the curve records. A problem in the data leaves its status in
/// `codice_errore` (and `posizione_errore`) and stops the reading early;
/// any run-time failure is trapped as status 25. Never throws.
LuogoDiagnosi memorizza_dati(RouteModel& modello, int32_t con_planimetria,
                             const Descrizioni& descrizioni);

}  // namespace tratta
