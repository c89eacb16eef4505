#include "model/planimetria.h"

#include <algorithm>
#include <memory>

#include "platform/platform.h"

namespace tratta {

namespace {

constexpr size_t kByteSeme = byte_elemento(TagPiano::kIntero16);
constexpr size_t kByteDoppio = byte_elemento(TagPiano::kDoppio);
constexpr size_t kByteVuoto = byte_elemento(TagPiano::kVuoto);
static_assert(static_cast<uint16_t>(TagPiano::kVuoto) == 0 && kByteVuoto == 2,
              "empty elements are zero bytes, their tag alone");

/// Bytes of an axis handed to the file at a time. Each write but an axis's
/// first and last covers one whole 128 KiB piece of the file, starting on
/// its boundary: the page cache then takes it as a few large pages. (Here a
/// plan written in unaligned pieces of 80 KiB took half as long again.)
constexpr size_t kBytePezzo = 128 * 1024;

/// One axis of the line file as it is produced: its bytes in order, handed
/// to the file a piece at a time. The buffer holds a piece and the start
/// of one more element.
class FlussoAsse {
 public:
  /// The axis's bytes go from `inizio` on, `byte` of them.
  FlussoAsse(uint64_t inizio, uint64_t byte, const ScritturaPosizionata& scrivi)
      : buffer_(new char[kBytePezzo + kByteDoppio]), offset_(inizio), scrivi_(scrivi) {
    platform::prepare_memory(buffer_.get(),
                             static_cast<size_t>(std::min<uint64_t>(byte, kBytePezzo + kByteDoppio)));
  }

  /// Where the next element goes.
  char* cursore() { return buffer_.get() + pieno_; }

  /// Computed elements that fit before the piece is full: the last of them
  /// may run past its end, into the next piece.
  size_t elementi_liberi() const {
    return (lunghezza_pezzo() - pieno_ + kByteDoppio - 1) / kByteDoppio;
  }

  /// `byte` more bytes were put at the cursor; a full piece goes to the file.
  void avanza(size_t byte) {
    pieno_ += byte;
    const size_t lunghezza = lunghezza_pezzo();
    if (pieno_ < lunghezza) return;
    scrivi_(offset_, std::string_view(buffer_.get(), lunghezza));
    std::copy(buffer_.get() + lunghezza, buffer_.get() + pieno_, buffer_.get());
    pieno_ -= lunghezza;
    offset_ += lunghezza;
  }

  void aggiungi(std::string_view byte) {
    std::copy(byte.begin(), byte.end(), cursore());
    avanza(byte.size());
  }

  /// `byte` zero bytes: empty elements, their tags alone.
  void aggiungi_zeri(uint64_t byte) {
    while (byte > 0) {
      const size_t n = static_cast<size_t>(std::min<uint64_t>(byte, lunghezza_pezzo() - pieno_));
      std::fill_n(cursore(), n, '\0');
      avanza(n);
      byte -= n;
    }
  }

  /// The axis's last bytes to the file.
  void chiudi() {
    if (pieno_ > 0) scrivi_(offset_, std::string_view(buffer_.get(), pieno_));
    offset_ += pieno_;
    pieno_ = 0;
  }

 private:
  /// Bytes from the buffer's start to the end of its piece of the file.
  size_t lunghezza_pezzo() const {
    return static_cast<size_t>(kBytePezzo - offset_ % kBytePezzo);
  }

  std::unique_ptr<char[]> buffer_;  // as many pages given ahead as the axis fills
  uint64_t offset_;                 // in the file, of the buffer's first byte
  size_t pieno_ = 0;
  const ScritturaPosizionata& scrivi_;
};

/// The recurrence over the plan's stretches, from the seeds on, a run of
/// metres at a time.
class Ricorrenza {
 public:
  using TrattoPiano = Planimetria::TrattoPiano;

  explicit Ricorrenza(const std::vector<TrattoPiano>& tratti) : tratti_(tratti) {}

  /// Computes up to `massimo` next metres, the elements of axis 0 from `p0`
  /// on and those of axis 1 from `p1` on; gives how many.
  size_t riempi(char* p0, char* p1, size_t massimo) {
    const int32_t primo = m_;
    size_t metri = 0;
    // The last two points stay in registers: each point waits only on the
    // arithmetic of the one before.
    double x0 = x0_, y0 = y0_, x1 = x1_, y1 = y1_;
    while (metri < massimo && tratto_ < tratti_.size()) {
      const TrattoPiano& t = tratti_[tratto_];
      const double kappa = t.kappa;
      const int32_t fine = static_cast<int32_t>(
          std::min<int64_t>(t.fino, m_ + static_cast<int64_t>(massimo - metri) - 1));
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
      metri = static_cast<size_t>(m_ - primo);
      if (m_ > t.fino) ++tratto_;
    }
    x0_ = x0;
    y0_ = y0;
    x1_ = x1;
    y1_ = y1;
    return metri;
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
  FlussoAsse assi[2] = {FlussoAsse(0, byte_asse, scrivi), FlussoAsse(byte_asse, byte_asse, scrivi)};

  // The seeds, or their empty elements.
  for (int a = 0; a < 2; ++a) {
    char seme[2 * kByteSeme];
    for (size_t m = 0; m < semi; ++m) {
      if (seminata_)
        codifica_intero16(seme + m * kByteSeme, a == 1 && m == 1 ? 1 : 0);
      else
        codifica_vuoto(seme + m * kByteVuoto);
    }
    assi[a].aggiungi(std::string_view(seme, byte_semi));
  }

  // The computed metres, as many at a time as both axes' pieces take. (A
  // second thread computing while the first writes gains nothing here: the
  // arithmetic is a small part of the time, and handing the bytes over
  // between cores costs more than it saves.)
  const size_t calcolati = static_cast<size_t>(prossimo_ - 2);
  Ricorrenza ricorrenza(tratti_);
  for (size_t fatti = 0; fatti < calcolati;) {
    const size_t n = std::min({calcolati - fatti, assi[0].elementi_liberi(),
                               assi[1].elementi_liberi()});
    const size_t k = ricorrenza.riempi(assi[0].cursore(), assi[1].cursore(), n);
    if (k == 0) break;
    for (FlussoAsse& asse : assi) asse.avanza(k * kByteDoppio);
    fatti += k;
  }

  // The metres not computed stay empty: zero tags.
  const uint64_t vuoti = byte_asse - byte_semi - kByteDoppio * calcolati;
  for (FlussoAsse& asse : assi) {
    asse.aggiungi_zeri(vuoti);
    asse.chiudi();
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
