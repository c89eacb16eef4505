#include "authoring/esito_comando.h"

#include "authoring/display_text.h"
#include "platform/platform.h"

namespace tratta {

namespace {

std::string numero(const std::optional<int>& n) { return n ? std::to_string(*n) : "null"; }

std::string testo(const std::optional<std::string>& t) { return t ? json_stringa(*t) : "null"; }

}  // namespace

std::string json_esito(const EsitoComando& e) {
  std::string out = "{\"codice_errore\": " + numero(e.codice_errore) +
                    ", \"posizione_errore\": " + numero(e.posizione_errore) +
                    ", \"file\": " + testo(e.file) +
                    ", \"line\": " + (e.file && e.riga > 0 ? std::to_string(e.riga) : "null") +
                    ", \"message\": " + testo(e.messaggio) +
                    ", \"fatal\": " + (e.fatale ? std::to_string(e.fatale) : "null") +
                    ", \"files\": [";
  for (std::size_t i = 0; i < e.file_scritti.size(); ++i)
    out += (i ? ", " : "") + json_stringa(e.file_scritti[i]);
  out += "], \"kept\": [";
  for (std::size_t i = 0; i < e.file_tenuti.size(); ++i)
    out += (i ? ", " : "") + json_stringa(e.file_tenuti[i]);
  out += "], \"warnings\": [";
  for (std::size_t i = 0; i < e.avvertenze.size(); ++i) {
    const Avvertenza& a = e.avvertenze[i];
    out += std::string(i ? ", " : "") +
           "{\"file\": " + json_stringa(platform::path_to_utf8(a.file)) +
           ", \"line\": " + std::to_string(a.riga) + ", \"message\": " + json_stringa(a.messaggio) +
           "}";
  }
  out += "], \"exit_status\": " + std::to_string(e.stato) + ", \"error\": " + testo(e.errore) +
         "}\n";
  return out;
}

}  // namespace tratta
