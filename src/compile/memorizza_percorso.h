// The compile step: descriptions in, scenario files out.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/diagnosi.h"
#include "model/route_model.h"
#include "reader/avvertenza.h"
#include "reader/memorizza_dati.h"

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
};

/// Clears the model's table, reads the descriptions into it, runs the
/// finishing pass, sets the stamps and route codes and, unless a stamp
/// field was taken, writes the scenario files into `uscita`. With `j` = 0
/// no plan is built and no line file is written. The outcome goes into
/// `esito` step by step, so that what the reading found stays there when
/// the writing fails: file errors throw platform::FileError.
void memorizza_percorso(RouteModel& modello, int32_t j, const Descrizioni& descrizioni,
                        const std::filesystem::path& uscita, EsitoCompilazione& esito);

}  // namespace tratta
