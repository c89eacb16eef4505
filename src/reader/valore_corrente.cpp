#include "reader/valore_corrente.h"

#include "reader/checked.h"
#include "reader/placement.h"

namespace tratta {

std::optional<Arresto> ValoreCorrente::record(FieldSource& fonte, RouteModel& m, int32_t limite) {
  const int32_t p = fonte.numero();
  if (auto a = oltre_percorso(m, p)) return a;
  const int32_t nuovo = fonte.numero();
  const int32_t n = arrotonda32(p / 50.0);
  if (n > 0) riempi(m, n, limite);
  if (fonte.avverte() && posizione && p < *posizione) avverti_indietro(fonte, p);
  valore = nuovo;
  posizione = p;
  da_segmento = cursore;
  return std::nullopt;
}

void ValoreCorrente::avverti_indietro(FieldSource& fonte, int32_t p) const {
  const std::string prima = std::to_string(*posizione);
  fonte.avverti(std::string(nome) + " at " + std::to_string(p) + " m comes after the one at " +
                prima + " m: the reader runs it from " + std::to_string(int64_t{cursore} * 50) +
                " m, and the one at " + prima + " m covers " +
                std::to_string(cursore - da_segmento) + " segment(s)");
}

void ValoreCorrente::finisci(RouteModel& m, int32_t fino) { riempi(m, fino, INT32_MAX); }

void ValoreCorrente::riempi(RouteModel& m, int32_t fino, int32_t limite) {
  do {
    if (cursore >= limite) return;
    const uint8_t byte = in_byte(valore);
    segmento(m, cursore).*campo = byte;
    ++cursore;
  } while (cursore < fino);
}

}  // namespace tratta
