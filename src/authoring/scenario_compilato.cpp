#include "authoring/scenario_compilato.h"

#include "authoring/display_text.h"
#include "model/file_percorso.h"
#include "model/file_treno.h"
#include "platform/platform.h"

namespace tratta {

namespace fs = std::filesystem;

namespace {

std::string mostra(const fs::path& p) { return visibile(platform::path_to_utf8(p), 400); }

ProblemaLettura guasto(const ErroreDecodifica& e) {
  return {ProblemaLettura::Tipo::kGuasto, e.testo()};
}

ProblemaLettura illeggibile(const platform::FileError& e) {
  return {ProblemaLettura::Tipo::kIlleggibile, e.text};
}

}  // namespace

std::variant<ScenarioCompilato, ProblemaLettura> leggi_scenario_compilato(
    const fs::path& cartella, const NomiScenario& nomi) {
  std::error_code ec;
  if (!fs::is_directory(cartella, ec))
    return ProblemaLettura{ProblemaLettura::Tipo::kMancante,
                           "there is no folder '" + mostra(cartella) + "'"};
  ScenarioCompilato s;
  s.nomi = nomi;
  s.file_percorso = cartella / platform::path_from_utf8(nome_file_percorso(nomi));
  s.file_treno = cartella / platform::path_from_utf8(nome_file_treno(nomi));
  s.file_linea = cartella / platform::path_from_utf8(nome_file_linea(nomi));

  std::string byte;
  for (const fs::path& p : {s.file_percorso, s.file_treno}) {
    const platform::FileResult<bool> letto =
        fs::is_regular_file(p, ec) ? platform::read_file(p, byte) : false;
    if (!letto.ok()) return illeggibile(letto.error());
    if (!letto.value())
      return ProblemaLettura{ProblemaLettura::Tipo::kMancante,
                             "there is no file '" + mostra(p) +
                                 "' (give --scenario and --train-number as for compile)"};
    if (p == s.file_percorso) {
      auto d = decodifica_file_percorso(byte, mostra(p));
      if (!d.ok()) return guasto(*d.errore);
      s.segmenti = std::move(d.valore);
    } else {
      auto d = decodifica_file_treno(byte, mostra(p));
      if (!d.ok()) return guasto(*d.errore);
      s.voci = std::move(d.valore);
    }
  }
  if (fs::exists(s.file_linea, ec)) {
    const platform::FileResult<bool> letto = platform::read_file(s.file_linea, byte);
    if (!letto.ok()) return illeggibile(letto.error());
    if (!letto.value())
      return ProblemaLettura{ProblemaLettura::Tipo::kIlleggibile,
                             "cannot read '" + mostra(s.file_linea) + "'"};
    auto d = decodifica_file_linea(byte, mostra(s.file_linea));
    if (!d.ok()) return guasto(*d.errore);
    s.linea = std::move(d.valore);
  }
  return s;
}

}  // namespace tratta
