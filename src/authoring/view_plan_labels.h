// The labels of the plan on the route page: the stations and other places
// of the route at their points, the stations named, and the kilometre
// marks along the route. A label goes only where it overlaps none placed
// before, and the stations' names are placed first, so that they win over
// the kilometre marks.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "authoring/view_plan_geometry.h"
#include "model/route_model.h"

namespace tratta {

/// A text on the plan, in the drawing's units (plan units, y turned over).
struct TestoPiano {
  double x, y;        ///< where its baseline starts, or ends
  double dimensione;  ///< its font size
  bool a_destra;      ///< the text runs to the right of x, else it ends at x
  std::string testo;  ///< UTF-8
};

/// A station or another place of the route (a junction, a halt...) on the
/// plan.
struct LuogoPiano {
  PuntoPiano punto;
  bool stazione;                   ///< a station, named; else a place without a name
  std::optional<TestoPiano> nome;  ///< none where it has no room
};

/// A kilometre mark.
struct SegnoKm {
  PuntoPiano punto;
  std::optional<TestoPiano> etichetta;  ///< none where it has no room
};

struct EtichettePiano {
  std::vector<LuogoPiano> luoghi;  ///< in slot order
  int64_t passo;                   ///< metres from one kilometre mark to the next
  std::vector<SegnoKm> km;         ///< from the route's start
};

/// The labels for the plan of `linea` drawn in `v`, for the places of the
/// slots in use; places and marks where the plan has no point are left
/// out.
EtichettePiano etichette_piano(const FileLinea& linea, const std::vector<Segmento>& segmenti,
                               const std::array<Voce, kNumeroVoci>& voci, const VistaPiano& v);

}  // namespace tratta
