// The ground plan: two plane coordinates per metre of route.
//
// Elements are tagged values. The four seed elements (metres 0 and 1) are
// 16-bit integers, every computed element is a double, the rest is empty.
// Points are computed one after another from metre 2 on, each from the two
// before it, so the plan is the seeds and the stretches that extend it: up
// to which metre, turning by how much a metre. The reader only extends the
// plan; nothing reads a point back. The points themselves are computed when
// the line file is written, a stretch of metres at a time into a small
// buffer that is reused, and each stretch goes straight to its place in
// the file: memory does not grow with the route's length.
//
// The plan writes the line file (file_linea.h) with that file's element
// encoders. Every element's offset follows from the tags before it, so the
// layout is known before the first point is computed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/file_linea.h"

namespace tratta {

/// Puts `byte` into the file being written, from byte `offset` on.
using ScritturaPosizionata = std::function<void(uint64_t offset, std::string_view byte)>;

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

  /// Computes metres prossimo() to `fino` one after another, each from
  /// the two before it: the step vector of the last metre is repeated,
  /// turned by `kappa` radians (0 on a straight; not renormalised). The
  /// caller checks that `fino` <= metri_totali().
  void estendi(int32_t fino, double kappa);

  /// Size of the line file in bytes, for the plan as it stands (0 for a
  /// plan not dimensioned).
  uint64_t byte_file_linea() const;

  /// Computes the points and writes the line file through `scrivi`, every
  /// byte of it once, each axis in pieces of 128 KiB that start on the
  /// file's 128 KiB boundaries (its first and last piece shorter).
  void scrivi_file_linea(const ScritturaPosizionata& scrivi) const;

  /// The whole line file in memory: for tests and small plans.
  std::string file_linea() const;

  /// Metres up to `fino` turn by `kappa` a metre.
  struct TrattoPiano {
    int32_t fino;
    double kappa;
  };
  /// The stretches computed so far, in order (the benchmark rebuilds a plan
  /// from them).
  const std::vector<TrattoPiano>& tratti() const { return tratti_; }

 private:

  bool dimensionata_ = false;
  bool seminata_ = false;
  int32_t metri_totali_ = 0;
  int32_t prossimo_ = 2;
  /// The stretches computed so far, in order; consecutive stretches with
  /// the same turn are one.
  std::vector<TrattoPiano> tratti_;
};

}  // namespace tratta
