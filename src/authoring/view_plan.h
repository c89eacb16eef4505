// The plan panel of the route page: the track from above, thinned to what
// the page can show, with kilometre marks and the stations named.
#pragma once

#include <string>

#include "authoring/scenario_compilato.h"

namespace tratta {

/// The panel's HTML (a note instead of a drawing when there is no line
/// file); appends the plan's drawn points to `dati_script` as
/// PLAN = [[[metre, x, -y], ...], ...] (null without a plan), from which
/// the page's script highlights the stretch in view.
std::string sezione_piano(const ScenarioCompilato& s, std::string& dati_script);

}  // namespace tratta
