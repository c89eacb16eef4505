// The labels of the plan on the route page: the stations and other places
// of the route at their points, the stations named, and the kilometre
// marks along the route. A label goes only where it overlaps no label
// placed before, no dot and no stretch of the track, inside the plan's
// box; the stations' names are placed first, so that they win over the
// kilometre marks. A label with no such room is left out.
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
  std::string nome;                ///< UTF-8, for its details on hover
  std::optional<TestoPiano> nome_scritto;  ///< none where it has no room
};

/// A kilometre mark.
struct SegnoKm {
  PuntoPiano punto;
  std::optional<TestoPiano> etichetta;  ///< none where it has no room
};

/// The radii in pixels of the dots drawn for a station, another place and
/// a kilometre mark.
inline constexpr double kRaggioStazione = 4.5;
inline constexpr double kRaggioLuogo = 2.5;
inline constexpr double kRaggioKm = 2.4;

/// Pixels kept clear on each side of the track's centre line: the track
/// and the stretch in view drawn over it in red.
inline constexpr double kMargineTracciato = 4;

struct EtichettePiano {
  std::vector<LuogoPiano> luoghi;  ///< in slot order
  int64_t passo;                   ///< metres from one kilometre mark to the next
  std::vector<SegnoKm> km;         ///< from the route's start
};

/// The labels for the plan of `linea` drawn as `g`, for the places of the
/// slots in use; places and marks where the plan has no point are left
/// out.
EtichettePiano etichette_piano(const FileLinea& linea, const GeometriaPiano& g,
                               const std::vector<Segmento>& segmenti,
                               const std::array<Voce, kNumeroVoci>& voci);

}  // namespace tratta
