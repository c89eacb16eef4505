// The compile step: two descriptions in, the route model and, when asked,
// the scenario files out. It reads the descriptions from their source and
// never touches the disk otherwise: an editor's buffers compile as the
// one-shot run's files do.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/diagnosi.h"
#include "model/route_model.h"
#include "platform/disk.h"
#include "platform/file_result.h"
#include "platform/folder_lock.h"
#include "reader/avvertenza.h"
#include "reader/description_source.h"

namespace tratta {

struct EsitoCompilazione {
  /// 1250 or 1251 when a stamp field was already taken; no file written.
  int errore_fatale = 0;
  /// The reading left no segment 1 to stamp; no file written.
  bool senza_segmenti = false;
  /// Names of the scenario files written, in order.
  std::vector<std::string> file_scritti;
  /// The last diagnostic of the reading and the finishing pass; code 0 when
  /// there was none.
  Diagnosi diagnosi;
  /// What the reading passed over or read otherwise than likely meant; it
  /// changes no file.
  std::vector<Avvertenza> avvertenze;

  /// True when the model is complete enough to be written: stamped, with a
  /// segment 1.
  bool scrivibile() const { return errore_fatale == 0 && !senza_segmenti; }
};

/// Clears the model's table, reads the descriptions of `sorgente` into it,
/// runs the finishing pass and sets the stamps and route codes. With `j` =
/// 0 no plan is built. The outcome goes into `esito`.
void memorizza_percorso(RouteModel& modello, int32_t j, DescriptionSource& sorgente,
                        EsitoCompilazione& esito);

/// The compile step and, unless a stamp field was taken or the route has no
/// segment to stamp, the scenario files written into the folder that
/// `uscita` locks (no line file with `j` = 0), through `disco`. The outcome goes into `esito`, what the
/// reading found included when the writing then fails; the writing's
/// failure is given back, and no file is then replaced.
platform::FileStatus memorizza_percorso(RouteModel& modello, int32_t j,
                                        DescriptionSource& sorgente,
                                        const platform::FolderLock& uscita,
                                        EsitoCompilazione& esito,
                                        platform::Disk& disco = platform::system_disk());

}  // namespace tratta
