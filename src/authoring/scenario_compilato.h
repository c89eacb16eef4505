// The scenario files of a folder read back: the route file and the train
// file, and the line file where there is one (a compile without a plan
// writes none).
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "model/file_linea.h"
#include "model/file_names.h"
#include "model/route_model.h"
#include "platform/folder_lock.h"

namespace tratta {

struct ScenarioCompilato {
  NomiScenario nomi;
  std::filesystem::path file_percorso, file_treno, file_linea;
  std::vector<Segmento> segmenti;
  std::array<Voce, kNumeroVoci> voci;
  /// Nothing when the folder holds no line file.
  std::optional<FileLinea> linea;
};

/// Why the files could not be read back.
struct ProblemaLettura {
  enum class Tipo {
    kMancante,  ///< the folder, the route file or the train file is missing
    kGuasto,    ///< a file is damaged or not a scenario file
    kIlleggibile,  ///< a file is there but the system cannot read it
  };
  Tipo tipo;
  std::string messaggio;
};

/// Reads the files that `compile` names after `nomi` from `cartella`,
/// holding the folder's lock meanwhile, waiting for another run as
/// `attesa` says.
std::variant<ScenarioCompilato, ProblemaLettura> leggi_scenario_compilato(
    const std::filesystem::path& cartella, const NomiScenario& nomi,
    const platform::LockWait& attesa = {});

}  // namespace tratta
