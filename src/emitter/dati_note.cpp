#include "emitter/documents.h"

namespace tratta {

namespace {

constexpr std::string_view kRighe[] = {
    kFineDelFile,
};
static_assert(tabella_codificabile(kRighe));

}  // namespace

TabellaRighe righe_note() { return kRighe; }

void dati_note(const std::filesystem::path& cartella, const NomiScenario& nomi) {
  scrivi_documento(cartella / nome_note(nomi), kRighe);
}

}  // namespace tratta
