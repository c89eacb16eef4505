// The plan's geometry on the route page: the box it is drawn in, the
// mapping of the plan's units onto the box's pixels, and the plan thinned
// to what the box can show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "authoring/plan_thinning.h"
#include "model/file_linea.h"

namespace tratta {

/// The width of the plan's box on the page, in pixels; its height is what
/// the plan needs, within limits. Text and marks on the plan are sized
/// from these pixels.
constexpr double kLarghezzaPiano = 1160;

/// The plan's mapping onto the page: plan units per pixel, the box's
/// corner and the box's height in pixels. y grows to the north on the plan
/// and downwards on the page; the drawing itself is in plan units, y turned
/// over.
struct VistaPiano {
  double u, vx, vy, altezza;
  double px(double x) const { return (x - vx) / u; }
  double py(double y) const { return (-y - vy) / u; }
};

/// A line of the plan as drawn.
struct LineaDisegnata {
  std::vector<PuntoPiano> punti;  ///< the points kept, the first and last among them
  size_t punti_linea = 0;         ///< the line's points before thinning
};

struct GeometriaPiano {
  VistaPiano vista;
  int decimali;  ///< decimals of the coordinates drawn: they still place a fraction of a pixel
  std::vector<LineaDisegnata> linee;
};

/// None when the line file holds no point of the plan.
std::optional<GeometriaPiano> geometria_piano(const FileLinea& linea);

/// The plan's point at metre `m`: none outside the plan, at an empty metre
/// or where a value is not a finite number.
std::optional<PuntoPiano> punto_piano(const FileLinea& linea, int64_t m);

}  // namespace tratta
