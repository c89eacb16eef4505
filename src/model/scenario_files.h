// The three binary files of a scenario: the line file (file_linea.h), the
// train file (file_treno.h) and the route file (file_percorso.h), each the
// little-endian encoding of one container of the route model, written here
// as one set.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/file_linea.h"
#include "model/file_percorso.h"
#include "model/file_treno.h"
#include "model/route_model.h"
#include "platform/disk.h"
#include "platform/file_result.h"
#include "platform/folder_lock.h"

namespace tratta {

/// Writes the line file (only when `con_planimetria` is non-zero), the
/// train file and the route file into the folder that `cartella` locks,
/// through `disco`, replaced
/// as one set: all of them or, on a failure, none. Gives back the names of
/// the files written, in order.
platform::FileResult<std::vector<std::string>> scrivi_file_scenario(
    const RouteModel& modello, int32_t con_planimetria, const platform::FolderLock& cartella,
    platform::Disk& disco = platform::system_disk());

}  // namespace tratta
