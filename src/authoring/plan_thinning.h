// The plan thinned to what a page can draw: a route of a million metres
// has a million points, of which a screen shows a few thousand. Points are
// dropped where the track runs so straight that the line through the points
// kept stays within a tolerance of every point dropped (Douglas-Peucker), so
// the shape of every curve larger than the tolerance survives.
#pragma once

#include <cstdint>
#include <vector>

#include "model/file_linea.h"

namespace tratta {

/// A point of the plan: the metre it stands for and its two coordinates.
struct PuntoPiano {
  int64_t metro = 0;
  double x = 0.0, y = 0.0;
};

/// The points of the plan, as lines: each a run of consecutive metres
/// whose two coordinates are both present and finite. Empty metres (the
/// last two of every plan) and damaged values break the line.
std::vector<std::vector<PuntoPiano>> linee_piano(const FileLinea& linea);

/// The points of `linea` to keep so that no point dropped lies farther than
/// `tolleranza` from the line through the points kept; the first and the
/// last point are always kept.
std::vector<PuntoPiano> dirada(const std::vector<PuntoPiano>& linea, double tolleranza);

}  // namespace tratta
