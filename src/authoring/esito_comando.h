// The outcome of the compile subcommand, as one JSON object, and the one
// way its diagnostic and its warnings are told in lines of text.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/diagnosi.h"
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
  /// What caused the diagnostic, when the reader knows.
  std::optional<std::string> causa;
  int fatale = 0;  // 1250 or 1251
  std::vector<std::string> file_scritti;
  /// Files of the set kept from before: the line file under --no-plan, the
  /// whole set after a diagnostic (but with --partial) or a taken stamp;
  /// and why files of the set were not written, then (even when the folder
  /// held none of them).
  std::vector<std::string> file_tenuti;
  std::optional<std::string> perche_tenuti;
  /// Bad use or a failure of the system: what went wrong.
  std::optional<std::string> errore;
  /// The reading's warnings.
  std::vector<Avvertenza> avvertenze;
};

/// The reading's diagnostic `d` into `e`: its code, position, sentence
/// (with the detail of a failed reading), cause, description and line.
void riporta_diagnosi(const Diagnosi& d, EsitoComando& e);

/// How to mend what stopped the compile: the catalogue's text for its
/// diagnostic code, or for its fatal error; none when there is neither.
std::optional<std::string> rimedio(const EsitoComando& e);

/// The diagnostic as every place tells it after its description and line:
/// "code N: ", what is wrong, where on the route, what caused it, and how
/// to mend it. The terminal, the watch and the editor all show this text.
std::string testo_diagnosi(const EsitoComando& e);

/// The diagnostic as a line: its description and line, then
/// testo_diagnosi(); every byte readable.
std::string riga_diagnosi(const EsitoComando& e);

/// A warning as a line: "FILE:LINE: warning: ...", every byte readable.
std::string riga_avvertenza(const Avvertenza& a);

/// Which files of the set were kept from before, and why ("kept from
/// before: 'A', 'B' (why)", or "no file written: why" when the folder held
/// none of them); none when the compile wrote what it was asked to.
std::optional<std::string> riga_tenuti(const EsitoComando& e);

/// The outcome as one line of JSON, in valid UTF-8 whatever bytes its texts
/// hold: codice_errore, posizione_errore, file, line, message (with the
/// cause), mend, fatal, files, kept, kept_because, warnings (lists, empty
/// when there are none), exit_status and error, with null where there is
/// nothing to say.
std::string json_esito(const EsitoComando& e);

}  // namespace tratta
