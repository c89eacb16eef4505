#include "model/planimetria.h"

#include "model/coding.h"

namespace tratta {

void Planimetria::dimensiona(int32_t metri_totali) {
  dimensionata_ = true;
  seminata_ = false;
  metri_totali_ = metri_totali;
  prossimo_ = 2;
  ultimo_in_immagine_ = metri_totali >= 3 ? metri_totali - 2 : 1;
  coda_[0][0] = coda_[0][1] = coda_[1][0] = coda_[1][1] = 0.0;
  recenti_[0][0] = recenti_[0][1] = recenti_[1][0] = recenti_[1][1] = 0.0;
  decltype(byte_)().swap(byte_);
  byte_asse_ = 0;
  if (metri_totali < 3) return;
  byte_asse_ = kByteSemi + kByteDoppio * static_cast<size_t>(metri_totali - 3) + 4;
  byte_.resize(2 * byte_asse_);
  // The last two metres of each axis stay empty: two zero tags.
  for (size_t asse = 1; asse <= 2; ++asse) std::memset(byte_.data() + asse * byte_asse_ - 4, 0, 4);
}

void Planimetria::libera() {
  *this = Planimetria();
}

void Planimetria::semina() {
  seminata_ = true;
  prossimo_ = 2;
  recenti_[0][0] = recenti_[0][1] = recenti_[1][0] = 0.0;
  recenti_[1][1] = 1.0;
  if (byte_.empty()) return;
  for (int asse = 0; asse < 2; ++asse) {
    char* p = byte_.data() + (asse == 0 ? 0 : byte_asse_);
    encode_u16(p, static_cast<uint16_t>(TagPiano::kIntero16));
    encode_u16(p + 2, 0);
    encode_u16(p + 4, static_cast<uint16_t>(TagPiano::kIntero16));
    encode_u16(p + 6, asse == 0 ? 0 : 1);
  }
}

TagPiano Planimetria::tag(int32_t m) const {
  if (m < 2) return seminata_ ? TagPiano::kIntero16 : TagPiano::kVuoto;
  return m < prossimo_ ? TagPiano::kDoppio : TagPiano::kVuoto;
}

std::string_view Planimetria::file_completo() const {
  if (!dimensionata_ || !seminata_ || metri_totali_ < 3 || prossimo_ != metri_totali_ - 1)
    return {};
  return {byte_.data(), byte_.size()};
}

void Planimetria::scrivi_elemento_portabile(char* p, double v) {
  encode_u16(p, static_cast<uint16_t>(TagPiano::kDoppio));
  encode_f64(p + 2, v);
}

double Planimetria::leggi_doppio_portabile(const char* p) {
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | static_cast<unsigned char>(p[i]);
  return std::bit_cast<double>(bits);
}

}  // namespace tratta
