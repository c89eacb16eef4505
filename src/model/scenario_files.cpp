#include "model/scenario_files.h"

#include "platform/output_set.h"

namespace tratta {

platform::FileResult<std::vector<std::string>> scrivi_file_scenario(
    const RouteModel& modello, int32_t con_planimetria, const platform::FolderLock& cartella,
    platform::Disk& disco) {
  std::vector<std::string> scritti;
  OutputSet set(cartella, disco);
  if (con_planimetria != 0) {
    scritti.push_back(nome_file_linea(modello.nomi));
    // Computed and written a stretch at a time: at 20 bytes a metre, a long
    // route's plan is not held in memory whole.
    // A failed write ends the set's adds: the remaining ones only give
    // that failure back.
    (void)set.add(scritti.back(), [&](const OutputSet::WriteAt& scrivi) {
      modello.planimetria.scrivi_file_linea(scrivi);
    });
  }
  scritti.push_back(nome_file_treno(modello.nomi));
  (void)set.add(scritti.back(), codifica_file_treno(modello));
  scritti.push_back(nome_file_percorso(modello.nomi));
  (void)set.add(scritti.back(), [&](const OutputSet::WriteAt& scrivi) {
    scrivi_file_percorso(modello, scrivi);
  });
  if (platform::FileStatus s = set.commit(); !s.ok()) return s.error();
  return scritti;
}

}  // namespace tratta
