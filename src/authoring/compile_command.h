// The compile subcommand's parts, shared by `compile` and `watch`: its
// options, the compile of the two descriptions into the scenario files,
// and the report of its outcome.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/command_line.h"
#include "authoring/esito_comando.h"
#include "compile/file_descriptions.h"
#include "model/file_names.h"
#include "platform/disk.h"

namespace tratta {

struct OpzioniCompile {
  OrigineDescrizione linea, treno;
  std::filesystem::path uscita = ".";
  NomiScenario nomi = nomi_predefiniti();
  bool piano = true;
  bool json = false;
  bool rigoroso = false;
  bool aspetta = true;
  std::uint64_t limite = kLimiteDescrizione;
  bool da_utf8 = false;
  /// The descriptions must be regular files (the watch reads them again at
  /// each save): anything else is bad use, never waited for.
  bool solo_file = false;
  /// After a diagnostic, the files written as far as the descriptions were
  /// read; without it the set of before stays.
  bool parziale = false;
};

/// The options of compile from its arguments (`argomenti[0]` names the
/// subcommand); `altre` takes the options of a subcommand that adds its own
/// to compile's. Bad use (UsoErrato) when they are wrong or a description
/// is missing.
OpzioniCompile leggi_opzioni(const std::vector<std::string>& argomenti,
                             const LettoreOpzione& altre = {});

/// Reads, compiles and writes; the outcome goes into `e`. The files are
/// replaced only when the compile has no diagnostic (warnings aside) or
/// with --partial, and never after a taken stamp; otherwise those of
/// before stay, and `e` names them. Throws UsoErrato before anything is
/// written.
void compila(const OpzioniCompile& o, EsitoComando& e, std::ostream& err, platform::Disk& disco);

/// The outcome of bad use: `messaggio` says what is wrong.
EsitoComando esito_uso_errato(std::string messaggio);

/// One compile with `o`, as `compila` makes it; bad use found on the way is
/// its outcome too.
EsitoComando esito_compile(const OpzioniCompile& o, std::ostream& err, platform::Disk& disco);

/// What went wrong in one line, as the watch and the served page tell it:
/// the diagnostic (riga_diagnosi), the stamp field taken (" Errore n. 1250
/// ..." with its mend), or the error; empty when the compile wrote its
/// files.
std::string riga_fallimento(const EsitoComando& e);

/// True when the arguments of compile ask for its JSON report: it is
/// printed whatever the outcome, a wrong argument or no memory included.
bool chiede_json(const std::vector<std::string>& argomenti);

/// The outcome of compile, or of `comando`, which takes its options, on
/// stdout (with --json) and stderr (bad use points to the help of
/// `comando`, or to the program's when none is named); returns the exit
/// status.
int riporta_compile(const EsitoComando& e, bool json, std::ostream& out, std::ostream& err,
                    std::string_view comando = {});

/// `tratta_valle3 compile`.
int comando_compile(const std::vector<std::string>& argomenti, std::ostream& out,
                    std::ostream& err, platform::Disk& disco);

}  // namespace tratta
