#include "model/planimetria.h"

#include <cstddef>

namespace tratta {

void Planimetria::dimensiona(int32_t metri_totali) {
  dimensionata_ = true;
  seminata_ = false;
  metri_totali_ = metri_totali;
  prossimo_ = 2;
  x_.assign(static_cast<size_t>(metri_totali) + 1, 0.0);
  y_.assign(static_cast<size_t>(metri_totali) + 1, 0.0);
}

void Planimetria::libera() {
  *this = Planimetria();
}

void Planimetria::semina() {
  seminata_ = true;
  prossimo_ = 2;
  x_[0] = 0.0;
  y_[0] = 0.0;
  x_[1] = 0.0;
  y_[1] = 1.0;
}

TagPiano Planimetria::tag(int32_t m) const {
  if (m < 2) return seminata_ ? TagPiano::kIntero16 : TagPiano::kVuoto;
  return m < prossimo_ ? TagPiano::kDoppio : TagPiano::kVuoto;
}

}  // namespace tratta
