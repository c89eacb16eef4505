// The ground plan: two plane coordinates per metre of route.
//
// Elements are tagged values. The four seed elements (metres 0 and 1) are
// 16-bit integers, every computed element is a double, the rest is empty.
// Points are computed one after another from metre 2 on, so the plan is
// held as the seeds, a prefix of computed points and the empty remainder.
//
// The plan owns the layout of the line file: every element in storage
// order, the metre index fastest (axis 0, then axis 1), each a 16-bit tag
// and its value. A plan is a million points or more, so the points are kept
// in memory already laid out as the line file of a complete plan (seeded,
// metres 2 to metri_totali - 2 computed, the last two metres empty): each
// point is stored once, where it will be written, and a complete plan is
// written as it stands, with no second copy. The two metres beyond a
// complete plan, which only an unusual description reaches, are kept aside;
// the file of any plan that is not complete is composed from the same
// pieces.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tratta {

/// Type tags of plan elements, as written in the line file.
enum class TagPiano : uint16_t { kVuoto = 0, kIntero16 = 2, kDoppio = 5 };

class Planimetria {
 public:
  /// Metres 0 to `metri_totali`, every element empty.
  void dimensiona(int32_t metri_totali);
  void libera();
  bool dimensionata() const { return dimensionata_; }
  int32_t metri_totali() const { return metri_totali_; }

  /// Stores the seed points (0, 0) at metre 0 and (0, 1) at metre 1.
  /// The caller checks that the plan reaches metre 1.
  void semina();
  bool seminata() const { return seminata_; }

  /// First metre not yet computed (2 once seeded).
  int32_t prossimo() const { return prossimo_; }

  /// Coordinate `asse` (0 or 1) of metre `m`, as a double; an empty element
  /// reads as 0. `m` must lie in 0 to metri_totali().
  double punto(int32_t m, int asse) const {
    // Each new point is computed from the two before it: those two are
    // kept aside too, aligned, so that the step does not wait on reading
    // back the unaligned elements of the file layout just written.
    const int32_t distanza = prossimo_ - m;
    if (distanza == 1) return recenti_[1][asse];
    if (distanza == 2) return recenti_[0][asse];
    if (distanza <= 0) return 0.0;
    if (m < 2) return seminata_ && m == 1 && asse == 1 ? 1.0 : 0.0;
    if (m <= ultimo_in_immagine_) return leggi_doppio(byte_.data() + offset_valore(m, asse));
    return coda_[m - ultimo_in_immagine_ - 1][asse];
  }

  /// Stores the next computed point at metre prossimo(). The caller checks
  /// that prossimo() <= metri_totali().
  void aggiungi(double x, double y) {
    const int32_t m = prossimo_;
    if (m <= ultimo_in_immagine_) {
      char* p = byte_.data() + offset_valore(m, 0) - 2;
      scrivi_elemento(p, x);
      scrivi_elemento(p + byte_asse_, y);
    } else {
      coda_[m - ultimo_in_immagine_ - 1][0] = x;
      coda_[m - ultimo_in_immagine_ - 1][1] = y;
    }
    recenti_[0][0] = recenti_[1][0];
    recenti_[0][1] = recenti_[1][1];
    recenti_[1][0] = x;
    recenti_[1][1] = y;
    ++prossimo_;
  }

  /// Computes metres prossimo() to `fino` one after another, each from
  /// the two before it: the step vector of the last metre is repeated,
  /// turned by `kappa` radians (0 on a straight; not renormalised). The
  /// caller checks that `fino` <= metri_totali().
  void estendi(int32_t fino, double kappa);

  /// True when the plan is complete: seeded, every metre from 2 to
  /// metri_totali() - 2 computed and none beyond.
  bool completa() const;

  /// The bytes of the line file, for a plan in any state (none for a plan
  /// not dimensioned). A complete plan is its own file: the view is of the
  /// plan itself. The file of any other plan is composed into `altrove`,
  /// and the view is of that.
  std::string_view file_linea(std::string& altrove) const;

 private:
  /// Allocates without clearing: every byte is written before it is read.
  template <typename T>
  struct SenzaAzzerare : std::allocator<T> {
    template <typename U>
    struct rebind {
      using other = SenzaAzzerare<U>;
    };
    SenzaAzzerare() = default;
    template <typename U>
    SenzaAzzerare(const SenzaAzzerare<U>&) {}
    template <typename U>
    void construct(U* p) {
      ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... A>
    void construct(U* p, A&&... a) {
      ::new (static_cast<void*>(p)) U(std::forward<A>(a)...);
    }
  };

  // Layout of one axis in the file of a complete plan: two seed elements of
  // 4 bytes, metri_totali - 3 computed elements of 10 bytes, two empty
  // elements of 2 bytes. Axis 1 follows axis 0.
  static constexpr size_t kByteSemi = 8;
  static constexpr size_t kByteDoppio = 10;

  size_t offset_valore(int32_t m, int asse) const {
    return (asse == 0 ? 0 : byte_asse_) + kByteSemi + kByteDoppio * static_cast<size_t>(m - 2) + 2;
  }

  static void scrivi_elemento(char* p, double v) {
    if constexpr (std::endian::native == std::endian::little) {
      const uint16_t tag = static_cast<uint16_t>(TagPiano::kDoppio);
      std::memcpy(p, &tag, 2);
      std::memcpy(p + 2, &v, 8);
    } else {
      scrivi_elemento_portabile(p, v);
    }
  }

  static double leggi_doppio(const char* p) {
    double v;
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(&v, p, 8);
    } else {
      v = leggi_doppio_portabile(p);
    }
    return v;
  }

  template <bool kCurva>
  void estendi_in_immagine(int32_t fino, double kappa);

  static void scrivi_elemento_portabile(char* p, double v);
  static double leggi_doppio_portabile(const char* p);

  bool dimensionata_ = false;
  bool seminata_ = false;
  int32_t metri_totali_ = 0;
  int32_t prossimo_ = 2;
  /// Last metre stored in `byte_`: metri_totali - 2 (1 when there is no
  /// computed metre in a complete plan, so nothing is stored there).
  int32_t ultimo_in_immagine_ = 1;
  size_t byte_asse_ = 0;
  std::vector<char, SenzaAzzerare<char>> byte_;
  /// Metres metri_totali - 1 and metri_totali, when computed.
  double coda_[2][2] = {};
  /// Metres prossimo - 2 and prossimo - 1.
  double recenti_[2][2] = {};
};

}  // namespace tratta
