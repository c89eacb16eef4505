#include "authoring/esito_comando.h"

#include "authoring/diagnostic_messages.h"
#include "authoring/display_text.h"
#include "model/catalogo_codici.h"
#include "platform/platform.h"

namespace tratta {

namespace {

std::string numero(const std::optional<int>& n) { return n ? std::to_string(*n) : "null"; }

std::string testo(const std::optional<std::string>& t) { return t ? json_stringa(*t) : "null"; }

std::string elenco(const std::vector<std::string>& nomi) {
  std::string out = "[";
  for (std::size_t i = 0; i < nomi.size(); ++i) out += (i ? ", " : "") + json_stringa(nomi[i]);
  return out + "]";
}

}  // namespace

void riporta_diagnosi(const Diagnosi& d, EsitoComando& e) {
  e.codice_errore = d.codice_errore;
  e.posizione_errore = d.posizione_errore.value_or(0);
  std::string messaggio = messaggio_codice(d.codice_errore);
  if (d.codice_errore == kCodiceLetturaFallita && !d.dettaglio.empty())
    messaggio += ": " + accorciato(d.dettaglio);
  e.messaggio = std::move(messaggio);
  if (d.codice_errore != 0 && !d.causa.empty()) e.causa = accorciato(d.causa);
  // The finishing pass's codes name a position and no description.
  if (d.codice_errore != 0 && !d.file.empty()) {
    e.file = platform::path_to_utf8(d.file);
    e.riga = d.riga;
  }
}

std::optional<std::string> rimedio(const EsitoComando& e) {
  const Codice* c = nullptr;
  if (e.codice_errore.value_or(0) != 0) {
    c = trova_codice(*e.codice_errore);
  } else if (e.fatale != 0) {
    c = trova_errore_fatale(e.fatale);
  }
  if (!c || c->rimedio.empty()) return std::nullopt;
  return std::string(c->rimedio);
}

std::string testo_diagnosi(const EsitoComando& e) {
  const int codice = e.codice_errore.value_or(0);
  std::string t;
  if (codice != 0) t += "code " + std::to_string(codice) + ": ";
  t += e.messaggio.value_or("");
  if (codice_con_posizione(codice))
    t += " (at " + std::to_string(e.posizione_errore.value_or(0)) + " m)";
  if (e.causa) t += ": " + *e.causa;
  if (codice != 0) {
    if (const std::optional<std::string> r = rimedio(e)) t += ". " + *r;
  }
  return t;
}

std::string riga_diagnosi(const EsitoComando& e) {
  std::string riga;
  if (e.file) {
    riga = *e.file;
    if (e.riga > 0) riga += ":" + std::to_string(e.riga);
    riga += ": ";
  }
  return visibile(riga + testo_diagnosi(e), std::string::npos);
}

std::string riga_avvertenza(const Avvertenza& a) {
  return visibile(platform::path_to_utf8(a.file) + ":" + std::to_string(a.riga) +
                      ": warning: " + a.messaggio,
                  std::string::npos);
}

std::optional<std::string> riga_tenuti(const EsitoComando& e) {
  if (!e.perche_tenuti) return std::nullopt;
  if (e.file_tenuti.empty()) return "no file written: " + *e.perche_tenuti;
  std::string riga = "kept from before: ";
  for (std::size_t i = 0; i < e.file_tenuti.size(); ++i)
    riga += (i ? ", '" : "'") + e.file_tenuti[i] + "'";
  return riga + " (" + *e.perche_tenuti + ")";
}

std::string json_esito(const EsitoComando& e) {
  std::optional<std::string> messaggio = e.messaggio;
  if (messaggio && e.causa) *messaggio += ": " + *e.causa;
  std::string out = "{\"codice_errore\": " + numero(e.codice_errore) +
                    ", \"posizione_errore\": " + numero(e.posizione_errore) +
                    ", \"file\": " + testo(e.file) +
                    ", \"line\": " + (e.file && e.riga > 0 ? std::to_string(e.riga) : "null") +
                    ", \"message\": " + testo(messaggio) + ", \"mend\": " + testo(rimedio(e)) +
                    ", \"fatal\": " + (e.fatale ? std::to_string(e.fatale) : "null") +
                    ", \"files\": " + elenco(e.file_scritti) + ", \"kept\": " +
                    elenco(e.file_tenuti) + ", \"kept_because\": " + testo(e.perche_tenuti) +
                    ", \"warnings\": [";
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
