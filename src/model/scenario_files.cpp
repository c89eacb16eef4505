#include "model/scenario_files.h"

#include "platform/output_set.h"

namespace tratta {

std::vector<std::string> scrivi_file_scenario(const RouteModel& modello,
                                              int32_t con_planimetria,
                                              const std::filesystem::path& cartella) {
  std::vector<std::string> scritti;
  OutputSet set;
  if (con_planimetria != 0) {
    scritti.push_back(nome_file_linea(modello.nomi));
    // Computed and written a stretch at a time: at 20 bytes a metre, a long
    // route's plan is not held in memory whole.
    set.add(cartella / scritti.back(), [&](const OutputSet::WriteAt& scrivi) {
      modello.planimetria.scrivi_file_linea(scrivi);
    });
  }
  scritti.push_back(nome_file_treno(modello.nomi));
  set.add(cartella / scritti.back(), codifica_file_treno(modello));
  scritti.push_back(nome_file_percorso(modello.nomi));
  set.add(cartella / scritti.back(), codifica_file_percorso(modello));
  set.commit();
  return scritti;
}

}  // namespace tratta
