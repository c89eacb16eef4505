// A deterministic line and train description of a 1,000,000 m route that
// uses every record kind densely, for timing the compile step on the
// longest route a line description may state.
#pragma once

#include <cstdint>
#include <string>

namespace tratta::bench {

/// Route length written in the line description's header.
inline constexpr int32_t kLunghezzaPercorsoLungo = 1000000;

/// How many records of each kind the two descriptions hold.
struct ConteggiPercorso {
  int pendenze = 0;
  int curve = 0;
  int montagne = 0;
  int montagne_con_marcatori = 0;  ///< class above 10
  int montagne_accostate = 0;      ///< within 150 m of the previous stretch
  int indicatori = 0;
  int cartelli = 0;
  int velocita = 0;
  int aderenze = 0;
  int segnali = 0;
  int segnali_a_protezione = 0;  ///< before a slowdown warning or after its end
  int stazioni = 0;
  int rallentamenti = 0;
  int abbattimenti = 0;
};

struct PercorsoGenerato {
  std::string linea;  ///< the line description, CR LF lines
  std::string treno;  ///< the train description, CR LF lines
  ConteggiPercorso conteggi;
};

/// Builds the two descriptions. The same text comes out on every call and
/// every platform: positions and values come from a fixed-seed generator of
/// the program's own, never from the library's distributions.
///
/// Every point event stands on a segment that no other event claims, and
/// each slowdown owns the stretch from 24 segments before its warning to 13
/// segments after its end, so the code abatements that the finishing pass
/// adds around it always find a free segment: the descriptions read back
/// without any diagnostic.
PercorsoGenerato genera_percorso_lungo();

}  // namespace tratta::bench
