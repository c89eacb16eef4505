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
    try {
      t.presente = platform::read_file(f.percorso, f.byte);
    } catch (const platform::FileError& e) {
      t.guasto = e.text();
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
  try {
    platform::delete_file(file(d).percorso);
  } catch (const platform::FileError& e) {
    return e.text();
  }
  return {};
}

}  // namespace tratta
