// The outcome of the compile subcommand, as one JSON object.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "reader/avvertenza.h"

namespace tratta {

/// How one compile ended.
struct EsitoComando {
  int stato = 0;  // the exit status
  /// The reader's last status and its position; none when nothing was read.
  std::optional<int> codice_errore, posizione_errore;
  /// The description and line the status names (UTF-8 path), when it does.
  std::optional<std::string> file;
  int riga = 0;
  /// The status in a sentence; none when nothing was read.
  std::optional<std::string> messaggio;
  int fatale = 0;  // 1250 or 1251
  std::vector<std::string> file_scritti;
  /// Files of the set kept from before (the line file, under --no-plan).
  std::vector<std::string> file_tenuti;
  /// Bad use or a failure of the system: what went wrong.
  std::optional<std::string> errore;
  /// The reading's warnings.
  std::vector<Avvertenza> avvertenze;
};

/// The outcome as one line of JSON, in valid UTF-8 whatever bytes its texts
/// hold: codice_errore, posizione_errore, file, line, message, fatal,
/// files, kept, warnings (lists, empty when there are none), exit_status
/// and error, with null where there is nothing to say.
std::string json_esito(const EsitoComando& e);

}  // namespace tratta
