// The two check codes of a scenario, derived from its train number and
// scenario name; they travel in the train file and the route file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/route_model.h"

namespace tratta {

/// The first 25 characters of the lower-cased train number and scenario
/// name, filled up with "aabbccddeeffgghhiillmmnnoo".
std::string chiave_gara(std::string_view numero_treno, std::string_view nome_scenario);

/// Position-weighted sum of the key's character codes.
int32_t codice_gara_st(std::string_view numero_treno, std::string_view nome_scenario);
/// Plain sum of the key's character codes.
int16_t codice_gara_og(std::string_view numero_treno, std::string_view nome_scenario);

/// The codes of the model, from the names in slots 86 and 85.
int32_t codice_gara_st(const RouteModel& modello);
int16_t codice_gara_og(const RouteModel& modello);

}  // namespace tratta
