#include "emitter/documents.h"

namespace tratta {

void scrivi_documenti(const std::filesystem::path& cartella, const NomiScenario& nomi) {
  dati_linea(cartella, nomi);
  dati_treno(cartella, nomi);
  dati_note(cartella, nomi);
  dati_rallentamenti(cartella, nomi);
  dati_scheda(cartella, nomi);
}

}  // namespace tratta
