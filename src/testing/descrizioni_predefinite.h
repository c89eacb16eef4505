// The two built-in descriptions, read back as the compile step reads them.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "emitter/documents.h"
#include "model/route_model.h"
#include "reader/avvertenza.h"
#include "reader/description_source.h"
#include "reader/memorizza_dati.h"

namespace tratta::testing {

/// The two built-in descriptions, as the one-shot run writes them.
inline MemoryDescriptions descrizioni_predefinite() {
  const NomiScenario nomi = nomi_predefiniti();
  return MemoryDescriptions(nome_descrizione_linea(nomi), componi_documento(righe_linea()),
                            nome_descrizione_treno(nomi), componi_documento(righe_treno()));
}

/// The built-in descriptions read back (with the plan when `j` is 1); the
/// reading must end with code 0. Nothing when it did not.
inline std::optional<RouteModel> leggi_descrizioni_predefinite(
    int32_t j = 1, std::vector<Avvertenza>* avvertenze = nullptr) {
  MemoryDescriptions descrizioni = descrizioni_predefinite();
  RouteModel m;
  m.nomi = nomi_predefiniti();
  const Diagnosi d = memorizza_dati(m, j, descrizioni, avvertenze);
  EXPECT_EQ(d.codice_errore, 0) << "line " << d.riga << " of " << d.file << ": " << d.dettaglio
                                << " at " << d.posizione_errore.value_or(0);
  if (d.codice_errore != 0) return std::nullopt;
  return m;
}

}  // namespace tratta::testing
