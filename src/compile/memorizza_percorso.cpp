#include "run/memorizza_percorso.h"

#include "model/finishing_pass.h"
#include "model/scenario_files.h"
#include "model/stamps.h"

namespace tratta {

void memorizza_percorso(RouteModel& modello, int32_t j, const Descrizioni& descrizioni,
                        const std::filesystem::path& uscita, EsitoCompilazione& esito) {
  esito = EsitoCompilazione();
  modello.pulisci_voci();
  esito.diagnosi = memorizza_dati(modello, j, descrizioni, &esito.avvertenze);
  if (auto d = completa_percorso(modello)) registra(esito.diagnosi, std::move(*d));
  if (modello.ultimo_segmento < 1 || modello.segmenti.size() < 2) {
    esito.senza_segmenti = true;
    return;
  }
  esito.errore_fatale = apponi_timbri(modello);
  if (esito.errore_fatale != 0) return;
  esito.file_scritti = scrivi_file_scenario(modello, j, uscita);
}

}  // namespace tratta
