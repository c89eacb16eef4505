// The scenario files in words, for people: what `inspect` prints.
#pragma once

#include <string>

#include "authoring/scenario_compilato.h"

namespace tratta {

/// The files and the route's size, the plan's extent, every event and
/// every stretch of the route in order of position, the stations and sign
/// texts of the train file and its general values (slots 81 to 86).
std::string elenco_scenario(const ScenarioCompilato& s);

}  // namespace tratta
