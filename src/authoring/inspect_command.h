// The subcommands that look at a compiled scenario: `inspect` prints what
// the scenario files hold, `view` draws the route in a web page.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/disk.h"

namespace tratta {

/// inspect DIR [--scenario NAME] [--train-number N] [--json] [--points]
int comando_inspect(const std::vector<std::string>& argomenti, std::ostream& out,
                    std::ostream& err);

/// view DIR [--scenario NAME] [--train-number N] [--out FILE]
int comando_view(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err,
                 platform::Disk& disco = platform::system_disk());

}  // namespace tratta
