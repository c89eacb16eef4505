#include "model/planimetria.h"

#include <algorithm>

#include "model/coding.h"

namespace tratta {

namespace {

constexpr size_t kByteSeme = 4;
constexpr size_t kByteDoppio = 10;
constexpr size_t kByteVuoto = 2;

/// Metres computed into the buffer before it goes to the file: 160 KiB an
/// axis, small enough to stay in the cache, large enough that the writes
/// cost little.
constexpr size_t kMetriPerBlocco = 16384;

/// One axis of the line file, filled in order from its first byte: the
/// elements gather in a buffer that goes to its place in the file when
/// full.
class AsseInScrittura {
 public:
  AsseInScrittura(uint64_t inizio, const ScritturaPosizionata& scrivi)
      : offset_(inizio), scrivi_(scrivi), buffer_(kMetriPerBlocco * kByteDoppio) {}
  /// Room for the next element, `n` bytes.
  char* posto(size_t n) {
    if (usati_ + n > buffer_.size()) svuota();
    char* p = buffer_.data() + usati_;
    usati_ += n;
    return p;
  }
  void svuota() {
    if (usati_ == 0) return;
    scrivi_(offset_, std::string_view(buffer_.data(), usati_));
    offset_ += usati_;
    usati_ = 0;
  }

 private:
  uint64_t offset_;
  const ScritturaPosizionata& scrivi_;
  std::vector<char> buffer_;
  size_t usati_ = 0;
};

}  // namespace

void Planimetria::dimensiona(int32_t metri_totali) {
  dimensionata_ = true;
  seminata_ = false;
  metri_totali_ = metri_totali;
  prossimo_ = 2;
  tratti_.clear();
}

void Planimetria::libera() {
  *this = Planimetria();
}

void Planimetria::semina() {
  seminata_ = true;
  prossimo_ = 2;
  tratti_.clear();
}

void Planimetria::estendi(int32_t fino, double kappa) {
  if (fino < prossimo_) return;
  if (!tratti_.empty() && tratti_.back().kappa == kappa) {
    tratti_.back().fino = fino;
  } else {
    tratti_.push_back({fino, kappa});
  }
  prossimo_ = fino + 1;
}

uint64_t Planimetria::byte_file_linea() const {
  if (!dimensionata_ || metri_totali_ < 0) return 0;
  const uint64_t metri = static_cast<uint64_t>(metri_totali_) + 1;
  const uint64_t semi = std::min<uint64_t>(metri, 2);
  const uint64_t calcolati = static_cast<uint64_t>(prossimo_ - 2);
  const uint64_t vuoti = metri - semi - calcolati;
  return 2 * (semi * (seminata_ ? kByteSeme : kByteVuoto) + calcolati * kByteDoppio +
              vuoti * kByteVuoto);
}

void Planimetria::scrivi_file_linea(const ScritturaPosizionata& scrivi) const {
  if (!dimensionata_ || metri_totali_ < 0) return;
  AsseInScrittura asse[2] = {AsseInScrittura(0, scrivi),
                             AsseInScrittura(byte_file_linea() / 2, scrivi)};
  for (int a = 0; a < 2; ++a) {
    for (int32_t m = 0; m <= metri_totali_ && m < 2; ++m) {
      if (seminata_) {
        char* p = asse[a].posto(kByteSeme);
        encode_u16(p, static_cast<uint16_t>(TagPiano::kIntero16));
        encode_u16(p + 2, a == 1 && m == 1 ? 1 : 0);
      } else {
        encode_u16(asse[a].posto(kByteVuoto), static_cast<uint16_t>(TagPiano::kVuoto));
      }
    }
  }

  // The last two points stay in registers: each point waits only on the
  // arithmetic of the one before.
  double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 1.0;
  int32_t m = 2;
  for (const Tratto& t : tratti_) {
    const double kappa = t.kappa;
    for (; m <= t.fino; ++m) {
      const double d0 = x1 - x0;
      const double d1 = y1 - y0;
      double x, y;
      if (kappa == 0.0) {
        x = x1 + d0;
        y = y1 + d1;
      } else {
        x = x1 + d0 + kappa * d1;
        y = y1 + d1 - kappa * d0;
      }
      char* p = asse[0].posto(kByteDoppio);
      encode_u16(p, static_cast<uint16_t>(TagPiano::kDoppio));
      encode_f64(p + 2, x);
      p = asse[1].posto(kByteDoppio);
      encode_u16(p, static_cast<uint16_t>(TagPiano::kDoppio));
      encode_f64(p + 2, y);
      x0 = x1;
      y0 = y1;
      x1 = x;
      y1 = y;
    }
  }

  // The metres not computed stay empty.
  for (int a = 0; a < 2; ++a) {
    for (int32_t v = std::max(prossimo_, 2); v <= metri_totali_; ++v) {
      encode_u16(asse[a].posto(kByteVuoto), static_cast<uint16_t>(TagPiano::kVuoto));
    }
    asse[a].svuota();
  }
}

std::string Planimetria::file_linea() const {
  std::string out(byte_file_linea(), '\0');
  scrivi_file_linea([&out](uint64_t offset, std::string_view byte) {
    out.replace(static_cast<size_t>(offset), byte.size(), byte);
  });
  return out;
}

}  // namespace tratta
