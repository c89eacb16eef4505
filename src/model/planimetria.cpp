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

template <bool kCurva>
void Planimetria::estendi_in_immagine(int32_t fino, double kappa) {
  // The last two points stay in registers: each point waits only on the
  // arithmetic of the one before, not on reading it back.
  double x0 = recenti_[0][0], y0 = recenti_[0][1];
  double x1 = recenti_[1][0], y1 = recenti_[1][1];
  int32_t m = prossimo_;
  char* p = byte_.data() + offset_valore(m, 0) - 2;
  for (; m <= fino; ++m, p += kByteDoppio) {
    const double d0 = x1 - x0;
    const double d1 = y1 - y0;
    double x, y;
    if constexpr (kCurva) {
      x = x1 + d0 + kappa * d1;
      y = y1 + d1 - kappa * d0;
    } else {
      x = x1 + d0;
      y = y1 + d1;
    }
    scrivi_elemento(p, x);
    scrivi_elemento(p + byte_asse_, y);
    x0 = x1;
    y0 = y1;
    x1 = x;
    y1 = y;
  }
  recenti_[0][0] = x0;
  recenti_[0][1] = y0;
  recenti_[1][0] = x1;
  recenti_[1][1] = y1;
  prossimo_ = m;
}

void Planimetria::estendi(int32_t fino, double kappa) {
  const int32_t fino_in_immagine = fino < ultimo_in_immagine_ ? fino : ultimo_in_immagine_;
  if (prossimo_ <= fino_in_immagine) {
    if (kappa == 0.0) {
      estendi_in_immagine<false>(fino_in_immagine, kappa);
    } else {
      estendi_in_immagine<true>(fino_in_immagine, kappa);
    }
  }
  // The last two metres of the route, kept aside.
  while (prossimo_ <= fino) {
    const double d0 = recenti_[1][0] - recenti_[0][0];
    const double d1 = recenti_[1][1] - recenti_[0][1];
    if (kappa == 0.0) {
      aggiungi(recenti_[1][0] + d0, recenti_[1][1] + d1);
    } else {
      aggiungi(recenti_[1][0] + d0 + kappa * d1, recenti_[1][1] + d1 - kappa * d0);
    }
  }
}

bool Planimetria::completa() const {
  return dimensionata_ && seminata_ && metri_totali_ >= 3 && prossimo_ == metri_totali_ - 1;
}

std::string_view Planimetria::file_linea(std::string& altrove) const {
  if (!dimensionata_ || metri_totali_ < 0) return {};
  if (completa()) return {byte_.data(), byte_.size()};
  // Metres from 2 on: those computed, held in the image as far as it goes
  // and beyond it in the last two metres, then the empty ones.
  const int32_t fine_immagine =
      prossimo_ < ultimo_in_immagine_ + 1 ? prossimo_ : ultimo_in_immagine_ + 1;
  const size_t in_immagine = fine_immagine > 2 ? static_cast<size_t>(fine_immagine - 2) : 0;
  const size_t semi = metri_totali_ < 1 ? 1 : 2;
  const size_t calcolati = prossimo_ > 2 ? static_cast<size_t>(prossimo_ - 2) : 0;
  const size_t vuoti = static_cast<size_t>(metri_totali_) + 1 - semi - calcolati;
  altrove.clear();
  altrove.reserve(2 * (semi * (seminata_ ? 4 : 2) + calcolati * kByteDoppio + vuoti * 2));
  for (int asse = 0; asse < 2; ++asse) {
    for (int32_t m = 0; m <= metri_totali_ && m < 2; ++m) {
      if (seminata_) {
        put_u16(altrove, static_cast<uint16_t>(TagPiano::kIntero16));
        put_i16(altrove, asse == 1 && m == 1 ? 1 : 0);
      } else {
        put_u16(altrove, static_cast<uint16_t>(TagPiano::kVuoto));
      }
    }
    if (in_immagine > 0)
      altrove.append(byte_.data() + offset_valore(2, asse) - 2, in_immagine * kByteDoppio);
    for (int32_t m = 2 + static_cast<int32_t>(in_immagine); m < prossimo_; ++m) {
      put_u16(altrove, static_cast<uint16_t>(TagPiano::kDoppio));
      put_f64(altrove, coda_[m - ultimo_in_immagine_ - 1][asse]);
    }
    for (int32_t m = prossimo_ > 2 ? prossimo_ : 2; m <= metri_totali_; ++m)
      put_u16(altrove, static_cast<uint16_t>(TagPiano::kVuoto));
  }
  return altrove;
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
