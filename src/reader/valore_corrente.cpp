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
  valore = nuovo;
  return std::nullopt;
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
