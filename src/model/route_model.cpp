#include "model/route_model.h"

#include <cstdint>

#include "model/rounding.h"

namespace tratta {

void RouteModel::pulisci_voci() {
  for (Voce& v : voci) v = Voce();
}

bool RouteModel::dimensiona(int32_t lunghezza) {
  int64_t metri = static_cast<int64_t>(lunghezza) + 7000;
  if (metri > INT32_MAX) return false;
  double ultimo = round_half_even(static_cast<double>(metri) / 50.0);
  if (ultimo < 0) return false;
  metri_totali = static_cast<int32_t>(metri);
  ultimo_segmento = static_cast<int32_t>(ultimo);
  segmenti.assign(static_cast<size_t>(ultimo_segmento) + 1, Segmento());
  if (con_planimetria != 0) {
    if (metri_totali < 0) return false;
    planimetria.dimensiona(metri_totali);
  }
  return true;
}

}  // namespace tratta
