// The five built-in documents of the scenario, one source file each.
//
// Each `righe_*` is the document's table of literal lines, closed by the end
// marker; each `dati_*` writes it into `cartella` under its file name.
#pragma once

#include <filesystem>
#include <vector>

#include "emitter/document_writer.h"
#include "model/file_names.h"

namespace tratta {

TabellaRighe righe_linea();
TabellaRighe righe_treno();
TabellaRighe righe_note();
TabellaRighe righe_rallentamenti();
TabellaRighe righe_scheda();

/// The line description, read back by the compile step.
void dati_linea(const std::filesystem::path& cartella, const NomiScenario& nomi);
/// The train description, read back by the compile step.
void dati_treno(const std::filesystem::path& cartella, const NomiScenario& nomi);
/// The author's notes on the line and the train.
void dati_note(const std::filesystem::path& cartella, const NomiScenario& nomi);
/// The slowdown order form handed to the driver.
void dati_rallentamenti(const std::filesystem::path& cartella, const NomiScenario& nomi);
/// The timetable card of the train.
void dati_scheda(const std::filesystem::path& cartella, const NomiScenario& nomi);

/// The paths of the five documents in `cartella`, in the order of the run.
std::vector<std::filesystem::path> percorsi_documenti(const std::filesystem::path& cartella,
                                                      const NomiScenario& nomi);

/// Writes all five documents, in the order of the run, replaced as one
/// set: all of them or, on a failure (platform::FileError), none.
void scrivi_documenti(const std::filesystem::path& cartella, const NomiScenario& nomi);

}  // namespace tratta
