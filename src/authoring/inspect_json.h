// The scenario files as one JSON object: every field of every record, so
// that the files can be rebuilt from it byte for byte.
#pragma once

#include <string>

#include "authoring/scenario_compilato.h"

namespace tratta {

/// A double as JSON: the shortest text that reads back to the same double,
/// always with a point or an exponent ("2.0", "1e+22"), so that a reader
/// tells it from the plan's 16-bit integers; a value that JSON cannot hold
/// as a number is a string: "Infinity", "-Infinity", "NaN" for the usual
/// NaN and "NaN(0x...)" with all 64 bits for any other.
std::string numero_json(double v);

/// {"scenario", "train_number", "route": {"file", "segmenti"}, "train":
/// {"file", "voci"}, "line": null or {"file", "metri_totali", "elements"
/// and, with `con_punti`, "points": one [x, y] per metre, null where
/// empty}}. Names are decoded from Windows-1252.
std::string json_scenario(const ScenarioCompilato& s, bool con_punti);

}  // namespace tratta
