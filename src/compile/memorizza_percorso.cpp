#include "compile/memorizza_percorso.h"

#include "model/finishing_pass.h"
#include "model/scenario_files.h"
#include "model/stamps.h"
#include "reader/memorizza_dati.h"

namespace tratta {

void memorizza_percorso(RouteModel& modello, int32_t j, DescriptionSource& sorgente,
                        EsitoCompilazione& esito) {
  esito = EsitoCompilazione();
  modello.pulisci_voci();
  esito.diagnosi = memorizza_dati(modello, j, sorgente, &esito.avvertenze);
  if (auto d = completa_percorso(modello)) registra(esito.diagnosi, std::move(*d));
  if (modello.ultimo_segmento < 1 || modello.segmenti.size() < 2) {
    esito.senza_segmenti = true;
    return;
  }
  esito.errore_fatale = apponi_timbri(modello);
}

platform::FileStatus memorizza_percorso(RouteModel& modello, int32_t j,
                                        DescriptionSource& sorgente,
                                        const platform::FolderLock& uscita,
                                        EsitoCompilazione& esito, platform::Disk& disco) {
  memorizza_percorso(modello, j, sorgente, esito);
  if (!esito.scrivibile()) return {};
  auto scritti = scrivi_file_scenario(modello, j, uscita, disco);
  if (!scritti.ok()) return scritti.status();
  esito.file_scritti = std::move(scritti.value());
  return {};
}

}  // namespace tratta
