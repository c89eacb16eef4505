#include "emitter/documents.h"

#include "platform/output_set.h"

namespace tratta {

std::vector<std::filesystem::path> percorsi_documenti(const std::filesystem::path& cartella,
                                                      const NomiScenario& nomi) {
  return {cartella / nome_descrizione_linea(nomi), cartella / nome_descrizione_treno(nomi),
          cartella / nome_note(nomi), cartella / nome_rallentamenti(nomi),
          cartella / nome_scheda_treno(nomi)};
}

platform::FileStatus scrivi_documenti(const platform::FolderLock& cartella,
                                      const NomiScenario& nomi, platform::Disk& disco) {
  const std::vector<std::filesystem::path> percorsi = percorsi_documenti({}, nomi);
  const TabellaRighe tabelle[] = {righe_linea(), righe_treno(), righe_note(),
                                  righe_rallentamenti(), righe_scheda()};
  OutputSet set(cartella, disco);
  for (std::size_t i = 0; i < percorsi.size(); ++i) {
    if (platform::FileStatus s = set.add(percorsi[i], componi_documento(tabelle[i])); !s.ok())
      return s;
  }
  return set.commit();
}

}  // namespace tratta
