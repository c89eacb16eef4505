#include "authoring/view_plan_geometry.h"

#include <algorithm>
#include <cmath>

namespace tratta {

namespace {

constexpr double kAltezzaMinima = 260;
constexpr double kAltezzaMassima = 460;

}  // namespace

std::optional<GeometriaPiano> geometria_piano(const FileLinea& linea) {
  const auto linee = linee_piano(linea);
  if (linee.empty()) return std::nullopt;
  double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
  for (const auto& l : linee)
    for (const PuntoPiano& p : l) {
      x0 = std::min(x0, p.x), x1 = std::max(x1, p.x);
      y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
    }
  // At least 100 m each way, so that a short or straight route still has
  // a box; the box is as tall as the plan needs, within limits.
  const double w = std::max(100.0, x1 - x0), h = std::max(100.0, y1 - y0);
  GeometriaPiano g;
  VistaPiano& v = g.vista;
  v.altezza = std::clamp(kLarghezzaPiano * h / w, kAltezzaMinima, kAltezzaMassima);
  v.u = std::max(w / kLarghezzaPiano, h / v.altezza) * 1.1;
  v.vx = (x0 + x1) / 2 - kLarghezzaPiano * v.u / 2;
  v.vy = -(y0 + y1) / 2 - v.altezza * v.u / 2;
  g.decimali = v.u < 0.05 ? 3 : v.u < 0.5 ? 2 : 1;
  // A quarter of a pixel: what thinning drops cannot be seen.
  const double tolleranza = v.u / 4;
  g.linee.reserve(linee.size());
  for (const auto& l : linee) g.linee.push_back({dirada(l, tolleranza), l.size()});
  return g;
}

std::optional<PuntoPiano> punto_piano(const FileLinea& linea, int64_t m) {
  if (m < 0 || m > linea.metri_totali()) return std::nullopt;
  const ElementoPiano& ex = linea.assi[0][static_cast<size_t>(m)];
  const ElementoPiano& ey = linea.assi[1][static_cast<size_t>(m)];
  if (ex.tag == TagPiano::kVuoto || ey.tag == TagPiano::kVuoto || !std::isfinite(ex.valore) ||
      !std::isfinite(ey.valore))
    return std::nullopt;
  return PuntoPiano{m, ex.valore, ey.valore};
}

}  // namespace tratta
