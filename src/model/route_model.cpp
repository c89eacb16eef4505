#include "model/route_model.h"

#include <cstdint>

#include "model/rounding.h"
#include "platform/platform.h"

namespace tratta {

void RouteModel::pulisci_voci() {
  for (Voce& v : voci) v = Voce();
}

const OrigineEvento* RouteModel::origine(int64_t k) const {
  // The last record that placed an event there: an event replaces the one
  // before it.
  for (auto it = origini.rbegin(); it != origini.rend(); ++it)
    if (it->segmento == k) return &*it;
  return nullptr;
}

bool RouteModel::dimensiona(int32_t lunghezza, int32_t con_planimetria) {
  const int64_t metri = static_cast<int64_t>(lunghezza) + 7000;
  if (metri > INT32_MAX) return false;
  metri_totali = static_cast<int32_t>(metri);
  ultimo_segmento = static_cast<int32_t>(round_half_even(static_cast<double>(metri) / 50.0));
  // The route stored so far goes, whether or not the new length gives a
  // row: its segments and its plan belong to the old length.
  segmenti = std::vector<Segmento>();
  origini.clear();
  if (con_planimetria != 0) planimetria.libera();
  if (ultimo_segmento < 0) return false;
  // A long route's segments take hundreds of pages: given in one call.
  segmenti.reserve(static_cast<size_t>(ultimo_segmento) + 1);
  platform::prepare_memory(segmenti.data(), segmenti.capacity() * sizeof(Segmento));
  segmenti.assign(static_cast<size_t>(ultimo_segmento) + 1, Segmento());
  if (con_planimetria != 0) {
    if (metri_totali < 0) return false;
    planimetria.dimensiona(metri_totali);
  }
  return true;
}

}  // namespace tratta
