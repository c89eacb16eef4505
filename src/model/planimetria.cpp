#include "model/planimetria.h"

#include <algorithm>

namespace tratta {

namespace {

constexpr size_t kByteSeme = byte_elemento(TagPiano::kIntero16);
constexpr size_t kByteDoppio = byte_elemento(TagPiano::kDoppio);
constexpr size_t kByteVuoto = byte_elemento(TagPiano::kVuoto);
static_assert(static_cast<uint16_t>(TagPiano::kVuoto) == 0 && kByteVuoto == 2,
              "empty elements are zero bytes, their tag alone");

/// Metres computed into the block before it goes to the file: 80 KiB an
/// axis, so that the block stays in the cache while a long plan still
/// takes few writes.
constexpr size_t kMetriPerBlocco = 8192;

/// Computed metres of both axes, in the line file's layout.
struct Blocco {
  std::vector<char> asse[2];
  int32_t primo = 2;  // the first metre in the block
  size_t metri = 0;
};

/// The recurrence over the plan's stretches, from the seeds on, a block at
/// a time.
template <typename TrattoPiano>
class Ricorrenza {
 public:
  explicit Ricorrenza(const std::vector<TrattoPiano>& tratti) : tratti_(tratti) {}

  /// Computes the next metres, up to a block's worth, into `b`.
  void riempi(Blocco& b) {
    b.primo = m_;
    b.metri = 0;
    char* p0 = b.asse[0].data();
    char* p1 = b.asse[1].data();
    // The last two points stay in registers: each point waits only on the
    // arithmetic of the one before.
    double x0 = x0_, y0 = y0_, x1 = x1_, y1 = y1_;
    while (b.metri < kMetriPerBlocco && tratto_ < tratti_.size()) {
      const TrattoPiano& t = tratti_[tratto_];
      const double kappa = t.kappa;
      const int32_t fine = static_cast<int32_t>(
          std::min<int64_t>(t.fino, m_ + static_cast<int64_t>(kMetriPerBlocco - b.metri) - 1));
      for (; m_ <= fine; ++m_, p0 += kByteDoppio, p1 += kByteDoppio) {
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
        codifica_doppio(p0, x);
        codifica_doppio(p1, y);
        x0 = x1;
        y0 = y1;
        x1 = x;
        y1 = y;
      }
      b.metri = static_cast<size_t>(m_ - b.primo);
      if (m_ > t.fino) ++tratto_;
    }
    x0_ = x0;
    y0_ = y0;
    x1_ = x1;
    y1_ = y1;
  }

 private:
  const std::vector<TrattoPiano>& tratti_;
  size_t tratto_ = 0;
  int32_t m_ = 2;
  double x0_ = 0.0, y0_ = 0.0, x1_ = 0.0, y1_ = 1.0;
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
  const uint64_t byte_asse = byte_file_linea() / 2;
  const size_t semi = metri_totali_ < 1 ? 1 : 2;
  const size_t byte_semi = semi * (seminata_ ? kByteSeme : kByteVuoto);

  // The seeds, or their empty elements.
  for (int a = 0; a < 2; ++a) {
    std::string b(byte_semi, '\0');
    for (size_t m = 0; m < semi; ++m) {
      if (seminata_)
        codifica_intero16(b.data() + m * kByteSeme, a == 1 && m == 1 ? 1 : 0);
      else
        codifica_vuoto(b.data() + m * kByteVuoto);
    }
    scrivi(a * byte_asse, b);
  }

  // The computed metres, a block at a time, each axis to its place.
  const size_t calcolati = static_cast<size_t>(prossimo_ - 2);
  auto scrivi_blocco = [&](const Blocco& b) {
    const uint64_t offset = byte_semi + kByteDoppio * static_cast<uint64_t>(b.primo - 2);
    for (int a = 0; a < 2; ++a)
      scrivi(a * byte_asse + offset, std::string_view(b.asse[a].data(), b.metri * kByteDoppio));
  };
  // One block, computed and written in turns: it stays in the cache, and a
  // long plan touches no more memory than a short one. (A second thread
  // computing while the first writes gains nothing here: the arithmetic
  // is a small part of the time, and handing blocks over between cores
  // costs more than it saves.)
  Blocco blocco;
  for (auto& asse : blocco.asse) asse.resize(kMetriPerBlocco * kByteDoppio);
  Ricorrenza<TrattoPiano> ricorrenza(tratti_);
  for (size_t fatti = 0; fatti < calcolati; fatti += blocco.metri) {
    ricorrenza.riempi(blocco);
    if (blocco.metri == 0) break;
    scrivi_blocco(blocco);
  }

  // The metres not computed stay empty: zero tags.
  const uint64_t vuoti = byte_asse - byte_semi - kByteDoppio * calcolati;
  if (vuoti > 0) {
    const std::string zeri(std::min<uint64_t>(vuoti, kMetriPerBlocco * kByteDoppio), '\0');
    for (int a = 0; a < 2; ++a) {
      for (uint64_t fatti = 0; fatti < vuoti; fatti += zeri.size()) {
        const uint64_t n = std::min<uint64_t>(zeri.size(), vuoti - fatti);
        scrivi(a * byte_asse + byte_asse - vuoti + fatti, std::string_view(zeri.data(), n));
      }
    }
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
