// The three binary files for the simulator: line, train and route file.
//
// Each file is a plain little-endian dump of one container of the route
// model, records packed without gaps, with no header, count or trailer.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "model/route_model.h"

namespace tratta {

/// Bytes of the line file: the plan's elements as the plan lays them out
/// (Planimetria::file_linea). The file writer has the plan write them
/// straight into the file, a stretch at a time.
std::string codifica_file_linea(const Planimetria& piano);

/// Bytes of the train file: the 87 slots of `voci`, 34 + name bytes each.
std::string codifica_file_treno(const RouteModel& modello);

/// Bytes of the route file: every segment as a 15-byte record.
std::string codifica_file_percorso(const RouteModel& modello);

/// Writes the line file (only when `con_planimetria` is non-zero), the
/// train file and the route file into `cartella`, replaced as one set: all
/// of them or, on a failure (platform::FileError), none. Returns the names
/// of the files written, in order.
std::vector<std::string> scrivi_file_scenario(const RouteModel& modello,
                                              int32_t con_planimetria,
                                              const std::filesystem::path& cartella);

}  // namespace tratta
