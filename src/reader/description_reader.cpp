#include "reader/description_reader.h"

#include <new>

#include "reader/reading.h"
#include "run/platform.h"

namespace tratta {

LuogoDiagnosi memorizza_dati(RouteModel& modello, const Descrizioni& descrizioni) {
  Lettura lettura(modello, descrizioni);
  try {
    if (lettura.leggi_linea()) lettura.leggi_treno();
  } catch (const ErroreLettura& e) {
    lettura.fallita(e.testo());
  } catch (const platform::FileError& e) {
    lettura.fallita(e.text());
  } catch (const std::bad_alloc&) {
    lettura.fallita("out of memory");
  }
  return lettura.luogo;
}

}  // namespace tratta
