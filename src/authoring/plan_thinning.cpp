#include "authoring/plan_thinning.h"

#include <cmath>
#include <utility>

namespace tratta {

namespace {

/// Squared distance of `p` from the stretch from `a` to `b`.
double distanza2(const PuntoPiano& p, const PuntoPiano& a, const PuntoPiano& b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double lunghezza2 = dx * dx + dy * dy;
  double t = 0.0;
  if (lunghezza2 > 0.0) {
    t = ((p.x - a.x) * dx + (p.y - a.y) * dy) / lunghezza2;
    t = t < 0.0 ? 0.0 : t > 1.0 ? 1.0 : t;
  }
  const double ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
  return ex * ex + ey * ey;
}

}  // namespace

std::vector<std::vector<PuntoPiano>> linee_piano(const FileLinea& linea) {
  std::vector<std::vector<PuntoPiano>> linee;
  const auto& xs = linea.assi[0];
  const auto& ys = linea.assi[1];
  bool in_linea = false;
  for (size_t m = 0; m < xs.size() && m < ys.size(); ++m) {
    const bool presente = xs[m].tag != TagPiano::kVuoto && ys[m].tag != TagPiano::kVuoto &&
                          std::isfinite(xs[m].valore) && std::isfinite(ys[m].valore);
    if (!presente) {
      in_linea = false;
      continue;
    }
    if (!in_linea) linee.emplace_back();
    in_linea = true;
    linee.back().push_back({static_cast<int64_t>(m), xs[m].valore, ys[m].valore});
  }
  return linee;
}

std::vector<PuntoPiano> dirada(const std::vector<PuntoPiano>& linea, double tolleranza) {
  if (linea.size() <= 2) return linea;
  std::vector<char> tenuto(linea.size(), 0);
  tenuto.front() = tenuto.back() = 1;
  const double limite = tolleranza * tolleranza;
  // Stretches still to look at, as pairs of kept points; a stack rather than
  // recursion, since a million points may split deeply.
  std::vector<std::pair<size_t, size_t>> da_vedere = {{0, linea.size() - 1}};
  while (!da_vedere.empty()) {
    const auto [a, b] = da_vedere.back();
    da_vedere.pop_back();
    double massimo = -1.0;
    size_t lontano = a;
    for (size_t i = a + 1; i < b; ++i) {
      const double d = distanza2(linea[i], linea[a], linea[b]);
      if (d > massimo) {
        massimo = d;
        lontano = i;
      }
    }
    if (massimo > limite) {
      tenuto[lontano] = 1;
      da_vedere.push_back({a, lontano});
      da_vedere.push_back({lontano, b});
    }
  }
  std::vector<PuntoPiano> out;
  for (size_t i = 0; i < linea.size(); ++i)
    if (tenuto[i]) out.push_back(linea[i]);
  return out;
}

}  // namespace tratta
