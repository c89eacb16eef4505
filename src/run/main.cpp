// tratta_valle3: with no arguments, the one-shot scenario build; with a
// subcommand, the authoring tools.

#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "run/authoring.h"
#include "run/form_load.h"
#include "run/platform.h"

int main(int argc, char** argv) {
  tratta::platform::init(argc, argv);
  try {
    if (argc <= 1) return tratta::Form_Load();
    return tratta::esegui_comando(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                  std::cerr);
  } catch (const tratta::platform::FileError& e) {
    tratta::platform::report_failure(e.what());
  } catch (const std::bad_alloc&) {
    tratta::platform::report_failure("out of memory");
  } catch (const std::exception& e) {
    tratta::platform::report_failure(e.what());
  }
  return 1;
}
