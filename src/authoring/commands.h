// The authoring subcommands: emit the built-in descriptions, compile a
// scenario author's own descriptions with diagnostics.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tratta {

/// Exit statuses of the subcommands.
enum StatoUscita {
  kUscitaOk = 0,
  kUscitaErroreFatale = 1,
  kUscitaUsoErrato = 2,
  kUscitaDiagnosi = 3,
};

/// Runs the subcommand named by `argomenti` (the program's arguments
/// without its name, at least one) and returns the exit status.
int esegui_comando(const std::vector<std::string>& argomenti, std::ostream& out,
                   std::ostream& err);

}  // namespace tratta
