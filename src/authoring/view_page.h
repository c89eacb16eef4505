// The route drawn in one self-contained web page: the plan from above and
// the profile along the route with its signals, stations, signs, speed
// indicators, slowdowns, code abatements and montagna stretches. The page
// loads nothing from anywhere else: its style, its drawing (inline SVG) and
// its script (zoom, pan, details on hover) are all inside it.
#pragma once

#include <string>
#include <string_view>

#include "authoring/scenario_compilato.h"

namespace tratta {

/// What the head of every page that view writes holds, early on: view
/// replaces a file that holds it, and no other unless told to.
inline constexpr std::string_view kFirmaPagina = "<meta name=\"generator\" content=\"tratta_valle3\">";

/// Every mark carries data-kind (plan, height, speed, signal, station,
/// sign, indicator, slowdown, abatement, montagna) and data-metre: one
/// signal per signal segment, one station per station mark, one sign per
/// sign, one indicator per indicator, one slowdown per slowdown start, one
/// abatement per code abatement segment, one montagna per montagna stretch.
std::string pagina_percorso(const ScenarioCompilato& s);

}  // namespace tratta
