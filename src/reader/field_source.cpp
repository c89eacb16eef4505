#include "reader/field_source.h"

#include <algorithm>

#include "platform/platform.h"
#include "reader/checked.h"

namespace tratta {

namespace {

char minuscola(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool contiene(std::string_view campo, std::string_view chiave) {
  return campo.find(chiave) != std::string_view::npos;
}

bool contiene_ci(std::string_view campo, std::string_view chiave) {
  auto it = std::search(campo.begin(), campo.end(), chiave.begin(), chiave.end(),
                        [](char a, char b) { return minuscola(a) == minuscola(b); });
  return it != campo.end() || chiave.empty();
}

std::optional<Arresto> oltre_percorso(const RouteModel& modello, int32_t p, int32_t margine) {
  if (modello.ultimo_segmento < somma32(p, margine) / 50.0) return Arresto::fine_corpo({15, p});
  return std::nullopt;
}

bool FieldSource::apri() {
  riga_record_ = 0;
  if (!platform::read_file(percorso_, testo_)) return false;
  in_.emplace(testo_);
  return true;
}

bool FieldSource::leggi_campo() {
  campo_ = in_->leggi_testo();
  riga_record_ = in_->riga_ultimo_campo();
  return !in_->fine();
}

bool FieldSource::prossimo_record() {
  if (in_->fine()) return false;
  if (!leggi_campo()) return false;
  for (int commenti = 0; commenti < 2 && contiene(campo_, "-"); ++commenti) {
    if (!leggi_campo()) return false;
  }
  return true;
}

void FieldSource::chiudi() {
  in_.reset();
  if (consuma_) platform::delete_file(percorso_);
}

void FieldSource::registra(Diagnosi d) {
  d.file = percorso_;
  d.riga = riga_record_;
  tratta::registra(diagnosi_, std::move(d));
}

bool FieldSource::ferma(Diagnosi d) {
  chiudi();
  registra(std::move(d));
  return false;
}

}  // namespace tratta
