// tratta_valle3: with no arguments, the one-shot scenario build; with a
// subcommand, the authoring tools.

#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "authoring/commands.h"
#include "platform/platform.h"
#include "run/form_load.h"

int main(int argc, char** argv) {
  tratta::platform::init(argc, argv);
  // No temporary file outlives the run, whatever ends it.
  tratta::platform::install_interrupt_cleanup();
  const std::vector<std::string> argomenti = tratta::platform::arguments();
  if (!argomenti.empty()) {
    if (!tratta::platform::command_output_ready()) return tratta::kUscitaUsoErrato;
    return tratta::esegui_comando(argomenti, std::cout, std::cerr);
  }
  try {
    return tratta::Form_Load();
  } catch (const std::bad_alloc&) {
    tratta::platform::report_failure("out of memory");
  } catch (const std::exception& e) {
    tratta::platform::report_failure(e.what());
  }
  return 1;
}
