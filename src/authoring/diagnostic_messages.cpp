#include "authoring/diagnostic_messages.h"

namespace tratta {

std::string messaggio_codice(int codice) {
  switch (codice) {
    case 0: return "no problem found";
    case 1: return "route length above 1,000,000 m";
    case 2: return "a mileage change position or mileage is not a multiple of 50";
    case 3: return "signal repetition start is not a multiple of 50";
    case 4: return "signal repetition end is not a multiple of 50";
    case 5: return "signal repetition record names neither 4 nor 9 codes";
    case 6: return "indication sign on a segment that is not free";
    case 7: return "code abatement on a segment that is not free";
    case 8: return "station position is not a multiple of 50";
    case 9: return "station length is not a multiple of 100";
    case 10: return "too many stations: the station slots have reached the sign-text slots";
    case 11:
      return "no free segment for the code abatement before a signal that lies up to 20 "
             "segments before a slowdown warning";
    case 12: return "no free segment for a code abatement before a slowdown start";
    case 13:
      return "no free segment for a code abatement inside a slowdown or before the first "
             "signal after its end";
    case 15: return "record lies beyond the end of the route";
    case 16: return "signal on a segment that is not free";
    case 17: return "slowdown warning on a segment that is not free";
    case 18: return "slowdown start on a segment that is not free";
    case 19: return "slowdown end on a segment that is not free";
    case 20: return "one of the four segments before a slowdown warning is not free";
    case 21: return "maximum-speed indicator on a segment that is not free";
    case 22: return "station starts less than 350 m after the previous station's end";
    case 24: return "station ends at or before 100 m";
    case 25: return "the description could not be read";
    case 101: return "line description file missing";
    case 102: return "line description without a \"[generale]\" field";
    case 103: return "curve record without a class digit, or the plan runs past 1,000,000 m";
    default: return "unknown diagnostic code";
  }
}

bool codice_con_posizione(int codice) {
  switch (codice) {
    case 6: case 7: case 8: case 9: case 11: case 12: case 13: case 15:
    case 16: case 17: case 18: case 19: case 20: case 21: case 22:
      return true;
    default:
      return false;
  }
}

}  // namespace tratta
