#include "run/form_load.h"

#include "compile/file_descriptions.h"
#include "compile/memorizza_percorso.h"
#include "emitter/documents.h"
#include "platform/platform.h"
#include "compile/errore.h"

namespace tratta {

int Form_Load() {
  RouteModel modello;
  modello.nomi = nomi_predefiniti();
  platform::show_window("Attendere");

  const std::filesystem::path cartella = platform::program_directory();
  scrivi_documenti(cartella, modello.nomi);

  // The descriptions just written are read back and deleted once read.
  FileDescriptions descrizioni(cartella / nome_descrizione_linea(modello.nomi),
                               cartella / nome_descrizione_treno(modello.nomi), true);
  const int32_t j = 1;
  EsitoCompilazione esito;
  memorizza_percorso(modello, j, descrizioni, cartella, esito);
  if (esito.errore_fatale != 0) errore(std::to_string(esito.errore_fatale));
  if (esito.senza_segmenti) {
    platform::report_failure(
        "the line description gave no route segments: no scenario file was written");
    return 1;
  }
  return 0;
}

}  // namespace tratta
