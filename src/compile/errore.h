// The numbered fatal message of the run.
#pragma once

#include <string_view>

namespace tratta {

/// Shows " Errore n. " followed by `numero` in a message box with one OK
/// button and, once it is closed, ends the program with a failure status.
[[noreturn]] void errore(std::string_view numero);

}  // namespace tratta
