// tratta_valle3: with no arguments, the one-shot scenario build.

#include <exception>
#include <new>
#include <string>

#include "run/form_load.h"
#include "run/platform.h"

int main(int argc, char** argv) {
  tratta::platform::init(argc, argv);
  try {
    return tratta::Form_Load();
  } catch (const tratta::platform::FileError& e) {
    tratta::platform::report_failure(e.what());
  } catch (const std::bad_alloc&) {
    tratta::platform::report_failure("out of memory");
  } catch (const std::exception& e) {
    tratta::platform::report_failure(e.what());
  }
  return 1;
}
