// The ground plan: two plane coordinates per metre of route.
//
// Elements are tagged values. The four seed elements (metres 0 and 1) are
// 16-bit integers, every computed element is a double, the rest is empty.
// Points are computed one after another from metre 2 on, so the plan is
// held as the seeds, a prefix of computed points and the empty remainder.
#pragma once

#include <cstdint>
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
  /// reads as 0. `m` must lie in 0 to prossimo() - 1.
  double punto(int32_t m, int asse) const { return asse == 0 ? x_[m] : y_[m]; }

  /// Stores the next computed point at metre prossimo(). The caller checks
  /// that prossimo() <= metri_totali().
  void aggiungi(double x, double y) {
    x_[prossimo_] = x;
    y_[prossimo_] = y;
    ++prossimo_;
  }

  TagPiano tag(int32_t m) const;

 private:
  bool dimensionata_ = false;
  bool seminata_ = false;
  int32_t metri_totali_ = 0;
  int32_t prossimo_ = 2;
  std::vector<double> x_;
  std::vector<double> y_;
};

}  // namespace tratta
