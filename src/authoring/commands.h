// The authoring subcommands: emit the built-in descriptions, compile a
// scenario author's own descriptions with diagnostics, inspect and view
// the compiled files.
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/disk.h"

namespace tratta {

/// Exit statuses of the subcommands.
enum StatoUscita {
  kUscitaOk = 0,
  kUscitaErroreFatale = 1,
  kUscitaUsoErrato = 2,
  kUscitaDiagnosi = 3,
  kUscitaFileGuasto = 3,     ///< inspect, view: a damaged or foreign scenario file
  kUscitaErroreSistema = 4,  ///< a file that cannot be read or written, no memory
  kUscitaAvvertenze = 5,     ///< compile --strict: the reading gave warnings
  kUscitaTroppoGrande = 6,   ///< compile: a description larger than the bound on its size
};

/// The options that `sottocomando` takes, as its help names them (none for
/// a name that is no subcommand): an unknown option is told with the
/// closest of them.
std::span<const std::string_view> opzioni_di(std::string_view sottocomando);

/// Runs the subcommand named by `argomenti` (the program's arguments
/// without its name, at least one) and returns the exit status; the files
/// it writes go through `disco`. Never throws: whatever fails ends in an
/// exit status and a message on `err`.
int esegui_comando(const std::vector<std::string>& argomenti, std::ostream& out,
                   std::ostream& err, platform::Disk& disco = platform::system_disk());

}  // namespace tratta
