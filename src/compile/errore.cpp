#include "compile/errore.h"

#include <string>

#include "platform/platform.h"

namespace tratta {

void errore(std::string_view numero) {
  platform::message_box(" Errore n. " + std::string(numero));
  platform::end_program(1);
}

}  // namespace tratta
