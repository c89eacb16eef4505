#include "run/form_load.h"

#include "authoring/display_text.h"
#include "compile/errore.h"
#include "compile/file_descriptions.h"
#include "compile/memorizza_percorso.h"
#include "emitter/documents.h"
#include "platform/file_result.h"
#include "platform/folder_lock.h"
#include "platform/platform.h"

namespace tratta {

namespace {

/// A file that could not be written or read: reported the way the platform
/// reports errors, and the run ends with a failure status.
int fallita(const platform::FileError& e) {
  platform::report_failure(visibile(e.text, std::string::npos));
  return 1;
}

/// The same for a file of the run's folder, `cartella`, which the program
/// could not write: where it tried, and how the same scenario is built in
/// a folder of one's own.
int non_scritta(const platform::FileError& e, const std::filesystem::path& cartella,
                const NomiScenario& nomi) {
  platform::report_failure(visibile(e.text, std::string::npos) +
                           "\nThe scenario is built beside the program, in '" +
                           visibile(platform::path_to_utf8(cartella), std::string::npos) +
                           "', and could not be written there. To build it in a folder of "
                           "your own:\n  tratta_valle3 emit DIR\n  tratta_valle3 compile DIR/" +
                           nome_descrizione_linea(nomi) + " DIR/" + nome_descrizione_treno(nomi) +
                           " --out DIR");
  return 1;
}

}  // namespace

int Form_Load() {
  RouteModel modello;
  modello.nomi = nomi_predefiniti();
  platform::show_window("Attendere");

  const platform::FileResult<std::filesystem::path> propria = platform::program_directory();
  if (!propria.ok()) return fallita(propria.error());
  const std::filesystem::path& cartella = propria.value();
  // The whole run holds its folder: another run there waits for this one
  // to end, and never reads these descriptions nor mixes its files with
  // these.
  platform::FileResult<platform::FolderLock> blocco =
      platform::lock_folder(cartella, platform::LockMode::kExclusive);
  if (!blocco.ok()) return non_scritta(blocco.error(), cartella, modello.nomi);
  if (platform::FileStatus s = scrivi_documenti(blocco.value(), modello.nomi); !s.ok())
    return non_scritta(s.error(), cartella, modello.nomi);

  // The descriptions just written are read back, within the usual bound on
  // their size, and deleted once read.
  FileDescriptions descrizioni(cartella / nome_descrizione_linea(modello.nomi),
                               cartella / nome_descrizione_treno(modello.nomi), true,
                               kLimiteDescrizione);
  const int32_t j = 1;
  EsitoCompilazione esito;
  const platform::FileStatus scritti = memorizza_percorso(modello, j, descrizioni, blocco.value(), esito);
  if (!scritti.ok()) return non_scritta(scritti.error(), cartella, modello.nomi);
  if (esito.errore_fatale != 0) errore(std::to_string(esito.errore_fatale));
  if (esito.senza_segmenti) {
    platform::report_failure(
        "the line description gave no route segments: no scenario file was written");
    return 1;
  }
  return 0;
}

}  // namespace tratta
