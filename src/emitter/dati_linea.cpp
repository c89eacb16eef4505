#include "emitter/documents.h"

namespace tratta {

namespace {

constexpr std::string_view kRighe[] = {
    kFineDelFile,
};
static_assert(tabella_codificabile(kRighe));

}  // namespace

TabellaRighe righe_linea() { return kRighe; }

void dati_linea(const std::filesystem::path& cartella, const NomiScenario& nomi) {
  scrivi_documento(cartella / nome_descrizione_linea(nomi), kRighe);
}

}  // namespace tratta
