// Running a subcommand in process, as the program would with these
// arguments, and keeping what it printed.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "authoring/commands.h"

namespace tratta::testing {

struct Esecuzione {
  int stato;
  std::string out, err;
};

inline Esecuzione esegui(const std::vector<std::string>& argomenti,
                         platform::Disk& disco = platform::system_disk()) {
  std::ostringstream out, err;
  int stato = esegui_comando(argomenti, out, err, disco);
  return {stato, out.str(), err.str()};
}

}  // namespace tratta::testing
