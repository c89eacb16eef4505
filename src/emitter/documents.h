// The five built-in documents of the scenario, one source file each.
//
// Each `righe_*` is the document's table of literal lines, closed by the end
// marker, in the source named after the procedure that writes it
// (`dati_linea.cpp` and so on); `scrivi_documenti` writes all five.
#pragma once

#include <filesystem>
#include <vector>

#include "emitter/document_writer.h"
#include "model/file_names.h"
#include "platform/disk.h"
#include "platform/file_result.h"
#include "platform/folder_lock.h"

namespace tratta {

TabellaRighe righe_linea();
TabellaRighe righe_treno();
TabellaRighe righe_note();
TabellaRighe righe_rallentamenti();
TabellaRighe righe_scheda();

/// The paths of the five documents in `cartella`, in the order of the run.
std::vector<std::filesystem::path> percorsi_documenti(const std::filesystem::path& cartella,
                                                      const NomiScenario& nomi);

/// Writes all five documents into the folder that `cartella` locks, in the
/// order of the run, through `disco`, replaced as one set: all of them or,
/// on a failure, none.
platform::FileStatus scrivi_documenti(const platform::FolderLock& cartella,
                                      const NomiScenario& nomi,
                                      platform::Disk& disco = platform::system_disk());

}  // namespace tratta
