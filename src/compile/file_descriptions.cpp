#include "compile/file_descriptions.h"

#include <utility>

#include "platform/platform.h"

namespace tratta {

FileDescriptions::FileDescriptions(std::filesystem::path linea, std::filesystem::path treno,
                                   bool consuma)
    : consuma_(consuma) {
  linea_.percorso = std::move(linea);
  treno_.percorso = std::move(treno);
}

TestoDescrizione FileDescriptions::apri(Descrizione d) {
  File& f = file(d);
  if (!f.letto) {
    TestoDescrizione t;
    const platform::FileResult<bool> letto = platform::read_file(f.percorso, f.byte);
    if (letto.ok()) {
      t.presente = letto.value();
    } else {
      t.guasto = letto.error().text;
    }
    f.letto = std::move(t);
  }
  TestoDescrizione t = *f.letto;
  t.testo = f.byte;
  return t;
}

std::string FileDescriptions::leggi_entrambe() {
  for (Descrizione d : {Descrizione::kLinea, Descrizione::kTreno}) {
    if (std::string guasto = apri(d).guasto; !guasto.empty()) return guasto;
  }
  return {};
}

std::string FileDescriptions::letta(Descrizione d) {
  if (!consuma_) return {};
  const platform::FileStatus s = platform::delete_file(file(d).percorso);
  return s.ok() ? std::string() : s.error().text;
}

}  // namespace tratta
