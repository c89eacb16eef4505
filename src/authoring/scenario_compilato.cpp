#include "authoring/scenario_compilato.h"

#include "authoring/display_text.h"
#include "model/file_percorso.h"
#include "model/file_treno.h"
#include "platform/folder_lock.h"
#include "platform/output_set.h"
#include "platform/platform.h"

namespace tratta {

namespace fs = std::filesystem;

namespace {

std::string mostra(const fs::path& p) { return visibile(platform::path_to_utf8(p), 400); }

ProblemaLettura guasto(const ErroreDecodifica& e) {
  return {ProblemaLettura::Tipo::kGuasto, e.testo()};
}

ProblemaLettura illeggibile(const platform::FileError& e) {
  return {ProblemaLettura::Tipo::kIlleggibile, e.text};
}

}  // namespace

namespace {

/// What stands at `p`, links followed: nothing when it is of the `voluto`
/// type, else the problem, named as found (missing, the other type, a loop
/// of links or another reason the system gives).
std::optional<ProblemaLettura> controlla(const fs::path& p, fs::file_type voluto,
                                         std::string_view cosa, std::string_view se_manca) {
  std::error_code ec;
  const fs::file_status stato = fs::status(p, ec);
  if (stato.type() == voluto) return std::nullopt;
  if (stato.type() == fs::file_type::not_found)
    return ProblemaLettura{ProblemaLettura::Tipo::kMancante,
                           "there is no " + std::string(cosa) + " '" + mostra(p) + "'" +
                               std::string(se_manca)};
  if (ec)
    return ProblemaLettura{ProblemaLettura::Tipo::kIlleggibile,
                           "cannot read '" + mostra(p) + "': " + ec.message()};
  const std::string trovato = stato.type() == fs::file_type::directory ? "a folder"
                              : stato.type() == fs::file_type::regular ? "a file"
                                                                       : "no regular file";
  return ProblemaLettura{ProblemaLettura::Tipo::kMancante,
                         "'" + mostra(p) + "' is " + trovato + ", not a " + std::string(cosa)};
}

}  // namespace

std::variant<ScenarioCompilato, ProblemaLettura> leggi_scenario_compilato(
    const fs::path& cartella, const NomiScenario& nomi, const platform::LockWait& attesa) {
  if (auto p = controlla(cartella, fs::file_type::directory, "folder", "")) return *p;
  // Read under the folder's lock, so that no run replaces the set meanwhile.
  platform::FileResult<platform::FolderLock> blocco = lock_for_reading(cartella, attesa);
  if (!blocco.ok()) return illeggibile(blocco.error());
  ScenarioCompilato s;
  s.nomi = nomi;
  s.file_percorso = cartella / platform::path_from_utf8(nome_file_percorso(nomi));
  s.file_treno = cartella / platform::path_from_utf8(nome_file_treno(nomi));
  s.file_linea = cartella / platform::path_from_utf8(nome_file_linea(nomi));

  std::string byte;
  for (const fs::path& p : {s.file_percorso, s.file_treno}) {
    if (auto problema = controlla(p, fs::file_type::regular, "file",
                                  " (give --scenario and --train-number as for compile)"))
      return *problema;
    const platform::FileResult<bool> letto = platform::read_file(p, byte);
    if (!letto.ok()) return illeggibile(letto.error());
    if (!letto.value())
      return ProblemaLettura{ProblemaLettura::Tipo::kMancante,
                             "there is no file '" + mostra(p) +
                                 "' (give --scenario and --train-number as for compile)"};
    if (p == s.file_percorso) {
      auto d = decodifica_file_percorso(byte, mostra(p));
      if (!d.ok()) return guasto(*d.errore);
      s.segmenti = std::move(d.valore);
    } else {
      auto d = decodifica_file_treno(byte, mostra(p));
      if (!d.ok()) return guasto(*d.errore);
      s.voci = std::move(d.valore);
    }
  }
  std::error_code ec;
  if (fs::exists(fs::symlink_status(s.file_linea, ec))) {
    if (auto problema = controlla(s.file_linea, fs::file_type::regular, "file", ""))
      return *problema;
    const platform::FileResult<bool> letto = platform::read_file(s.file_linea, byte);
    if (!letto.ok()) return illeggibile(letto.error());
    if (!letto.value())
      return ProblemaLettura{ProblemaLettura::Tipo::kIlleggibile,
                             "cannot read '" + mostra(s.file_linea) + "'"};
    auto d = decodifica_file_linea(byte, mostra(s.file_linea));
    if (!d.ok()) return guasto(*d.errore);
    s.linea = std::move(d.valore);
  }
  return s;
}

}  // namespace tratta
